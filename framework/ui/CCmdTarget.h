#pragma once
// Base of every object that can handle commands: the application, documents,
// views and frames. Each class declares an ordered handler table (its message
// map); a command travels along an explicit route of such objects, and the
// first table on the route that has an entry for it handles it.

#include "AfxMsg.h"
#include "CObject.h"
#include "CRuntimeClass.h"

#include <vector>

class CCmdTarget : public CObject {
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // Run-time class information; classes that use DECLARE_DYNAMIC or
    // DECLARE_DYNCREATE override it.
    static const CRuntimeClass* GetThisClass();
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

    // Looks the command up in this object's own map chain (most derived class
    // first) and, when an entry exists, runs it. For CN_COMMAND it runs the
    // ON_COMMAND handler; for CN_UPDATE_COMMAND_UI pExtra is the CCmdUI and
    // the ON_UPDATE_COMMAND_UI handler runs, or, lacking one, an ON_COMMAND
    // entry marks the command as handled (enabled). Returns TRUE if handled.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra);

    // Appends the targets a command sent to this object visits, in order,
    // this object included. The default route is this object alone; views,
    // frames and the application extend it.
    virtual void GetCommandRoute(std::vector<CCmdTarget*>& route);

    // Walks GetCommandRoute() and gives the command to each target's own
    // table until one handles it. Returns TRUE if some target did.
    BOOL RouteCommand(UINT nID, int nCode, void* pExtra);

    // Finds the first entry in this object's map chain for the message.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, int nCode, UINT nID) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Calls an entry's handler on this object according to its signature.
    // Handlers for window messages receive wParam/lParam as their signature
    // needs; the result is the handler's (0 for void handlers).
    LRESULT DispatchEntry(const AFX_MSGMAP_ENTRY& entry, WPARAM wParam, LPARAM lParam, void* pExtra);
};
