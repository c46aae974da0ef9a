#include "CMainFrame.h"

#include "CTarvexDoc.h"
#include "CUpdateRateDlg.h"
#include "CWinApp.h"
#include "CDocTemplate.h"
#include "Resource.h"

IMPLEMENT_DYNAMIC(CMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_COMMAND(ID_EDIT_UPDATE, CMainFrame::OnEditUpdate)
    ON_COMMAND(ID_SETUP_UPDATE_RATE, CMainFrame::OnSetupUpdateRate)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_TEXT, CMainFrame::OnUpdateIndicatorText)
END_MESSAGE_MAP()

namespace {

const UINT kIndicators[] = {
    ID_SEPARATOR,      // message pane: prompts, "Ready", the quote request's failures
    ID_INDICATOR_TEXT, // blank, as wide as its string of spaces
};

} // namespace

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    return CMDIFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;

    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR)
        || !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;

    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR)
        || !m_wndStatusBar.SetIndicators(kIndicators, static_cast<int>(std::size(kIndicators))))
        return -1;

    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);

    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);

    m_nUpdatePeriod = AfxGetApp()->GetProfileInt("Update", "Period", kDefaultUpdatePeriod);
    m_nTimerId = SetTimer(kTimerEvent, kFirstDelayMs, nullptr);
    return 0;
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == m_nTimerId) {
        // The timer is off while a pass runs, so the next interval counts
        // from the end of this one and passes never overlap. It is armed
        // again however the pass ends: a pass that fails (out of memory)
        // must not stop the schedule for the rest of the run.
        KillTimer(m_nTimerId);
        struct Rearm {
            CMainFrame* pFrame;
            ~Rearm()
            {
                pFrame->m_nTimerId =
                    pFrame->SetTimer(kTimerEvent, IntervalForPeriod(pFrame->m_nUpdatePeriod), nullptr);
            }
        } rearm{ this };
        OnEditUpdate();
    }
    CMDIFrameWnd::OnTimer(nIDEvent);
}

void CMainFrame::OnDestroy()
{
    if (m_nTimerId != 0)
        KillTimer(m_nTimerId);
    CMDIFrameWnd::OnDestroy();
}

void CMainFrame::OnEditUpdate()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    POSITION posTemplate = pApp->GetFirstDocTemplatePosition();
    if (posTemplate == nullptr)
        return;
    CDocTemplate* pTemplate = pApp->GetNextDocTemplate(posTemplate);
    POSITION pos = pTemplate->GetFirstDocPosition();
    while (pos != nullptr) {
        auto* pDoc = dynamic_cast<CTarvexDoc*>(pTemplate->GetNextDoc(pos));
        if (pDoc != nullptr)
            pDoc->UpdateQuotes();
    }
}

void CMainFrame::OnSetupUpdateRate()
{
    CUpdateRateDlg dlg(this);
    dlg.m_nUpdateRate = m_nUpdatePeriod;
    if (dlg.DoModal() != IDOK)
        return;

    m_nUpdatePeriod = dlg.m_nUpdateRate;
    AfxGetApp()->WriteProfileInt("Update", "Period", static_cast<int>(m_nUpdatePeriod));
    KillTimer(m_nTimerId);
    m_nTimerId = SetTimer(kTimerEvent, IntervalForPeriod(m_nUpdatePeriod), nullptr);
    OnEditUpdate();
}

void CMainFrame::OnUpdateIndicatorText(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetText(m_strPaneText);
}
