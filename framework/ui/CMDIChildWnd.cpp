#include "CMDIChildWnd.h"

#include "AfxResources.h"
#include "CDocument.h"
#include "CMDIFrameWnd.h"
#include "CWinApp.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

IMPLEMENT_DYNAMIC(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CMDIChildWnd::CMDIChildWnd() = default;

CMDIChildWnd::~CMDIChildWnd()
{
    m_bDestroying = true;
    DestroyChildWindows();
    if (m_pMDIFrame != nullptr)
        m_pMDIFrame->OnChildDestroyed(this);
}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    return CFrameWnd::PreCreateWindow(cs);
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    if (pParentWnd == nullptr)
        pParentWnd = AfxGetMainWnd();
    m_pMDIFrame = dynamic_cast<CMDIFrameWnd*>(pParentWnd);
    if (m_pMDIFrame == nullptr || m_pMDIFrame->GetMdiArea() == nullptr) {
        m_pMDIFrame = nullptr;
        PostNcDestroy();
        return FALSE;
    }
    m_nIDHelp = nIDResource;
    m_nIDMenuShared = AfxResources::Get().FindMenu(nIDResource) != nullptr ? nIDResource : 0;
    // A document type's string is its document string; its first field
    // (the window title) is the frame's title.
    CString title;
    AfxLoadString(nIDResource, title);
    const int nl = title.Find('\n');
    m_strTitle = nl < 0 ? title : title.Left(nl);

    // Created hidden; InitialUpdateFrame shows it.
    const DWORD style = (dwDefaultStyle | WS_CHILD) & ~WS_VISIBLE;
    if (!CreateEx(0, nullptr, m_strTitle, style, rectDefault, pParentWnd, 0, pContext))
        return FALSE;
    const QIcon icon = AfxResources::Get().FindIcon(nIDResource);
    if (!icon.isNull())
        GetWidget()->setWindowIcon(icon);
    return TRUE;
}

QWidget* CMDIChildWnd::CreateWidget(const CREATESTRUCT& cs, QWidget*)
{
    QMdiArea* area = m_pMDIFrame != nullptr ? m_pMDIFrame->GetMdiArea() : nullptr;
    if (area == nullptr)
        return nullptr;
    auto* sub = new QMdiSubWindow;
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    area->addSubWindow(sub);
    // Wide enough for a table of several columns; the area's cascade
    // places it.
    const QSize frame = area->window()->size();
    sub->resize(QSize(740, 300).boundedTo(QSize(qMax(frame.width() - 40, 320), qMax(frame.height() / 2, 200))));
    if (cs.lpszName != nullptr)
        sub->setWindowTitle(AfxToQString(cs.lpszName));
    InstallFrameFilter(sub);
    return sub;
}

QMdiSubWindow* CMDIChildWnd::GetSubWindow() const
{
    return qobject_cast<QMdiSubWindow*>(GetWidget());
}

void CMDIChildWnd::PlaceView(CView* pView)
{
    if (QMdiSubWindow* sub = GetSubWindow())
        sub->setWidget(pView->GetWidget());
}

void CMDIChildWnd::OnDestroy()
{
    CFrameWnd::OnDestroy();
    if (m_pMDIFrame != nullptr) {
        m_pMDIFrame->OnChildDestroyed(this);
    }
}

void CMDIChildWnd::MDIActivate()
{
    if (m_pMDIFrame != nullptr)
        m_pMDIFrame->MDIActivate(this);
}

void CMDIChildWnd::MDIMaximize()
{
    if (QMdiSubWindow* sub = GetSubWindow())
        sub->showMaximized();
}

void CMDIChildWnd::MDIRestore()
{
    if (QMdiSubWindow* sub = GetSubWindow())
        sub->showNormal();
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    QMdiSubWindow* sub = GetSubWindow();
    if (sub == nullptr)
        return;
    // A new window opens maximized when the active one is.
    BOOL maximized = FALSE;
    if (nCmdShow == -1 && m_pMDIFrame != nullptr) {
        CMDIChildWnd* pActive = m_pMDIFrame->MDIGetActive(&maximized);
        if (pActive == this)
            maximized = FALSE;
    }
    if (nCmdShow == SW_SHOWMAXIMIZED || maximized)
        sub->showMaximized();
    else if (nCmdShow == SW_SHOWMINIMIZED || nCmdShow == SW_MINIMIZE)
        sub->showMinimized();
    else if (nCmdShow != SW_HIDE)
        sub->show();
    ModifyStyle(0, WS_VISIBLE);
    MDIActivate();
    if (CView* pView = GetActiveView()) {
        if (QWidget* w = pView->GetWidget())
            w->setFocus(Qt::OtherFocusReason);
    }
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if ((GetStyle() & FWS_ADDTOTITLE) == 0) {
        if (GetWindowText() != m_strTitle)
            SetWindowText(m_strTitle);
        return;
    }
    CDocument* pDoc = GetActiveDocument();
    if (!bAddToTitle || pDoc == nullptr)
        return;
    CString title = pDoc->GetTitle();
    // Number the windows of a document that has more than one.
    std::vector<CFrameWnd*> frames;
    for (POSITION pos = pDoc->GetFirstViewPosition(); pos != nullptr;) {
        CFrameWnd* pFrame = pDoc->GetNextView(pos)->GetParentFrame();
        if (pFrame != nullptr && std::find(frames.begin(), frames.end(), pFrame) == frames.end())
            frames.push_back(pFrame);
    }
    if (frames.size() > 1) {
        const auto index = std::find(frames.begin(), frames.end(), this) - frames.begin();
        CString suffix;
        suffix.Format(":%d", static_cast<int>(index) + 1);
        title += suffix;
    }
    if (GetWindowText() != title)
        SetWindowText(title);
}

void CMDIChildWnd::GetCommandRoute(std::vector<CCmdTarget*>& route)
{
    GetActiveRoute(route);
    if (m_pMDIFrame != nullptr)
        m_pMDIFrame->GetActiveRoute(route);
    if (CWinApp* app = AfxGetApp())
        route.push_back(app);
}
