#include "CCmdUI.h"

#include "CCmdTarget.h"

void CCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    m_bEnabled = bOn ? TRUE : FALSE;
    OnEnable(m_bEnabled);
}

void CCmdUI::SetCheck(int nCheck)
{
    m_nCheck = nCheck;
    OnSetCheck(nCheck);
}

void CCmdUI::SetText(LPCSTR lpszText)
{
    OnSetText(lpszText);
}

void CCmdUI::OnEnable(BOOL)
{
}

void CCmdUI::OnSetCheck(int)
{
}

void CCmdUI::OnSetText(LPCSTR)
{
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    m_bEnableChanged = FALSE;
    if (pTarget == nullptr) {
        if (bDisableIfNoHndler)
            Enable(FALSE);
        return FALSE;
    }
    BOOL handled = pTarget->RouteCommand(m_nID, CN_UPDATE_COMMAND_UI, this);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        // An update handler that only sets a check mark leaves the element
        // enabled as long as something on the route runs the command.
        std::vector<CCmdTarget*> route;
        pTarget->GetCommandRoute(route);
        bool runnable = false;
        for (CCmdTarget* t : route) {
            if (t != nullptr && t->FindMessageEntry(WM_COMMAND, CN_COMMAND, m_nID) != nullptr) {
                runnable = true;
                break;
            }
        }
        if (!runnable)
            Enable(FALSE);
    }
    return handled;
}
