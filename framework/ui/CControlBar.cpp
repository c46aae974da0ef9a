#include "CControlBar.h"

#include "CFrameWnd.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

CControlBar::CControlBar() = default;

CControlBar::~CControlBar()
{
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RemoveControlBar(this);
}

void CControlBar::SetStylesFromCreate(DWORD dwStyle)
{
    // The low word is the bar's (CBRS_), plus the gripper bit.
    m_dwBarStyle = dwStyle & (0xFFFFu | CBRS_GRIPPER);
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    if (m_dwBarStyle == dwStyle)
        return;
    m_dwBarStyle = dwStyle;
    OnBarStyleChanged();
}

void CControlBar::OnBarStyleChanged()
{
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
    OnBarStyleChanged();
}

void CControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
}

void CControlBar::AttachToFrame(QMainWindow*)
{
}

void CControlBar::PostNcDestroy()
{
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RemoveControlBar(this);
}
