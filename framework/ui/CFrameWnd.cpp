#include "CFrameWnd.h"

#include "AfxResources.h"
#include "CCmdRecord.h"
#include "CControlBar.h"
#include "CDocTemplate.h"
#include "CDocument.h"
#include "CRecentFileList.h"
#include "CStatusBar.h"
#include "CWinApp.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>

// Turns the frame widget's close requests into WM_CLOSE and status tips
// (menu and toolbar prompts) into the frame's message pane.
class CFrameEventFilter : public QObject {
public:
    explicit CFrameEventFilter(CFrameWnd* pFrame) : m_pFrame(pFrame) {}

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        return m_pFrame->FilterEvent(pWatched, pEvent);
    }

private:
    CFrameWnd* m_pFrame;
};

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_COMMAND(ID_VIEW_TOOLBAR, OnViewToolbar)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateViewToolbar)
    ON_COMMAND(ID_VIEW_STATUS_BAR, OnViewStatusBar)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateViewStatusBar)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd()
{
    m_bDestroying = true;
    // Views and bars go while this is still a whole frame.
    DestroyChildWindows();
    if (CWinApp* app = AfxGetApp()) {
        if (app->m_pMainWnd == this)
            app->OnMainWindowDestroyed(this);
    }
    if (QWidget* w = GetWidget()) {
        if (m_pEventFilter != nullptr)
            w->removeEventFilter(m_pEventFilter);
    }
    delete m_pEventFilter;
}

QMainWindow* CFrameWnd::GetMainWindow() const
{
    return qobject_cast<QMainWindow*>(GetWidget());
}

QWidget* CFrameWnd::CreateWidget(const CREATESTRUCT& cs, QWidget* pParent)
{
    auto* w = new QMainWindow(pParent, Qt::Window);
    if ((static_cast<DWORD>(cs.style) & WS_CHILD) != 0)
        w->setWindowFlags(Qt::Widget);
    InstallFrameFilter(w);
    return w;
}

void CFrameWnd::InstallFrameFilter(QWidget* pWidget)
{
    if (m_pEventFilter == nullptr)
        m_pEventFilter = new CFrameEventFilter(this);
    pWidget->installEventFilter(m_pEventFilter);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString title;
    AfxLoadString(nIDResource, title);
    const int nl = title.Find('\n');
    m_strTitle = nl < 0 ? title : title.Left(nl);

    if (!CreateEx(0, nullptr, m_strTitle, dwDefaultStyle, rectDefault, pParentWnd, 0, pContext))
        return FALSE; // the frame is gone

    QWidget* w = GetWidget();
    const QIcon icon = AfxResources::Get().FindIcon(nIDResource);
    if (!icon.isNull())
        w->setWindowIcon(icon);
    if (AfxResources::Get().FindMenu(nIDResource) != nullptr)
        SetMenuResource(nIDResource);
    LoadAccelTable(nIDResource);
    OnUpdateFrameTitle(TRUE);
    if (CWinApp* app = AfxGetApp())
        app->EnsureIdleHook();
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext != nullptr && (pContext->m_pfnCreateView || pContext->m_pNewViewClass != nullptr)) {
        if (CreateView(pContext, AFX_IDW_PANE_FIRST) == nullptr)
            return FALSE;
    }
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CView* pView = nullptr;
    if (pContext->m_pfnCreateView)
        pView = pContext->m_pfnCreateView();
    else if (pContext->m_pNewViewClass != nullptr)
        pView = dynamic_cast<CView*>(pContext->m_pNewViewClass->CreateObject());
    if (pView == nullptr)
        return nullptr;
    if (!pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr; // the view deleted itself
    return pView;
}

void CFrameWnd::OnChildCreated(CWnd* pChild)
{
    if (auto* pView = dynamic_cast<CView*>(pChild)) {
        PlaceView(pView);
        if (m_pViewActive == nullptr)
            SetActiveView(pView, FALSE);
    } else if (auto* pBar = dynamic_cast<CControlBar*>(pChild)) {
        AddControlBar(pBar);
    }
}

void CFrameWnd::PlaceView(CView* pView)
{
    if (QMainWindow* mw = GetMainWindow())
        mw->setCentralWidget(pView->GetWidget());
}

BOOL CFrameWnd::DestroyWindow()
{
    m_bDestroying = true;
    return CWnd::DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    m_bDestroying = true;
    CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy()
{
    if (CWinApp* app = AfxGetApp()) {
        if (app->m_pMainWnd == this)
            app->OnMainWindowDestroyed(this);
    }
    if (m_bAutoDelete)
        delete this;
}

void CFrameWnd::OnClose()
{
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) {
        if (!app->SaveAllModified())
            return;
        app->CloseAllDocuments(FALSE);
        DestroyWindow();
        return;
    }
    // A frame that shows the last view of a document closes the document.
    CDocument* pDoc = GetActiveDocument();
    if (pDoc != nullptr && pDoc->GetDocTemplate() != nullptr) {
        bool otherFrame = false;
        POSITION pos = pDoc->GetFirstViewPosition();
        while (pos != nullptr) {
            CView* pView = pDoc->GetNextView(pos);
            if (pView->GetParentFrame() != this)
                otherFrame = true;
        }
        if (!otherFrame) {
            pDoc->GetDocTemplate()->CloseDocument(pDoc);
            return;
        }
    }
    DestroyWindow();
}

bool CFrameWnd::FilterEvent(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched != GetWidget())
        return false;
    switch (pEvent->type()) {
    case QEvent::Close:
        // The frame decides; it destroys its window itself when it closes.
        pEvent->ignore();
        AfxRunGuarded([this] { SendMessage(WM_CLOSE); });
        return true;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(pEvent);
        if (!drag->mimeData()->hasUrls())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(pEvent);
        QStringList files;
        for (const QUrl& url : drop->mimeData()->urls()) {
            if (url.isLocalFile())
                files << url.toLocalFile();
        }
        drop->acceptProposedAction();
        // Opened after the drop has finished, outside the drag's own loop.
        QMetaObject::invokeMethod(GetWidget(), [files] {
            AfxRunGuarded([&files] {
                for (const QString& file : files) {
                    if (CWinApp* app = AfxGetApp())
                        app->OpenDocumentFile(AfxFromQString(file));
                }
            });
        }, Qt::QueuedConnection);
        return true;
    }
    case QEvent::StatusTip:
        if (GetMessageBar() != nullptr) {
            const QString tip = static_cast<QStatusTipEvent*>(pEvent)->tip();
            if (tip.isEmpty())
                SetMessageText(AFX_IDS_IDLEMESSAGE);
            else
                SetMessageText(AfxFromQString(tip));
            return true;
        }
        return false;
    default:
        return false;
    }
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = pViewNew;
    if (bNotify) {
        if (pViewOld != nullptr)
            pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
        if (pViewNew != nullptr) {
            pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
            if (QWidget* w = pViewNew->GetWidget())
                w->setFocus(Qt::OtherFocusReason);
        }
    }
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CFrameWnd* pFrame = GetActiveFrame();
    CView* pView = pFrame != nullptr ? pFrame->GetActiveView() : nullptr;
    return pView != nullptr ? pView->GetDocument() : nullptr;
}

std::vector<CView*> CFrameWnd::GetViews() const
{
    std::vector<CView*> views;
    for (CWnd* pChild : GetChildWindows()) {
        if (auto* pView = dynamic_cast<CView*>(pChild))
            views.push_back(pView);
    }
    return views;
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    QWidget* w = GetWidget();
    if (w == nullptr)
        return;
    ShowWindow(nCmdShow == -1 ? SW_SHOW : nCmdShow);
    w->raise();
    w->activateWindow();
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL bMakeVisible)
{
    const std::vector<CView*> views = GetViews();
    if (m_pViewActive == nullptr && !views.empty())
        SetActiveView(views.front(), FALSE);
    for (CView* pView : views)
        pView->OnInitialUpdate();
    if (bMakeVisible)
        ActivateFrame();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if ((GetStyle() & FWS_ADDTOTITLE) == 0)
        return;
    CDocument* pDoc = bAddToTitle ? GetActiveDocument() : nullptr;
    UpdateFrameTitleForDocument(pDoc != nullptr ? pDoc->GetTitle().GetString() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCSTR lpszDocName)
{
    CString title;
    if (lpszDocName != nullptr && *lpszDocName != '\0') {
        if ((GetStyle() & FWS_PREFIXTITLE) != 0)
            title = CString(lpszDocName) + " - " + m_strTitle;
        else
            title = m_strTitle + " - " + lpszDocName;
    } else {
        title = m_strTitle;
    }
    if (GetWindowText() != title)
        SetWindowText(title);
}

void CFrameWnd::EnableDocking(DWORD)
{
    // Qt's main window docks toolbars at any edge by itself.
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT, LPCRECT)
{
    if (pBar != nullptr && GetMainWindow() != nullptr)
        pBar->AttachToFrame(GetMainWindow());
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (pBar == nullptr)
        return;
    pBar->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const
{
    for (CControlBar* pBar : m_listControlBars) {
        if (pBar->GetDlgCtrlID() == nID)
            return pBar;
    }
    return nullptr;
}

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) == m_listControlBars.end())
        m_listControlBars.push_back(pBar);
    if (QMainWindow* mw = GetMainWindow())
        pBar->AttachToFrame(mw);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pBar),
                            m_listControlBars.end());
}

CStatusBar* CFrameWnd::GetMessageBar() const
{
    return dynamic_cast<CStatusBar*>(GetControlBar(AFX_IDW_STATUS_BAR));
}

void CFrameWnd::SetMessageText(LPCSTR lpszText)
{
    if (CStatusBar* pBar = GetMessageBar())
        pBar->SetPaneText(0, lpszText, TRUE);
}

void CFrameWnd::SetMessageText(UINT nID)
{
    CString text;
    AfxLoadString(nID, text);
    // A command string: only the prompt goes to the pane.
    const int nl = text.Find('\n');
    SetMessageText(nl < 0 ? text : text.Left(nl));
}

// An MDI child frame has no bars of its own, yet it is first on the
// command route: its View menu's bar items stand for the bars of the frame
// it lives in, which would otherwise never be reached.
static CControlBar* FindControlBarOutwards(const CFrameWnd* pFrame, UINT nID)
{
    for (const CFrameWnd* f = pFrame; f != nullptr; f = f->GetParentFrame()) {
        if (CControlBar* pBar = f->GetControlBar(nID))
            return pBar;
    }
    return nullptr;
}

void CFrameWnd::OnViewToolbar()
{
    if (CControlBar* pBar = FindControlBarOutwards(this, AFX_IDW_TOOLBAR))
        ShowControlBar(pBar, pBar->IsWindowVisible() ? FALSE : TRUE, FALSE);
}

void CFrameWnd::OnViewStatusBar()
{
    if (CControlBar* pBar = FindControlBarOutwards(this, AFX_IDW_STATUS_BAR))
        ShowControlBar(pBar, pBar->IsWindowVisible() ? FALSE : TRUE, FALSE);
}

void CFrameWnd::OnUpdateViewToolbar(CCmdUI* pCmdUI)
{
    OnUpdateControlBarMenu(pCmdUI);
}

void CFrameWnd::OnUpdateViewStatusBar(CCmdUI* pCmdUI)
{
    OnUpdateControlBarMenu(pCmdUI);
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    // The bar ids equal the command ids (AFX_IDW_TOOLBAR == ID_VIEW_TOOLBAR).
    CControlBar* pBar = FindControlBarOutwards(this, pCmdUI->m_nID);
    if (pBar == nullptr) {
        pCmdUI->Enable(FALSE);
        return;
    }
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(pBar->IsWindowVisible() ? 1 : 0);
}

void CFrameWnd::GetActiveRoute(std::vector<CCmdTarget*>& route)
{
    if (CView* pView = GetActiveView())
        pView->GetCommandRoute(route);
    route.push_back(this);
}

void CFrameWnd::GetCommandRoute(std::vector<CCmdTarget*>& route)
{
    GetActiveRoute(route);
    if (CWinApp* app = AfxGetApp())
        route.push_back(app);
}

CCmdRecord* CFrameWnd::GetCommandRecord(UINT nID, BOOL bCreate)
{
    if (nID == ID_SEPARATOR)
        return nullptr;
    auto it = m_records.find(nID);
    if (it != m_records.end())
        return it->second.get();
    if (!bCreate)
        return nullptr;
    auto record = std::make_unique<CCmdRecord>(nID);
    CString text;
    if (AfxLoadString(nID, text))
        record->SetCommandString(text);
    QAction* action = record->GetAction();
    // Accelerators work in the whole frame, whichever menu is shown.
    if (QWidget* w = GetWidget())
        w->addAction(action);
    QObject::connect(action, &QAction::triggered, action, [this, nID] { OnUserCommand(nID); });
    CCmdRecord* result = record.get();
    m_records.emplace(nID, std::move(record));
    return result;
}

void CFrameWnd::OnUserCommand(UINT nID)
{
    AfxRunGuarded([this, nID] { SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(nID), 0), 0); });
}

void CFrameWnd::UpdateCommandRecord(CCmdRecord* pRecord)
{
    CCmdRecord::CmdUI ui(pRecord);
    ui.DoUpdate(this, TRUE);
    // DoUpdate leaves Enable uncalled only when a command handler exists
    // on the route (an update handler that set a check mark alone).
    if (!ui.m_bEnableChanged)
        pRecord->SetEnabled(TRUE);
}

void CFrameWnd::OnIdleUpdateCmdUI()
{
    if (m_bDestroying || GetWidget() == nullptr)
        return;
    for (auto& entry : m_records)
        UpdateCommandRecord(entry.second.get());
    UpdateRecentFileMenu();
    for (CControlBar* pBar : m_listControlBars)
        pBar->OnUpdateCmdUI(this, FALSE);
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::UpdateRecentFileMenu()
{
    CWinApp* app = AfxGetApp();
    const CRecentFileList* pList = app != nullptr ? app->GetRecentFiles() : nullptr;
    const int nCount = pList != nullptr ? pList->GetSize() : 0;
    for (UINT i = 0; i < CWinApp::kMaxRecentFiles; ++i) {
        CCmdRecord* pRecord = GetCommandRecord(ID_FILE_MRU_FILE1 + i, FALSE);
        if (pRecord == nullptr)
            break;
        const int nIndex = static_cast<int>(i);
        const bool bListed = nIndex < nCount;
        if (bListed)
            pRecord->SetText(pList->GetMenuText(nIndex));
        else if (i == 0)
            pRecord->SetText(m_strRecentFilePlaceholder);
        // Only real changes touch the action (idle passes must stay quiet).
        QAction* action = pRecord->GetAction();
        const bool bVisible = bListed || i == 0;
        if (action->isVisible() != bVisible)
            action->setVisible(bVisible);
    }
}

std::vector<QMenu*> CFrameWnd::BuildMenu(UINT nIDResource)
{
    std::vector<QMenu*> result;
    const AfxMenuResource* res = AfxResources::Get().FindMenu(nIDResource);
    QWidget* owner = GetWidget();
    if (res == nullptr || owner == nullptr)
        return result;

    std::function<void(QMenu*, const std::vector<AfxMenuItem>&)> fill =
        [&](QMenu* menu, const std::vector<AfxMenuItem>& items) {
            for (const AfxMenuItem& item : items) {
                switch (item.kind) {
                case AfxMenuItem::Separator:
                    menu->addSeparator();
                    break;
                case AfxMenuItem::Popup:
                    fill(menu->addMenu(AfxToQString(item.text)), item.items);
                    break;
                case AfxMenuItem::Item: {
                    CCmdRecord* record = GetCommandRecord(item.nID);
                    if (record == nullptr)
                        break;
                    if (record->GetMenuText().IsEmpty())
                        record->SetMenuText(item.text);
                    if ((item.nFlags & AfxMenuItem::Grayed) != 0)
                        record->SetEnabled(FALSE);
                    menu->addAction(record->GetAction());
                    if (item.nID == ID_FILE_MRU_FILE1) {
                        // The places of the rest of the list follow the
                        // first; UpdateRecentFileMenu shows the used ones.
                        if (m_strRecentFilePlaceholder.IsEmpty())
                            m_strRecentFilePlaceholder = item.text;
                        CWinApp* app = AfxGetApp();
                        const CRecentFileList* pList = app != nullptr ? app->GetRecentFiles() : nullptr;
                        const UINT nPlaces = pList != nullptr ? pList->GetMaxSize() : 1;
                        for (UINT i = 1; i < nPlaces; ++i) {
                            CCmdRecord* more = GetCommandRecord(ID_FILE_MRU_FILE1 + i);
                            more->GetAction()->setVisible(false);
                            menu->addAction(more->GetAction());
                        }
                    }
                    break;
                }
                }
            }
        };

    for (const AfxMenuItem& top : *res) {
        auto* menu = new QMenu(AfxToQString(top.text), owner);
        if (top.kind == AfxMenuItem::Popup) {
            fill(menu, top.items);
        } else if (top.kind == AfxMenuItem::Item) {
            fill(menu, { top });
        }
        // The items' states are asked for when the menu opens, and the
        // prompt pane returns to its idle text when it closes.
        QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu] {
            AfxRunGuarded([this, menu] {
                std::function<void(QMenu*)> update = [&](QMenu* m) {
                    for (QAction* a : m->actions()) {
                        if (a->menu() != nullptr)
                            update(a->menu());
                        else if (a->data().isValid())
                            if (CCmdRecord* r = GetCommandRecord(a->data().toUInt(), FALSE))
                                UpdateCommandRecord(r);
                    }
                };
                update(menu);
                UpdateRecentFileMenu();
            });
        });
        QObject::connect(menu, &QMenu::aboutToHide, menu, [this] {
            if (GetMessageBar() != nullptr)
                SetMessageText(AFX_IDS_IDLEMESSAGE);
        });
        result.push_back(menu);
    }
    return result;
}

QMenuBar* CFrameWnd::GetMenuBar() const
{
    QMainWindow* mw = GetMainWindow();
    return mw != nullptr ? mw->menuBar() : nullptr;
}

void CFrameWnd::SetMenuResource(UINT nIDResource)
{
    QMainWindow* mw = GetMainWindow();
    if (mw == nullptr)
        return;
    if (nIDResource != 0 && m_menus.find(nIDResource) == m_menus.end())
        m_menus[nIDResource] = BuildMenu(nIDResource);
    m_nIDMenuShown = nIDResource;
    if (nIDResource == 0)
        ShowMenuSet({});
    else
        ShowMenuSet(m_menus[nIDResource]);
}

void CFrameWnd::ShowMenuSet(const std::vector<QMenu*>& menus)
{
    QMenuBar* bar = GetMenuBar();
    if (bar == nullptr)
        return;
    bar->clear();
    for (QMenu* menu : menus)
        bar->addMenu(menu);
}

void CFrameWnd::LoadAccelTable(UINT nIDResource)
{
    const AfxAccelResource* table = AfxResources::Get().FindAccelerators(nIDResource);
    if (table == nullptr)
        return;
    std::map<UINT, QList<QKeySequence>> keys;
    for (const AfxAccelEntry& entry : *table) {
        const QKeySequence key = QKeySequence::fromString(AfxToQString(entry.key), QKeySequence::PortableText);
        if (!key.isEmpty())
            keys[entry.nCmd].append(key);
    }
    for (const auto& entry : keys) {
        if (CCmdRecord* record = GetCommandRecord(entry.first))
            record->SetShortcuts(entry.second);
    }
}
