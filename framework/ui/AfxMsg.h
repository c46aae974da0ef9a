#pragma once
// Message ids, command codes and the message-map tables.
//
// A message map is a static, ordered table of entries per class, chained to
// the table of its base class. Lookup walks the most derived table first, so
// a derived class overrides an entry of its base. Commands are routed along
// an explicit chain of such tables (see CCmdTarget::GetCommandRoute); window
// messages go to the window's own chain only.

#include "AfxTypes.h"

#include <cstring>

class CCmdTarget;
class CCmdUI;
struct CREATESTRUCT;
using LPCREATESTRUCT = CREATESTRUCT*;

// Window messages that the program's classes handle through their maps.
enum : UINT {
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_CLOSE = 0x0010,
    WM_COMMAND = 0x0111,
    WM_TIMER = 0x0113,
};

// Notification codes carried with a routed command.
enum : int {
    CN_COMMAND = 0,           // run the command
    CN_UPDATE_COMMAND_UI = -1 // ask for its enabled/checked/text state (pExtra is a CCmdUI*)
};

// How the handler of an entry is called.
enum AfxSig : int {
    AfxSig_end = 0,
    AfxSig_vv,       // void Handler()                 commands, WM_DESTROY
    AfxSig_vCmdUI,   // void Handler(CCmdUI*)          update handlers
    AfxSig_iCreate,  // int Handler(LPCREATESTRUCT)    WM_CREATE
    AfxSig_vTimer,   // void Handler(UINT_PTR)         WM_TIMER
};

using AFX_PMSG = void (CCmdTarget::*)();

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // WM_COMMAND for commands and update handlers, else the window message
    int nCode;     // CN_COMMAND or CN_UPDATE_COMMAND_UI for WM_COMMAND entries
    UINT nID;      // command id, 0 for window messages
    AfxSig nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Declares the map accessors in a class body.
#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;           \
                                                                \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                 \
    {                                                                               \
        using ThisClass [[maybe_unused]] = theClass;                                \
        using TheBaseClass = baseClass;                                             \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                          \
    { 0, 0, 0, AfxSig_end, nullptr }                                               \
    };                                                                             \
    static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &messageEntries[0] }; \
    return &messageMap;                                                            \
    }

// Reinterprets one pointer-to-member-function type as another of the same
// size; the dispatcher converts back to the handler's real type before any
// call, so the value makes a round trip unchanged.
template <class To, class From>
To AfxPmfCast(From from)
{
    static_assert(sizeof(To) == sizeof(From), "member function pointers differ in size");
    To to;
    std::memcpy(&to, &from, sizeof(To));
    return to;
}

// Handlers are named as in the class body (OnEditAdd) or qualified
// (CMyDoc::OnEditAdd); both resolve as ThisClass::name.
//
// A handler is first converted to a member of CCmdTarget with its own
// signature (a valid base-member conversion, as the object is always of the
// map's class), then stored as AFX_PMSG; the dispatcher converts it back to
// that same CCmdTarget signature, chosen by nSig. The inner cast checks each
// handler's signature at compile time.
#define AFX_MSG_PMSG(derivedType, baseType, fn) \
    AfxPmfCast<AFX_PMSG>(static_cast<baseType>(static_cast<derivedType>(&fn)))

#define ON_COMMAND(id, memberFxn)                                              \
    { WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), AfxSig_vv,                \
      AFX_MSG_PMSG(void (ThisClass::*)(), void (CCmdTarget::*)(), ThisClass::memberFxn) },

#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                    \
    { WM_COMMAND, CN_UPDATE_COMMAND_UI, static_cast<UINT>(id), AfxSig_vCmdUI,  \
      AFX_MSG_PMSG(void (ThisClass::*)(CCmdUI*), void (CCmdTarget::*)(CCmdUI*), ThisClass::memberFxn) },

#define ON_WM_CREATE()                                                         \
    { WM_CREATE, 0, 0, AfxSig_iCreate,                                         \
      AFX_MSG_PMSG(int (ThisClass::*)(LPCREATESTRUCT), int (CCmdTarget::*)(LPCREATESTRUCT), ThisClass::OnCreate) },

#define ON_WM_DESTROY()                                                        \
    { WM_DESTROY, 0, 0, AfxSig_vv,                                             \
      AFX_MSG_PMSG(void (ThisClass::*)(), void (CCmdTarget::*)(), ThisClass::OnDestroy) },

#define ON_WM_CLOSE()                                                          \
    { WM_CLOSE, 0, 0, AfxSig_vv,                                               \
      AFX_MSG_PMSG(void (ThisClass::*)(), void (CCmdTarget::*)(), ThisClass::OnClose) },

#define ON_WM_TIMER()                                                          \
    { WM_TIMER, 0, 0, AfxSig_vTimer,                                           \
      AFX_MSG_PMSG(void (ThisClass::*)(UINT_PTR), void (CCmdTarget::*)(UINT_PTR), ThisClass::OnTimer) },
