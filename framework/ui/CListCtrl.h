#pragma once
// A list control on a QTreeView with a model of its own. The view type
// follows the style bits: LVS_REPORT shows columns under a header; the
// other types show the item labels (column 0) without a header. Several
// lines can be selected at once unless LVS_SINGLESEL is set.
//
// Cells are kept per line by sub-item index; a sub-item beyond the last
// column is kept but not shown. Changes reach the widget in batches:
// inserting lines costs no layout per call, and cell texts are announced
// once per turn of the event loop, so a rebuild of thousands of lines
// repaints once. UpdateWindow() paints at once when asked.

#include "CWnd.h"

#include <QPointer>
#include <QTreeView>

#include <memory>

class CListCtrlModel;


class CListCtrl : public CWnd {
    DECLARE_DYNAMIC(CListCtrl)
public:
    CListCtrl();
    ~CListCtrl() override;

    // A standalone list control as a child of pParentWnd.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Columns. Returns the new column's index, or -1.
    int InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    BOOL DeleteColumn(int nCol); // nonzero when a column was removed
    int GetColumnCount() const;
    int GetColumnWidth(int nCol) const;
    BOOL SetColumnWidth(int nCol, int cx);
    CString GetColumnHeading(int nCol) const;
    int GetColumnFormat(int nCol) const;

    // Lines. InsertItem returns the new line's index, or -1.
    int InsertItem(int nItem, LPCSTR lpszItem);
    int InsertItem(UINT nMask, int nItem, LPCSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                   LPARAM lParam);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    int GetItemCount() const;

    BOOL SetItem(int nItem, int nSubItem, UINT nMask, LPCSTR lpszItem, int nImage, UINT nState, UINT nStateMask,
                 LPARAM lParam);
    BOOL SetItemText(int nItem, int nSubItem, LPCSTR lpszText);
    CString GetItemText(int nItem, int nSubItem) const;
    int GetItemText(int nItem, int nSubItem, LPSTR lpszText, int nLen) const;
    LPARAM GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, LPARAM dwData);

    // Selection and focus.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const;
    // The next line after nItem (-1: from the start) that has the state
    // in nFlags (LVNI_SELECTED, LVNI_FOCUSED, LVNI_ALL); -1 when none.
    int GetNextItem(int nItem, int nFlags) const;
    UINT GetSelectedCount() const;

    // The widget, for tests and for the list view.
    QTreeView* GetTreeView() const { return m_pTree.data(); }

    void OnStyleChanged(DWORD dwOldStyle, DWORD dwNewStyle) override;

    // For CListView: make this object the list control of a view's widget,
    // its style kept equal to the view's.
    QTreeView* CreateTreeWidget(QWidget* pParent);
    void AttachToView(CWnd* pView, QTreeView* pTree, DWORD dwStyle);
    void ViewStyleChanged(DWORD dwNewStyle);

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs, QWidget* pParent) override;

private:
    using CWnd::Create;
    void ApplyStyle();

    std::unique_ptr<CListCtrlModel> m_pModel;
    QPointer<QTreeView> m_pTree;
    CWnd* m_pTwin = nullptr; // the list view whose window this is
    bool m_bInSync = false;
};
