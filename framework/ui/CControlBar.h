#pragma once
// A bar at the edge of a frame (toolbar, status bar). Its style word holds
// the CBRS_ bits (alignment, tooltips, fly-by prompts) next to the window
// style; the frame keeps a list of its bars and updates them at idle time.

#include "AfxRes.h"
#include "CWnd.h"

class CFrameWnd;
class QMainWindow;

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();
    ~CControlBar() override;

    DWORD GetBarStyle() const { return m_dwBarStyle; }
    void SetBarStyle(DWORD dwStyle);
    // Where the bar may be docked (CBRS_ALIGN_ bits).
    void EnableDocking(DWORD dwDockStyle);
    DWORD GetDockStyle() const { return m_dwDockStyle; }

    // Updates the bar's elements from pTarget's command route.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);
    // Puts the bar's widget into the frame's main window.
    virtual void AttachToFrame(QMainWindow* pMainWindow);

protected:
    // Splits a Create style into window and bar bits.
    void SetStylesFromCreate(DWORD dwStyle);
    void PostNcDestroy() override;
    virtual void OnBarStyleChanged();

    DWORD m_dwBarStyle = 0;
    DWORD m_dwDockStyle = 0;
};
