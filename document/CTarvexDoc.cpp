#include "CTarvexDoc.h"

#include "CAddSymbolDlg.h"
#include "CArchive.h"
#include "Resource.h"

IMPLEMENT_DYNCREATE(CTarvexDoc, CDocument)

BEGIN_MESSAGE_MAP(CTarvexDoc, CDocument)
    ON_COMMAND(ID_EDIT_ADD, OnEditAdd)
END_MESSAGE_MAP()

CTarvexDoc::CTarvexDoc()
    : m_bBusy(FALSE)
{
}

CTarvexDoc::~CTarvexDoc() = default;

void CTarvexDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        m_tickerList.Serialize(ar);
        return;
    }
    // A file that breaks off halfway must not leave the symbols read so far
    // behind: the page would look opened with part of its list. Drop what
    // this load appended and let the failure go on to the caller.
    const POSITION lastBefore = m_tickerList.GetTailPosition();
    try {
        m_tickerList.Serialize(ar);
    } catch (...) {
        if (lastBefore == nullptr) {
            m_tickerList.RemoveAll();
        } else {
            while (m_tickerList.GetTailPosition() != lastBefore)
                m_tickerList.RemoveTail();
        }
        throw;
    }
}

BOOL CTarvexDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    return TRUE;
}

void CTarvexDoc::OnEditAdd()
{
    CAddSymbolDlg dlg(AfxGetMainWnd());
    if (dlg.DoModal() != IDOK)
        return;

    // Symbols are kept upper-cased and trimmed: Delete Symbol finds them by
    // comparing with the first cell of a line, which the parser upper-cases.
    dlg.m_strSymbol.MakeUpper();
    dlg.m_strSymbol.TrimLeft();
    dlg.m_strSymbol.TrimRight();
    m_tickerList.AddTail(dlg.m_strSymbol);
    UpdateQuotes();
}
