#include "CMDIFrameWnd.h"

#include "AfxResources.h"
#include "CCmdUI.h"
#include "CDocTemplate.h"
#include "CDocument.h"
#include "CMDIChildWnd.h"
#include "CWinApp.h"

#include <QMainWindow>
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QMdiSubWindow>

IMPLEMENT_DYNAMIC(CMDIFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
    ON_COMMAND(ID_WINDOW_CASCADE, OnWindowCascade)
    ON_COMMAND(ID_WINDOW_TILE_HORZ, OnWindowTileHorz)
    ON_COMMAND(ID_WINDOW_ARRANGE, OnWindowArrange)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_CASCADE, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_HORZ, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_ARRANGE, OnUpdateMDIWindowCmd)
END_MESSAGE_MAP()

CMDIFrameWnd::CMDIFrameWnd() = default;

CMDIFrameWnd::~CMDIFrameWnd()
{
    m_bDestroying = true;
    DestroyChildWindows();
    m_pActiveChild = nullptr;
}

QWidget* CMDIFrameWnd::CreateWidget(const CREATESTRUCT& cs, QWidget* pParent)
{
    QWidget* w = CFrameWnd::CreateWidget(cs, pParent);
    auto* mw = qobject_cast<QMainWindow*>(w);
    auto* area = new QMdiArea(mw);
    area->setObjectName(QStringLiteral("mdiClient"));
    mw->setCentralWidget(area);
    QObject::connect(area, &QMdiArea::subWindowActivated, area,
                     [this](QMdiSubWindow* pWindow) { OnSubWindowActivated(pWindow); });
    // Without a size of its own the window opens roomy enough for a few
    // documents side by side, but never larger than the screen.
    if (cs.cx <= 0 || cs.cy <= 0) {
        QSize size(1000, 680);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            size = size.boundedTo(screen->availableSize() * 9 / 10);
        mw->resize(size);
    }
    return w;
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext*)
{
    // The client area is the QMdiArea made with the window.
    return GetMdiArea() != nullptr ? TRUE : FALSE;
}

QMdiArea* CMDIFrameWnd::GetMdiArea() const
{
    QMainWindow* mw = GetMainWindow();
    return mw != nullptr ? qobject_cast<QMdiArea*>(mw->centralWidget()) : nullptr;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    if (pbMaximized != nullptr) {
        QMdiSubWindow* sub = m_pActiveChild != nullptr ? m_pActiveChild->GetSubWindow() : nullptr;
        *pbMaximized = sub != nullptr && sub->isMaximized() ? TRUE : FALSE;
    }
    return m_pActiveChild;
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate)
{
    auto* pChild = dynamic_cast<CMDIChildWnd*>(pWndActivate);
    if (pChild != nullptr) {
        if (QMdiSubWindow* sub = pChild->GetSubWindow()) {
            if (QMdiArea* area = GetMdiArea())
                area->setActiveSubWindow(sub);
        }
    }
    SetActiveChild(pChild);
}

void CMDIFrameWnd::OnSubWindowActivated(QMdiSubWindow* pWindow)
{
    if (m_bDestroying)
        return;
    // The area reports no active window whenever the application loses
    // the focus; the current window still counts as the active child.
    QMdiArea* area = GetMdiArea();
    if (pWindow == nullptr && area != nullptr)
        pWindow = area->currentSubWindow();
    if (pWindow == nullptr && m_pActiveChild != nullptr && m_pActiveChild->GetSubWindow() != nullptr
        && area != nullptr && area->subWindowList().contains(m_pActiveChild->GetSubWindow()))
        return;
    SetActiveChild(pWindow != nullptr ? dynamic_cast<CMDIChildWnd*>(CWnd::FromWidget(pWindow)) : nullptr);
}

void CMDIFrameWnd::OnChildActivated(CMDIChildWnd* pChild)
{
    SetActiveChild(pChild);
}

void CMDIFrameWnd::SetActiveChild(CMDIChildWnd* pChild)
{
    CMDIChildWnd* pOld = m_pActiveChild;
    if (pChild == pOld)
        return;
    m_pActiveChild = pChild;
    CView* pOldView = pOld != nullptr ? pOld->GetActiveView() : nullptr;
    CView* pNewView = pChild != nullptr ? pChild->GetActiveView() : nullptr;
    if (pOldView != nullptr)
        pOldView->OnActivateView(FALSE, pNewView, pOldView);
    if (pNewView != nullptr)
        pNewView->OnActivateView(TRUE, pNewView, pOldView);
    if (!m_bDestroying) {
        OnUpdateFrameMenu();
        OnUpdateFrameTitle(TRUE);
    }
}

void CMDIFrameWnd::OnChildDestroyed(CMDIChildWnd* pChild)
{
    if (m_pActiveChild != pChild)
        return;
    if (m_bDestroying) {
        m_pActiveChild = nullptr;
        return;
    }
    // The most recently active of the other children takes over.
    CMDIChildWnd* pNext = nullptr;
    if (QMdiArea* area = GetMdiArea()) {
        const QList<QMdiSubWindow*> windows = area->subWindowList(QMdiArea::ActivationHistoryOrder);
        for (auto it = windows.rbegin(); it != windows.rend() && pNext == nullptr; ++it) {
            auto* candidate = dynamic_cast<CMDIChildWnd*>(CWnd::FromWidget(*it));
            if (candidate != nullptr && candidate != pChild)
                pNext = candidate;
        }
    }
    if (pNext != nullptr)
        MDIActivate(pNext);
    else
        SetActiveChild(nullptr);
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    return m_pActiveChild != nullptr ? static_cast<CFrameWnd*>(m_pActiveChild) : this;
}

void CMDIFrameWnd::GetCommandRoute(std::vector<CCmdTarget*>& route)
{
    if (m_pActiveChild != nullptr)
        m_pActiveChild->GetActiveRoute(route);
    CFrameWnd::GetActiveRoute(route);
    if (CWinApp* app = AfxGetApp())
        route.push_back(app);
}

void CMDIFrameWnd::OnUpdateFrameMenu()
{
    UINT nID = m_nIDHelp;
    if (m_pActiveChild != nullptr && m_pActiveChild->m_nIDMenuShared != 0)
        nID = m_pActiveChild->m_nIDMenuShared;
    if (AfxResources::Get().FindMenu(nID) == nullptr)
        nID = AfxResources::Get().FindMenu(m_nIDHelp) != nullptr ? m_nIDHelp : 0;
    if (nID != m_nIDMenuShown)
        SetMenuResource(nID);
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if ((GetStyle() & FWS_ADDTOTITLE) == 0)
        return;
    BOOL maximized = FALSE;
    CMDIChildWnd* pChild = MDIGetActive(&maximized);
    CDocument* pDoc = pChild != nullptr ? pChild->GetActiveDocument() : nullptr;
    // A maximized child shows its own title in the frame's.
    if (bAddToTitle && pDoc != nullptr && !maximized)
        UpdateFrameTitleForDocument(pDoc->GetTitle());
    else
        UpdateFrameTitleForDocument(nullptr);
}

void CMDIFrameWnd::OnIdleUpdateCmdUI()
{
    if (m_bDestroying || GetWidget() == nullptr)
        return;
    CFrameWnd::OnIdleUpdateCmdUI();
    if (QMdiArea* area = GetMdiArea()) {
        for (QMdiSubWindow* sub : area->subWindowList()) {
            if (auto* pChild = dynamic_cast<CMDIChildWnd*>(CWnd::FromWidget(sub)))
                pChild->OnUpdateFrameTitle(TRUE);
        }
    }
}

void CMDIFrameWnd::OnWindowNew()
{
    CMDIChildWnd* pChild = MDIGetActive();
    CDocument* pDoc = pChild != nullptr ? pChild->GetActiveDocument() : nullptr;
    CDocTemplate* pTemplate = pDoc != nullptr ? pDoc->GetDocTemplate() : nullptr;
    if (pTemplate == nullptr)
        return;
    CFrameWnd* pFrame = pTemplate->CreateNewFrame(pDoc, pChild);
    if (pFrame == nullptr) {
        AfxMessageBox(AFX_IDP_COMMAND_FAILURE, MB_ICONEXCLAMATION);
        return;
    }
    pTemplate->InitialUpdateFrame(pFrame, pDoc);
}

void CMDIFrameWnd::MDICascade()
{
    if (QMdiArea* area = GetMdiArea())
        area->cascadeSubWindows();
}

void CMDIFrameWnd::MDITile()
{
    if (QMdiArea* area = GetMdiArea())
        area->tileSubWindows();
}

void CMDIFrameWnd::MDIIconArrange()
{
    QMdiArea* area = GetMdiArea();
    if (area == nullptr)
        return;
    // Minimized windows in a row along the bottom edge, left to right.
    const QRect client = area->viewport()->rect();
    int x = 0;
    int y = client.bottom();
    for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > client.width()) {
            x = 0;
            y -= size.height();
        }
        sub->move(x, y - size.height() + 1);
        x += size.width();
    }
}

void CMDIFrameWnd::MDINext()
{
    if (QMdiArea* area = GetMdiArea())
        area->activateNextSubWindow();
}

void CMDIFrameWnd::OnWindowCascade()
{
    MDICascade();
}

void CMDIFrameWnd::OnWindowTileHorz()
{
    MDITile();
}

void CMDIFrameWnd::OnWindowArrange()
{
    MDIIconArrange();
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(MDIGetActive() != nullptr ? TRUE : FALSE);
}
