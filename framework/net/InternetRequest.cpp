#include "InternetRequest.h"

#include "InternetLastError.h"
#include "InternetSession.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr long kMaxRedirects = 5;
// libcurl enforces the request bound itself; this margin only guards our
// own loops should it ever fail to.
constexpr std::chrono::milliseconds kDeadlineMargin{1000};
constexpr long kLongestWaitMs = 250;

bool isTokenChar(unsigned char c)
{
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return true;
    return std::strchr("!#$%&'*+-.^_`|~", c) != nullptr && c != '\0';
}

bool startsWithNoCase(const std::string& text, const char* prefix)
{
    const std::size_t n = std::strlen(prefix);
    if (text.size() < n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char a = static_cast<unsigned char>(text[i]);
        const unsigned char b = static_cast<unsigned char>(prefix[i]);
        if ((a >= 'A' && a <= 'Z' ? a + 32 : a) != (b >= 'A' && b <= 'Z' ? b + 32 : b))
            return false;
    }
    return true;
}

std::string trimmed(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(begin, end - begin);
}

// The caller's URL as it may go on the wire: bytes that a URL cannot hold as
// they are (a symbol with a space, say) are percent-encoded. The rest,
// reserved characters included, keeps the meaning the caller gave it.
std::string wireUrl(const char* url)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char* p = url; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c <= 0x20 || c >= 0x7F) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool isHttpUrl(const std::string& url)
{
    CURLU* parsed = curl_url();
    if (parsed == nullptr)
        throw std::bad_alloc();
    bool ok = false;
    if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK) {
        char* scheme = nullptr;
        if (curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK) {
            const std::string s = scheme;
            ok = startsWithNoCase(s, "http") && (s.size() == 4 || (s.size() == 5 && (s[4] == 's' || s[4] == 'S')));
            curl_free(scheme);
        }
        char* host = nullptr;
        if (ok && curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK) {
            ok = host != nullptr && *host != '\0';
            curl_free(host);
        } else {
            ok = false;
        }
    }
    curl_url_cleanup(parsed);
    return ok;
}

// The lines of the additional header text that are header lines (a token,
// a colon, a value without control bytes); other lines are dropped, since
// sending them would corrupt the request.
std::vector<std::string> headerLinesOf(LPCSTR headers, DWORD headersLength)
{
    std::vector<std::string> lines;
    if (headers == nullptr || headersLength == 0)
        return lines;
    const std::size_t length = headersLength == static_cast<DWORD>(-1)
        ? std::strlen(headers)
        : static_cast<std::size_t>(headersLength);
    const std::string text(headers, length);
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0)
            continue;
        bool valid = true;
        for (std::size_t i = 0; i < colon && valid; ++i)
            valid = isTokenChar(static_cast<unsigned char>(line[i]));
        const std::string value = trimmed(line.substr(colon + 1));
        for (char ch : value) {
            const unsigned char c = static_cast<unsigned char>(ch);
            if ((c < 0x20 && c != '\t') || c == 0x7F)
                valid = false;
        }
        if (!valid)
            continue;
        // libcurl reads "Name:" with nothing after it as "drop this header";
        // "Name;" is its way of sending it with an empty value.
        lines.push_back(value.empty() ? line.substr(0, colon) + ";"
                                      : line.substr(0, colon) + ": " + value);
    }
    return lines;
}

bool hasHeader(const std::vector<std::string>& lines, const char* name)
{
    const std::string colon = std::string(name) + ":";
    const std::string semicolon = std::string(name) + ";";
    for (const std::string& line : lines) {
        if (startsWithNoCase(line, colon.c_str()) || startsWithNoCase(line, semicolon.c_str()))
            return true;
    }
    return false;
}

} // namespace

InternetRequest::InternetRequest(InternetSession& session)
    : m_session(&session)
{
    m_aside.reserve(kMaxAside);
}

InternetRequest* InternetRequest::open(InternetSession& session, LPCSTR url, LPCSTR headers,
                                       DWORD headersLength, DWORD flags, DWORD_PTR context) noexcept
{
    static_cast<void>(context);
    if (url == nullptr) {
        InternetLastError::set("no URL");
        return nullptr;
    }
    std::unique_ptr<InternetRequest> request;
    try {
        const std::string target = wireUrl(url);
        if (!isHttpUrl(target)) {
            InternetLastError::set("malformed or unsupported URL");
            return nullptr;
        }
        std::vector<std::string> lines = headerLinesOf(headers, headersLength);
        if ((flags & INTERNET_FLAG_RELOAD) != 0) {
            // Also keep caches on the way (a proxy) from answering for the
            // server.
            if (!hasHeader(lines, "Cache-Control"))
                lines.emplace_back("Cache-Control: no-cache");
            if (!hasHeader(lines, "Pragma"))
                lines.emplace_back("Pragma: no-cache");
        }
        request.reset(new InternetRequest(session));
        session.attach(request.get());
        if (!request->start(target, lines))
            return nullptr;
    } catch (const std::bad_alloc&) {
        InternetLastError::set("out of memory");
        return nullptr;
    }
    if (!request->waitForHeaders())
        return nullptr;
    InternetLastError::clear();
    return request.release();
}

InternetRequest::~InternetRequest()
{
    orphan();
    if (m_easy != nullptr)
        curl_easy_cleanup(m_easy);
    if (m_headers != nullptr)
        curl_slist_free_all(m_headers);
}

void InternetRequest::orphan() noexcept
{
    if (m_session == nullptr)
        return;
    if (m_inMulti) {
        // Taking an unfinished transfer out closes its connection rather
        // than leaving a half-read reply on it for the next request.
        curl_multi_remove_handle(m_session->multi(), m_easy);
        m_inMulti = false;
    }
    m_session->detach(this);
    m_session = nullptr;
}

bool InternetRequest::start(const std::string& url, const std::vector<std::string>& headerLines)
{
    for (const std::string& line : headerLines) {
        curl_slist* extended = curl_slist_append(m_headers, line.c_str());
        if (extended == nullptr)
            throw std::bad_alloc();
        m_headers = extended;
    }
    m_easy = curl_easy_init();
    if (m_easy == nullptr) {
        InternetLastError::set("the HTTP library could not start a request");
        return false;
    }
    const InternetSession& s = *m_session;
    CURL* e = m_easy;
    bool ok = curl_easy_setopt(e, CURLOPT_ERRORBUFFER, m_errorText) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_URL, url.c_str()) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_HTTPGET, 1L) == CURLE_OK;
    // HTTP/1.1 only: its flow control is the socket's, so a paused transfer
    // really stops reading, where a multiplexed stream would be buffered.
    ok = ok && curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(s.connectTimeoutMs())) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(s.requestTimeoutMs())) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_HTTPHEADER, m_headers) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &InternetRequest::onBody) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_WRITEDATA, this) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &InternetRequest::onHeader) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_HEADERDATA, this) == CURLE_OK;
    ok = ok && curl_easy_setopt(e, CURLOPT_PRIVATE, this) == CURLE_OK;
    if (ok && !s.agent().empty())
        ok = curl_easy_setopt(e, CURLOPT_USERAGENT, s.agent().c_str()) == CURLE_OK;
    // With INTERNET_OPEN_TYPE_PRECONFIG no proxy option is set at all, which
    // leaves libcurl reading the proxy environment variables itself.
    if (ok && s.accessType() == INTERNET_OPEN_TYPE_DIRECT)
        ok = curl_easy_setopt(e, CURLOPT_PROXY, "") == CURLE_OK;
    if (ok && s.accessType() == INTERNET_OPEN_TYPE_PROXY) {
        ok = curl_easy_setopt(e, CURLOPT_PROXY, s.proxy().c_str()) == CURLE_OK;
        if (ok && !s.proxyBypass().empty())
            ok = curl_easy_setopt(e, CURLOPT_NOPROXY, s.proxyBypass().c_str()) == CURLE_OK;
    }
    if (!ok) {
        InternetLastError::set("the HTTP library refused the request's settings");
        return false;
    }
    m_deadline = Clock::now() + std::chrono::milliseconds(s.requestTimeoutMs()) + kDeadlineMargin;
    if (curl_multi_add_handle(m_session->multi(), e) != CURLM_OK) {
        InternetLastError::set("the HTTP library could not start a request");
        return false;
    }
    m_inMulti = true;
    return true;
}

void InternetRequest::recordFailure(const char* fallback) noexcept
{
    if (m_timedOut)
        InternetLastError::set("timed out");
    else if (m_errorText[0] != '\0')
        InternetLastError::set(m_errorText);
    else if (m_finished && m_result != CURLE_OK)
        InternetLastError::set(curl_easy_strerror(m_result));
    else
        InternetLastError::set(fallback);
}

bool InternetRequest::waitForProgress()
{
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now());
    if (m_timedOut || remaining.count() <= 0) {
        m_timedOut = true;
        return false;
    }
    m_session->wait(static_cast<int>(std::min<long long>(remaining.count(), kLongestWaitMs)));
    return true;
}

bool InternetRequest::waitForHeaders()
{
    for (;;) {
        if (!m_session->drive()) {
            recordFailure("the HTTP library failed");
            return false;
        }
        if (m_headersDone)
            return true;
        if (m_finished) {
            if (m_result == CURLE_OK) {
                m_headersDone = true;
                return true;
            }
            recordFailure("the request failed");
            return false;
        }
        if (!waitForProgress()) {
            recordFailure("timed out");
            return false;
        }
    }
}

bool InternetRequest::read(char* buffer, std::size_t toRead, std::size_t& bytesRead) noexcept
{
    bytesRead = 0;
    if (m_session == nullptr) {
        InternetLastError::set("the request's root handle was closed");
        return false;
    }
    m_dest = buffer;
    m_destSize = toRead;
    m_destFilled = 0;
    drainAside();
    bool failed = false;
    while (m_destFilled < m_destSize && !m_finished) {
        if (m_paused) {
            resume();
            continue;
        }
        if (!m_session->drive()) {
            failed = true;
            break;
        }
        if (m_destFilled >= m_destSize || m_finished || m_paused)
            continue;
        if (!waitForProgress()) {
            failed = true;
            break;
        }
    }
    const std::size_t filled = m_destFilled;
    m_dest = nullptr;
    m_destSize = 0;
    m_destFilled = 0;
    if (failed || (filled < toRead && m_result != CURLE_OK)) {
        recordFailure("the transfer failed");
        return false;
    }
    bytesRead = filled;
    InternetLastError::clear();
    return true;
}

void InternetRequest::finish(CURLcode result) noexcept
{
    m_finished = true;
    m_result = result;
}

void InternetRequest::drainAside() noexcept
{
    const std::size_t available = m_aside.size() - m_asideStart;
    const std::size_t n = std::min(available, m_destSize - m_destFilled);
    if (n > 0) {
        std::memcpy(m_dest + m_destFilled, m_aside.data() + m_asideStart, n);
        m_destFilled += n;
        m_asideStart += n;
    }
    if (m_asideStart == m_aside.size()) {
        m_aside.clear();
        m_asideStart = 0;
    }
}

void InternetRequest::resume() noexcept
{
    m_paused = false;
    // libcurl may hand over the bytes it held back from inside this call.
    curl_easy_pause(m_easy, CURLPAUSE_CONT);
}

std::size_t InternetRequest::takeBody(const char* data, std::size_t size) noexcept
{
    if (m_asideStart < m_aside.size()) {
        // Something is waiting already: let libcurl hold this piece and stop
        // reading until the caller asks for more.
        m_paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    m_headersDone = true;
    std::size_t n = 0;
    if (m_dest != nullptr) {
        n = std::min(size, m_destSize - m_destFilled);
        std::memcpy(m_dest + m_destFilled, data, n);
        m_destFilled += n;
    }
    if (n < size) {
        try {
            m_aside.assign(data + n, data + size);
            m_asideStart = 0;
        } catch (const std::bad_alloc&) {
            return 0; // libcurl ends the transfer with a write error
        }
    }
    return size;
}

void InternetRequest::takeHeaderLine(const char* data, std::size_t size) noexcept
{
    if (size >= 5 && std::memcmp(data, "HTTP/", 5) == 0) {
        // A status line begins a new header block (interim, redirect or
        // final reply).
        m_blockStatus = 0;
        m_blockHasLocation = false;
        std::size_t i = 5;
        while (i < size && data[i] != ' ')
            ++i;
        while (i < size && data[i] == ' ')
            ++i;
        long status = 0;
        for (int digits = 0; digits < 3 && i < size && data[i] >= '0' && data[i] <= '9'; ++digits, ++i)
            status = status * 10 + (data[i] - '0');
        m_blockStatus = status;
        return;
    }
    if ((size == 2 && data[0] == '\r' && data[1] == '\n') || (size == 1 && data[0] == '\n')) {
        // End of a header block. It is the reply's own unless it is an
        // interim reply or a redirect that libcurl is about to follow.
        const bool interim = m_blockStatus >= 100 && m_blockStatus < 200;
        const bool redirect = m_blockStatus >= 300 && m_blockStatus < 400 && m_blockHasLocation;
        if (!interim && !redirect)
            m_headersDone = true;
        return;
    }
    static const char location[] = "location:";
    const std::size_t n = sizeof(location) - 1;
    if (size > n) {
        bool match = true;
        for (std::size_t i = 0; i < n && match; ++i) {
            const char c = data[i];
            match = (c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) == location[i];
        }
        if (match) {
            for (std::size_t i = n; i < size; ++i) {
                if (data[i] != ' ' && data[i] != '\t' && data[i] != '\r' && data[i] != '\n')
                    m_blockHasLocation = true;
            }
        }
    }
}

std::size_t InternetRequest::onBody(char* data, std::size_t size, std::size_t count, void* self)
{
    return static_cast<InternetRequest*>(self)->takeBody(data, size * count);
}

std::size_t InternetRequest::onHeader(char* data, std::size_t size, std::size_t count, void* self)
{
    static_cast<InternetRequest*>(self)->takeHeaderLine(data, size * count);
    return size * count;
}
