// The quote table parser: one forward scan over the upper-cased reply that
// knows only where the table starts ("<TABLE"), where a row ends ("</TR")
// and where the table ends ("</TABLE"). Every other tag is skipped and every
// run of text between tags becomes a cell.
//
// The scan walks a position through the text instead of cutting its front
// after every tag, so a full 64000-byte reply costs one pass, not one copy
// of the remainder per tag. GetNextCell keeps its cut-the-front contract for
// callers that use it on its own; it is a wrapper over the same scanner.

#include "CTarvexDoc.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>

namespace {

bool IsWhiteSpace(char ch)
{
    // The same six bytes CString::TrimLeft drops; nothing at or above 0x80.
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

class CellScanner {
public:
    CellScanner(const std::string& text, std::size_t pos) : m_text(text), m_pos(pos) {}

    std::size_t Position() const { return m_pos; }

    CString NextCell(int* pbMoreRows, int* pbMoreCells)
    {
        CString strCell;

        // Before a cell's text is found every tag is skipped, end tags
        // included: an empty cell does not end its row or the table.
        for (;;) {
            SkipWhiteSpace();
            if (AtEnd()) {
                EndOfText(pbMoreRows, pbMoreCells);
                break;
            }
            if (Peek() == '<') {
                SkipTag();
                continue;
            }
            // Cell texts and tags are a few bytes long: a plain loop beats
            // a library search that has to be set up for each of them.
            const std::size_t nBegin = m_pos;
            while (!AtEnd() && Peek() != '<')
                ++m_pos;
            strCell = CString(m_text.data() + nBegin, static_cast<int>(m_pos - nBegin));
            break;
        }

        // The end tags that close the cell; a start tag is left for the
        // next call.
        for (;;) {
            SkipWhiteSpace();
            if (AtEnd()) {
                EndOfText(pbMoreRows, pbMoreCells);
                break;
            }
            if (Peek() != '<')
                break;
            if (StartsWith("</TR")) {
                SkipTag();
                *pbMoreCells = 0;
                continue;  // the end of the table may follow in this call
            }
            if (StartsWith("</TABLE")) {
                SkipTag();
                *pbMoreRows = 0;
                *pbMoreCells = 0;
                break;
            }
            if (StartsWith("</")) {
                SkipTag();
                continue;
            }
            break;
        }
        return strCell;
    }

private:
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return m_text[m_pos]; }

    // The literal's length is known here, so the test is a few inline
    // byte compares rather than a library call per tag.
    template <std::size_t N>
    bool StartsWith(const char (&szLiteral)[N]) const
    {
        constexpr std::size_t nLen = N - 1;
        return m_text.size() - m_pos >= nLen && std::memcmp(m_text.data() + m_pos, szLiteral, nLen) == 0;
    }

    void SkipWhiteSpace()
    {
        while (!AtEnd() && IsWhiteSpace(Peek()))
            ++m_pos;
    }

    // Moves past the first ">" at or after the position. A tag that is never
    // closed, as in a reply cut off inside a tag, runs to the end of the
    // text: skipping it ends the scan exactly like the end of the text would,
    // instead of standing still on the same "<" for ever.
    void SkipTag()
    {
        while (!AtEnd() && Peek() != '>')
            ++m_pos;
        if (!AtEnd())
            ++m_pos;
    }

    static void EndOfText(int* pbMoreRows, int* pbMoreCells)
    {
        *pbMoreRows = 0;
        *pbMoreCells = 0;
    }

    const std::string& m_text;
    std::size_t m_pos;
};

} // namespace

void CTarvexDoc::ParsePage()
{
    m_strPage.MakeUpper();

    const int nTable = m_strPage.Find("<TABLE");
    if (nTable < 0) {
        m_rowList.DeleteAll();
        m_strPage.Empty();
        return;
    }

    // Start right after the "<" so that a start tag never closed leaves its
    // own text (TABLE and its attributes) as the first cell.
    std::size_t nStart = static_cast<std::size_t>(nTable) + 1;
    const int nGt = m_strPage.Find('>', static_cast<int>(nStart));
    if (nGt >= 0)
        nStart = static_cast<std::size_t>(nGt) + 1;

    m_rowList.DeleteAll();

    CellScanner scanner(m_strPage.str(), nStart);
    try {
        int bMoreRows = 1;
        while (bMoreRows) {
            // Held by the unique_ptr until the Row table owns it, so a row
            // under construction is not lost when memory runs out.
            auto pRow = std::make_unique<CStringList>(10);
            int bMoreCells = 1;
            while (bMoreCells)
                pRow->AddTail(scanner.NextCell(&bMoreRows, &bMoreCells));
            m_rowList.AddTail(pRow.get());
            pRow.release();
        }
    } catch (...) {
        // Leave the part not yet consumed, as cutting the front would have.
        try {
            m_strPage = m_strPage.Mid(static_cast<int>(scanner.Position()));
        } catch (...) {
        }
        throw;
    }

    m_strPage.Empty();
}

CString CTarvexDoc::GetNextCell(CString& strPage, int* pbMoreRows, int* pbMoreCells)
{
    CellScanner scanner(strPage.str(), 0);
    CString strCell = scanner.NextCell(pbMoreRows, pbMoreCells);
    strPage = strPage.Mid(static_cast<int>(scanner.Position()));
    return strCell;
}
