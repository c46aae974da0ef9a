#include "CListCtrl.h"

#include "CListCtrlModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>

#include <cstring>

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

CListCtrl::CListCtrl() : m_pModel(std::make_unique<CListCtrlModel>())
{
}

CListCtrl::~CListCtrl()
{
    // The tree must not keep using the model that goes with this object.
    if (QTreeView* tree = m_pTree.data())
        tree->setModel(nullptr);
}

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(nullptr, nullptr, dwStyle, rect, pParentWnd, nID);
}

QTreeView* CListCtrl::CreateTreeWidget(QWidget* pParent)
{
    auto* tree = new QTreeView(pParent);
    tree->setRootIsDecorated(false);
    tree->setItemsExpandable(false);
    tree->setUniformRowHeights(true);
    tree->setAllColumnsShowFocus(true);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setSortingEnabled(false);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionsMovable(false);
    tree->header()->setSectionResizeMode(QHeaderView::Interactive);
    tree->setModel(m_pModel.get());
    return tree;
}

QWidget* CListCtrl::CreateWidget(const CREATESTRUCT&, QWidget* pParent)
{
    QTreeView* tree = CreateTreeWidget(pParent);
    m_pTree = tree;
    ApplyStyle();
    return tree;
}

void CListCtrl::AttachToView(CWnd* pView, QTreeView* pTree, DWORD dwStyle)
{
    m_pTwin = pView;
    m_pTree = pTree;
    SetAliasWidget(pTree);
    m_bInSync = true;
    SetWindowLong(GWL_STYLE, static_cast<LONG>(dwStyle));
    m_bInSync = false;
    ApplyStyle();
}

void CListCtrl::ViewStyleChanged(DWORD dwNewStyle)
{
    if (m_bInSync)
        return;
    m_bInSync = true;
    SetWindowLong(GWL_STYLE, static_cast<LONG>(dwNewStyle));
    m_bInSync = false;
}

void CListCtrl::OnStyleChanged(DWORD dwOldStyle, DWORD dwNewStyle)
{
    CWnd::OnStyleChanged(dwOldStyle, dwNewStyle);
    ApplyStyle();
    if (m_pTwin != nullptr && !m_bInSync) {
        m_bInSync = true;
        m_pTwin->SetWindowLong(GWL_STYLE, static_cast<LONG>(dwNewStyle));
        m_bInSync = false;
    }
}

void CListCtrl::ApplyStyle()
{
    QTreeView* tree = m_pTree.data();
    if (tree == nullptr)
        return;
    const DWORD style = GetStyle();
    const bool report = (style & LVS_TYPEMASK) == LVS_REPORT;
    tree->setHeaderHidden(!report || (style & LVS_NOCOLUMNHEADER) != 0);
    tree->header()->setSectionsClickable(report && (style & LVS_NOSORTHEADER) == 0);
    // The other view types show the labels only.
    for (int col = 1; col < GetColumnCount(); ++col) {
        if (tree->isColumnHidden(col) == report)
            tree->setColumnHidden(col, !report);
    }
    const auto mode = (style & LVS_SINGLESEL) != 0 ? QAbstractItemView::SingleSelection
                                                   : QAbstractItemView::ExtendedSelection;
    if (tree->selectionMode() != mode)
        tree->setSelectionMode(mode);
}

int CListCtrl::InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat, int nWidth, int)
{
    if (nCol < 0)
        return -1;
    const int count = GetColumnCount();
    if (nCol > count)
        nCol = count;
    CListCtrlModel::Column column;
    column.heading = AfxToQString(lpszColumnHeading);
    column.nFormat = nFormat;
    column.nWidth = nWidth;
    m_pModel->InsertColumn(nCol, std::move(column));
    if (QTreeView* tree = m_pTree.data()) {
        if (nWidth >= 0)
            tree->header()->resizeSection(nCol, nWidth);
        ApplyStyle();
    }
    return nCol;
}

BOOL CListCtrl::DeleteColumn(int nCol)
{
    if (nCol < 0 || nCol >= GetColumnCount())
        return FALSE;
    m_pModel->RemoveColumn(nCol);
    return TRUE;
}

int CListCtrl::GetColumnCount() const
{
    return m_pModel->columnCount();
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    if (nCol < 0 || nCol >= GetColumnCount())
        return 0;
    if (QTreeView* tree = m_pTree.data())
        return tree->header()->sectionSize(nCol);
    return m_pModel->Columns()[static_cast<size_t>(nCol)].nWidth;
}

BOOL CListCtrl::SetColumnWidth(int nCol, int cx)
{
    if (nCol < 0 || nCol >= GetColumnCount() || cx < 0)
        return FALSE;
    if (QTreeView* tree = m_pTree.data())
        tree->header()->resizeSection(nCol, cx);
    return TRUE;
}

CString CListCtrl::GetColumnHeading(int nCol) const
{
    if (nCol < 0 || nCol >= GetColumnCount())
        return CString();
    return AfxFromQString(m_pModel->Columns()[static_cast<size_t>(nCol)].heading);
}

int CListCtrl::GetColumnFormat(int nCol) const
{
    if (nCol < 0 || nCol >= GetColumnCount())
        return 0;
    return m_pModel->Columns()[static_cast<size_t>(nCol)].nFormat;
}

int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem)
{
    return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCSTR lpszItem, UINT nState, UINT nStateMask, int,
                          LPARAM lParam)
{
    if (nItem < 0)
        return -1;
    const int count = GetItemCount();
    if (nItem > count)
        nItem = count;
    CListCtrlModel::Line line;
    if ((nMask & LVIF_TEXT) != 0)
        line.cells.push_back(AfxToQString(lpszItem));
    if ((nMask & LVIF_PARAM) != 0)
        line.data = lParam;
    m_pModel->InsertLine(nItem, std::move(line));
    if ((nMask & LVIF_STATE) != 0)
        SetItemState(nItem, nState, nStateMask);
    return nItem;
}

BOOL CListCtrl::DeleteItem(int nItem)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    m_pModel->RemoveLine(nItem);
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems()
{
    m_pModel->RemoveAllLines();
    return TRUE;
}

int CListCtrl::GetItemCount() const
{
    return m_pModel->rowCount();
}

BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCSTR lpszItem, int, UINT nState,
                        UINT nStateMask, LPARAM lParam)
{
    if (nItem < 0 || nItem >= GetItemCount() || nSubItem < 0)
        return FALSE;
    if ((nMask & LVIF_TEXT) != 0)
        m_pModel->SetCell(nItem, nSubItem, AfxToQString(lpszItem));
    if ((nMask & LVIF_PARAM) != 0 && nSubItem == 0)
        m_pModel->SetLineData(nItem, lParam);
    if ((nMask & LVIF_STATE) != 0 && nSubItem == 0)
        SetItemState(nItem, nState, nStateMask);
    return TRUE;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR lpszText)
{
    return SetItem(nItem, nSubItem, LVIF_TEXT, lpszText, 0, 0, 0, 0);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    if (nItem < 0 || nItem >= GetItemCount() || nSubItem < 0)
        return CString();
    const auto& cells = m_pModel->Lines()[static_cast<size_t>(nItem)].cells;
    if (static_cast<size_t>(nSubItem) >= cells.size())
        return CString();
    return AfxFromQString(cells[static_cast<size_t>(nSubItem)]);
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPSTR lpszText, int nLen) const
{
    if (lpszText == nullptr || nLen <= 0)
        return 0;
    const CString text = GetItemText(nItem, nSubItem);
    const int n = std::min(text.GetLength(), nLen - 1);
    std::memcpy(lpszText, text.GetString(), static_cast<size_t>(n));
    lpszText[n] = '\0';
    return n;
}

LPARAM CListCtrl::GetItemData(int nItem) const
{
    if (nItem < 0 || nItem >= GetItemCount())
        return 0;
    return static_cast<LPARAM>(m_pModel->Lines()[static_cast<size_t>(nItem)].data);
}

BOOL CListCtrl::SetItemData(int nItem, LPARAM dwData)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    m_pModel->SetLineData(nItem, dwData);
    return TRUE;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    QTreeView* tree = m_pTree.data();
    if (tree == nullptr || nItem < -1 || nItem >= GetItemCount() || GetColumnCount() == 0)
        return FALSE;
    QItemSelectionModel* selection = tree->selectionModel();
    auto apply = [&](int item) {
        const QModelIndex index = m_pModel->index(item, 0);
        if ((nMask & LVIS_SELECTED) != 0) {
            selection->select(index, ((nState & LVIS_SELECTED) != 0 ? QItemSelectionModel::Select
                                                                     : QItemSelectionModel::Deselect)
                                         | QItemSelectionModel::Rows);
        }
        if ((nMask & LVIS_FOCUSED) != 0 && (nState & LVIS_FOCUSED) != 0)
            selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    };
    if (nItem == -1) { // every line
        for (int item = 0; item < GetItemCount(); ++item)
            apply(item);
    } else {
        apply(nItem);
    }
    return TRUE;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const
{
    QTreeView* tree = m_pTree.data();
    if (tree == nullptr || nItem < 0 || nItem >= GetItemCount() || GetColumnCount() == 0)
        return 0;
    UINT state = 0;
    if ((nMask & LVIS_SELECTED) != 0 && tree->selectionModel()->isRowSelected(nItem, QModelIndex()))
        state |= LVIS_SELECTED;
    if ((nMask & LVIS_FOCUSED) != 0 && tree->selectionModel()->currentIndex().row() == nItem)
        state |= LVIS_FOCUSED;
    return state;
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const
{
    const int count = GetItemCount();
    for (int item = std::max(nItem + 1, 0); item < count; ++item) {
        if ((nFlags & (LVNI_SELECTED | LVNI_FOCUSED)) == 0)
            return item;
        UINT wanted = 0;
        if ((nFlags & LVNI_SELECTED) != 0)
            wanted |= LVIS_SELECTED;
        if ((nFlags & LVNI_FOCUSED) != 0)
            wanted |= LVIS_FOCUSED;
        if (GetItemState(item, wanted) == wanted)
            return item;
    }
    return -1;
}

UINT CListCtrl::GetSelectedCount() const
{
    QTreeView* tree = m_pTree.data();
    if (tree == nullptr || tree->selectionModel() == nullptr)
        return 0;
    return static_cast<UINT>(tree->selectionModel()->selectedRows().size());
}
