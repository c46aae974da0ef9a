#pragma once
// The resource registry: menus, accelerator tables, toolbars, strings,
// icons and dialog templates by numeric id. The program registers its own
// resources as data at start (before LoadFrame); the framework's classes
// look them up here. The framework's standard strings are built in and
// answer for any id the program does not register itself.
//
//   AfxResources& res = AfxResources::Get();
//   res.AddString(AFX_IDS_APP_TITLE, "MyApp");
//   res.AddMenu(IDR_MAINFRAME, { AfxMenuItem::MakePopup("&File", {
//       AfxMenuItem::MakeItem("&New\tCtrl+N", ID_FILE_NEW),
//       AfxMenuItem::MakeSeparator(),
//       AfxMenuItem::MakeItem("Recent File", ID_FILE_MRU_FILE1, AfxMenuItem::Grayed),
//       AfxMenuItem::MakeItem("E&xit", ID_APP_EXIT) }) });
//   res.AddAccelerators(IDR_MAINFRAME, { { "Ctrl+N", ID_FILE_NEW }, { "Shift+Ins", ID_EDIT_PASTE } });
//   res.AddToolBar(IDR_MAINFRAME, { 16, 15, { ID_FILE_NEW, ID_SEPARATOR, ID_APP_ABOUT }, ":/toolbar.png" });

#include "AfxTypes.h"
#include "CString.h"

#include <QIcon>
#include <QImage>

#include <map>
#include <vector>

// One entry of a menu: an item with a command id, a separator line, or a
// popup with items of its own. In the text "&" marks the mnemonic and what
// follows a tab is shown as the shortcut (it binds no key: that is the
// accelerator table's business).
struct AfxMenuItem {
    enum Kind { Item, Separator, Popup };
    enum Flags : UINT { None = 0, Grayed = 0x1, Checked = 0x2 };

    Kind kind = Item;
    CString text;
    UINT nID = 0;
    UINT nFlags = None;
    std::vector<AfxMenuItem> items; // popups only

    static AfxMenuItem MakeItem(const CString& text, UINT nID, UINT nFlags = None)
    {
        return AfxMenuItem{ Item, text, nID, nFlags, {} };
    }
    static AfxMenuItem MakeSeparator() { return AfxMenuItem{ Separator, CString(), 0, None, {} }; }
    static AfxMenuItem MakePopup(const CString& text, std::vector<AfxMenuItem> items)
    {
        return AfxMenuItem{ Popup, text, 0, None, std::move(items) };
    }
};

// A menu bar: its top-level entries, normally popups.
using AfxMenuResource = std::vector<AfxMenuItem>;

// One accelerator: a key in Qt's portable text ("Ctrl+A", "Alt+Backspace",
// "Shift+Del", "Ctrl+Ins", "F6") and the command it sends.
struct AfxAccelEntry {
    CString key;
    UINT nCmd = 0;
};
using AfxAccelResource = std::vector<AfxAccelEntry>;

// A toolbar: button images of cx by cy pixels side by side in one strip
// image, one image per button in button order (separators take none).
// The strip comes from image or, when that is null, from imagePath (a
// file or a Qt resource path).
struct AfxToolBarResource {
    int cx = 16;
    int cy = 15;
    std::vector<UINT> buttons; // command ids; ID_SEPARATOR (0) for a separator
    CString imagePath;
    QImage image;
};

// A control of a dialog template. Rectangles are in dialog units.
struct AfxDlgItem {
    enum Kind { Static, Icon, Edit, Button };
    Kind kind = Static;
    int nID = -1;
    CString text;    // label, button text or the edit's initial text
    UINT nIconID = 0; // Icon: the icon resource
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    DWORD style = 0; // WS_TABSTOP, WS_BORDER, WS_GROUP, ES_AUTOHSCROLL, BS_DEFPUSHBUTTON, SS_*
};

struct AfxDialogTemplate {
    CString caption;
    int cx = 0; // dialog units
    int cy = 0;
    DWORD style = 0;
    CString fontName = "MS Sans Serif";
    int nPointSize = 8;
    std::vector<AfxDlgItem> items; // template order is tab order
};

class AfxResources {
public:
    static AfxResources& Get();

    // Forgets everything the program registered.
    void Clear();

    void AddString(UINT nID, const CString& text);
    // The program's string, else the framework's standard text; FALSE and
    // an empty string when neither exists.
    BOOL LoadString(UINT nID, CString& rString) const;

    void AddMenu(UINT nID, AfxMenuResource menu);
    const AfxMenuResource* FindMenu(UINT nID) const;

    void AddAccelerators(UINT nID, AfxAccelResource table);
    const AfxAccelResource* FindAccelerators(UINT nID) const;

    void AddToolBar(UINT nID, AfxToolBarResource toolBar);
    const AfxToolBarResource* FindToolBar(UINT nID) const;

    void AddIcon(UINT nID, const QIcon& icon);
    QIcon FindIcon(UINT nID) const; // null icon when none

    void AddDialog(UINT nID, AfxDialogTemplate dialog);
    const AfxDialogTemplate* FindDialog(UINT nID) const;

private:
    std::map<UINT, CString> m_strings;
    std::map<UINT, AfxMenuResource> m_menus;
    std::map<UINT, AfxAccelResource> m_accels;
    std::map<UINT, AfxToolBarResource> m_toolBars;
    std::map<UINT, QIcon> m_icons;
    std::map<UINT, AfxDialogTemplate> m_dialogs;
};

// Shorthand for AfxResources::Get().LoadString.
BOOL AfxLoadString(UINT nID, CString& rString);
CString AfxLoadString(UINT nID);
