#pragma once
// A frame window: a QMainWindow with a menu bar, control bars and one
// view. LoadFrame takes the frame's menu, accelerator table, icon and
// title from the resource registry under one id.
//
// Commands: every command id of the frame's menus, toolbar buttons and
// accelerators has one CCmdRecord whose QAction they share. A triggered
// action sends WM_COMMAND to the frame, which routes it to the active
// view, its document, the frame and the application (GetCommandRoute);
// idle passes (CWinApp::OnIdle -> OnIdleUpdateCmdUI) ask the same route
// for each record's state, so a command that nothing handles is disabled
// and its accelerator does nothing.

#include "AfxRes.h"
#include "CCmdUI.h"
#include "CView.h"

#include <QPointer>

#include <map>
#include <memory>
#include <vector>

class CCmdRecord;
class CControlBar;
class CDocument;
class CStatusBar;
class QMainWindow;
class QMenu;
class QMenuBar;

class CFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the frame from the resources registered under nIDResource
    // (menu, accelerators, icon, and the string for the title, of which
    // the part before the first "\n" counts). On failure the frame has
    // deleted itself, like after DestroyWindow.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    CFrameWnd* AsFrameWnd() override { return this; }
    QMainWindow* GetMainWindow() const;

    // The view that gets commands first; nullptr when none.
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    // The frame whose view is active: this frame, or for an MDI frame the
    // active child.
    virtual CFrameWnd* GetActiveFrame() { return this; }
    virtual CDocument* GetActiveDocument();

    virtual void ActivateFrame(int nCmdShow = -1);
    // Sends OnInitialUpdate to the frame's views, makes a view active and
    // (bMakeVisible) shows the frame.
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    // Recomputes the window title (FWS_ADDTOTITLE: "<title> - <document>").
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle; }
    const CString& GetTitle() const { return m_strTitle; }

    // Control bars.
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID) const;
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    // Pane 0 of the frame's status bar.
    void SetMessageText(LPCSTR lpszText);
    void SetMessageText(UINT nID);
    CStatusBar* GetMessageBar() const;

    // The record of a command id, made on first use (nullptr for
    // ID_SEPARATOR when bCreate is set, or for an unknown id otherwise).
    CCmdRecord* GetCommandRecord(UINT nID, BOOL bCreate = TRUE);
    // Asks the command route for the state of one command, or of every
    // record, bar pane and the titles (the idle pass).
    void UpdateCommandRecord(CCmdRecord* pRecord);
    virtual void OnIdleUpdateCmdUI();

    // Menus: the menu bar built from the menu resource nIDResource, shown
    // now; 0 shows an empty menu bar. The frame keeps each built menu.
    void SetMenuResource(UINT nIDResource);
    UINT GetMenuResource() const { return m_nIDMenuShown; }
    // The top-level menus now in the menu bar.
    QMenuBar* GetMenuBar() const;
    // The recent-file entries in the menus: a menu item for
    // ID_FILE_MRU_FILE1 stands for the whole list (as many places as the
    // application's list has). Each listed file shows as "&1 name"; with
    // an empty list the item keeps its own text ("Recent File"), grayed.
    // Runs with every idle pass and before a menu opens.
    void UpdateRecentFileMenu();

    // The active view (with its document), then this frame, then the
    // application.
    void GetCommandRoute(std::vector<CCmdTarget*>& route) override;
    // The frame's own part of a route: its active view and itself.
    virtual void GetActiveRoute(std::vector<CCmdTarget*>& route);
    BOOL DestroyWindow() override;
    // The views among the frame's child windows.
    std::vector<CView*> GetViews() const;
    // Sets the window title from a document name (FWS_PREFIXTITLE puts
    // the document first).
    void UpdateFrameTitleForDocument(LPCSTR lpszDocName);

    // Creates the view of pContext inside this frame.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    // Asks the documents whether the frame may close, then destroys it.
    virtual void OnClose();

    // Frames are heap objects that delete themselves with their window.
    BOOL m_bAutoDelete = TRUE;

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs, QWidget* pParent) override;
    void OnChildCreated(CWnd* pChild) override;
    void PostNcDestroy() override;
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    // Places a view's widget in the frame.
    virtual void PlaceView(CView* pView);
    // Builds the records and the QActions for a menu, an accelerator table.
    void LoadAccelTable(UINT nIDResource);
    std::vector<QMenu*> BuildMenu(UINT nIDResource);
    // Runs a command that came from a menu, button or key.
    void OnUserCommand(UINT nID);
    // The frame's event filter (close requests, status tips), installed on
    // the frame's widget by InstallFrameFilter.
    virtual bool FilterEvent(QObject* pWatched, QEvent* pEvent);
    void InstallFrameFilter(QWidget* pWidget);

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnViewToolbar();
    void OnViewStatusBar();
    void OnUpdateViewToolbar(CCmdUI* pCmdUI);
    void OnUpdateViewStatusBar(CCmdUI* pCmdUI);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

protected:
    UINT m_nIDHelp = 0; // the resource id given to LoadFrame
    CString m_strTitle;
    CView* m_pViewActive = nullptr;
    std::vector<CControlBar*> m_listControlBars;
    std::map<UINT, std::unique_ptr<CCmdRecord>> m_records;
    std::map<UINT, std::vector<QMenu*>> m_menus;
    UINT m_nIDMenuShown = 0;
    bool m_bDestroying = false;
    // The menu text of the recent-file item while the list is empty.
    CString m_strRecentFilePlaceholder;

private:
    friend class CFrameEventFilter;
    void ShowMenuSet(const std::vector<QMenu*>& menus);
    QObject* m_pEventFilter = nullptr;
};
