#include "QuoteRequest.h"

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool equalsNoCase(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

} // namespace

std::string QuoteRequest::percentDecode(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0
            && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool QuoteRequest::parse(const std::string& rawQuery, QuoteRequest& request, std::string& error)
{
    request = QuoteRequest();
    bool haveTicker = false;
    std::string ticker;
    for (const std::string& pair : split(rawQuery, '&')) {
        const std::size_t eq = pair.find('=');
        const std::string key = percentDecode(pair.substr(0, eq));
        const std::string value = eq == std::string::npos ? std::string() : pair.substr(eq + 1);
        // The first of repeated parameters counts.
        if (equalsNoCase(key, "TICKER") && !haveTicker) {
            haveTicker = true;
            ticker = value;
        } else if (equalsNoCase(key, "format")) {
            request.m_fraction = percentDecode(value) == "fraction";
        } else if (equalsNoCase(key, "SOURCE")) {
            request.m_source = percentDecode(value);
        }
    }
    if (!haveTicker) {
        error = "The request names no TICKER.";
        return false;
    }
    // Counting separators first keeps a huge list from being split at all.
    std::size_t count = 1;
    for (char c : ticker)
        count += c == '+' ? 1 : 0;
    if (count > kMaxSymbols) {
        error = "The request asks for more than " + std::to_string(kMaxSymbols) + " symbols.";
        return false;
    }
    for (const std::string& raw : split(ticker, '+')) {
        std::string symbol = percentDecode(raw);
        if (symbol.size() > kMaxSymbolLength) {
            error = "A symbol is longer than " + std::to_string(kMaxSymbolLength) + " bytes.";
            return false;
        }
        for (char c : symbol) {
            const unsigned char b = static_cast<unsigned char>(c);
            if (b < 0x20 || b == 0x7F) {
                error = "A symbol holds a control character.";
                return false;
            }
        }
        request.m_symbols.push_back(std::move(symbol));
    }
    return true;
}
