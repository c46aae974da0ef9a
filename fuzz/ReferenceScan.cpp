#include "ReferenceScan.h"

namespace ReferenceScan {

namespace {

// Cuts the text right after the first ">". False when there is none: the
// tag then takes the rest of the text with it.
bool SkipTag(CString& text)
{
    const int nGt = text.Find(">");
    if (nGt < 0) {
        text.Empty();
        return false;
    }
    text = text.Mid(nGt + 1);
    return true;
}

void EndBoth(int* pbMoreRows, int* pbMoreCells)
{
    *pbMoreRows = 0;
    *pbMoreCells = 0;
}

} // namespace

CString GetNextCell(CString& text, int* pbMoreRows, int* pbMoreCells)
{
    CString cell;

    // Phase 1: tags and white space in front of the cell, then its text.
    for (;;) {
        text.TrimLeft();
        if (text.GetLength() == 0) {
            EndBoth(pbMoreRows, pbMoreCells);
            break;
        }
        if (text.GetAt(0) == '<') {
            if (!SkipTag(text)) {
                EndBoth(pbMoreRows, pbMoreCells);
                break;
            }
            continue;
        }
        const int nLt = text.Find("<");
        if (nLt < 0) {
            cell = text;
            text.Empty();
        } else {
            cell = text.Left(nLt);
            text = text.Mid(nLt);
        }
        break;
    }

    // Phase 2: the end tags that close the cell.
    for (;;) {
        text.TrimLeft();
        if (text.GetLength() == 0) {
            EndBoth(pbMoreRows, pbMoreCells);
            break;
        }
        if (text.GetAt(0) != '<')
            break;
        if (text.Left(4).Compare("</TR") == 0) {
            if (!SkipTag(text)) {
                EndBoth(pbMoreRows, pbMoreCells);
                break;
            }
            *pbMoreCells = 0;
            continue;
        }
        if (text.Left(7).Compare("</TABLE") == 0) {
            SkipTag(text);
            EndBoth(pbMoreRows, pbMoreCells);
            break;
        }
        if (text.Left(2).Compare("</") == 0) {
            if (!SkipTag(text)) {
                EndBoth(pbMoreRows, pbMoreCells);
                break;
            }
            continue;
        }
        break;
    }
    return cell;
}

Table Parse(const std::string& reply)
{
    CString page(reply);
    page.MakeUpper();
    Table table;
    const int nTable = page.Find("<TABLE");
    if (nTable < 0)
        return table;
    page = page.Mid(nTable + 1);
    // No ">" at all: Find gives -1 and Mid(0) cuts nothing.
    page = page.Mid(page.Find(">") + 1);

    int bMoreRows = 1;
    while (bMoreRows) {
        Row row;
        int bMoreCells = 1;
        while (bMoreCells)
            row.push_back(GetNextCell(page, &bMoreRows, &bMoreCells).str());
        table.push_back(row);
    }
    return table;
}

} // namespace ReferenceScan
