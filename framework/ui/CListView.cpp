#include "CListView.h"

#include <QTreeView>

IMPLEMENT_DYNAMIC(CListView, CView)

CListView::CListView() = default;
CListView::~CListView() = default;

BOOL CListView::PreCreateWindow(CREATESTRUCT& cs)
{
    return CView::PreCreateWindow(cs);
}

QWidget* CListView::CreateWidget(const CREATESTRUCT& cs, QWidget* pParent)
{
    QTreeView* tree = m_listCtrl.CreateTreeWidget(pParent);
    m_listCtrl.AttachToView(this, tree, static_cast<DWORD>(cs.style));
    return tree;
}

void CListView::OnDraw(CDC*)
{
    // The list paints itself.
}

void CListView::OnStyleChanged(DWORD dwOldStyle, DWORD dwNewStyle)
{
    CView::OnStyleChanged(dwOldStyle, dwNewStyle);
    m_listCtrl.ViewStyleChanged(dwNewStyle);
}
