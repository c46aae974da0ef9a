#pragma once
// A toolbar: a QToolBar whose buttons are the frame's command records, so
// a button shares enabled state, check mark, prompt and tooltip with the
// menu item of the same command. The buttons and their images come from a
// registered toolbar resource (AfxToolBarResource).

#include "CControlBar.h"

#include <vector>

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                  const RECT& rcBorders = RECT{}, UINT nID = AFX_IDW_TOOLBAR);
    // Loads buttons and images; FALSE when the resource is missing or its
    // image has too few button images.
    BOOL LoadToolBar(UINT nIDResource);

    int GetCount() const { return static_cast<int>(m_buttons.size()); }
    // The command id of button nIndex (ID_SEPARATOR for a separator).
    UINT GetItemID(int nIndex) const;
    // The index of the first button with nIDFind, -1 when none.
    int CommandToIndex(UINT nIDFind) const;

    void AttachToFrame(QMainWindow* pMainWindow) override;

protected:
    using CWnd::Create; // bars are made with the forms above
    QWidget* CreateWidget(const CREATESTRUCT& cs, QWidget* pParent) override;
    void OnBarStyleChanged() override;

private:
    std::vector<UINT> m_buttons;
    bool m_bAttached = false;
};
