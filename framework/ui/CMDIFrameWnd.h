#pragma once
// The main window of a multiple-document program: a frame whose client
// area is a QMdiArea of CMDIChildWnd frames. The menu bar shows the
// frame's own menu while no child is active and the active child's
// document-type menu otherwise; the title shows the active document
// (FWS_ADDTOTITLE). Commands go to the active child's view, its document,
// the child frame, then this frame and the application.

#include "CFrameWnd.h"

class CMDIChildWnd;
class QMdiArea;
class QMdiSubWindow;

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNAMIC(CMDIFrameWnd)
public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    // The active child frame, nullptr when none.
    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    // Makes pWndActivate the active child (also without windows, which is
    // how routing is tested without widgets).
    void MDIActivate(CWnd* pWndActivate);
    void MDICascade();
    void MDITile();
    void MDIIconArrange();
    void MDINext();
    QMdiArea* GetMdiArea() const;

    CFrameWnd* GetActiveFrame() override;
    void GetCommandRoute(std::vector<CCmdTarget*>& route) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void OnIdleUpdateCmdUI() override;
    // Shows the menu that fits the active child.
    virtual void OnUpdateFrameMenu();

    // Child frames report their activation and their end here.
    void OnChildActivated(CMDIChildWnd* pChild);
    void OnChildDestroyed(CMDIChildWnd* pChild);

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs, QWidget* pParent) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;

    void OnWindowNew();
    void OnWindowCascade();
    void OnWindowTileHorz();
    void OnWindowArrange();
    void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

private:
    void OnSubWindowActivated(QMdiSubWindow* pWindow);
    void SetActiveChild(CMDIChildWnd* pChild);

    CMDIChildWnd* m_pActiveChild = nullptr;
};
