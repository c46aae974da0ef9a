#include "WinInet.h"

#include "LoopbackServer.h"
#include "RefusingPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

const DWORD kFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_DONT_CACHE;

// Closes a handle at the end of a test, whatever happens in between.
class Handle
{
public:
    explicit Handle(HINTERNET h = nullptr) : m_h(h) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return m_h; }
    HINTERNET release() { HINTERNET h = m_h; m_h = nullptr; return h; }
    void reset(HINTERNET h = nullptr)
    {
        if (m_h != nullptr)
            InternetCloseHandle(m_h);
        m_h = h;
    }
    explicit operator bool() const { return m_h != nullptr; }

private:
    HINTERNET m_h;
};

HINTERNET openRoot()
{
    return InternetOpenA("Tarvex", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
}

HINTERNET openUrl(HINTERNET root, const std::string& url, const char* headers = nullptr,
                  DWORD headersLength = 0)
{
    return InternetOpenUrlA(root, url.c_str(), headers, headersLength, kFlags, 0);
}

void setRequestTimeout(HINTERNET root, DWORD ms)
{
    ASSERT_TRUE(InternetSetOptionA(root, INTERNET_OPTION_REQUEST_TIMEOUT, &ms, sizeof ms));
}

std::string pattern(std::size_t size)
{
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return s;
}

// Reads the whole body in reads of `chunk` bytes; false when a read fails.
bool readAll(HINTERNET file, std::string& body, DWORD chunk = 64000)
{
    body.clear();
    std::vector<char> buffer(chunk);
    for (int guard = 0; guard < 100000; ++guard) {
        DWORD n = 12345;
        if (!InternetReadFile(file, buffer.data(), chunk, &n))
            return false;
        if (n == 0)
            return true;
        if (n > chunk)
            return false;
        body.append(buffer.data(), n);
    }
    return false;
}

std::string headerPart(const std::string& head)
{
    const std::size_t lineEnd = head.find("\r\n");
    return lineEnd == std::string::npos ? std::string() : head.substr(lineEnd + 2);
}

} // namespace

TEST(InternetHandles, DefaultBoundsAreTheDocumentedOnes)
{
    Handle root(openRoot());
    ASSERT_TRUE(root);
    DWORD value = 0;
    DWORD size = sizeof value;
    ASSERT_TRUE(InternetQueryOptionA(root.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &value, &size));
    EXPECT_EQ(value, 10000u);
    EXPECT_EQ(value, INTERNET_DEFAULT_CONNECT_TIMEOUT_MS);
    ASSERT_TRUE(InternetQueryOptionA(root.get(), INTERNET_OPTION_REQUEST_TIMEOUT, &value, &size));
    EXPECT_EQ(value, 30000u);
    EXPECT_EQ(value, INTERNET_DEFAULT_REQUEST_TIMEOUT_MS);

    // A bound cannot be switched off.
    DWORD zero = 0;
    EXPECT_FALSE(InternetSetOptionA(root.get(), INTERNET_OPTION_REQUEST_TIMEOUT, &zero, sizeof zero));
    ASSERT_TRUE(InternetQueryOptionA(root.get(), INTERNET_OPTION_REQUEST_TIMEOUT, &value, &size));
    EXPECT_EQ(value, 30000u);
}

TEST(InternetHandles, InvalidHandlesAreRefusedNotUsed)
{
    EXPECT_FALSE(InternetCloseHandle(nullptr));
    DWORD n = 7;
    char buffer[16];
    EXPECT_FALSE(InternetReadFile(nullptr, buffer, sizeof buffer, &n));
    EXPECT_EQ(n, 0u);

    HINTERNET root = openRoot();
    ASSERT_NE(root, nullptr);
    // A root handle is not something to read from.
    EXPECT_FALSE(InternetReadFile(root, buffer, sizeof buffer, &n));
    EXPECT_TRUE(InternetCloseHandle(root));
    EXPECT_FALSE(InternetCloseHandle(root));
    EXPECT_EQ(InternetOpenUrlA(root, "http://127.0.0.1:1/", nullptr, 0, kFlags, 0), nullptr);
    EXPECT_EQ(InternetOpenUrlA(nullptr, "http://127.0.0.1:1/", nullptr, 0, kFlags, 0), nullptr);
    EXPECT_STRNE(InternetGetLastErrorText(), "");
}

TEST(InternetRead, BodyReadInPiecesOfAnySize)
{
    const std::string body = pattern(1000);
    LoopbackServer server(LoopbackServer::answering([&](const std::string&) { return LoopbackServer::reply(200, body); }));
    Handle root(openRoot());
    Handle file(openUrl(root.get(), server.url("/q")));
    ASSERT_TRUE(file) << InternetGetLastErrorText();

    std::string got;
    char buffer[600];
    for (DWORD size : {1u, 7u, 100u, 600u, 600u}) {
        DWORD n = 0;
        ASSERT_TRUE(InternetReadFile(file.get(), buffer, size, &n));
        got.append(buffer, n);
    }
    EXPECT_EQ(got, body);
    DWORD n = 99;
    EXPECT_TRUE(InternetReadFile(file.get(), buffer, sizeof buffer, &n));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(InternetReadFile(file.get(), buffer, 0, &n));
    EXPECT_EQ(n, 0u);
}

TEST(InternetRead, OneReadOf64000GivesExactlyTheFirst64000Bytes)
{
    const std::string body = pattern(150000);
    LoopbackServer server(LoopbackServer::answering([&](const std::string&) { return LoopbackServer::reply(200, body); }));
    Handle root(openRoot());
    Handle file(openUrl(root.get(), server.url("/q")));
    ASSERT_TRUE(file) << InternetGetLastErrorText();
    std::vector<char> buffer(64000);
    DWORD n = 0;
    ASSERT_TRUE(InternetReadFile(file.get(), buffer.data(), 64000, &n));
    ASSERT_EQ(n, 64000u);
    EXPECT_EQ(std::string(buffer.data(), n), body.substr(0, 64000));
    // The rest is still there, in order, for whoever asks.
    std::string rest;
    ASSERT_TRUE(readAll(file.get(), rest, 5000));
    EXPECT_EQ(rest, body.substr(64000));
}

TEST(InternetRead, BodyFramingsAndStatusesAllReadTheSame)
{
    const std::string text = pattern(3000);
    struct Case
    {
        const char* name;
        std::string reply;
        std::string body;
    };
    std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (std::size_t pos = 0; pos < text.size(); pos += 1000) {
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", std::min<std::size_t>(1000, text.size() - pos));
        chunked += size + text.substr(pos, 1000) + "\r\n";
    }
    chunked += "0\r\n\r\n";
    const std::vector<Case> cases = {
        {"empty body", LoopbackServer::reply(200, ""), ""},
        {"no content", "HTTP/1.1 204 No Content\r\n\r\n", ""},
        {"chunked", chunked, text},
        {"not found page", LoopbackServer::reply(404, "<html>no such page</html>"), "<html>no such page</html>"},
        {"server error page", LoopbackServer::reply(500, text), text},
        {"ended by close", "HTTP/1.0 200 OK\r\n\r\n" + text, text},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackServer server([&](LoopbackServer::Connection& connection) {
            std::string head;
            if (connection.readRequest(head))
                connection.send(c.reply);
        });
        Handle root(openRoot());
        Handle file(openUrl(root.get(), server.url("/q")));
        ASSERT_TRUE(file) << InternetGetLastErrorText();
        std::string body;
        EXPECT_TRUE(readAll(file.get(), body));
        EXPECT_EQ(body, c.body);
    }
}

TEST(InternetRead, BodyCutOffByTheServerFails)
{
    const std::string text = pattern(1000);
    const std::vector<std::string> replies = {
        "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + text,
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3e8\r\n" + text + "\r\n100\r\nabc",
        "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n",
    };
    for (const std::string& reply : replies) {
        SCOPED_TRACE(reply.substr(0, 60));
        LoopbackServer server([&](LoopbackServer::Connection& connection) {
            std::string head;
            if (connection.readRequest(head))
                connection.send(reply);
        });
        Handle root(openRoot());
        Handle file(openUrl(root.get(), server.url("/q")));
        ASSERT_TRUE(file) << "the reply's headers did arrive: " << InternetGetLastErrorText();
        std::vector<char> buffer(64000);
        DWORD n = 0;
        EXPECT_FALSE(InternetReadFile(file.get(), buffer.data(), 64000, &n));
        EXPECT_STRNE(InternetGetLastErrorText(), "");
    }
}

TEST(InternetOpen, RedirectsAreFollowedUpToFive)
{
    LoopbackServer server(LoopbackServer::answering([](const std::string& head) {
        if (head.rfind("GET /final ", 0) == 0)
            return LoopbackServer::reply(200, "arrived");
        if (head.rfind("GET /hop", 0) == 0) {
            const int hop = head[8] - '0';
            const std::string next = hop >= 5 ? "/final" : "/hop" + std::to_string(hop + 1);
            return LoopbackServer::reply(302, "moved", "Location: " + next + "\r\n");
        }
        return LoopbackServer::reply(301, "loop", "Location: /loop\r\n");
    }));
    Handle root(openRoot());
    {
        // /hop1 .. /hop5 then /final: five redirects.
        Handle file(openUrl(root.get(), server.url("/hop1")));
        ASSERT_TRUE(file) << InternetGetLastErrorText();
        std::string body;
        ASSERT_TRUE(readAll(file.get(), body));
        EXPECT_EQ(body, "arrived");
    }
    {
        // A redirect loop ends in failure, not in an endless request.
        Handle file(openUrl(root.get(), server.url("/loop")));
        EXPECT_FALSE(file);
    }
}

TEST(InternetOpen, FailsWithoutAServerOrAUsableUrl)
{
    RefusingPort refusing;
    Handle root(openRoot());
    const std::string refused = "http://127.0.0.1:" + std::to_string(refusing.port()) + "/cgi-bin/squote.exe";
    const std::vector<std::string> urls = {
        refused, "", "not a url", "http://", "http:///path", "ftp://127.0.0.1/file",
        "file:///etc/passwd", "127.0.0.1:8642/cgi-bin/squote.exe", "gopher://127.0.0.1/",
    };
    for (const std::string& url : urls) {
        SCOPED_TRACE(url);
        Handle file(openUrl(root.get(), url));
        EXPECT_FALSE(file);
        EXPECT_STRNE(InternetGetLastErrorText(), "");
    }
    EXPECT_EQ(InternetOpenUrlA(root.get(), nullptr, nullptr, 0, kFlags, 0), nullptr);
}

TEST(InternetOpen, ServerThatNeverAnswersFailsWithinTheBound)
{
    LoopbackServer server([](LoopbackServer::Connection& connection) {
        std::string head;
        if (connection.readRequest(head))
            connection.idle(20000);
    });
    Handle root(openRoot());
    setRequestTimeout(root.get(), 1200);
    const auto start = std::chrono::steady_clock::now();
    Handle file(openUrl(root.get(), server.url("/q")));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(file);
    // Generous: only shows the bound is the one set, not the 30 s default.
    EXPECT_LT(elapsed, std::chrono::seconds(10));
}

TEST(InternetRead, BodyThatStallsOrTricklesFailsWithinTheBound)
{
    for (bool trickle : {false, true}) {
        SCOPED_TRACE(trickle ? "trickle" : "stall");
        LoopbackServer server([&](LoopbackServer::Connection& connection) {
            std::string head;
            if (!connection.readRequest(head))
                return;
            if (!connection.send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789"))
                return;
            if (!trickle) {
                connection.idle(20000);
                return;
            }
            for (int i = 0; i < 100 && !server.stopping(); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                if (!connection.send("x"))
                    return;
            }
        });
        Handle root(openRoot());
        setRequestTimeout(root.get(), 1500);
        Handle file(openUrl(root.get(), server.url("/q")));
        ASSERT_TRUE(file) << InternetGetLastErrorText();
        std::vector<char> buffer(64000);
        DWORD n = 0;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(InternetReadFile(file.get(), buffer.data(), 64000, &n));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    }
}

TEST(InternetOpen, SendsTheAgentAndOnlyHeaderLinesOfTheHeaderText)
{
    LoopbackServer server(LoopbackServer::answering([](const std::string&) { return LoopbackServer::reply(200, "ok"); }));
    Handle root(openRoot());
    // The program passes its query string as header text, with its length.
    const std::string query = "SOURCE=msn&format=fraction&tables=table&TICKER=ABC+XYZ";
    const std::string url = server.url("/cgi-bin/squote.exe?" + query);
    Handle first(openUrl(root.get(), url, query.c_str(), static_cast<DWORD>(query.size())));
    ASSERT_TRUE(first) << InternetGetLastErrorText();
    first.reset();

    const char* text = "X-Quote-Test: yes\r\nnot a header line\r\nBad Name: no\r\n"
                       "X-Control: a\x01z\nX-Empty:\nX-Last:   two words  ";
    Handle second(openUrl(root.get(), server.url("/two"), text, static_cast<DWORD>(-1)));
    ASSERT_TRUE(second) << InternetGetLastErrorText();
    second.reset();

    // The length counts: what lies beyond it is not looked at.
    const char* cut = "X-Kept: 1\r\nX-Beyond: 2";
    Handle third(openUrl(root.get(), server.url("/three"), cut, 9));
    ASSERT_TRUE(third) << InternetGetLastErrorText();
    third.reset();

    const std::vector<std::string> heads = server.requests();
    ASSERT_EQ(heads.size(), 3u);
    EXPECT_EQ(heads[0].rfind("GET /cgi-bin/squote.exe?" + query + " HTTP/1.1\r\n", 0), 0u) << heads[0];
    EXPECT_NE(heads[0].find("\r\nUser-Agent: Tarvex\r\n"), std::string::npos) << heads[0];
    EXPECT_EQ(headerPart(heads[0]).find("SOURCE="), std::string::npos) << heads[0];
    // RELOAD keeps caches on the way out of it as well.
    EXPECT_NE(heads[0].find("\r\nCache-Control: no-cache\r\n"), std::string::npos) << heads[0];

    const std::string h = headerPart(heads[1]);
    EXPECT_NE(h.find("X-Quote-Test: yes\r\n"), std::string::npos) << h;
    EXPECT_NE(h.find("X-Empty:"), std::string::npos) << h;
    EXPECT_NE(h.find("X-Last: two words\r\n"), std::string::npos) << h;
    EXPECT_EQ(h.find("not a header line"), std::string::npos) << h;
    EXPECT_EQ(h.find("Bad Name"), std::string::npos) << h;
    EXPECT_EQ(h.find("X-Control"), std::string::npos) << h;

    EXPECT_NE(heads[2].find("X-Kept: 1\r\n"), std::string::npos) << heads[2];
    EXPECT_EQ(heads[2].find("X-Beyond"), std::string::npos) << heads[2];
}

TEST(InternetOpen, BytesAUrlCannotHoldAreSentEncoded)
{
    LoopbackServer server(LoopbackServer::answering([](const std::string&) { return LoopbackServer::reply(200, "ok"); }));
    Handle root(openRoot());
    Handle file(openUrl(root.get(), server.url("/cgi-bin/squote.exe?TICKER=A B+C&D+\xC9T")));
    ASSERT_TRUE(file) << InternetGetLastErrorText();
    file.reset();
    const std::vector<std::string> heads = server.requests();
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0].rfind("GET /cgi-bin/squote.exe?TICKER=A%20B+C&D+%C9T HTTP/1.1\r\n", 0), 0u) << heads[0];
}

TEST(InternetOpen, ProxyFromTheEnvironmentIsUsed)
{
    LoopbackServer proxy(LoopbackServer::answering([](const std::string&) { return LoopbackServer::reply(200, "via proxy"); }));
    const std::string proxyUrl = "http://127.0.0.1:" + std::to_string(proxy.port());
    ASSERT_EQ(setenv("http_proxy", proxyUrl.c_str(), 1), 0);
    Handle root(openRoot());
    Handle file(openUrl(root.get(), "http://quotes.example/cgi-bin/squote.exe?TICKER=ABC"));
    unsetenv("http_proxy");
    ASSERT_TRUE(file) << InternetGetLastErrorText();
    std::string body;
    ASSERT_TRUE(readAll(file.get(), body));
    EXPECT_EQ(body, "via proxy");
    const std::vector<std::string> heads = proxy.requests();
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0].rfind("GET http://quotes.example/cgi-bin/squote.exe?TICKER=ABC HTTP/1.1\r\n", 0), 0u)
        << heads[0];
}

TEST(InternetConnections, ReadRepliesShareOneConnectionAndHalfReadOnesDoNot)
{
    const std::string big = pattern(200000);
    LoopbackServer server(LoopbackServer::answering([&](const std::string& head) {
        if (head.rfind("GET /big ", 0) == 0)
            return LoopbackServer::reply(200, big);
        return LoopbackServer::reply(200, head.substr(4, head.find(' ', 4) - 4));
    }));
    Handle root(openRoot());
    for (const char* path : {"/one", "/two"}) {
        Handle file(openUrl(root.get(), server.url(path)));
        ASSERT_TRUE(file) << InternetGetLastErrorText();
        std::string body;
        ASSERT_TRUE(readAll(file.get(), body));
        EXPECT_EQ(body, path);
    }
    EXPECT_EQ(server.connections(), 1);

    {
        // Left half-read: the next request must not find the rest of this
        // reply in front of its own.
        Handle file(openUrl(root.get(), server.url("/big")));
        ASSERT_TRUE(file) << InternetGetLastErrorText();
        std::vector<char> buffer(1000);
        DWORD n = 0;
        ASSERT_TRUE(InternetReadFile(file.get(), buffer.data(), 1000, &n));
        EXPECT_EQ(n, 1000u);
    }
    Handle file(openUrl(root.get(), server.url("/three")));
    ASSERT_TRUE(file) << InternetGetLastErrorText();
    std::string body;
    ASSERT_TRUE(readAll(file.get(), body));
    EXPECT_EQ(body, "/three");
    EXPECT_EQ(server.connections(), 2);
}

TEST(InternetConnections, HugeReplyIsNotFetchedBeyondWhatIsRead)
{
    const std::size_t total = 10 * 1024 * 1024;
    std::atomic<bool> sentAll{false};
    LoopbackServer server([&](LoopbackServer::Connection& connection) {
        connection.setSendBuffer(64 * 1024);
        std::string head;
        if (!connection.readRequest(head))
            return;
        const std::string block = pattern(65536);
        if (!connection.send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(total) + "\r\n\r\n"))
            return;
        for (std::size_t sent = 0; sent < total; sent += block.size()) {
            if (!connection.send(block, 3000))
                return;
        }
        sentAll = true;
    });
    Handle root(openRoot());
    Handle file(openUrl(root.get(), server.url("/huge")));
    ASSERT_TRUE(file) << InternetGetLastErrorText();
    std::vector<char> buffer(64000);
    DWORD n = 0;
    ASSERT_TRUE(InternetReadFile(file.get(), buffer.data(), 64000, &n));
    ASSERT_EQ(n, 64000u);
    EXPECT_EQ(std::string(buffer.data(), 100), pattern(65536).substr(0, 100));
    // Give a layer that kept reading ahead the time to show it.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LT(server.bytesSent(), total / 2);
    file.reset();
    EXPECT_FALSE(sentAll.load());
}

TEST(InternetHandles, ClosingTheRootClosesItsUrlHandles)
{
    LoopbackServer server(LoopbackServer::answering([](const std::string&) { return LoopbackServer::reply(200, pattern(100000)); }));
    HINTERNET root = openRoot();
    ASSERT_NE(root, nullptr);
    HINTERNET file = openUrl(root, server.url("/q"));
    ASSERT_NE(file, nullptr) << InternetGetLastErrorText();
    EXPECT_TRUE(InternetCloseHandle(root));
    char buffer[100];
    DWORD n = 0;
    EXPECT_FALSE(InternetReadFile(file, buffer, sizeof buffer, &n));
    EXPECT_FALSE(InternetCloseHandle(file));
}
