#include "CToolBar.h"

#include "AfxRes.h"
#include "AfxResources.h"
#include "CCmdRecord.h"
#include "CFrameWnd.h"

#include <QAction>
#include <QMainWindow>
#include <QPixmap>
#include <QToolBar>

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

CToolBar::CToolBar() = default;
CToolBar::~CToolBar() = default;

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, RECT{}, nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD, DWORD dwStyle, const RECT&, UINT nID)
{
    if (pParentWnd == nullptr || pParentWnd->GetWidget() == nullptr)
        return FALSE;
    SetStylesFromCreate(dwStyle);
    const DWORD windowStyle = (dwStyle & ~(0xFFFFu | CBRS_GRIPPER)) | WS_CHILD;
    return CWnd::CreateEx(0, nullptr, nullptr, windowStyle, RECT{}, pParentWnd, nID, nullptr);
}

QWidget* CToolBar::CreateWidget(const CREATESTRUCT&, QWidget* pParent)
{
    auto* bar = new QToolBar(pParent);
    bar->setObjectName(QStringLiteral("toolbar%1").arg(GetDlgCtrlID()));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return bar;
}

void CToolBar::AttachToFrame(QMainWindow* pMainWindow)
{
    auto* bar = qobject_cast<QToolBar*>(GetWidget());
    if (bar == nullptr || m_bAttached)
        return;
    m_bAttached = true;
    Qt::ToolBarArea area = Qt::TopToolBarArea;
    if ((m_dwBarStyle & CBRS_ALIGN_BOTTOM) != 0 && (m_dwBarStyle & CBRS_ALIGN_TOP) == 0)
        area = Qt::BottomToolBarArea;
    else if ((m_dwBarStyle & CBRS_ALIGN_LEFT) != 0 && (m_dwBarStyle & CBRS_ALIGN_TOP) == 0)
        area = Qt::LeftToolBarArea;
    else if ((m_dwBarStyle & CBRS_ALIGN_RIGHT) != 0 && (m_dwBarStyle & CBRS_ALIGN_TOP) == 0)
        area = Qt::RightToolBarArea;
    pMainWindow->addToolBar(area, bar);
}

void CToolBar::OnBarStyleChanged()
{
    if (auto* bar = qobject_cast<QToolBar*>(GetWidget())) {
        Qt::ToolBarAreas areas;
        if (m_dwDockStyle & CBRS_ALIGN_TOP)
            areas |= Qt::TopToolBarArea;
        if (m_dwDockStyle & CBRS_ALIGN_BOTTOM)
            areas |= Qt::BottomToolBarArea;
        if (m_dwDockStyle & CBRS_ALIGN_LEFT)
            areas |= Qt::LeftToolBarArea;
        if (m_dwDockStyle & CBRS_ALIGN_RIGHT)
            areas |= Qt::RightToolBarArea;
        if (m_dwDockStyle != 0) {
            bar->setAllowedAreas(areas);
            bar->setMovable(true);
        }
    }
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    auto* bar = qobject_cast<QToolBar*>(GetWidget());
    CFrameWnd* pFrame = GetParentFrame();
    const AfxToolBarResource* res = AfxResources::Get().FindToolBar(nIDResource);
    if (bar == nullptr || pFrame == nullptr || res == nullptr || res->cx <= 0 || res->cy <= 0)
        return FALSE;
    QImage strip = res->image;
    if (strip.isNull() && !res->imagePath.IsEmpty())
        strip.load(AfxToQString(res->imagePath));
    int images = 0;
    for (UINT id : res->buttons) {
        if (id != ID_SEPARATOR)
            ++images;
    }
    if (images > 0 && (strip.isNull() || strip.width() < images * res->cx || strip.height() < res->cy))
        return FALSE;

    bar->clear();
    m_buttons.clear();
    bar->setIconSize(QSize(res->cx, res->cy));
    int image = 0;
    for (UINT id : res->buttons) {
        m_buttons.push_back(id);
        if (id == ID_SEPARATOR) {
            bar->addSeparator();
            continue;
        }
        CCmdRecord* record = pFrame->GetCommandRecord(id);
        record->SetIcon(QIcon(QPixmap::fromImage(strip.copy(image * res->cx, 0, res->cx, res->cy))));
        ++image;
        bar->addAction(record->GetAction());
    }
    return TRUE;
}

UINT CToolBar::GetItemID(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return ID_SEPARATOR;
    return m_buttons[static_cast<size_t>(nIndex)];
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i] == nIDFind)
            return static_cast<int>(i);
    }
    return -1;
}
