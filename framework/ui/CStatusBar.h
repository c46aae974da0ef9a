#pragma once
// A status bar of text panes. Pane 0 is usually ID_SEPARATOR, the message
// pane: it stretches and shows prompts and the idle text. Every other pane
// shows an indicator: it is as wide as its id's string in the bar's font,
// starts with that string as its text, and gets its text from the
// indicator's update handler at idle time.

#include "CControlBar.h"
#include "CCmdUI.h"

#include <vector>

class QLabel;

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; FALSE when an indicator's string is missing.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int GetCount() const { return static_cast<int>(m_panes.size()); }
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const;
    // The pane's id, style and width (text width in pixels).
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    // bUpdate: repaint the pane now rather than at the next paint.
    BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
    // The label that shows pane nIndex (for tests and layout checks).
    QLabel* GetPaneLabel(int nIndex) const;

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void AttachToFrame(QMainWindow* pMainWindow) override;

    // The CCmdUI of one pane: text and enabled state.
    class PaneCmdUI : public CCmdUI {
    public:
        PaneCmdUI(CStatusBar* pBar, int nIndex);

    protected:
        void OnEnable(BOOL bOn) override;
        void OnSetCheck(int nCheck) override;
        void OnSetText(LPCSTR lpszText) override;

    private:
        CStatusBar* m_pBar;
    };

protected:
    using CWnd::Create; // bars are made with the forms above
    QWidget* CreateWidget(const CREATESTRUCT& cs, QWidget* pParent) override;

private:
    struct Pane {
        UINT nID = 0;
        UINT nStyle = 0;
        int cxText = 0;
        CString text;
        QLabel* pLabel = nullptr;
    };
    void ApplyPaneStyle(Pane& pane);

    std::vector<Pane> m_panes;
};
