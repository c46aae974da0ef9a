#pragma once
// Window-layer types and constants: rectangles, the creation structure,
// window, bar, list and message-box style bits, and the few global
// services (message box, beep, application and main window) that the
// program's classes call by their usual names.
//
// Style values keep their customary numbers because the program's code
// combines and tests them as plain bits (GWL_STYLE | LVS_REPORT).

#include "AfxMsg.h"
#include "CString.h"

#include <functional>

class CWinApp;
class CWnd;
class QWidget;

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

class CRect : public RECT {
public:
    CRect() = default;
    CRect(LONG l, LONG t, LONG r, LONG b) : RECT{ l, t, r, b } {}
    LONG Width() const { return right - left; }
    LONG Height() const { return bottom - top; }
};

// The rectangle that asks for the window system's default placement.
extern const RECT rectDefault;

// What a window sees of its own creation (OnCreate, PreCreateWindow).
struct CREATESTRUCT {
    LPVOID lpCreateParams = nullptr; // the CCreateContext for frames and views
    UINT_PTR hMenu = 0;              // child windows: the control id
    CWnd* pParentWnd = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    LONG style = 0;
    LPCSTR lpszName = nullptr;
    LPCSTR lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000u;
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_CHILD = 0x40000000u;
constexpr DWORD WS_MINIMIZE = 0x20000000u;
constexpr DWORD WS_VISIBLE = 0x10000000u;
constexpr DWORD WS_DISABLED = 0x08000000u;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000u;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000u;
constexpr DWORD WS_MAXIMIZE = 0x01000000u;
constexpr DWORD WS_CAPTION = 0x00C00000u;
constexpr DWORD WS_BORDER = 0x00800000u;
constexpr DWORD WS_DLGFRAME = 0x00400000u;
constexpr DWORD WS_VSCROLL = 0x00200000u;
constexpr DWORD WS_HSCROLL = 0x00100000u;
constexpr DWORD WS_SYSMENU = 0x00080000u;
constexpr DWORD WS_THICKFRAME = 0x00040000u;
constexpr DWORD WS_GROUP = 0x00020000u;
constexpr DWORD WS_TABSTOP = 0x00010000u;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000u;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000u;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_CHILDWINDOW = WS_CHILD;

constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200u;

// Frame styles.
constexpr DWORD FWS_ADDTOTITLE = 0x00008000u;
constexpr DWORD FWS_PREFIXTITLE = 0x00004000u;
constexpr DWORD FWS_SNAPTOBARS = 0x00002000u;

// The style a frame gives the view it creates.
constexpr DWORD AFX_WS_DEFAULT_VIEW = WS_CHILD | WS_VISIBLE | WS_BORDER;

// Control-bar styles.
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000u;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000u;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000u;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000u;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000u;
constexpr DWORD CBRS_BORDER_LEFT = 0x0100u;
constexpr DWORD CBRS_BORDER_TOP = 0x0200u;
constexpr DWORD CBRS_BORDER_RIGHT = 0x0400u;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800u;
constexpr DWORD CBRS_BORDER_ANY = 0x0F00u;
constexpr DWORD CBRS_TOOLTIPS = 0x0010u;
constexpr DWORD CBRS_FLYBY = 0x0020u;
constexpr DWORD CBRS_FLOAT_MULTI = 0x0040u;
constexpr DWORD CBRS_HIDE_INPLACE = 0x0008u;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004u;
constexpr DWORD CBRS_SIZE_FIXED = 0x0002u;
constexpr DWORD CBRS_FLOATING = 0x0001u;
constexpr DWORD CBRS_GRIPPER = 0x00400000u;
constexpr DWORD CBRS_NOALIGN = 0x0000u;
constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// Toolbar button styles (as held in a toolbar's button list).
constexpr UINT TBBS_BUTTON = 0x0000u;
constexpr UINT TBBS_SEPARATOR = 0x0001u;

// Status pane styles.
constexpr UINT SBPS_NORMAL = 0x0000u;
constexpr UINT SBPS_NOBORDERS = 0x0100u;
constexpr UINT SBPS_POPOUT = 0x0200u;
constexpr UINT SBPS_DISABLED = 0x04000000u;
constexpr UINT SBPS_STRETCH = 0x08000000u;

// Show states.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;

// GetWindowLong / SetWindowLong indexes.
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_ID = -12;

// Message boxes.
constexpr UINT MB_OK = 0x00000000u;
constexpr UINT MB_OKCANCEL = 0x00000001u;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002u;
constexpr UINT MB_YESNOCANCEL = 0x00000003u;
constexpr UINT MB_YESNO = 0x00000004u;
constexpr UINT MB_RETRYCANCEL = 0x00000005u;
constexpr UINT MB_TYPEMASK = 0x0000000Fu;
constexpr UINT MB_ICONHAND = 0x00000010u;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020u;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030u;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040u;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0x000000F0u;
constexpr UINT MB_DEFBUTTON1 = 0x00000000u;
constexpr UINT MB_DEFBUTTON2 = 0x00000100u;
constexpr UINT MB_DEFBUTTON3 = 0x00000200u;
constexpr UINT MB_DEFMASK = 0x00000F00u;

// Dialog results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// List control: view types and styles.
constexpr DWORD LVS_ICON = 0x0000u;
constexpr DWORD LVS_REPORT = 0x0001u;
constexpr DWORD LVS_SMALLICON = 0x0002u;
constexpr DWORD LVS_LIST = 0x0003u;
constexpr DWORD LVS_TYPEMASK = 0x0003u;
constexpr DWORD LVS_SINGLESEL = 0x0004u;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008u;
constexpr DWORD LVS_SORTASCENDING = 0x0010u;
constexpr DWORD LVS_SORTDESCENDING = 0x0020u;
constexpr DWORD LVS_NOLABELWRAP = 0x0080u;
constexpr DWORD LVS_EDITLABELS = 0x0200u;
constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000u;
constexpr DWORD LVS_NOSORTHEADER = 0x8000u;

constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;
constexpr int LVCFMT_JUSTIFYMASK = 0x0003;

constexpr UINT LVCF_FMT = 0x0001u;
constexpr UINT LVCF_WIDTH = 0x0002u;
constexpr UINT LVCF_TEXT = 0x0004u;
constexpr UINT LVCF_SUBITEM = 0x0008u;

constexpr UINT LVIF_TEXT = 0x0001u;
constexpr UINT LVIF_IMAGE = 0x0002u;
constexpr UINT LVIF_PARAM = 0x0004u;
constexpr UINT LVIF_STATE = 0x0008u;

constexpr UINT LVIS_FOCUSED = 0x0001u;
constexpr UINT LVIS_SELECTED = 0x0002u;

constexpr int LVNI_ALL = 0x0000;
constexpr int LVNI_FOCUSED = 0x0001;
constexpr int LVNI_SELECTED = 0x0002;

// Dialog controls.
constexpr DWORD ES_LEFT = 0x0000u;
constexpr DWORD ES_CENTER = 0x0001u;
constexpr DWORD ES_RIGHT = 0x0002u;
constexpr DWORD ES_PASSWORD = 0x0020u;
constexpr DWORD ES_AUTOHSCROLL = 0x0080u;
constexpr DWORD ES_READONLY = 0x0800u;
constexpr DWORD ES_NUMBER = 0x2000u;
constexpr DWORD BS_PUSHBUTTON = 0x0000u;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001u;
constexpr DWORD SS_LEFT = 0x0000u;
constexpr DWORD SS_CENTER = 0x0001u;
constexpr DWORD SS_RIGHT = 0x0002u;
constexpr DWORD SS_ICON = 0x0003u;
constexpr DWORD SS_NOPREFIX = 0x0080u;
constexpr DWORD DS_SETFONT = 0x0040u;
constexpr DWORD DS_MODALFRAME = 0x0080u;

// Help commands.
constexpr UINT HELP_CONTEXT = 0x0001u;
constexpr UINT HELP_QUIT = 0x0002u;
constexpr UINT HELP_CONTENTS = 0x0003u;

// Sounds for MessageBeep.
constexpr UINT MB_SIMPLEBEEP = 0xFFFFFFFFu;

// The application object and its main window (nullptr when none).
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// A message box over the active window with the application's title as
// caption. nType: one MB_ button set plus one MB_ICON. Returns the IDOK..
// IDNO of the button pressed.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = 0);

// Sounds the desktop's bell. Returns TRUE.
BOOL MessageBeep(UINT uType);

// Tests replace the modal box with a function that receives the text and
// the type and returns the button; an empty function restores the box.
using AfxMessageBoxHook = std::function<int(const CString& text, UINT nType)>;
void AfxSetMessageBoxHook(AfxMessageBoxHook hook);

// Likewise for the bell; with a hook set, nothing sounds.
using AfxMessageBeepHook = std::function<void(UINT uType)>;
void AfxSetMessageBeepHook(AfxMessageBeepHook hook);

// Runs fn and keeps any exception from crossing the event loop: the user
// sees a message box ("Insufficient memory to perform operation." or
// "Command failed.") and the cause goes to stderr. For code that Qt calls
// back (commands, timers, idle passes).
void AfxRunGuarded(const std::function<void()>& fn);

// Replaces %1 (and %2) in a format string from the string table.
void AfxFormatString1(CString& rString, UINT nIDS, LPCSTR lpsz1);
void AfxFormatString2(CString& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2);

// Conversions between the framework's 8-bit text (UTF-8) and Qt's.
class QString;
QString AfxToQString(const char* psz);
CString AfxFromQString(const QString& s);
