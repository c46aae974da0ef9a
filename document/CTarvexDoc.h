#pragma once
// A quote page: the ordered Ticker list the user keeps (the only data that
// is saved), the Row table the last refresh brought back, and the Page text
// of the refresh under way. The members are public on purpose: the refresh,
// the parser and the view work on them directly.

#include "CDocument.h"
#include "CRowList.h"
#include "CString.h"
#include "CStringList.h"

class CTarvexDoc : public CDocument {
    DECLARE_DYNCREATE(CTarvexDoc)

public:
    CTarvexDoc();
    ~CTarvexDoc() override;

    CRowList m_rowList;
    CString m_strPage;
    BOOL m_bBusy;
    CStringList m_tickerList{10};

    void Serialize(CArchive& ar) override;
    BOOL OnNewDocument() override;

    // Refreshes the page from the quote server.
    void UpdateQuotes();
    // The Add Symbol command.
    void OnEditAdd();

    // Turns the Page text into the Row table and empties the Page text.
    void ParsePage();
    // Takes the next cell text off the front of strPage. Sets *pbMoreCells
    // to 0 at the end of a row, and both flags to 0 at the end of the table
    // or of the text; never sets either to 1.
    CString GetNextCell(CString& strPage, int* pbMoreRows, int* pbMoreCells);

    DECLARE_MESSAGE_MAP()
};
