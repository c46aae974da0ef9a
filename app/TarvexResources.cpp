#include "TarvexResources.h"

#include "AfxResources.h"
#include "AfxWin.h"
#include "Resource.h"

#include <QIcon>

namespace {

using M = AfxMenuItem;

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kStatic = WS_CHILD | WS_VISIBLE | WS_GROUP;
constexpr DWORD kEdit = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

const TarvexVersionInfo kVersion = {
    "1, 0, 0, 1",
    "TARVEX MFC Application",
    "TARVEX",
    "TARVEX.EXE",
    "TARVEX Application",
    "1, 0, 0, 1",
    "",
    { "A stock-quote monitor for the desktop",
      "Quotes come from the quote server you set",
      "Free software" },
};

M FilePopup(bool documentOpen)
{
    std::vector<M> items = {
        M::MakeItem("&New\tCtrl+N", ID_FILE_NEW),
        M::MakeItem("&Open...\tCtrl+O", ID_FILE_OPEN),
    };
    if (documentOpen) {
        items.push_back(M::MakeItem("&Close", ID_FILE_CLOSE));
        items.push_back(M::MakeItem("&Save\tCtrl+S", ID_FILE_SAVE));
        items.push_back(M::MakeItem("Save &As...", ID_FILE_SAVE_AS));
    }
    items.push_back(M::MakeSeparator());
    items.push_back(M::MakeItem("Recent File", ID_FILE_MRU_FILE1, M::Grayed));
    items.push_back(M::MakeSeparator());
    items.push_back(M::MakeItem("E&xit", ID_APP_EXIT));
    return M::MakePopup("&File", std::move(items));
}

M ViewPopup()
{
    return M::MakePopup("&View", {
        M::MakeItem("&Toolbar", ID_VIEW_TOOLBAR),
        M::MakeItem("&Status Bar", ID_VIEW_STATUS_BAR),
    });
}

M SetupPopup()
{
    return M::MakePopup("&Setup", { M::MakeItem("&Update Rate ...", ID_SETUP_UPDATE_RATE) });
}

M HelpPopup()
{
    return M::MakePopup("&Help", {
        M::MakeItem("&Help ...", ID_HELP_CONTENTS),
        M::MakeItem("&About Tarvex...", ID_APP_ABOUT),
    });
}

void RegisterMenus(AfxResources& res)
{
    res.AddMenu(IDR_MAINFRAME, { FilePopup(false), ViewPopup(), SetupPopup(), HelpPopup() });
    res.AddMenu(IDR_TARVEXTYPE, {
        FilePopup(true),
        M::MakePopup("&Edit", {
            M::MakeItem("&Add...\tCtrl+A", ID_EDIT_ADD),
            M::MakeItem("&Delete\tCtrl+D", ID_EDIT_DELETE),
            M::MakeSeparator(),
            M::MakeItem("&Update", ID_EDIT_UPDATE),
        }),
        ViewPopup(),
        SetupPopup(),
        M::MakePopup("&Window", {
            M::MakeItem("&New Window", ID_WINDOW_NEW),
            M::MakeItem("&Cascade", ID_WINDOW_CASCADE),
            M::MakeItem("&Tile", ID_WINDOW_TILE_HORZ),
            M::MakeItem("&Arrange Icons", ID_WINDOW_ARRANGE),
        }),
        HelpPopup(),
    });
}

void RegisterAccelerators(AfxResources& res)
{
    // One table serves both menus. Ctrl+D is shown in the Edit menu but has
    // no entry here, so it does nothing.
    res.AddAccelerators(IDR_MAINFRAME, {
        { "Ctrl+A", ID_EDIT_ADD },
        { "Ctrl+C", ID_EDIT_COPY },
        { "Ctrl+N", ID_FILE_NEW },
        { "Ctrl+O", ID_FILE_OPEN },
        { "Ctrl+S", ID_FILE_SAVE },
        { "Ctrl+V", ID_EDIT_PASTE },
        { "Alt+Backspace", ID_EDIT_UNDO },
        { "Shift+Del", ID_EDIT_CUT },
        { "F6", ID_NEXT_PANE },
        { "Shift+F6", ID_PREV_PANE },
        { "Ctrl+Ins", ID_EDIT_COPY },
        { "Shift+Ins", ID_EDIT_PASTE },
        { "Ctrl+X", ID_EDIT_CUT },
        { "Ctrl+Z", ID_EDIT_UNDO },
    });
}

void RegisterToolBar(AfxResources& res)
{
    AfxToolBarResource bar;
    bar.cx = 16;
    bar.cy = 15;
    bar.buttons = { ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_SEPARATOR, ID_EDIT_UPDATE,
                    ID_SEPARATOR, ID_EDIT_ADD, ID_EDIT_DELETE };
    bar.imagePath = ":/tarvex/toolbar.png";
    res.AddToolBar(IDR_MAINFRAME, std::move(bar));
}

void RegisterStrings(AfxResources& res)
{
    res.AddString(IDR_MAINFRAME, "Tarvex");
    res.AddString(IDR_TARVEXTYPE,
                  "\nTarvex\nTarvex\nTarvex Files (*.quo)\n.QUO\nTarvex.Document\nTarvex Document");
    res.AddString(ID_EDIT_ADD, "Add a security\nAdd Symbol");
    res.AddString(ID_EDIT_UPDATE, "Update quotes\nUpdate Quotes");
    res.AddString(ID_SETUP_UPDATE_RATE, "Change the time between quote retrievals\nUpdate Rate");
    res.AddString(ID_EDIT_DELETE, "Remove the selected symbols from quote page\nDelete Symbol");
    res.AddString(ID_HELP_CONTENTS, "Bring up Tarvex hypertext help\nHelp");
    res.AddString(AFX_IDS_APP_TITLE, "Tarvex");
    res.AddString(AFX_IDS_IDLEMESSAGE, "Ready");
    res.AddString(ID_INDICATOR_TEXT, CString(' ', 46));
}

void RegisterDialogs(AfxResources& res)
{
    AfxDialogTemplate about;
    about.caption = "About Tarvex";
    about.cx = 217;
    about.cy = 55;
    about.style = kDialogStyle;
    about.items = {
        { AfxDlgItem::Icon, IDC_STATIC, "", IDR_MAINFRAME, 11, 17, 18, 20, WS_CHILD | WS_VISIBLE | SS_ICON },
        { AfxDlgItem::Static, IDC_STATIC, "Tarvex Version 1.1", 0, 43, 10, 119, 8, kStatic | SS_NOPREFIX },
        { AfxDlgItem::Static, IDC_STATIC, kVersion.aboutNotice[1], 0, 43, 28, 137, 8, kStatic },
        { AfxDlgItem::Button, IDOK, "OK", 0, 178, 7, 32, 14, kButton | WS_GROUP | BS_DEFPUSHBUTTON },
        { AfxDlgItem::Static, IDC_STATIC, kVersion.aboutNotice[0], 0, 43, 19, 137, 8, kStatic },
        { AfxDlgItem::Static, IDC_STATIC, kVersion.aboutNotice[2], 0, 43, 37, 74, 8, kStatic },
    };
    res.AddDialog(IDD_ABOUTBOX, std::move(about));

    AfxDialogTemplate addSymbol;
    addSymbol.caption = "Dialog";
    addSymbol.cx = 186;
    addSymbol.cy = 44;
    addSymbol.style = kDialogStyle;
    addSymbol.items = {
        { AfxDlgItem::Static, IDC_STATIC, "Ticker symbol:", 0, 15, 18, 46, 8, kStatic },
        { AfxDlgItem::Edit, static_cast<int>(IDC_SYMBOL), "", 0, 65, 15, 40, 14, kEdit },
        { AfxDlgItem::Button, IDOK, "OK", 0, 129, 7, 50, 14, kButton | BS_DEFPUSHBUTTON },
        { AfxDlgItem::Button, IDCANCEL, "Cancel", 0, 129, 23, 50, 14, kButton },
    };
    res.AddDialog(IDD_ADD_SYMBOL, std::move(addSymbol));

    AfxDialogTemplate updateRate;
    updateRate.caption = "Dialog";
    updateRate.cx = 208;
    updateRate.cy = 46;
    updateRate.style = kDialogStyle;
    updateRate.items = {
        { AfxDlgItem::Static, IDC_STATIC, "Update rate:", 0, 19, 19, 40, 8, kStatic },
        { AfxDlgItem::Edit, static_cast<int>(IDC_UPDATE_RATE), "", 0, 66, 16, 40, 14, kEdit },
        { AfxDlgItem::Static, IDC_STATIC, "minutes", 0, 111, 19, 28, 8, kStatic },
        { AfxDlgItem::Button, IDOK, "OK", 0, 151, 7, 50, 14, kButton | BS_DEFPUSHBUTTON },
        { AfxDlgItem::Button, IDCANCEL, "Cancel", 0, 151, 24, 50, 14, kButton },
    };
    res.AddDialog(IDD_UPDATE_RATE, std::move(updateRate));
}

QIcon LoadIcon(const char* base)
{
    QIcon icon;
    for (int size : { 16, 32, 48 })
        icon.addFile(QStringLiteral(":/tarvex/%1-%2.png").arg(QLatin1String(base)).arg(size), QSize(size, size));
    return icon;
}

} // namespace

void TarvexResources::Register()
{
    // The images are compiled into the static library; make sure they are
    // registered with Qt even though nothing else references them.
    Q_INIT_RESOURCE(tarvex);

    AfxResources& res = AfxResources::Get();
    RegisterMenus(res);
    RegisterAccelerators(res);
    RegisterToolBar(res);
    RegisterStrings(res);
    RegisterDialogs(res);
    res.AddIcon(IDR_MAINFRAME, LoadIcon("tarvex"));
    res.AddIcon(IDR_TARVEXTYPE, LoadIcon("tarvex-document"));
}

const TarvexVersionInfo& TarvexResources::Version()
{
    return kVersion;
}
