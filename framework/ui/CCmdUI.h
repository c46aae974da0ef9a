#pragma once
// The state of one command's user-interface element (a menu item, a toolbar
// button, a status pane) as an update handler sees it. Update handlers only
// call Enable, SetCheck and SetText; what the calls do to a widget is up to
// the subclass that stands for that element.

#include "AfxTypes.h"

class CCmdTarget;

class CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    void Enable(BOOL bOn = TRUE);
    void SetCheck(int nCheck = 1); // 0 unchecked, 1 checked
    void SetText(LPCSTR lpszText);

    // Runs the update for m_nID along pTarget's command route: the first
    // update handler found decides; lacking one, a command handler on the
    // route enables the element, and with neither it is disabled when
    // bDisableIfNoHndler is set. Returns TRUE if some target answered.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

protected:
    // What the element does with each call; the base records nothing, so a
    // plain CCmdUI can be used to query a command's state in tests.
    virtual void OnEnable(BOOL bOn);
    virtual void OnSetCheck(int nCheck);
    virtual void OnSetText(LPCSTR lpszText);

public:
    // The last values passed, for callers that query rather than draw.
    BOOL m_bEnabled = TRUE;
    int m_nCheck = 0;
};
