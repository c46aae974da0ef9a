#include "CCmdTarget.h"

#include "CCmdUI.h"

const CRuntimeClass* CCmdTarget::GetThisClass()
{
    static const CRuntimeClass rc = { "CCmdTarget", nullptr, nullptr };
    return &rc;
}

const CRuntimeClass* CCmdTarget::GetRuntimeClass() const
{
    return GetThisClass();
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, 0, AfxSig_end, nullptr } };
    static const AFX_MSGMAP map = { nullptr, &entries[0] };
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, int nCode, UINT nID) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->nMessage == nMessage && e->nCode == nCode && e->nID == nID)
                return e;
        }
    }
    return nullptr;
}

LRESULT CCmdTarget::DispatchEntry(const AFX_MSGMAP_ENTRY& entry, WPARAM wParam, LPARAM lParam, void* pExtra)
{
    switch (entry.nSig) {
    case AfxSig_vv:
        (this->*entry.pfn)();
        return 0;
    case AfxSig_vCmdUI: {
        auto pfn = AfxPmfCast<void (CCmdTarget::*)(CCmdUI*)>(entry.pfn);
        (this->*pfn)(static_cast<CCmdUI*>(pExtra));
        return 0;
    }
    case AfxSig_iCreate: {
        auto pfn = AfxPmfCast<int (CCmdTarget::*)(LPCREATESTRUCT)>(entry.pfn);
        return (this->*pfn)(reinterpret_cast<LPCREATESTRUCT>(lParam));
    }
    case AfxSig_vTimer: {
        auto pfn = AfxPmfCast<void (CCmdTarget::*)(UINT_PTR)>(entry.pfn);
        (this->*pfn)(static_cast<UINT_PTR>(wParam));
        return 0;
    }
    case AfxSig_end:
        break;
    }
    return 0;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra)
{
    if (const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_COMMAND, nCode, nID)) {
        DispatchEntry(*e, 0, 0, pExtra);
        return TRUE;
    }
    // With no update handler, a command handler on this target means the
    // command is available here.
    if (nCode == CN_UPDATE_COMMAND_UI && FindMessageEntry(WM_COMMAND, CN_COMMAND, nID) != nullptr) {
        if (pExtra != nullptr)
            static_cast<CCmdUI*>(pExtra)->Enable(TRUE);
        return TRUE;
    }
    return FALSE;
}

void CCmdTarget::GetCommandRoute(std::vector<CCmdTarget*>& route)
{
    route.push_back(this);
}

BOOL CCmdTarget::RouteCommand(UINT nID, int nCode, void* pExtra)
{
    std::vector<CCmdTarget*> route;
    GetCommandRoute(route);
    for (CCmdTarget* target : route) {
        if (target != nullptr && target->OnCmdMsg(nID, nCode, pExtra))
            return TRUE;
    }
    return FALSE;
}
