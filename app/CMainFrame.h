#pragma once
// The main window: toolbar, status bar, and the timer that refreshes every
// open quote page at the user's update rate.

#include "CMDIFrameWnd.h"
#include "CStatusBar.h"
#include "CToolBar.h"

class CMainFrame : public CMDIFrameWnd {
    DECLARE_DYNAMIC(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Timer event id of the refresh schedule.
    static constexpr UINT_PTR kTimerEvent = 1;
    // Delay of the first refresh pass after the window is created.
    static constexpr UINT kFirstDelayMs = 500;
    static constexpr UINT kMillisecondsPerMinute = 60000;
    static constexpr int kDefaultUpdatePeriod = 10;

    // The interval of the timer for a rate in minutes: a 32-bit unsigned
    // product, so rates above 71582 minutes wrap, as they always have.
    static UINT IntervalForPeriod(UINT nMinutes)
    {
        return static_cast<UINT>(nMinutes * kMillisecondsPerMinute);
    }

    CString m_strPaneText;
    UINT m_nUpdatePeriod = 0;
    // The quote request writes its failure texts into pane 0.
    CStatusBar m_wndStatusBar;
    UINT_PTR m_nTimerId = 0;

    // The Update command: refreshes every open page, oldest first.
    void OnEditUpdate();

protected:
    CToolBar m_wndToolBar;

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    void OnSetupUpdateRate();
    void OnUpdateIndicatorText(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()
};
