#include "CStatusBar.h"

#include "AfxResources.h"
#include "CFrameWnd.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

CStatusBar::CStatusBar() = default;
CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    if (pParentWnd == nullptr || pParentWnd->GetWidget() == nullptr)
        return FALSE;
    SetStylesFromCreate(dwStyle);
    const DWORD windowStyle = (dwStyle & ~(0xFFFFu | CBRS_GRIPPER)) | WS_CHILD;
    return CWnd::CreateEx(0, nullptr, nullptr, windowStyle, RECT{}, pParentWnd, nID, nullptr);
}

QWidget* CStatusBar::CreateWidget(const CREATESTRUCT&, QWidget* pParent)
{
    auto* bar = new QStatusBar(pParent);
    bar->setSizeGripEnabled(true);
    return bar;
}

void CStatusBar::AttachToFrame(QMainWindow* pMainWindow)
{
    if (auto* bar = qobject_cast<QStatusBar*>(GetWidget())) {
        if (pMainWindow->statusBar() != bar)
            pMainWindow->setStatusBar(bar);
    }
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    auto* bar = qobject_cast<QStatusBar*>(GetWidget());
    if (bar == nullptr || nIDCount < 0 || (nIDCount > 0 && lpIDArray == nullptr))
        return FALSE;
    for (Pane& pane : m_panes)
        delete pane.pLabel;
    m_panes.clear();

    const QFontMetrics metrics(bar->font());
    BOOL result = TRUE;
    for (int i = 0; i < nIDCount; ++i) {
        Pane pane;
        pane.nID = lpIDArray[i];
        pane.pLabel = new QLabel(bar);
        pane.pLabel->setFont(bar->font());
        pane.pLabel->setTextFormat(Qt::PlainText);
        pane.pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (pane.nID == ID_SEPARATOR) {
            if (i == 0) {
                pane.nStyle = SBPS_NOBORDERS | SBPS_STRETCH;
                AfxLoadString(AFX_IDS_IDLEMESSAGE, pane.text);
            }
        } else {
            CString text;
            if (!AfxLoadString(pane.nID, text))
                result = FALSE; // an indicator needs its string for its width
            pane.text = text;
            pane.cxText = metrics.horizontalAdvance(AfxToQString(text));
        }
        pane.pLabel->setText(AfxToQString(pane.text));
        if ((pane.nStyle & SBPS_STRETCH) != 0)
            bar->addWidget(pane.pLabel, 1);
        else
            bar->addPermanentWidget(pane.pLabel, 0);
        m_panes.push_back(pane);
        ApplyPaneStyle(m_panes.back());
    }
    return result;
}

void CStatusBar::ApplyPaneStyle(Pane& pane)
{
    QLabel* label = pane.pLabel;
    if (label == nullptr)
        return;
    label->setFrameShape((pane.nStyle & SBPS_NOBORDERS) != 0 ? QFrame::NoFrame : QFrame::Panel);
    if ((pane.nStyle & SBPS_STRETCH) != 0) {
        label->setMinimumWidth(0);
        label->setMaximumWidth(QWIDGETSIZE_MAX);
    } else {
        // The text's width plus what the frame and margins take.
        const int extra = 2 * label->frameWidth() + 2 * label->margin() + 4;
        label->setFixedWidth(pane.cxText + extra);
    }
    // A disabled pane shows no text.
    label->setText((pane.nStyle & SBPS_DISABLED) != 0 ? QString() : AfxToQString(pane.text));
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return 0;
    return m_panes[static_cast<size_t>(nIndex)].nID;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (m_panes[i].nID == nIDFind)
            return static_cast<int>(i);
    }
    return -1;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    nID = 0;
    nStyle = 0;
    cxWidth = 0;
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    const Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    nID = pane.nID;
    nStyle = pane.nStyle;
    cxWidth = pane.cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    pane.nID = nID;
    pane.nStyle = nStyle;
    pane.cxText = cxWidth;
    ApplyPaneStyle(pane);
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    const CString text(lpszNewText);
    if (pane.text == text)
        return TRUE; // an unchanged text repaints nothing
    pane.text = text;
    if (pane.pLabel != nullptr) {
        pane.pLabel->setText((pane.nStyle & SBPS_DISABLED) != 0 ? QString() : AfxToQString(text));
        if (bUpdate && pane.pLabel->isVisible())
            pane.pLabel->repaint();
    }
    return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return CString();
    return m_panes[static_cast<size_t>(nIndex)].text;
}

QLabel* CStatusBar::GetPaneLabel(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return nullptr;
    return m_panes[static_cast<size_t>(nIndex)].pLabel;
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    for (int i = 0; i < GetCount(); ++i) {
        if (m_panes[static_cast<size_t>(i)].nID == ID_SEPARATOR)
            continue; // the message pane is the frame's
        PaneCmdUI ui(this, i);
        ui.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

CStatusBar::PaneCmdUI::PaneCmdUI(CStatusBar* pBar, int nIndex) : m_pBar(pBar)
{
    m_nIndex = static_cast<UINT>(nIndex);
    m_nID = pBar->GetItemID(nIndex);
}

void CStatusBar::PaneCmdUI::OnEnable(BOOL bOn)
{
    Pane& pane = m_pBar->m_panes[m_nIndex];
    const UINT style = bOn ? (pane.nStyle & ~SBPS_DISABLED) : (pane.nStyle | SBPS_DISABLED);
    if (style != pane.nStyle) {
        pane.nStyle = style;
        m_pBar->ApplyPaneStyle(pane);
    }
}

void CStatusBar::PaneCmdUI::OnSetCheck(int nCheck)
{
    Pane& pane = m_pBar->m_panes[m_nIndex];
    const UINT style = nCheck != 0 ? (pane.nStyle | SBPS_POPOUT) : (pane.nStyle & ~SBPS_POPOUT);
    if (style != pane.nStyle) {
        pane.nStyle = style;
        m_pBar->ApplyPaneStyle(pane);
    }
}

void CStatusBar::PaneCmdUI::OnSetText(LPCSTR lpszText)
{
    m_pBar->SetPaneText(static_cast<int>(m_nIndex), lpszText, TRUE);
}
