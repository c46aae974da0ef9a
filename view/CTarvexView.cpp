#include "CTarvexView.h"

#include "CCmdUI.h"
#include "CTarvexDoc.h"
#include "Resource.h"

IMPLEMENT_DYNCREATE(CTarvexView, CListView)

BEGIN_MESSAGE_MAP(CTarvexView, CListView)
    ON_COMMAND(ID_EDIT_DELETE, CTarvexView::OnEditDelete)
    ON_UPDATE_COMMAND_UI(ID_EDIT_DELETE, CTarvexView::OnUpdateEditDelete)
END_MESSAGE_MAP()

CTarvexView::CTarvexView() = default;

CTarvexView::~CTarvexView() = default;

CTarvexDoc* CTarvexView::GetDocument() const
{
    return static_cast<CTarvexDoc*>(CListView::GetDocument());
}

BOOL CTarvexView::PreCreateWindow(CREATESTRUCT& cs)
{
    return CListView::PreCreateWindow(cs);
}

void CTarvexView::OnDraw(CDC*)
{
    GetDocument();
}

void CTarvexView::OnUpdate(CView*, LPARAM, CObject*)
{
    CTarvexDoc* pDoc = GetDocument();
    CListCtrl& list = GetListCtrl();

    list.SetWindowLong(GWL_STYLE, static_cast<LONG>(static_cast<DWORD>(list.GetWindowLong(GWL_STYLE)) | LVS_REPORT));

    list.DeleteAllItems();
    while (list.DeleteColumn(0)) {
    }
    // Show the emptied list before it fills again.
    UpdateWindow();

    if (pDoc == nullptr)
        return;
    POSITION pos = pDoc->m_rowList.GetHeadPosition();
    if (pos == nullptr)
        return;

    const CStringList* pHeadings = pDoc->m_rowList.GetNext(pos);
    int nColumn = 0;
    for (POSITION cell = pHeadings->GetHeadPosition(); cell != nullptr; ++nColumn)
        list.InsertColumn(nColumn, pHeadings->GetNext(cell), LVCFMT_RIGHT, kColumnWidth, -1);

    for (int nLine = 0; pos != nullptr; ++nLine) {
        const CStringList* pRow = pDoc->m_rowList.GetNext(pos);
        list.InsertItem(nLine, "");
        int nSubItem = 0;
        for (POSITION cell = pRow->GetHeadPosition(); cell != nullptr; ++nSubItem)
            list.SetItem(nLine, nSubItem, LVIF_TEXT, pRow->GetNext(cell), 0, 0, 0, 0);
    }
}

void CTarvexView::OnEditDelete()
{
    CTarvexDoc* pDoc = GetDocument();
    CListCtrl& list = GetListCtrl();

    int nItem = -1;
    while ((nItem = list.GetNextItem(nItem, LVNI_SELECTED)) != -1) {
        CString strSymbol = list.GetItemText(nItem, 0);
        strSymbol.TrimLeft();
        strSymbol.TrimRight();
        POSITION found = pDoc->m_tickerList.Find(strSymbol);
        if (found != nullptr)
            pDoc->m_tickerList.RemoveAt(found);
    }
    pDoc->UpdateQuotes();
}

void CTarvexView::OnUpdateEditDelete(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetListCtrl().GetSelectedCount() != 0);
}
