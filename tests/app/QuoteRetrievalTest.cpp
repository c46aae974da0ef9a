// The refresh of one quote page against scripted loopback servers: what the
// server receives, and what the page, its views, the status bar and the
// speaker show for each kind of reply.

#include "TarvexWorld.h"

#include "LoopbackServer.h"
#include "WinInet.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iterator>

namespace {

class QuoteRetrievalTest : public TarvexWorld {
protected:
    void SetUp() override
    {
        TarvexWorld::SetUp();
        Start();
        doc = ActiveDoc();
        view = ActiveView();
        ASSERT_NE(doc, nullptr);
        ASSERT_NE(view, nullptr);
    }
    void Serve(const LoopbackServer& server) { SetHost("127.0.0.1:" + std::to_string(server.port())); }

    CTarvexDoc* doc = nullptr;
    CTarvexView* view = nullptr;
};

const Table kOldRows = { { "SYMBOL", "LAST" }, { "OLD", "1" } };

Strings HeaderLines(const std::string& head)
{
    Strings lines;
    std::size_t pos = head.find("\r\n"); // past the request line
    while (pos != std::string::npos) {
        pos += 2;
        const std::size_t end = head.find("\r\n", pos);
        if (end == std::string::npos || end == pos)
            break;
        lines.push_back(head.substr(pos, end - pos));
        pos = end;
    }
    return lines;
}

TEST_F(QuoteRetrievalTest, RequestAsTheServerSeesIt)
{
    LoopbackServer server(LoopbackServer::answering(
        [](const std::string&) { return LoopbackServer::reply(200, QuotePage({ { "SYMBOL" } })); }));
    Serve(server);

    struct Case {
        Strings tickers;
        const char* symbols; // the query after "TICKER=", as sent
    };
    const Case cases[] = {
        { { "ABC" }, "ABC" },
        { { "ABC", "XYZ" }, "ABC+XYZ" },
        { { "ABC", "", "XYZ" }, "ABC++XYZ" },
        { { "ABC", "" }, "ABC+" },
        { { "" }, "" },
        { { "AT&T", "A B" }, "AT%26T+A%20B" },
        { { "A+B", "C#D", "\xC3\x89" }, "A%2BB+C%23D+%C3%89" },
        { { "A?B=C", "%41", "x/y" }, "A%3FB%3DC+%2541+x%2Fy" },
        { { "A\r\nX-Evil: 1" }, "A%0D%0AX-Evil%3A%201" },
        { { "-._~09az" }, "-._~09az" },
    };
    for (const Case& c : cases) {
        SetTickers(doc, c.tickers);
        const std::size_t before = server.requests().size();
        doc->UpdateQuotes();
        const std::vector<std::string> requests = server.requests();
        ASSERT_EQ(requests.size(), before + 1) << c.symbols;
        const std::string& head = requests.back();
        EXPECT_EQ(head.compare(0, 4, "GET "), 0) << head;
        EXPECT_EQ(SymbolsOf(head), c.symbols) << head;
        const Strings headers = HeaderLines(head);
        EXPECT_NE(std::find(headers.begin(), headers.end(), "User-Agent: Tarvex"), headers.end()) << head;
        for (const std::string& line : headers) {
            // The query goes along as header text, but never as a header.
            EXPECT_NE(line.find(':'), std::string::npos) << line;
            EXPECT_NE(line.compare(0, 6, "X-Evil"), 0) << head;
            EXPECT_NE(line.compare(0, 6, "SOURCE"), 0) << head;
        }
    }
    EXPECT_TRUE(beeps.empty());
    EXPECT_FALSE(doc->m_bBusy);
}

TEST_F(QuoteRetrievalTest, RefusedConnectionKeepsTheRowsAndItsStatusText)
{
    std::atomic<int> served{ 0 };
    LoopbackServer server(LoopbackServer::answering([&](const std::string&) {
        const int n = ++served;
        return LoopbackServer::reply(200, QuotePage({ { "SYMBOL", "N" }, { "ABC", std::to_string(n) } }));
    }));
    SetTickers(doc, { "ABC" });
    Serve(server);
    doc->UpdateQuotes();
    const Table rows = Rows(doc);
    ASSERT_EQ(rows, (Table{ { "SYMBOL", "N" }, { "ABC", "1" } }));
    const ListSnapshot shown = Snapshot(view);

    SetHost("127.0.0.1:" + std::to_string(refusing.port()));
    doc->UpdateQuotes();
    EXPECT_EQ(beeps, std::vector<UINT>{ MB_ICONEXCLAMATION });
    EXPECT_EQ(Pane(0), "Can't connect to server");
    EXPECT_EQ(Rows(doc), rows);
    EXPECT_EQ(Snapshot(view), shown);
    EXPECT_FALSE(doc->m_bBusy);
    Idle(); // idle passes leave the message pane alone
    EXPECT_EQ(Pane(0), "Can't connect to server");

    // A later success shows its quotes but leaves the text where it is.
    Serve(server);
    doc->UpdateQuotes();
    EXPECT_EQ(Rows(doc), (Table{ { "SYMBOL", "N" }, { "ABC", "2" } }));
    EXPECT_EQ(Pane(0), "Can't connect to server");
    EXPECT_EQ(beeps.size(), 1u);
}

TEST_F(QuoteRetrievalTest, BodyCutOffMidTransfer)
{
    LoopbackServer server([](LoopbackServer::Connection& connection) {
        std::string head;
        if (connection.readRequest(head))
            connection.send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n<table><tr><td>NEW</td><td>2</td>");
    });
    Serve(server);
    SetTickers(doc, { "NEW" });
    SetRows(doc, kOldRows);
    const ListSnapshot shown = Snapshot(view);

    doc->UpdateQuotes();
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(beeps, std::vector<UINT>{ MB_ICONEXCLAMATION });
    EXPECT_EQ(Pane(0), "Can't read from server");
    EXPECT_EQ(Rows(doc), kOldRows);
    EXPECT_EQ(Snapshot(view), shown);
    EXPECT_TRUE(doc->m_strPage.IsEmpty());
    EXPECT_FALSE(doc->m_bBusy);
}

TEST_F(QuoteRetrievalTest, OnlyTheFirst64000BytesAreParsed)
{
    // Fixed-size rows, with padding in front of the table chosen so that
    // byte 64000 falls ten bytes into the second cell of row k.
    const auto row = [](int i) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "<tr><td>S%05d</td><td>V%05dQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQ</td></tr>\n", i, i);
        return std::string(buf);
    };
    const std::size_t rowLength = row(0).size();
    const std::size_t valueOffset = row(0).find("V");
    const std::string start = "<html><body><table>\n";
    const std::size_t want = 64000 - start.size() - valueOffset - 10;
    const int k = static_cast<int>(want / rowLength);
    const std::string body = std::string(want % rowLength, ' ') + start + [&] {
        std::string rows;
        for (int i = 0; i < 3000; ++i)
            rows += row(i);
        return rows;
    }() + "</table></body></html>";
    ASSERT_EQ(body.compare(64000 - 10, 10, row(k).substr(valueOffset, 10)), 0);
    ASSERT_GT(body.size(), 150000u);

    LoopbackServer server(
        LoopbackServer::answering([&](const std::string&) { return LoopbackServer::reply(200, body); }));
    Serve(server);
    SetTickers(doc, { "S00000" });
    doc->UpdateQuotes();

    const Table rows = Rows(doc);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(k + 1));
    char symbol[16];
    std::snprintf(symbol, sizeof symbol, "S%05d", k - 1);
    EXPECT_EQ(rows[k - 1], (Strings{ symbol, row(k - 1).substr(valueOffset, 36) }));
    std::snprintf(symbol, sizeof symbol, "S%05d", k);
    EXPECT_EQ(rows[k], (Strings{ symbol, row(k).substr(valueOffset, 10) }));
    EXPECT_TRUE(beeps.empty());
    EXPECT_TRUE(doc->m_strPage.IsEmpty());
}

TEST_F(QuoteRetrievalTest, WhateverBodyArrivesIsParsed)
{
    struct Case {
        const char* name;
        std::string reply;
        Table rows;
    };
    const Case cases[] = {
        { "empty body", LoopbackServer::reply(200, ""), {} },
        { "no table", LoopbackServer::reply(200, "<html><body>No quotes today</body></html>"), {} },
        { "error status with a table", LoopbackServer::reply(404, QuotePage({ { "ERROR" }, { "NOT FOUND" } })),
          { { "ERROR" }, { "NOT FOUND" } } },
        { "closed without length",
          "HTTP/1.0 200 OK\r\nConnection: close\r\n\r\n<Table><TR><td>Sym</td></tr><tr><td>abc</td></tr></table>",
          { { "SYM" }, { "ABC" } } },
    };
    std::atomic<int> current{ 0 };
    LoopbackServer server([&](LoopbackServer::Connection& connection) {
        std::string head;
        while (connection.readRequest(head)) {
            const std::string& reply = cases[current.load()].reply;
            if (!connection.send(reply) || reply.find("Connection: close") != std::string::npos)
                return;
        }
    });
    Serve(server);
    SetTickers(doc, { "ABC" });
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const Case& c = cases[i];
        current = i;
        SetRows(doc, kOldRows);
        doc->UpdateQuotes();
        EXPECT_EQ(Rows(doc), c.rows) << c.name;
        ListSnapshot expected;
        if (!c.rows.empty()) {
            expected.headings = c.rows[0];
            expected.lines.assign(c.rows.begin() + 1, c.rows.end());
        }
        EXPECT_EQ(Snapshot(view), expected) << c.name;
    }
    EXPECT_EQ(server.requests().size(), std::size(cases));
    EXPECT_TRUE(beeps.empty());
}

TEST_F(QuoteRetrievalTest, BusyPageAndEmptyTickerListMakeNoRequest)
{
    LoopbackServer server(LoopbackServer::answering(
        [](const std::string&) { return LoopbackServer::reply(200, QuotePage({ { "NEW" } })); }));
    Serve(server);
    SetRows(doc, kOldRows);
    const ListSnapshot shown = Snapshot(view);

    SetTickers(doc, { "ABC" });
    doc->m_bBusy = TRUE;
    doc->UpdateQuotes();
    EXPECT_EQ(Rows(doc), kOldRows);
    EXPECT_EQ(Snapshot(view), shown);
    EXPECT_TRUE(doc->m_bBusy);
    doc->m_bBusy = FALSE;

    SetTickers(doc, {});
    doc->UpdateQuotes();
    EXPECT_TRUE(Rows(doc).empty());
    EXPECT_EQ(Snapshot(view), ListSnapshot{});
    EXPECT_FALSE(doc->m_bBusy);

    EXPECT_EQ(server.connections(), 0);
    EXPECT_TRUE(beeps.empty());
    EXPECT_NE(Pane(0), "Can't connect to server");
}

TEST_F(QuoteRetrievalTest, RefreshesOfAPageShareOneConnection)
{
    LoopbackServer server(LoopbackServer::answering(
        [](const std::string&) { return LoopbackServer::reply(200, QuotePage({ { "SYMBOL" }, { "ABC" } })); }));
    Serve(server);
    SetTickers(doc, { "ABC" });
    doc->UpdateQuotes();
    doc->UpdateQuotes();
    EXPECT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(server.connections(), 1);
}

TEST_F(QuoteRetrievalTest, SilentServerEndsWithinTheBounds)
{
    LoopbackServer server([](LoopbackServer::Connection& connection) {
        std::string head;
        if (connection.readRequest(head))
            connection.idle(30000);
    });
    Serve(server);
    DWORD ms = 1000;
    ASSERT_TRUE(InternetSetOptionA(app->m_hInternet, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms));
    ASSERT_TRUE(InternetSetOptionA(app->m_hInternet, INTERNET_OPTION_REQUEST_TIMEOUT, &ms, sizeof ms));
    SetTickers(doc, { "ABC" });
    SetRows(doc, kOldRows);

    const auto t0 = Clock::now();
    doc->UpdateQuotes();
    EXPECT_LT(Clock::now() - t0, std::chrono::seconds(20));
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(Pane(0), "Can't connect to server");
    EXPECT_EQ(beeps, std::vector<UINT>{ MB_ICONEXCLAMATION });
    EXPECT_EQ(Rows(doc), kOldRows);
    EXPECT_FALSE(doc->m_bBusy);
}

TEST_F(QuoteRetrievalTest, BadServerHostIsNeverContacted)
{
    LoopbackServer server(LoopbackServer::answering(
        [](const std::string&) { return LoopbackServer::reply(200, QuotePage({ { "SYMBOL" } })); }));
    const std::string good = "127.0.0.1:" + std::to_string(server.port());
    const std::string hosts[] = {
        good + "/x?",
        good + "?TICKER=",
        good + "#",
        "user@" + good,
        " " + good,
        good + " ",
        "127.0.0.1 :" + std::to_string(server.port()),
        good + ":80",
        "evil.example/x?",
        "a b",
        "",
    };
    SetTickers(doc, { "ABC" });
    for (const std::string& host : hosts) {
        SetHost(host);
        Frame()->m_wndStatusBar.SetPaneText(0, "");
        beeps.clear();
        doc->UpdateQuotes();
        EXPECT_EQ(Pane(0), "Can't connect to server") << '"' << host << '"';
        EXPECT_EQ(beeps.size(), 1u) << '"' << host << '"';
        EXPECT_FALSE(doc->m_bBusy);
    }
    EXPECT_EQ(server.connections(), 0);

    // The same server under its plain address answers.
    SetHost(good);
    beeps.clear();
    doc->UpdateQuotes();
    EXPECT_EQ(server.connections(), 1);
    EXPECT_TRUE(beeps.empty());
}

} // namespace
