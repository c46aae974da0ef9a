#include "FrontCutParser.h"

#include "CStringList.h"

#include <memory>

bool FrontCutParser::SkipTag(CString& strPage)
{
    const int nGt = strPage.Find(">");
    if (nGt < 0) {
        strPage.Empty();
        return false;
    }
    strPage = strPage.Mid(nGt + 1);
    return true;
}

CString FrontCutParser::GetNextCell(CString& strPage, int* pbMoreRows, int* pbMoreCells)
{
    CString strCell;
    for (;;) {
        strPage.TrimLeft();
        if (strPage.GetLength() == 0) {
            *pbMoreRows = *pbMoreCells = 0;
            break;
        }
        if (strPage.GetAt(0) == '<') {
            if (!SkipTag(strPage)) {
                *pbMoreRows = *pbMoreCells = 0;
                break;
            }
            continue;
        }
        while (strPage.GetLength() > 0 && strPage.GetAt(0) != '<') {
            strCell += strPage.GetAt(0);
            strPage = strPage.Mid(1);
        }
        break;
    }
    for (;;) {
        strPage.TrimLeft();
        if (strPage.GetLength() == 0) {
            *pbMoreRows = *pbMoreCells = 0;
            break;
        }
        if (strPage.GetAt(0) != '<')
            break;
        if (strPage.Left(4).Compare("</TR") == 0) {
            if (!SkipTag(strPage)) {
                *pbMoreRows = *pbMoreCells = 0;
                break;
            }
            *pbMoreCells = 0;
            continue;
        }
        if (strPage.Left(7).Compare("</TABLE") == 0) {
            SkipTag(strPage);
            *pbMoreRows = *pbMoreCells = 0;
            break;
        }
        if (strPage.Left(2).Compare("</") == 0) {
            if (!SkipTag(strPage)) {
                *pbMoreRows = *pbMoreCells = 0;
                break;
            }
            continue;
        }
        break;
    }
    return strCell;
}

void FrontCutParser::ParsePage(CString& strPage, CRowList& rowList)
{
    strPage.MakeUpper();
    const int nTable = strPage.Find("<TABLE");
    if (nTable < 0) {
        rowList.DeleteAll();
        strPage.Empty();
        return;
    }
    strPage = strPage.Mid(nTable + 1);
    strPage = strPage.Mid(strPage.Find(">") + 1);
    rowList.DeleteAll();
    int bMoreRows = 1;
    while (bMoreRows) {
        auto pRow = std::make_unique<CStringList>(10);
        int bMoreCells = 1;
        while (bMoreCells)
            pRow->AddTail(GetNextCell(strPage, &bMoreRows, &bMoreCells));
        rowList.AddTail(pRow.get());
        pRow.release();
    }
    strPage.Empty();
}
