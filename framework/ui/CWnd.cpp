#include "CWnd.h"

#include "CCmdUI.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QLineEdit>
#include <QTimerEvent>

#include <algorithm>
#include <chrono>
#include <climits>
#include <unordered_map>
#include <vector>

// The window system picks the place and size.
const RECT rectDefault = { INT32_MIN, INT32_MIN, 0, 0 };

namespace {

std::unordered_map<const QWidget*, CWnd*>& WidgetMap()
{
    static std::unordered_map<const QWidget*, CWnd*> map;
    return map;
}

// The child windows directly below pWidget: CWnd widgets found without
// passing through another CWnd widget.
std::vector<QPointer<QWidget>> DirectChildWindows(QWidget* pWidget)
{
    std::vector<QPointer<QWidget>> result;
    std::vector<QWidget*> pending{ pWidget };
    while (!pending.empty()) {
        QWidget* w = pending.back();
        pending.pop_back();
        for (QObject* o : w->children()) {
            auto* child = qobject_cast<QWidget*>(o);
            if (child == nullptr)
                continue;
            if (WidgetMap().count(child) != 0)
                result.emplace_back(child);
            else
                pending.push_back(child);
        }
    }
    return result;
}

} // namespace

// Runs the window timers of one CWnd on Qt timers. Intervals beyond what
// one Qt timer takes (an int of milliseconds) are reached in steps towards
// a deadline, so the full 32-bit range works and nothing polls.
class CWndTimerHost : public QObject {
public:
    explicit CWndTimerHost(CWnd* pOwner) : m_pOwner(pOwner) {}

    void Set(UINT_PTR nIDEvent, UINT nElapse)
    {
        Kill(nIDEvent);
        Timer& t = m_timers[nIDEvent];
        t.nElapse = nElapse;
        t.nGeneration = ++m_nGeneration;
        t.deadline = Clock::now() + std::chrono::milliseconds(nElapse);
        Arm(nIDEvent, t);
    }

    bool Kill(UINT_PTR nIDEvent)
    {
        auto it = m_timers.find(nIDEvent);
        if (it == m_timers.end())
            return false;
        if (it->second.nQtId != 0)
            killTimer(it->second.nQtId);
        m_timers.erase(it);
        return true;
    }

    void KillAll()
    {
        for (auto& entry : m_timers) {
            if (entry.second.nQtId != 0)
                killTimer(entry.second.nQtId);
        }
        m_timers.clear();
    }

    long long Remaining(UINT_PTR nIDEvent) const
    {
        auto it = m_timers.find(nIDEvent);
        if (it == m_timers.end())
            return -1;
        if (it->second.nElapse == 0)
            return 0;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(it->second.deadline - Clock::now());
        return std::max<long long>(0, left.count());
    }

    CWnd* m_pOwner;
    bool m_bDispatching = false;

protected:
    void timerEvent(QTimerEvent* e) override
    {
        auto it = std::find_if(m_timers.begin(), m_timers.end(),
                               [e](const auto& entry) { return entry.second.nQtId == e->timerId(); });
        if (it == m_timers.end()) {
            killTimer(e->timerId());
            return;
        }
        const UINT_PTR nIDEvent = it->first;
        Timer& t = it->second;
        if (t.nElapse != 0) {
            killTimer(t.nQtId);
            t.nQtId = 0;
            if (Clock::now() + std::chrono::milliseconds(1) < t.deadline) {
                Arm(nIDEvent, t); // a step on the way to a long deadline
                return;
            }
        }
        const unsigned long long generation = t.nGeneration;
        // The handler may kill or reset this timer, destroy the window or
        // delete the CWnd (which then leaves this host to deleteLater).
        m_bDispatching = true;
        if (m_pOwner != nullptr)
            m_pOwner->FireTimer(nIDEvent);
        m_bDispatching = false;
        if (m_pOwner == nullptr)
            return;
        it = m_timers.find(nIDEvent);
        if (it != m_timers.end() && it->second.nGeneration == generation && it->second.nElapse != 0) {
            it->second.deadline = Clock::now() + std::chrono::milliseconds(it->second.nElapse);
            Arm(nIDEvent, it->second);
        }
    }

private:
    using Clock = std::chrono::steady_clock;
    // One step of a long interval; well inside an int of milliseconds.
    static constexpr long long kMaxStep = 24LL * 60 * 60 * 1000;

    struct Timer {
        UINT nElapse = 0;
        int nQtId = 0;
        unsigned long long nGeneration = 0;
        Clock::time_point deadline;
    };

    void Arm(UINT_PTR, Timer& t)
    {
        // Like the window timers this layer stands in for, none fires
        // sooner than a few milliseconds after it was armed: a 0 ms timer
        // that re-arms itself then still leaves the event loop its turns
        // to paint, instead of starving every deferred repaint.
        long long wait = kMinElapse;
        if (t.nElapse > kMinElapse) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(t.deadline - Clock::now());
            wait = std::clamp<long long>(left.count(), 0, kMaxStep);
        }
        t.nQtId = startTimer(static_cast<int>(wait), Qt::PreciseTimer);
    }

    static constexpr long long kMinElapse = 10;

    std::map<UINT_PTR, Timer> m_timers;
    unsigned long long m_nGeneration = 0;
};

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    // The derived parts are gone already: no WM_DESTROY any more, but the
    // child windows and the widget must not outlive the object.
    KillAllTimers();
    if (m_pTimerHost) {
        m_pTimerHost->m_pOwner = nullptr;
        if (m_pTimerHost->m_bDispatching)
            m_pTimerHost.release()->deleteLater();
    }
    DestroyChildWindows();
    QWidget* w = m_pWidget.data();
    DetachWidget();
    delete w;
}

void CWnd::DestroyChildWindows()
{
    if (QWidget* w = m_pWidget.data()) {
        for (const QPointer<QWidget>& child : DirectChildWindows(w)) {
            if (child) {
                if (CWnd* pChild = FromWidget(child))
                    pChild->DestroyWindow();
            }
        }
    }
}

std::vector<CWnd*> CWnd::GetChildWindows() const
{
    std::vector<CWnd*> result;
    if (QWidget* w = m_pWidget.data()) {
        for (const QPointer<QWidget>& child : DirectChildWindows(w)) {
            if (CWnd* pChild = FromWidget(child))
                result.push_back(pChild);
        }
    }
    return result;
}

CWnd* CWnd::FromWidget(const QWidget* pWidget)
{
    auto it = WidgetMap().find(pWidget);
    return it == WidgetMap().end() ? nullptr : it->second;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpCreateParams)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, lpCreateParams);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    if (m_pWidget)
        return FALSE;
    CREATESTRUCT cs;
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = rect.left;
    cs.y = rect.top;
    if (rect.left != INT32_MIN) { // rectDefault: size and place left to Qt
        cs.cx = static_cast<int>(std::clamp<long long>(static_cast<long long>(rect.right) - rect.left, 0, INT_MAX));
        cs.cy = static_cast<int>(std::clamp<long long>(static_cast<long long>(rect.bottom) - rect.top, 0, INT_MAX));
    }
    cs.pParentWnd = pParentWnd;
    cs.hMenu = nID;
    cs.lpCreateParams = lpParam;
    // On every failure the object ends as after DestroyWindow: windows
    // that delete themselves are gone.
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }

    m_dwStyle = static_cast<DWORD>(cs.style);
    m_dwExStyle = cs.dwExStyle;
    m_nID = static_cast<UINT>(cs.hMenu);
    m_pParentWnd = cs.pParentWnd;
    m_bDestroySent = false;

    QWidget* parentWidget = m_pParentWnd != nullptr ? m_pParentWnd->GetWidget() : nullptr;
    QWidget* w = CreateWidget(cs, parentWidget);
    if (w == nullptr) {
        PostNcDestroy();
        return FALSE;
    }
    AttachWidget(w);
    if (cs.lpszName != nullptr)
        SetWindowText(cs.lpszName);
    if (cs.x != INT32_MIN && cs.cx > 0 && cs.cy > 0)
        w->setGeometry(cs.x, cs.y, cs.cx, cs.cy);
    if ((m_dwStyle & WS_DISABLED) != 0)
        w->setEnabled(false);
    if (m_pParentWnd != nullptr)
        m_pParentWnd->OnChildCreated(this);

    if (WindowProc(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        // Creation failed: the window goes as if destroyed; frames and
        // views delete themselves in PostNcDestroy.
        DestroyWindow();
        return FALSE;
    }
    if ((m_dwStyle & WS_CHILD) != 0) {
        if ((m_dwStyle & WS_VISIBLE) == 0)
            w->hide();
        else if (w->isHidden())
            w->show();
    } else if ((m_dwStyle & WS_VISIBLE) != 0) {
        w->show();
    }
    return TRUE;
}

BOOL CWnd::AttachControl(QWidget* pWidget, CWnd* pParentWnd, UINT nID, DWORD dwStyle)
{
    if (m_pWidget || pWidget == nullptr || FromWidget(pWidget) != nullptr)
        return FALSE;
    m_pParentWnd = pParentWnd;
    m_nID = nID;
    m_dwStyle = dwStyle;
    m_bDestroySent = false;
    AttachWidget(pWidget);
    return TRUE;
}

QWidget* CWnd::CreateWidget(const CREATESTRUCT& cs, QWidget* pParent)
{
    const bool child = (static_cast<DWORD>(cs.style) & WS_CHILD) != 0;
    return new QWidget(pParent, child ? Qt::Widget : Qt::Window);
}

void CWnd::OnChildCreated(CWnd*)
{
}

void CWnd::AttachWidget(QWidget* pWidget)
{
    m_pWidget = pWidget;
    WidgetMap()[pWidget] = this;
    m_destroyedConnection = QObject::connect(pWidget, &QObject::destroyed, [this, pWidget]() {
        WidgetMap().erase(pWidget);
        OnWidgetDestroyed();
    });
}

void CWnd::DetachWidget()
{
    QObject::disconnect(m_destroyedConnection);
    for (auto it = WidgetMap().begin(); it != WidgetMap().end();) {
        if (it->second == this)
            it = WidgetMap().erase(it);
        else
            ++it;
    }
    m_pWidget = nullptr;
}

void CWnd::SendDestroyToTree()
{
    if (!m_bDestroySent) {
        m_bDestroySent = true;
        WindowProc(WM_DESTROY, 0, 0);
    }
    if (QWidget* w = m_pWidget.data()) {
        for (const QPointer<QWidget>& child : DirectChildWindows(w)) {
            if (child) {
                if (CWnd* pChild = FromWidget(child))
                    pChild->SendDestroyToTree();
            }
        }
    }
}

BOOL CWnd::DestroyWindow()
{
    if (!m_pWidget)
        return FALSE;
    SendDestroyToTree();
    // Children go first, while this window is still whole, so that what
    // they tell their parent on the way out reaches a live object.
    DestroyChildWindows();
    KillAllTimers();
    QWidget* w = m_pWidget.data();
    DetachWidget();
    delete w;
    PostNcDestroy(); // may delete this
    return TRUE;
}

void CWnd::OnWidgetDestroyed()
{
    // Qt deleted the widget (its parent went away): finish the window's
    // life the same way DestroyWindow would.
    QObject::disconnect(m_destroyedConnection);
    m_pWidget = nullptr;
    if (!m_bDestroySent) {
        m_bDestroySent = true;
        WindowProc(WM_DESTROY, 0, 0);
    }
    KillAllTimers();
    PostNcDestroy(); // may delete this
}

void CWnd::PostNcDestroy()
{
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (CWnd* p = m_pParentWnd; p != nullptr; p = p->m_pParentWnd) {
        if (CFrameWnd* pFrame = p->AsFrameWnd())
            return pFrame;
    }
    return nullptr;
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    QWidget* w = GetWidget();
    if (w == nullptr)
        return FALSE;
    const BOOL wasVisible = w->isVisible() ? TRUE : FALSE;
    const bool topLevel = w->isWindow();
    switch (nCmdShow) {
    case SW_HIDE:
        w->hide();
        break;
    case SW_SHOWMAXIMIZED:
        topLevel ? w->showMaximized() : w->show();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        topLevel ? w->showMinimized() : w->show();
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        topLevel ? w->showNormal() : w->show();
        break;
    default:
        w->show();
        break;
    }
    if (nCmdShow == SW_HIDE)
        m_dwStyle &= ~WS_VISIBLE;
    else
        m_dwStyle |= WS_VISIBLE;
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    const QWidget* w = GetWidget();
    return w != nullptr && w->isVisible() ? TRUE : FALSE;
}

void CWnd::UpdateWindow()
{
    QWidget* w = GetWidget();
    if (w == nullptr || !w->isVisible())
        return;
    w->repaint();
    // A scroll area paints its contents in the viewport, a child widget
    // that repaint() of the frame does not reach.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w))
        area->viewport()->repaint();
}

void CWnd::Invalidate(BOOL)
{
    if (QWidget* w = GetWidget()) {
        w->update();
        if (auto* area = qobject_cast<QAbstractScrollArea*>(w))
            area->viewport()->update();
    }
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    const BOOL wasDisabled = (m_dwStyle & WS_DISABLED) != 0 ? TRUE : FALSE;
    if (bEnable)
        m_dwStyle &= ~WS_DISABLED;
    else
        m_dwStyle |= WS_DISABLED;
    if (QWidget* w = GetWidget())
        w->setEnabled(bEnable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    if (QWidget* w = GetWidget())
        return w->isEnabled() ? TRUE : FALSE;
    return (m_dwStyle & WS_DISABLED) == 0 ? TRUE : FALSE;
}

CWnd* CWnd::SetFocus()
{
    CWnd* pOld = nullptr;
    if (QWidget* focus = QApplication::focusWidget())
        pOld = FromWidget(focus);
    if (QWidget* w = GetWidget())
        w->setFocus(Qt::OtherFocusReason);
    return pOld;
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL)
{
    if (QWidget* w = GetWidget())
        w->setGeometry(x, y, nWidth, nHeight);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    *lpRect = RECT{};
    if (QWidget* w = GetWidget()) {
        lpRect->right = w->width();
        lpRect->bottom = w->height();
    }
}

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    *lpRect = RECT{};
    if (QWidget* w = GetWidget()) {
        const QRect g = w->frameGeometry();
        const QPoint topLeft = w->isWindow() ? g.topLeft() : w->mapToGlobal(QPoint(0, 0));
        lpRect->left = topLeft.x();
        lpRect->top = topLeft.y();
        lpRect->right = topLeft.x() + g.width();
        lpRect->bottom = topLeft.y() + g.height();
    }
}

void CWnd::DragAcceptFiles(BOOL bAccept)
{
    if (QWidget* w = GetWidget())
        w->setAcceptDrops(bAccept != FALSE);
}

void CWnd::SetWindowText(LPCSTR lpszString)
{
    m_strText = lpszString;
    QWidget* w = GetWidget();
    if (w == nullptr)
        return;
    const QString text = AfxToQString(lpszString);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else
        w->setWindowTitle(text);
}

void CWnd::GetWindowText(CString& rString) const
{
    rString = GetWindowText();
}

CString CWnd::GetWindowText() const
{
    QWidget* w = GetWidget();
    if (w == nullptr)
        return m_strText;
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return AfxFromQString(edit->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return AfxFromQString(button->text());
    if (auto* label = qobject_cast<QLabel*>(w))
        return AfxFromQString(label->text());
    return AfxFromQString(w->windowTitle());
}

int CWnd::GetWindowTextLength() const
{
    return GetWindowText().GetLength();
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT)
{
    const DWORD old = m_dwStyle;
    const DWORD now = (old & ~dwRemove) | dwAdd;
    if (now == old)
        return FALSE;
    m_dwStyle = now;
    OnStyleChanged(old, now);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT)
{
    const DWORD old = m_dwExStyle;
    m_dwExStyle = (old & ~dwRemove) | dwAdd;
    return m_dwExStyle != old ? TRUE : FALSE;
}

LONG CWnd::GetWindowLong(int nIndex) const
{
    switch (nIndex) {
    case GWL_STYLE:
        return static_cast<LONG>(m_dwStyle);
    case GWL_EXSTYLE:
        return static_cast<LONG>(m_dwExStyle);
    case GWL_ID:
        return static_cast<LONG>(m_nID);
    default:
        return 0;
    }
}

LONG CWnd::SetWindowLong(int nIndex, LONG dwNewLong)
{
    const LONG old = GetWindowLong(nIndex);
    switch (nIndex) {
    case GWL_STYLE: {
        const DWORD oldStyle = m_dwStyle;
        m_dwStyle = static_cast<DWORD>(dwNewLong);
        if (oldStyle != m_dwStyle)
            OnStyleChanged(oldStyle, m_dwStyle);
        break;
    }
    case GWL_EXSTYLE:
        m_dwExStyle = static_cast<DWORD>(dwNewLong);
        break;
    case GWL_ID:
        m_nID = static_cast<UINT>(dwNewLong);
        break;
    default:
        return 0;
    }
    return old;
}

void CWnd::OnStyleChanged(DWORD dwOldStyle, DWORD dwNewStyle)
{
    QWidget* w = GetWidget();
    if (w == nullptr)
        return;
    if (((dwOldStyle ^ dwNewStyle) & WS_DISABLED) != 0)
        w->setEnabled((dwNewStyle & WS_DISABLED) == 0);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void (*)(CWnd*, UINT, UINT_PTR, DWORD))
{
    if (GetWidget() == nullptr || nIDEvent == 0)
        return 0;
    if (!m_pTimerHost)
        m_pTimerHost = std::make_unique<CWndTimerHost>(this);
    m_pTimerHost->Set(nIDEvent, nElapse);
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return m_pTimerHost && m_pTimerHost->Kill(nIDEvent) ? TRUE : FALSE;
}

long long CWnd::GetTimerRemaining(UINT_PTR nIDEvent) const
{
    return m_pTimerHost ? m_pTimerHost->Remaining(nIDEvent) : -1;
}

void CWnd::KillAllTimers()
{
    if (m_pTimerHost)
        m_pTimerHost->KillAll();
}

void CWnd::FireTimer(UINT_PTR nIDEvent)
{
    AfxRunGuarded([this, nIDEvent] { WindowProc(WM_TIMER, static_cast<WPARAM>(nIDEvent), 0); });
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowProc(message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam) ? 1 : 0;
    if (const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message, 0, 0))
        return DispatchEntry(*e, wParam, lParam, nullptr);
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        DestroyWindow();
    return 0;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    const UINT nID = LOWORD(wParam);
    const int nCode = HIWORD(wParam);
    if (nCode == 0 || nCode == 1) {
        // Menus and accelerators: a command whose update handler disables
        // it does not run, whatever state its element last showed.
        CCmdUI state;
        state.m_nID = nID;
        RouteCommand(nID, CN_UPDATE_COMMAND_UI, &state);
        if (state.m_bEnableChanged && !state.m_bEnabled)
            return TRUE;
    }
    return RouteCommand(nID, CN_COMMAND, nullptr);
}

int CWnd::OnCreate(LPCREATESTRUCT)
{
    return 0;
}

void CWnd::OnDestroy()
{
}

void CWnd::OnTimer(UINT_PTR)
{
}

void CWnd::OnClose()
{
    DestroyWindow();
}
