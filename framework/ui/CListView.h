#pragma once
// A view whose window is a list control: GetListCtrl() works on the
// view's own widget, and the list's style is the view's style (changing
// either changes both).

#include "CListCtrl.h"
#include "CView.h"

class CListView : public CView {
    DECLARE_DYNAMIC(CListView)
public:
    CListView();
    ~CListView() override;

    CListCtrl& GetListCtrl() const { return m_listCtrl; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnDraw(CDC* pDC) override;
    void OnStyleChanged(DWORD dwOldStyle, DWORD dwNewStyle) override;

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs, QWidget* pParent) override;

private:
    mutable CListCtrl m_listCtrl;
};
