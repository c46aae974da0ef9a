#pragma once
// The C++ side of a window. A CWnd owns no widget until Create: then it
// makes one (CreateWidget, chosen by the subclass), hands it to the parent
// window, and runs WM_CREATE through its message map. The widget belongs
// to its Qt parent, or to the CWnd when it has none.
//
// Destruction: DestroyWindow sends WM_DESTROY to the window and its child
// windows, deletes the widget and calls PostNcDestroy, where frames and
// views delete themselves. A widget that Qt deletes on its own (a parent
// going away) leads to the same WM_DESTROY and PostNcDestroy.

#include "AfxWin.h"
#include "CCmdTarget.h"
#include "CString.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <vector>
#include <memory>

class CFrameWnd;
class CWndTimerHost;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The widget, nullptr before Create and after destruction.
    QWidget* GetWidget() const { return m_pWidget ? m_pWidget.data() : m_pAliasWidget.data(); }
    QWidget* GetSafeHwnd() const { return GetWidget(); }
    // The CWnd a widget was created for, or nullptr.
    static CWnd* FromWidget(const QWidget* pWidget);

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpCreateParams = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    // Makes this object the window of a widget made elsewhere (a dialog's
    // control). The widget stays with its Qt parent; DestroyWindow deletes
    // it like a created one.
    BOOL AttachControl(QWidget* pWidget, CWnd* pParentWnd, UINT nID, DWORD dwStyle);

    CWnd* GetParent() const { return m_pParentWnd; }
    // The nearest frame among the parents, nullptr if none.
    CFrameWnd* GetParentFrame() const;
    // The child windows directly below this one, in widget order.
    std::vector<CWnd*> GetChildWindows() const;
    // This window as a frame, nullptr for other windows.
    virtual CFrameWnd* AsFrameWnd() { return nullptr; }
    UINT GetDlgCtrlID() const { return m_nID; }
    void SetDlgCtrlID(UINT nID) { m_nID = nID; }

    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    void UpdateWindow();               // repaints what is invalid, now
    void Invalidate(BOOL bErase = TRUE);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    CWnd* SetFocus();
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;

    // Files dropped on the window are opened as documents (frames only).
    void DragAcceptFiles(BOOL bAccept = TRUE);

    void SetWindowText(LPCSTR lpszString);
    void GetWindowText(CString& rString) const;
    CString GetWindowText() const;
    int GetWindowTextLength() const;

    // The style word, kept with the window; widgets follow the bits they
    // know about (see OnStyleChanged).
    DWORD GetStyle() const { return m_dwStyle; }
    DWORD GetExStyle() const { return m_dwExStyle; }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    LONG GetWindowLong(int nIndex) const;
    LONG SetWindowLong(int nIndex, LONG dwNewLong);

    // Window timers. nElapse is in milliseconds, the full unsigned 32-bit
    // range; the shortest interval is 10 ms (0 and anything shorter fire
    // every 10 ms, leaving the event loop time to paint between shots). The
    // timer sends WM_TIMER with nIDEvent until killed; setting an id that
    // runs already restarts it with the new interval. Returns nIDEvent, or
    // 0 when the window does not exist or nIDEvent is 0.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void (*lpfnTimer)(CWnd*, UINT, UINT_PTR, DWORD) = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);
    // Milliseconds until the timer fires next, -1 when it does not run.
    long long GetTimerRemaining(UINT_PTR nIDEvent) const;

    // Calls the window procedure at once and returns its result.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Runs a message through the message map; unhandled ones go to
    // DefWindowProc. WM_COMMAND goes to OnCommand.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A command (LOWORD(wParam) the id): skipped when the element's update
    // handler disables it, else routed along GetCommandRoute. TRUE when
    // some target handled it.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // Called when the window's style changes, so the widget can follow.
    virtual void OnStyleChanged(DWORD dwOldStyle, DWORD dwNewStyle);

protected:
    // Makes the widget for this window. pParent is the parent window's
    // widget for child windows, else nullptr. The default is a plain
    // QWidget.
    virtual QWidget* CreateWidget(const CREATESTRUCT& cs, QWidget* pParent);
    // Lets a parent place a new child's widget (a view becomes a frame's
    // central widget, a bar goes to its edge).
    virtual void OnChildCreated(CWnd* pChild);
    virtual void PostNcDestroy();

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnTimer(UINT_PTR nIDEvent);
    void OnClose();
    // Destroys the child windows (used by destructors, while the derived
    // object is still whole).
    void DestroyChildWindows();
    // Lets this object act on a widget that another window owns (a list
    // view's list control), without owning or destroying it.
    void SetAliasWidget(QWidget* pWidget) { m_pAliasWidget = pWidget; }

    DECLARE_MESSAGE_MAP()

private:
    friend class CWndTimerHost;
    void AttachWidget(QWidget* pWidget);
    void DetachWidget();
    void OnWidgetDestroyed();
    void SendDestroyToTree();
    void KillAllTimers();
    void FireTimer(UINT_PTR nIDEvent);

    QPointer<QWidget> m_pWidget;
    QPointer<QWidget> m_pAliasWidget;
    QMetaObject::Connection m_destroyedConnection;
    CWnd* m_pParentWnd = nullptr;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    DWORD m_dwExStyle = 0;
    bool m_bDestroySent = false;
    CString m_strText; // the window text while there is no widget
    std::unique_ptr<CWndTimerHost> m_pTimerHost;
};
