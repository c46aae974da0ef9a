// The refresh of a page against servers that misbehave on the wire: each
// case ends within the bounds with the status text of its kind, or with the
// rows its body holds, and a failed refresh leaves the rows the page had.
// (A refused port, a body closed short, a silent server and a reply over
// 64000 bytes are in the app suite; the wire-level forms in the net suite.)

#include "TarvexWorld.h"

#include "FaultServer.h"
#include "WinInet.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace {

const Table kOldRows = { { "SYMBOL", "LAST" }, { "OLD", "1" } };
constexpr DWORD kBoundMs = 2000;

class NetFaultTest : public TarvexWorld {
protected:
    void SetUp() override
    {
        TarvexWorld::SetUp();
        Start();
        doc = ActiveDoc();
        ASSERT_NE(doc, nullptr);
        DWORD ms = kBoundMs;
        ASSERT_TRUE(InternetSetOptionA(app->m_hInternet, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms));
        ASSERT_TRUE(InternetSetOptionA(app->m_hInternet, INTERNET_OPTION_REQUEST_TIMEOUT, &ms, sizeof ms));
        SetTickers(doc, { "ABC" });
    }

    // One refresh from a page showing kOldRows; how long it took.
    std::chrono::milliseconds Refresh(const FaultServer& server)
    {
        SetHost(server.Host());
        SetRows(doc, kOldRows);
        Frame()->m_wndStatusBar.SetPaneText(0, "");
        beeps.clear();
        const auto t0 = Clock::now();
        doc->UpdateQuotes();
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0);
    }

    CTarvexDoc* doc = nullptr;
};

std::string Head(const std::string& extra = "")
{
    return "HTTP/1.1 200 OK\r\n" + extra;
}

std::string WithLength(int status, const std::string& body)
{
    return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

std::string Chunked(const std::string& body, std::size_t piece)
{
    std::string out = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (std::size_t pos = 0; pos < body.size(); pos += piece) {
        const std::string part = body.substr(pos, piece);
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", part.size());
        out += size + part + "\r\n";
    }
    return out + "0\r\n\r\n";
}

// The reply head, then a reset.
void ResetAfter(FaultServer::Connection& c, const std::string& sent)
{
    std::string head;
    if (c.ReadHead(head))
        c.Send(sent);
    c.Reset();
}

TEST_F(NetFaultTest, FailuresKeepTheRowsAndSayWhichStepFailed)
{
    const std::string body = QuotePage({ { "SYMBOL", "LAST" }, { "NEW", "2" } });
    struct Case {
        const char* name;
        FaultServer::Script script;
        const char* pane;
    };
    const Case cases[] = {
        { "reset before any reply", [](FaultServer::Connection& c) { ResetAfter(c, ""); },
          "Can't connect to server" },
        { "reset during the headers", [](FaultServer::Connection& c) { ResetAfter(c, Head("Content-Len")); },
          "Can't connect to server" },
        { "reset mid-body",
          [&](FaultServer::Connection& c) {
              ResetAfter(c, Head("Content-Length: 5000\r\n\r\n") + body.substr(0, body.size() / 2));
          },
          "Can't read from server" },
        { "reset mid-chunk",
          [&](FaultServer::Connection& c) {
              const std::string full = Chunked(body, 40);
              ResetAfter(c, full.substr(0, full.size() - 20));
          },
          "Can't read from server" },
        { "closed without a word",
          [](FaultServer::Connection& c) {
              std::string head;
              c.ReadHead(head);
          },
          "Can't connect to server" },
        { "headers trickled a byte a second",
          [](FaultServer::Connection& c) {
              std::string head;
              if (c.ReadHead(head))
                  c.Trickle(Head("Content-Length: 10\r\n\r\n0123456789"), 1000);
          },
          "Can't connect to server" },
        { "body trickled a byte a second",
          [&](FaultServer::Connection& c) {
              std::string head;
              if (c.ReadHead(head) && c.Send(Head("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n")))
                  c.Trickle(body, 1000);
          },
          "Can't read from server" },
        { "redirected to a refusing port",
          [this](FaultServer::Connection& c) {
              std::string head;
              if (c.ReadHead(head))
                  c.Send("HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:" + std::to_string(refusing.port()) +
                         "/cgi-bin/squote.exe\r\nContent-Length: 0\r\n\r\n");
          },
          "Can't connect to server" },
        { "redirected in a loop",
          [](FaultServer::Connection& c) {
              std::string head;
              while (c.ReadHead(head) &&
                     c.Send("HTTP/1.1 301 Moved\r\nLocation: /again\r\nContent-Length: 0\r\n\r\n")) {
              }
          },
          "Can't connect to server" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FaultServer server(c.script);
        const auto took = Refresh(server);
        EXPECT_EQ(Pane(0), c.pane);
        EXPECT_EQ(beeps, std::vector<UINT>{ MB_ICONEXCLAMATION });
        EXPECT_EQ(Rows(doc), kOldRows);
        EXPECT_EQ(Snapshot(ActiveView()).lines, (std::vector<Strings>{ { "OLD", "1" } }));
        EXPECT_TRUE(doc->m_strPage.IsEmpty());
        EXPECT_FALSE(doc->m_bBusy);
        EXPECT_GE(server.Connections(), 1);
        // The bound is 2 s; what matters is that it is not the 30 s default.
        EXPECT_LT(took, std::chrono::seconds(12));
    }
}

TEST_F(NetFaultTest, BodiesOfEveryFramingAndStatusAreParsed)
{
    const Table rows = { { "SYMBOL", "LAST" }, { "NEW", "2" } };
    const std::string body = QuotePage(rows);
    std::string binary = std::string("\0\x01\xFF", 3) + "<table><tr><td>A" + std::string(1, '\0') + "B</td><td>\x7F\xFE" +
                         "</td></tr><tr><td>" + std::string(3, '\0') + "</td></tr></table>" + std::string(1, '\0');
    struct Case {
        const char* name;
        std::function<std::string(const std::string& head)> reply;
        Table rows;
    };
    const Case cases[] = {
        { "chunked in small pieces", [&](const std::string&) { return Chunked(body, 7); }, rows },
        { "server error with a table", [&](const std::string&) { return WithLength(500, body); }, rows },
        { "redirected once",
          [&](const std::string& head) {
              return head.rfind("GET /moved ", 0) == 0
                         ? WithLength(200, body)
                         : "HTTP/1.1 302 Found\r\nLocation: /moved\r\nContent-Length: 0\r\n\r\n";
          },
          rows },
        // NUL bytes neither end the text nor hide the table behind them.
        { "binary with NUL bytes", [&](const std::string&) { return WithLength(200, binary); },
          { { std::string("A\0B", 3), "\x7F\xFE" }, { std::string(3, '\0') } } },
        { "no table at all", [&](const std::string&) { return WithLength(200, std::string(1000, '\0')); }, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FaultServer server([&](FaultServer::Connection& conn) {
            std::string head;
            while (conn.ReadHead(head) && conn.Send(c.reply(head))) {
            }
        });
        Refresh(server);
        EXPECT_EQ(Rows(doc), c.rows);
        EXPECT_TRUE(beeps.empty());
        EXPECT_EQ(Pane(0), "");
        EXPECT_TRUE(doc->m_strPage.IsEmpty());
    }
}

TEST_F(NetFaultTest, TenMegabyteReplyIsParsedOnlyToItsFirst64000Bytes)
{
    std::string body = "<html><body><table>\n";
    for (int i = 0; body.size() < 10u * 1024 * 1024; ++i)
        body += "<tr><td>S" + std::to_string(i) + "</td><td>" + std::to_string(i * 7) + "</td></tr>\n";
    body += "</table></body></html>";

    FaultServer server([&](FaultServer::Connection& c) {
        c.SetSendBuffer(64 * 1024);
        std::string head;
        if (c.ReadHead(head))
            c.Send(WithLength(200, body), 3000);
    });
    const auto took = Refresh(server);

    CTarvexDoc oracle;
    oracle.m_strPage = CString(body.substr(0, 64000));
    oracle.ParsePage();
    const Table rows = Rows(doc);
    EXPECT_EQ(rows, Rows(&oracle));
    EXPECT_GT(rows.size(), 1000u);
    EXPECT_TRUE(beeps.empty());
    // Nothing near the whole reply was taken in.
    EXPECT_LT(server.BytesSent(), body.size() / 2);
    EXPECT_LT(took, std::chrono::seconds(12));
}

} // namespace
