#include "QuoteMarket.h"
#include "QuotePage.h"
#include "QuoteRequest.h"
#include "QuoteService.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kPrefix = "/cgi-bin/squote.exe?SOURCE=msn&format=fraction&tables=table&TICKER=";

// The cells of the rows of the first table, read the plain way (tags out,
// entities kept), which is all a client of the page relies on.
std::vector<std::vector<std::string>> firstTable(const std::string& page)
{
    std::vector<std::vector<std::string>> rows;
    const std::size_t start = page.find("<table");
    const std::size_t end = page.find("</table>", start);
    if (start == std::string::npos || end == std::string::npos)
        return rows;
    std::size_t pos = start;
    while ((pos = page.find("<tr>", pos)) != std::string::npos && pos < end) {
        const std::size_t rowEnd = page.find("</tr>", pos);
        std::vector<std::string> cells;
        std::size_t c = pos;
        while ((c = page.find("<t", c + 1)) != std::string::npos && c < rowEnd) {
            const std::size_t open = page.find('>', c) + 1;
            const std::size_t close = page.find("</t", open);
            cells.push_back(page.substr(open, close - open));
            c = close;
        }
        rows.push_back(cells);
        pos = rowEnd;
    }
    return rows;
}

std::string repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

std::vector<std::string> symbolsOf(const std::string& rawTicker)
{
    QuoteRequest request;
    std::string error;
    EXPECT_TRUE(QuoteRequest::parse("SOURCE=msn&format=fraction&tables=table&TICKER=" + rawTicker, request, error))
        << error;
    return request.symbols();
}

} // namespace

TEST(QuotePage, PricesInEighthsAndDecimals)
{
    struct Case
    {
        std::int64_t eighths;
        const char* fraction;
        const char* decimal;
    };
    const Case prices[] = {
        {98, "12 1/4", "12.25"}, {59, "7 3/8", "7.375"}, {360, "45", "45.00"}, {1, "1/8", "0.125"},
        {4, "1/2", "0.50"},      {6, "3/4", "0.75"},     {8007, "1000 7/8", "1000.875"},
    };
    for (const Case& c : prices) {
        EXPECT_EQ(QuotePage::formatPrice(c.eighths, true), c.fraction);
        EXPECT_EQ(QuotePage::formatPrice(c.eighths, false), c.decimal);
    }
    const Case changes[] = {
        {1, "+1/8", "+0.125"}, {-4, "-1/2", "-0.50"}, {0, "0", "0.00"}, {10, "+1 1/4", "+1.25"}, {-16, "-2", "-2.00"},
    };
    for (const Case& c : changes) {
        EXPECT_EQ(QuotePage::formatChange(c.eighths, true), c.fraction);
        EXPECT_EQ(QuotePage::formatChange(c.eighths, false), c.decimal);
    }
    EXPECT_EQ(QuotePage::formatPercent(1, 8), "+12.50%");
    EXPECT_EQ(QuotePage::formatPercent(-1, 800), "-0.13%");
    EXPECT_EQ(QuotePage::formatPercent(0, 100), "0.00%");
    EXPECT_EQ(QuotePage::formatTime(9 * 60 + 5), "9:05");
}

TEST(QuoteRequest, TickerSplitsOnLiteralPlusThenDecodes)
{
    struct Case
    {
        const char* raw;
        std::vector<std::string> symbols;
    };
    const Case cases[] = {
        {"ABC", {"ABC"}},
        {"ABC+XYZ", {"ABC", "XYZ"}},
        {"ABC++XYZ", {"ABC", "", "XYZ"}},
        {"ABC+", {"ABC", ""}},
        {"+ABC", {"", "ABC"}},
        {"", {""}},
        {"AT%26T+A%20B", {"AT&T", "A B"}},
        {"A%2BB+C", {"A+B", "C"}},
        {"%41bc%2b", {"Abc+"}},
        {"100%+%zz+%4", {"100%", "%zz", "%4"}},
        {"%C9T", {"\xC9T"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(symbolsOf(c.raw), c.symbols);
    }

    QuoteRequest request;
    std::string error;
    ASSERT_TRUE(QuoteRequest::parse("SOURCE=msn&format=fraction&tables=table&TICKER=A", request, error));
    EXPECT_TRUE(request.fraction());
    EXPECT_EQ(request.source(), "msn");
    ASSERT_TRUE(QuoteRequest::parse("TICKER=A&format=decimal", request, error));
    EXPECT_FALSE(request.fraction());
}

TEST(QuoteRequest, RefusesWhatItWillNotServe)
{
    const std::string many = [] {
        std::string s = "S0";
        for (int i = 1; i < 500; ++i)
            s += "+S" + std::to_string(i);
        return s;
    }();
    QuoteRequest request;
    std::string error;
    EXPECT_TRUE(QuoteRequest::parse("TICKER=" + many, request, error));
    EXPECT_EQ(request.symbols().size(), 500u);
    EXPECT_TRUE(QuoteRequest::parse("TICKER=" + std::string(64, 'A'), request, error));
    // The limit is on the symbol, not on its encoded form.
    EXPECT_TRUE(QuoteRequest::parse("TICKER=" + repeat("%41", 64), request, error));

    const std::vector<std::string> bad = {
        "SOURCE=msn&format=fraction&tables=table",
        "",
        "TICKERS=ABC",
        "TICKER=" + many + "+ONEMORE",
        "TICKER=ABC+" + std::string(65, 'A'),
        "TICKER=ABC+" + repeat("%41", 65),
        "TICKER=A%0AB",
        "TICKER=A%00",
    };
    for (const std::string& query : bad) {
        SCOPED_TRACE(query.substr(0, 80));
        error.clear();
        EXPECT_FALSE(QuoteRequest::parse(query, request, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(QuoteService, PageHasTheHeadingsAndOneRowPerSymbolInOrder)
{
    QuoteMarket market(5);
    QuoteService service(market);
    const QuoteReply reply = service.get(kPrefix + "XYZ+ABC++%3Cb%3E%26co%22+ABC");
    ASSERT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body.find("<html>"), 0u);
    EXPECT_NE(reply.body.find("<title>"), std::string::npos);
    const auto rows = firstTable(reply.body);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Symbol", "Last", "Change", "% Chg", "Open", "High", "Low",
                                                 "Volume", "Time"}));
    const std::vector<std::string> firstCells = {"XYZ", "ABC", "", "&lt;b&gt;&co\"", "ABC"};
    for (std::size_t i = 0; i < firstCells.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(rows[i + 1].size(), 9u);
        EXPECT_EQ(rows[i + 1][0], firstCells[i]);
        // Only the symbol of an empty symbol may be empty: a client that
        // skips empty cells would otherwise shift the row.
        for (std::size_t c = 1; c < 9; ++c)
            EXPECT_FALSE(rows[i + 1][c].empty());
    }
    // One request, one step: a symbol listed twice shows one quote.
    EXPECT_EQ(rows[2], rows[5]);
    // Fraction format: no decimal points in the prices.
    EXPECT_EQ(rows[1][1].find('.'), std::string::npos);

    const QuoteReply decimals = service.get("/cgi-bin/squote.exe?format=decimal&TICKER=XYZ");
    const auto decimalRows = firstTable(decimals.body);
    ASSERT_EQ(decimalRows.size(), 2u);
    EXPECT_NE(decimalRows[1][1].find('.'), std::string::npos);
}

TEST(QuoteService, BadRequestsGetAnErrorPageWithoutATable)
{
    QuoteMarket market(1);
    QuoteService service(market);
    struct Case
    {
        std::string target;
        int status;
    };
    const std::vector<Case> cases = {
        {"/", 404},
        {"/cgi-bin/other.exe?TICKER=ABC", 404},
        {"/cgi-bin/squote.exe", 400},
        {"/cgi-bin/squote.exe?SOURCE=msn&format=fraction&tables=table", 400},
        {kPrefix + std::string(65, 'Q'), 400},
        {kPrefix + "<script>%0D%0A", 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const QuoteReply reply = service.get(c.target);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_NE(reply.body.find("<html>"), std::string::npos);
        EXPECT_EQ(reply.body.find("<table"), std::string::npos);
        EXPECT_EQ(reply.body.find("<script>"), std::string::npos);
    }
}

TEST(QuoteMarket, SameSeedAndRequestsGiveTheSameQuotes)
{
    const std::vector<std::vector<std::string>> requests = {
        {"ABC", "XYZ"}, {"XYZ"}, {"ABC", "", "QQQ"}, {"ABC", "XYZ"}, {"QQQ", "ABC"},
    };
    auto run = [&](std::uint64_t seed) {
        QuoteMarket market(seed);
        QuoteService service(market);
        std::string pages;
        for (const auto& symbols : requests) {
            std::string ticker;
            for (std::size_t i = 0; i < symbols.size(); ++i)
                ticker += (i > 0 ? "+" : "") + symbols[i];
            pages += service.get(kPrefix + ticker).body;
        }
        return pages;
    };
    EXPECT_EQ(run(42), run(42));
    EXPECT_NE(run(42), run(43));

    // Each symbol has its own walk: asking for XYZ does not move ABC.
    QuoteMarket a(9);
    QuoteMarket b(9);
    a.quotes({"XYZ"});
    a.quotes({"XYZ"});
    const Quote fromA = a.quotes({"ABC"})[0];
    const Quote fromB = b.quotes({"ABC"})[0];
    EXPECT_EQ(fromA.last, fromB.last);
    EXPECT_EQ(fromA.volume, fromB.volume);
}

TEST(QuoteMarket, WalkStaysPlausible)
{
    QuoteMarket market(3);
    std::vector<std::string> symbols;
    for (int i = 0; i < 40; ++i)
        symbols.push_back("S" + std::to_string(i));
    std::vector<Quote> previous = market.quotes(symbols);
    bool moved = false;
    for (int step = 0; step < 3000; ++step) {
        const std::vector<Quote> now = market.quotes(symbols);
        for (std::size_t i = 0; i < now.size(); ++i) {
            const Quote& q = now[i];
            ASSERT_GE(q.last, 1) << q.symbol;
            ASSERT_GE(q.low, 1);
            ASSERT_LE(q.low, q.last);
            ASSERT_GE(q.high, q.last);
            ASSERT_LE(std::llabs(q.last - previous[i].last), previous[i].last / 200 + 1)
                << "at most half a percent a step, in whole eighths";
            ASSERT_GE(q.volume, previous[i].volume);
            ASSERT_LE(q.minuteOfDay, 16 * 60);
            moved = moved || q.last != previous[i].last;
        }
        previous = now;
    }
    EXPECT_TRUE(moved);
}

TEST(QuoteMarket, FixedQuotesFromCsv)
{
    QuoteMarket market(1);
    std::istringstream csv("# symbol,last,change,open,high,low,volume,time\n"
                           "ABC, 12.25 ,+0.5,11 3/4,12 1/2,11 5/8,12345,15:59\r\n"
                           "\n"
                           "XYZ,7 3/8\n");
    std::string error;
    ASSERT_TRUE(market.loadFixedQuotes(csv, error)) << error;
    for (int i = 0; i < 3; ++i) {
        const std::vector<Quote> q = market.quotes({"ABC", "XYZ", "OTHER"});
        EXPECT_EQ(q[0].last, 98);
        EXPECT_EQ(q[0].change(), 4);
        EXPECT_EQ(q[0].open, 94);
        EXPECT_EQ(q[0].high, 100);
        EXPECT_EQ(q[0].low, 93);
        EXPECT_EQ(q[0].volume, 12345u);
        EXPECT_EQ(q[0].minuteOfDay, 15 * 60 + 59);
        EXPECT_EQ(q[1].last, 59);
        EXPECT_EQ(q[1].change(), 0);
        EXPECT_EQ(q[2].symbol, "OTHER");
    }

    const char* bad[] = {",12\n", "ABC\n", "ABC,twelve\n", "ABC,12,x\n", "ABC,12,,,,,,25:00\n", "ABC,0\n", "ABC,12 1/3\n"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        std::istringstream in(std::string("# ok\n") + text);
        error.clear();
        EXPECT_FALSE(market.loadFixedQuotes(in, error));
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    }
}
