#include "CRowList.h"
#include "CString.h"
#include "CStringList.h"
#include "CTarvexDoc.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows RowsOf(const CRowList& rowList)
{
    Rows rows;
    for (POSITION pos = rowList.GetHeadPosition(); pos;) {
        const CStringList* pRow = rowList.GetNext(pos);
        std::vector<std::string> cells;
        for (POSITION cell = pRow->GetHeadPosition(); cell;)
            cells.push_back(pRow->GetNext(cell).str());
        rows.push_back(cells);
    }
    return rows;
}

Rows Parse(const std::string& reply)
{
    CTarvexDoc doc;
    doc.m_strPage = CString(reply);
    doc.ParsePage();
    EXPECT_TRUE(doc.m_strPage.IsEmpty());
    return RowsOf(doc.m_rowList);
}

// The parser as the cut-the-front description reads, one CString call at a
// time: slow on purpose, and the yardstick the real scanner must match. A
// tag that is never closed ends the scan like the end of the text.
bool RefSkipTag(CString& s)
{
    const int n = s.Find(">");
    if (n < 0) {
        s.Empty();
        return false;
    }
    s = s.Mid(n + 1);
    return true;
}

CString RefGetNextCell(CString& s, int* pbMoreRows, int* pbMoreCells)
{
    CString cell;
    for (;;) {
        s.TrimLeft();
        if (s.GetLength() == 0) {
            *pbMoreRows = *pbMoreCells = 0;
            break;
        }
        if (s.GetAt(0) == '<') {
            if (!RefSkipTag(s)) {
                *pbMoreRows = *pbMoreCells = 0;
                break;
            }
            continue;
        }
        while (s.GetLength() > 0 && s.GetAt(0) != '<') {
            cell += s.GetAt(0);
            s = s.Mid(1);
        }
        break;
    }
    for (;;) {
        s.TrimLeft();
        if (s.GetLength() == 0) {
            *pbMoreRows = *pbMoreCells = 0;
            break;
        }
        if (s.GetAt(0) != '<')
            break;
        if (s.Left(4).Compare("</TR") == 0) {
            if (!RefSkipTag(s)) {
                *pbMoreRows = *pbMoreCells = 0;
                break;
            }
            *pbMoreCells = 0;
            continue;
        }
        if (s.Left(7).Compare("</TABLE") == 0) {
            RefSkipTag(s);
            *pbMoreRows = *pbMoreCells = 0;
            break;
        }
        if (s.Left(2).Compare("</") == 0) {
            if (!RefSkipTag(s)) {
                *pbMoreRows = *pbMoreCells = 0;
                break;
            }
            continue;
        }
        break;
    }
    return cell;
}

Rows RefParse(const std::string& reply)
{
    CString page(reply);
    page.MakeUpper();
    Rows rows;
    const int nTable = page.Find("<TABLE");
    if (nTable < 0)
        return rows;
    page = page.Mid(nTable + 1);
    page = page.Mid(page.Find(">") + 1);
    int bMoreRows = 1;
    while (bMoreRows) {
        std::vector<std::string> row;
        int bMoreCells = 1;
        while (bMoreCells)
            row.push_back(RefGetNextCell(page, &bMoreRows, &bMoreCells).str());
        rows.push_back(row);
    }
    return rows;
}

TEST(QuoteParser, WorkedExampleGivesHeadingsAndTwoQuoteRows)
{
    const std::string reply =
        "<html><body><h3>Quotes</h3>\n"
        "<table border=1>\n"
        "<tr><th>Symbol</th><th>Last</th><th>Change</th></tr>\n"
        "<tr><td>ABC</td><td><b>12 1/4</b></td><td>+1/8</td></tr>\n"
        "<tr><td>XYZ</td><td>7 3/8</td><td> -1/2 </td></tr>\n"
        "</table><p>Delayed quotes</p>\n"
        "</body></html>\n";
    const Rows expected = {
        {"SYMBOL", "LAST", "CHANGE"},
        {"ABC", "12 1/4", "+1/8"},
        {"XYZ", "7 3/8", "-1/2 "},
    };
    EXPECT_EQ(Parse(reply), expected);
}

TEST(QuoteParser, WorkedExampleCallByCall)
{
    // What is left once the table's start tag is gone.
    CString page(
        "\n<TR><TH>SYMBOL</TH><TH>LAST</TH><TH>CHANGE</TH></TR>\n"
        "<TR><TD>ABC</TD><TD><B>12 1/4</B></TD><TD>+1/8</TD></TR>\n"
        "<TR><TD>XYZ</TD><TD>7 3/8</TD><TD> -1/2 </TD></TR>\n"
        "</TABLE><P>DELAYED QUOTES</P>\n");
    struct Call {
        const char* cell;
        int rows;
        int cells;
        const char* restBegins;
    };
    const Call calls[] = {
        {"SYMBOL", 1, 1, "<TH>LAST"},
        {"LAST", 1, 1, "<TH>CHANGE"},
        {"CHANGE", 1, 0, "<TR><TD>ABC"},
        {"ABC", 1, 1, "<TD><B>"},
        {"12 1/4", 1, 1, "<TD>+1/8"},
        {"+1/8", 1, 0, "<TR><TD>XYZ"},
        {"XYZ", 1, 1, "<TD>7 3/8"},
        {"7 3/8", 1, 1, "<TD> -1/2"},
        {"-1/2 ", 0, 0, "<P>DELAYED QUOTES</P>\n"},
    };
    CTarvexDoc doc;
    for (const Call& c : calls) {
        SCOPED_TRACE(c.cell);
        int bMoreRows = 1;
        int bMoreCells = 1;
        const CString cell = doc.GetNextCell(page, &bMoreRows, &bMoreCells);
        EXPECT_EQ(cell.str(), c.cell);
        EXPECT_EQ(bMoreRows, c.rows);
        EXPECT_EQ(bMoreCells, c.cells);
        EXPECT_EQ(page.Left(static_cast<int>(std::string(c.restBegins).size())).str(), c.restBegins);
    }
}

struct ParseCase {
    const char* name;
    std::string reply;
    Rows rows;
};

TEST(QuoteParser, EdgeCases)
{
    const ParseCase cases[] = {
        {"tags in any case, cell upper-cased", "<Table><tr><TD>Abc Corp</td></TR></table>", {{"ABC CORP"}}},
        {"a tag that merely begins with TABLE starts the table",
         "<tablex><tr><td>A</td></tr></tablex><td>B", {{"A"}}},
        {"reply ends inside the table start tag", "<p>x</p><table border=1", {{"TABLE BORDER=1"}}},
        {"only the first of two tables",
         "<table><tr><td>A</td></tr></table><table><tr><td>B</td></tr></table>", {{"A"}}},
        {"a nested table's end tag ends the parse",
         "<table><tr><td><table><tr><td>IN</td></tr></table></td><td>OUT</td></tr></table>", {{"IN"}}},
        {"table end right after its start runs into the text after it",
         "<table></table> after <b>text</b>", {{"AFTER ", "TEXT"}}},
        {"table end right after its start, nothing after it", "<table></table> <p>\n</p>", {{""}}},
        {"an empty cell shifts the next one left",
         "<table><tr><td>A</td><td></td><td>C</td></tr></table>", {{"A", "C"}}},
        {"a cell of white space only is empty too",
         "<table><tr><td>A</td><td> \t </td><td>C</td></tr></table>", {{"A", "C"}}},
        {"an empty last cell merges the next row into this one",
         "<table><tr><td>A</td><td></td></tr><tr><td>B</td></tr></table>", {{"A", "B"}}},
        {"rows without end tags run together",
         "<table><tr><td>A<tr><td>B</tr><tr><td>C</table>", {{"A", "B"}, {"C"}}},
        {"a caption is a cell of the current row",
         "<table><caption>Quotes</caption><tr><td>A</td></tr></table>", {{"QUOTES", "A"}}},
        {"white space in front dropped, behind and inside kept",
         "<table><tr><td>  12 1/4 </td><td>a\nb</td></tr></table>", {{"12 1/4 ", "A\nB"}}},
        {"white space around the whole reply",
         "  \r\n<TABLE>\n<TR>\n<TD>\n\tA\n</TD>\n</TR>\n</TABLE>\n  ", {{"A\n"}}},
        {"character references are not decoded",
         "<table><tr><td>AT&amp;T&nbsp;</td></tr></table>", {{"AT&AMP;T&NBSP;"}}},
        {"a < in text ends the cell and starts a tag",
         "<table><tr><td>1 < 2</td><td>X</td></tr></table>", {{"1 ", "X"}}},
        {"end of row and of table in one call",
         "<table><tr><td>A</td></tr></table>x<td>y", {{"A"}}},
        {"no table at all", "<html><body>Error 500</body></html>", {}},
        {"empty reply", "", {}},
        {"reply ends right after a row start", "<table><tr><td>A</td></tr><tr>", {{"A"}, {""}}},
        {"reply ends right after a cell start", "<table><tr><td>A</td><td>", {{"A", ""}}},
        {"table without an end tag", "<table><tr><td>A</td></tr><tr><td>B", {{"A"}, {"B"}}},
        {"an unclosed tag in phase 1 ends the scan", "<table><tr><td>A</td></tr><tr><td", {{"A"}, {""}}},
        {"an unclosed start tag after a cell", "<table><tr><td>A</td><td>B<br", {{"A", "B", ""}}},
        {"an unclosed row end tag ends the scan", "<table><tr><td>A</td></tr", {{"A"}}},
        {"an unclosed other end tag ends the scan", "<table><tr><td>A</td", {{"A"}}},
        {"an unclosed table end tag ends the scan", "<table><tr><td>A</td></table", {{"A"}}},
        {"a lone < at the end", "<table><tr><td>A<", {{"A", ""}}},
        {"Latin-1 letters upper-cased in UTF-8, others kept",
         "<table><tr><td>Soci\xc3\xa9t\xc3\xa9 \xc3\xbf\xc3\x9f \xc3\xb7</td></tr></table>",
         {{"SOCI\xc3\x89T\xc3\x89 \xc3\xbf\xc3\x9f \xc3\xb7"}}},
        {"a non-breaking space is not white space",
         "<table><tr><td>\xc2\xa0" "A</td></tr></table>", {{"\xc2\xa0" "A"}}},
        {"an embedded NUL byte is text", std::string("<table><tr><td>A\0B</td></tr></table>", 36),
         {{std::string("A\0B", 3)}}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Parse(c.reply), c.rows);
        EXPECT_EQ(RefParse(c.reply), c.rows);  // keeps the yardstick honest
    }
}

TEST(QuoteParser, ReplaceRowsOfEarlierRefreshAndEmptiesWithoutTable)
{
    CTarvexDoc doc;
    doc.m_strPage = "<table><tr><td>A</td><td>B</td></tr><tr><td>C</td></tr></table>";
    doc.ParsePage();
    ASSERT_EQ(doc.m_rowList.GetCount(), 2);

    doc.m_strPage = "<table><tr><td>X</td></tr></table>";
    doc.ParsePage();
    EXPECT_EQ(RowsOf(doc.m_rowList), Rows({{"X"}}));

    doc.m_strPage = "Service unavailable";
    doc.ParsePage();
    EXPECT_EQ(doc.m_rowList.GetCount(), 0);
    EXPECT_TRUE(doc.m_strPage.IsEmpty());
}

TEST(QuoteParser, FullSizeReply)
{
    // A reply of the largest size read: many rows, every one of them found.
    std::string reply = "<table>";
    int nRows = 0;
    while (reply.size() < 63900) {
        reply += "<tr><td>SYM" + std::to_string(nRows) + "</td><td>1 1/2</td></tr>\n";
        ++nRows;
    }
    reply += "</table>";
    const Rows rows = Parse(reply);
    ASSERT_EQ(static_cast<int>(rows.size()), nRows);
    EXPECT_EQ(rows.back(), std::vector<std::string>({"SYM" + std::to_string(nRows - 1), "1 1/2"}));
}

TEST(QuoteParser, GetNextCellOnItsOwn)
{
    struct Case {
        const char* name;
        const char* text;
        const char* cell;
        int rows;
        int cells;
        const char* rest;
    };
    const Case cases[] = {
        {"stops before the next start tag", "<TD>A</TD><TD>B", "A", 1, 1, "<TD>B"},
        {"row end then table end", " X </TR>\n</TABLE>tail<TD>", "X ", 0, 0, "tail<TD>"},
        {"row end, text follows", "X</TR>\n Y", "X", 1, 0, "Y"},
        {"end tags before the text are skipped", "</TD></TR></TABLE>Z</B>", "Z", 0, 0, ""},
        {"nothing but tags", "<TD></TD> \n", "", 0, 0, ""},
        {"empty text", "", "", 0, 0, ""},
        {"an unclosed tag ends the scan", "<TD", "", 0, 0, ""},
        {"an unclosed end tag after text", "A</TD", "A", 0, 0, ""},
        {"no case folding of its own", "<td>abc</td><td>", "abc", 1, 1, "<td>"},
    };
    CTarvexDoc doc;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CString text(c.text);
        int bMoreRows = 1;
        int bMoreCells = 1;
        const CString cell = doc.GetNextCell(text, &bMoreRows, &bMoreCells);
        EXPECT_EQ(cell.str(), c.cell);
        EXPECT_EQ(bMoreRows, c.rows);
        EXPECT_EQ(bMoreCells, c.cells);
        EXPECT_EQ(text.str(), c.rest);
    }
}

TEST(QuoteParser, GetNextCellNeverRaisesAFlag)
{
    CTarvexDoc doc;
    CString text("<TD>A</TD><TD>B");
    int bMoreRows = 0;
    int bMoreCells = 0;
    EXPECT_EQ(doc.GetNextCell(text, &bMoreRows, &bMoreCells).str(), "A");
    EXPECT_EQ(bMoreRows, 0);
    EXPECT_EQ(bMoreCells, 0);

    text = "X</TR><TR>";
    bMoreRows = 1;
    bMoreCells = 1;
    doc.GetNextCell(text, &bMoreRows, &bMoreCells);
    EXPECT_EQ(bMoreRows, 1);  // the end of a row is not the end of the table
    EXPECT_EQ(bMoreCells, 0);
}

std::string RandomSoup(std::mt19937& rng)
{
    static const char* const pieces[] = {
        "<table>", "<TABLE border=1>", "<Table", "<tablex>", "</table>", "</TABLE", "</tablex>",
        "<tr>", "<TR>", "</tr>", "</TR", "</tr >", "<td>", "</td>", "<th>", "</th>", "<b>", "</b>",
        "</", "<", ">", "<>", " ", "  ", "\n", "\t", "\r\n", "abc", "Abc Corp", "12 1/4", "-1/2 ",
        "&amp;", "\xc3\xa9t\xc3\xa9", "\xc2\xa0", "x", "<!-- c -->", "<br/>", "<caption>",
    };
    constexpr int nPieces = static_cast<int>(sizeof(pieces) / sizeof(pieces[0]));
    std::uniform_int_distribution<int> len(0, 60);
    std::uniform_int_distribution<int> pick(0, nPieces - 1);
    std::string soup;
    const int n = len(rng);
    for (int i = 0; i < n; ++i)
        soup += pieces[pick(rng)];
    return soup;
}

TEST(QuoteParser, MatchesCutTheFrontScanOnRandomSoups)
{
    std::mt19937 rng(20240611u);
    CTarvexDoc doc;
    for (int i = 0; i < 600; ++i) {
        std::string soup = RandomSoup(rng);
        if (i % 3 == 0)
            soup = "<table>" + soup;  // most soups should reach the cell scan
        SCOPED_TRACE(::testing::Message() << "soup #" << i << ": " << soup);
        ASSERT_EQ(Parse(soup), RefParse(soup));

        // The standalone call consumes exactly what the reference cuts off.
        CString mine(soup);
        CString ref(soup);
        for (int guard = 0; guard < 200; ++guard) {
            int mineRows = 1, mineCells = 1, refRows = 1, refCells = 1;
            const CString a = doc.GetNextCell(mine, &mineRows, &mineCells);
            const CString b = RefGetNextCell(ref, &refRows, &refCells);
            ASSERT_EQ(a.str(), b.str());
            ASSERT_EQ(mineRows, refRows);
            ASSERT_EQ(mineCells, refCells);
            ASSERT_EQ(mine.str(), ref.str());
            if (mineRows == 0)
                break;
        }
    }
}

} // namespace
