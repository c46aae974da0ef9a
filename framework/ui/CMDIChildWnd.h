#pragma once
// A document window inside the main MDI frame: a QMdiSubWindow that holds
// the view's widget. Its menu (m_nIDMenuShared, the document type's) is
// shown in the main frame's menu bar while it is active.

#include "CFrameWnd.h"

class CMDIFrameWnd;
class QMdiSubWindow;

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNAMIC(CMDIChildWnd)
public:
    CMDIChildWnd();
    ~CMDIChildWnd() override;

    // pParentWnd nullptr: the application's main window, which must be a
    // CMDIFrameWnd. Takes its menu and icon from nIDResource.
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    CMDIFrameWnd* GetMDIFrame() const { return m_pMDIFrame; }
    QMdiSubWindow* GetSubWindow() const;
    void MDIActivate();
    void MDIDestroy() { DestroyWindow(); }
    void MDIMaximize();
    void MDIRestore();

    void ActivateFrame(int nCmdShow = -1) override;
    // The document's title, with ":n" when the document has several
    // windows.
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    // Its view and document, itself, then the main frame and application.
    void GetCommandRoute(std::vector<CCmdTarget*>& route) override;

    // The menu shown while this child is active (0: the main frame's).
    UINT m_nIDMenuShared = 0;

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs, QWidget* pParent) override;
    void PlaceView(CView* pView) override;
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    CMDIFrameWnd* m_pMDIFrame = nullptr;
};
