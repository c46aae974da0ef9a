#include "QuoteRequest.h"

#include "CStringList.h"

namespace {

bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
        || c == '.' || c == '_' || c == '~';
}

bool IsHostNameChar(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
        || c == '.';
}

bool IsValidPort(const std::string& port)
{
    if (port.empty() || port.size() > 5)
        return false;
    unsigned value = 0;
    for (unsigned char c : port) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

} // namespace

namespace QuoteRequest {

void AppendEncodedSymbol(CString& query, const CString& symbol)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : symbol.str()) {
        if (IsUnreserved(c)) {
            query += static_cast<char>(c);
        } else {
            query += '%';
            query += kHex[c >> 4];
            query += kHex[c & 0x0F];
        }
    }
}

CString BuildQuery(const CStringList& tickerList)
{
    CString query(kQueryPrefix);
    POSITION pos = tickerList.GetHeadPosition();
    while (pos != nullptr) {
        AppendEncodedSymbol(query, tickerList.GetNext(pos));
        if (pos != nullptr)
            query += '+';
    }
    return query;
}

bool IsValidHost(const CString& host)
{
    const std::string& s = host.str();
    if (s.empty())
        return false;
    std::string::size_type hostEnd;
    if (s[0] == '[') {
        hostEnd = s.find(']');
        if (hostEnd == std::string::npos || hostEnd < 3)
            return false;
        for (std::string::size_type i = 1; i < hostEnd; ++i) {
            unsigned char c = static_cast<unsigned char>(s[i]);
            bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
            if (!hex && c != ':' && c != '.')
                return false;
        }
        ++hostEnd;
    } else {
        hostEnd = s.find(':');
        if (hostEnd == std::string::npos)
            hostEnd = s.size();
        if (hostEnd == 0 || hostEnd > 253)
            return false;
        for (std::string::size_type i = 0; i < hostEnd; ++i) {
            if (!IsHostNameChar(static_cast<unsigned char>(s[i])))
                return false;
        }
        if (s[0] == '-' || s[0] == '.')
            return false;
    }
    if (hostEnd == s.size())
        return true;
    return s[hostEnd] == ':' && IsValidPort(s.substr(hostEnd + 1));
}

CString BuildUrl(const CString& host, const CString& query)
{
    CString url("http://");
    url += host;
    url += kScriptPath;
    url += '?';
    url += query;
    return url;
}

} // namespace QuoteRequest
