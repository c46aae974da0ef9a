// The main window as the user meets it: menus, toolbar and keys in both
// menu states, the Update Rate dialog, the refresh schedule, the quote list
// and the Add and Delete commands.

#include "TarvexWorld.h"

#include "CCmdRecord.h"
#include "CDialog.h"
#include "CDocTemplate.h"
#include "CListCtrl.h"
#include "CMDIChildWnd.h"
#include "CStatusBar.h"
#include "CToolBar.h"
#include "CompanionServer.h"
#include "LoopbackServer.h"

#include <stdexcept>
#include "Resource.h"

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include <algorithm>
#include <ostream>

namespace {

class MainWindowTest : public TarvexWorld {
protected:
    CCmdRecord* Record(UINT nID) { return Frame()->GetCommandRecord(nID, FALSE); }
    Strings MenuTitles()
    {
        Strings titles;
        for (QAction* a : Frame()->GetMenuBar()->actions())
            titles.push_back(a->text().toStdString());
        return titles;
    }
    std::string Title() { return Frame()->GetWidget()->windowTitle().toStdString(); }
    CToolBar* ToolBar() { return dynamic_cast<CToolBar*>(Frame()->GetControlBar(AFX_IDW_TOOLBAR)); }
    static QLineEdit* Edit(CDialog* d, UINT nID)
    {
        CWnd* pItem = d->GetDlgItem(static_cast<int>(nID));
        return pItem != nullptr ? qobject_cast<QLineEdit*>(pItem->GetWidget()) : nullptr;
    }
    static bool IsOpen(CDialog* d)
    {
        QWidget* w = d->GetWidget();
        return w != nullptr && w->isVisible();
    }
    // Milliseconds until the refresh timer fires, checked against the
    // interval it was armed with.
    void ExpectArmedWith(UINT ms)
    {
        const long long left = Frame()->GetTimerRemaining(CMainFrame::kTimerEvent);
        EXPECT_LE(left, static_cast<long long>(ms));
        EXPECT_GE(left, std::max(0LL, static_cast<long long>(ms) - 10000)) << "armed with " << ms;
    }
    void Serve(const LoopbackServer& server) { SetHost("127.0.0.1:" + std::to_string(server.port())); }
    static LoopbackServer::Script EmptyQuotes()
    {
        return LoopbackServer::answering(
            [](const std::string&) { return LoopbackServer::reply(200, QuotePage({ { "SYMBOL" } })); });
    }
    static Strings SymbolsRequested(const LoopbackServer& server, std::size_t from = 0)
    {
        Strings out;
        const std::vector<std::string> requests = server.requests();
        for (std::size_t i = from; i < requests.size(); ++i)
            out.push_back(SymbolsOf(requests[i]));
        return out;
    }
    // Outlives the program's connections to it (TearDown closes them), so
    // that it stops at once instead of waiting for them.
    std::unique_ptr<CompanionServer> companion;

    // Two pages, "P1" on Tarvex1 and "P2" on Tarvex2.
    void TwoPages()
    {
        Command(ID_FILE_NEW);
        const std::vector<CTarvexDoc*> docs = Docs();
        ASSERT_EQ(docs.size(), 2u);
        SetTickers(docs[0], { "P1" });
        SetTickers(docs[1], { "P2" });
    }
};

const Table kExample = { { "SYMBOL", "LAST", "CHANGE" }, { "ABCD", "12 1/4", "+1/8" }, { "WXYZ", "7 3/8" } };

TEST_F(MainWindowTest, CommandsMenusAndToolbarInBothStates)
{
    Start();
    struct Case {
        UINT nID;
        bool withPage;
        bool withoutPage;
    };
    const Case cases[] = {
        { ID_FILE_NEW, true, true },         { ID_FILE_OPEN, true, true },
        { ID_FILE_CLOSE, true, false },      { ID_FILE_SAVE, true, false },
        { ID_FILE_SAVE_AS, true, false },    { ID_FILE_MRU_FILE1, false, false },
        { ID_APP_EXIT, true, true },         { ID_VIEW_TOOLBAR, true, true },
        { ID_VIEW_STATUS_BAR, true, true },  { ID_EDIT_ADD, true, false },
        { ID_EDIT_DELETE, false, false },    { ID_EDIT_UPDATE, true, true },
        { ID_SETUP_UPDATE_RATE, true, true }, { ID_WINDOW_NEW, true, false },
        { ID_WINDOW_CASCADE, true, false },  { ID_WINDOW_TILE_HORZ, true, false },
        { ID_WINDOW_ARRANGE, true, false },  { ID_HELP_CONTENTS, true, true },
        { ID_APP_ABOUT, true, true },        { ID_EDIT_COPY, false, false },
        { ID_EDIT_PASTE, false, false },     { ID_EDIT_CUT, false, false },
        { ID_EDIT_UNDO, false, false },
    };
    const auto expectStates = [&](bool withPage) {
        Idle();
        for (const Case& c : cases) {
            CCmdRecord* pRecord = Record(c.nID);
            ASSERT_NE(pRecord, nullptr) << c.nID;
            EXPECT_EQ(pRecord->IsEnabled() != FALSE, withPage ? c.withPage : c.withoutPage)
                << "command " << c.nID << (withPage ? " with" : " without") << " a page";
        }
    };

    const Strings pageMenu = { "&File", "&Edit", "&View", "&Setup", "&Window", "&Help" };
    const Strings mainMenu = { "&File", "&View", "&Setup", "&Help" };

    expectStates(true);
    EXPECT_EQ(MenuTitles(), pageMenu);
    EXPECT_EQ(Title(), "Tarvex - Tarvex1");

    // The toolbar's buttons are the commands' own actions.
    CToolBar* pBar = ToolBar();
    ASSERT_NE(pBar, nullptr);
    const std::vector<UINT> buttons = { ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_SEPARATOR,
                                        ID_EDIT_UPDATE, ID_SEPARATOR, ID_EDIT_ADD, ID_EDIT_DELETE };
    ASSERT_EQ(pBar->GetCount(), static_cast<int>(buttons.size()));
    auto* pToolBar = qobject_cast<QToolBar*>(pBar->GetWidget());
    for (int i = 0; i < pBar->GetCount(); ++i) {
        EXPECT_EQ(pBar->GetItemID(i), buttons[i]) << i;
        if (buttons[i] != ID_SEPARATOR) {
            EXPECT_TRUE(pToolBar->actions().contains(Record(buttons[i])->GetAction())) << buttons[i];
        }
    }

    // Delete follows the selection of the active view.
    SetRows(ActiveDoc(), kExample);
    Select(ActiveView(), { 1 });
    Idle();
    EXPECT_TRUE(Record(ID_EDIT_DELETE)->IsEnabled());
    EXPECT_TRUE(Record(ID_EDIT_DELETE)->GetAction()->isEnabled());
    Select(ActiveView(), {});
    Idle();
    EXPECT_FALSE(Record(ID_EDIT_DELETE)->GetAction()->isEnabled());

    // View > Toolbar works on the main window's bar while a page is active.
    ASSERT_TRUE(pBar->IsWindowVisible());
    Command(ID_VIEW_TOOLBAR);
    Idle();
    EXPECT_FALSE(pBar->IsWindowVisible());
    EXPECT_EQ(Record(ID_VIEW_TOOLBAR)->GetCheck(), 0);
    Command(ID_VIEW_TOOLBAR);
    Idle();
    EXPECT_TRUE(pBar->IsWindowVisible());
    EXPECT_EQ(Record(ID_VIEW_TOOLBAR)->GetCheck(), 1);
    EXPECT_EQ(Record(ID_VIEW_STATUS_BAR)->GetCheck(), 1);

    Command(ID_FILE_CLOSE);
    ASSERT_TRUE(Docs().empty());
    expectStates(false);
    EXPECT_EQ(MenuTitles(), mainMenu);
    EXPECT_EQ(Title(), "Tarvex");

    Command(ID_FILE_NEW);
    Idle();
    EXPECT_EQ(MenuTitles(), pageMenu);
    EXPECT_EQ(Title(), "Tarvex - Tarvex2");
}

TEST_F(MainWindowTest, KeysCtrlDAndCtrlAWithoutAPage)
{
    Start();
    QWidget* mw = Frame()->GetWidget();
    mw->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mw));
    int dialogs = 0;
    CDialog::SetShowHook([&](CDialog* d) {
        ++dialogs;
        d->OnCancel();
    });
    SetTickers(ActiveDoc(), { "ABCD", "WXYZ" });
    SetRows(ActiveDoc(), kExample);
    Select(ActiveView(), { 0 });
    Idle();

    // Keys go where the user types: the list, which has the focus.
    QWidget* list = ActiveView()->GetListCtrl().GetTreeView();
    ASSERT_NE(list, nullptr);
    list->setFocus();
    // A refresh would beep: the host refuses connections.
    QTest::keyClick(list, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Tickers(ActiveDoc()), (Strings{ "ABCD", "WXYZ" }));
    EXPECT_TRUE(beeps.empty());

    // Ctrl+A is Add Symbol, not the list's select-all.
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(ActiveView()->GetListCtrl().GetSelectedCount(), 1u);

    Command(ID_FILE_CLOSE);
    Idle();
    QTest::keyClick(mw, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(mw, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(beeps.empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, UpdateButtonPromptAndTooltip)
{
    Start();
    Idle();
    CCmdRecord* pRecord = Record(ID_EDIT_UPDATE);
    ASSERT_NE(pRecord, nullptr);
    EXPECT_EQ(pRecord->GetPrompt(), "Update quotes");
    EXPECT_EQ(pRecord->GetToolTip(), "Update Quotes");

    CToolBar* pBar = ToolBar();
    ASSERT_NE(pBar, nullptr);
    auto* pToolBar = qobject_cast<QToolBar*>(pBar->GetWidget());
    ASSERT_NE(pToolBar, nullptr);
    QWidget* button = pToolBar->widgetForAction(pRecord->GetAction());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), "Update Quotes");
    const QPointF at(2, 2);
    QEnterEvent enter(at, at, button->mapToGlobal(at));
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(Pane(0), "Update quotes");
}

TEST_F(MainWindowTest, UpdateRateDialog)
{
    LoopbackServer server(EmptyQuotes());
    Serve(server);
    Start();
    TwoPages();
    const char* const kRange = "Please enter an integer between 0 and 1000.";
    const char* const kPositive = "Please enter a positive integer.";
    struct Case {
        const char* typed;   // nullptr: the field is left as it opened
        bool ok;             // OK, else Cancel
        const char* message; // after OK; the dialog stays open and is cancelled
        UINT stored;         // the rate afterwards
    };
    const Case cases[] = {
        { " 15 ", true, nullptr, 15 },
        { nullptr, true, nullptr, 10 },
        { "0", true, nullptr, 0 },
        { "1000", true, nullptr, 1000 },
        { "-5", true, kRange, 10 },
        { "1001", true, kRange, 10 },
        { "99999999999", true, kRange, 10 },
        { "", true, kPositive, 10 },
        { "12a", true, kPositive, 10 },
        { "20", false, nullptr, 10 },
    };
    for (const Case& c : cases) {
        const std::string name = c.typed != nullptr ? std::string("\"") + c.typed + '"' : "unchanged";
        // Every case starts from the state a fresh start leaves.
        app->WriteProfileString("Update", "Period", nullptr);
        Frame()->m_nUpdatePeriod = 10;
        Frame()->KillTimer(Frame()->m_nTimerId);
        messages.clear();
        const std::size_t before = server.requests().size();

        std::string caption, shown;
        bool stayedOpen = false;
        CDialog::SetShowHook([&](CDialog* d) {
            caption = d->GetWidget()->windowTitle().toStdString();
            QLineEdit* edit = Edit(d, IDC_UPDATE_RATE);
            ASSERT_NE(edit, nullptr);
            shown = edit->text().toStdString();
            if (c.typed != nullptr)
                edit->setText(c.typed);
            if (!c.ok) {
                d->OnCancel();
                return;
            }
            d->OnOK();
            stayedOpen = IsOpen(d);
            if (stayedOpen)
                d->OnCancel();
        });
        Command(ID_SETUP_UPDATE_RATE);

        EXPECT_EQ(caption, "Dialog") << name;
        EXPECT_EQ(shown, "10") << name;
        EXPECT_EQ(Frame()->m_nUpdatePeriod, c.stored) << name;
        if (c.message != nullptr) {
            EXPECT_TRUE(stayedOpen) << name;
            EXPECT_EQ(messages, Strings{ c.message }) << name;
        } else {
            EXPECT_TRUE(messages.empty()) << name;
        }
        const bool accepted = c.ok && c.message == nullptr;
        if (accepted) {
            // Written, re-armed and every page refreshed at once, oldest first.
            EXPECT_EQ(ReadProfile("Update", "Period"), std::to_string(c.stored)) << name;
            ExpectArmedWith(CMainFrame::IntervalForPeriod(c.stored));
            EXPECT_EQ(SymbolsRequested(server, before), (Strings{ "P1", "P2" })) << name;
        } else {
            EXPECT_EQ(ReadProfile("Update", "Period"), "<none>") << name;
            EXPECT_EQ(Frame()->GetTimerRemaining(CMainFrame::kTimerEvent), -1) << name;
            EXPECT_EQ(server.requests().size(), before) << name;
        }
    }
    EXPECT_TRUE(beeps.empty());
}

TEST_F(MainWindowTest, FirstPassAfterHalfASecondThenAtTheRate)
{
    LoopbackServer server(EmptyQuotes());
    Serve(server);
    const auto t0 = Clock::now();
    Start(true);
    SetTickers(ActiveDoc(), { "ABC" });
    EXPECT_EQ(Frame()->m_nTimerId, CMainFrame::kTimerEvent);
    const long long first = Frame()->GetTimerRemaining(CMainFrame::kTimerEvent);
    EXPECT_GT(first, 0);
    EXPECT_LE(first, 500);

    ASSERT_TRUE(RunUntil([&] { return !server.requests().empty(); }, 10000));
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(400));
    // The pass has ended: the next one is ten minutes (the default) away.
    ExpectArmedWith(600000);
    EXPECT_EQ(SymbolsRequested(server), Strings{ "ABC" });

    Idle();
    EXPECT_EQ(Pane(1), "");
    UINT nID = 0, nStyle = 0;
    int cxWidth = 0;
    Frame()->m_wndStatusBar.GetPaneInfo(1, nID, nStyle, cxWidth);
    EXPECT_EQ(nID, ID_INDICATOR_TEXT);
    EXPECT_GT(cxWidth, 0);
}

TEST_F(MainWindowTest, APassThatThrowsDoesNotStopTheSchedule)
{
    // The host refuses, so the pass beeps; a beep that throws stands for any
    // failure that ends a pass by an exception (memory running out).
    Start(true);
    SetTickers(ActiveDoc(), { "ABC" });
    AfxSetMessageBeepHook([](UINT) { throw std::runtime_error("no memory"); });
    try {
        Frame()->SendMessage(WM_TIMER, CMainFrame::kTimerEvent, 0);
    } catch (const std::runtime_error&) {
        // Sent directly, the window procedure passes it on; from the event
        // loop the framework would catch it and report "Command failed.".
    }
    AfxSetMessageBeepHook([this](UINT uType) { beeps.push_back(uType); });
    ExpectArmedWith(600000);
    EXPECT_FALSE(ActiveDoc()->m_bBusy);
}

TEST_F(MainWindowTest, PassesGoInPageOrderWhateverIsActive)
{
    LoopbackServer server(EmptyQuotes());
    Serve(server);
    Start();
    TwoPages();
    Command(ID_FILE_NEW);
    SetTickers(Docs()[2], { "P3" });
    // Make the middle page the active one.
    Frame()->MDIActivate(Views(Docs()[1])[0]->GetParentFrame());
    ASSERT_EQ(ActiveDoc(), Docs()[1]);

    Command(ID_EDIT_UPDATE);
    EXPECT_EQ(SymbolsRequested(server), (Strings{ "P1", "P2", "P3" }));
    Frame()->SendMessage(WM_TIMER, CMainFrame::kTimerEvent, 0);
    EXPECT_EQ(SymbolsRequested(server, 3), (Strings{ "P1", "P2", "P3" }));
    ExpectArmedWith(600000);
}

struct RateCase {
    const char* profile; // nullptr: no key
    UINT minutes;
    UINT intervalMs;
};

void PrintTo(const RateCase& c, std::ostream* os)
{
    *os << "profile " << (c.profile != nullptr ? c.profile : "(none)");
}

class ScheduleTest : public MainWindowTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(ScheduleTest, ProfileRateArmsTheTimerAndShowsInTheDialog)
{
    const RateCase& c = GetParam();
    if (c.profile != nullptr)
        WriteProfile("Update", "Period", c.profile);
    Start(true);
    EXPECT_EQ(Frame()->m_nUpdatePeriod, c.minutes);
    EXPECT_LE(Frame()->GetTimerRemaining(CMainFrame::kTimerEvent), 500);

    // With no page open a pass does nothing, and the schedule goes on.
    Command(ID_FILE_CLOSE);
    ASSERT_TRUE(Docs().empty());
    Frame()->SendMessage(WM_TIMER, CMainFrame::kTimerEvent, 0);
    ExpectArmedWith(c.intervalMs);
    EXPECT_TRUE(beeps.empty());

    std::string shown;
    CDialog::SetShowHook([&](CDialog* d) {
        shown = Edit(d, IDC_UPDATE_RATE)->text().toStdString();
        d->OnOK();
        if (IsOpen(d))
            d->OnCancel();
    });
    Command(ID_SETUP_UPDATE_RATE);
    EXPECT_EQ(shown, std::to_string(c.minutes));
    EXPECT_EQ(messages.size(), c.minutes > 1000 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Rates, ScheduleTest,
                         ::testing::Values(RateCase{ nullptr, 10, 600000 }, RateCase{ "0", 0, 0 },
                                           RateCase{ "1000", 1000, 60000000 },
                                           // 71583 x 60000 = 2^32 + 12704
                                           RateCase{ "71583", 71583, 12704 }));

TEST_F(MainWindowTest, ListFollowsTheRowTable)
{
    Start();
    CTarvexView* view = ActiveView();
    EXPECT_EQ(Snapshot(view), ListSnapshot{}); // a page not yet refreshed
    struct Case {
        const char* name;
        Table rows;
        ListSnapshot shown;
    };
    const Case cases[] = {
        { "worked example", kExample,
          { { "SYMBOL", "LAST", "CHANGE" }, { { "ABCD", "12 1/4", "+1/8" }, { "WXYZ", "7 3/8", "" } } } },
        { "same table again", kExample,
          { { "SYMBOL", "LAST", "CHANGE" }, { { "ABCD", "12 1/4", "+1/8" }, { "WXYZ", "7 3/8", "" } } } },
        { "narrower first row, long and short rows", { { "A", "B" }, { "1", "2", "3" }, { "X" } },
          { { "A", "B" }, { { "1", "2" }, { "X", "" } } } },
        { "headings only", { { "A", "B", "C" } }, { { "A", "B", "C" }, {} } },
        { "empty table", {}, {} },
        { "first row without cells", { {}, { "X" } }, { {}, { {} } } },
    };
    for (const Case& c : cases) {
        SetRows(ActiveDoc(), c.rows);
        EXPECT_EQ(Snapshot(view), c.shown) << c.name;
        CListCtrl& list = view->GetListCtrl();
        EXPECT_EQ(list.GetStyle() & LVS_TYPEMASK, LVS_REPORT) << c.name;
        for (int col = 0; col < list.GetColumnCount(); ++col) {
            EXPECT_EQ(list.GetColumnFormat(col) & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT) << c.name;
            EXPECT_EQ(list.GetColumnWidth(col), CTarvexView::kColumnWidth) << c.name;
        }
    }
}

TEST_F(MainWindowTest, TwoViewsShareLinesButNotSelections)
{
    Start();
    Command(ID_WINDOW_NEW);
    CTarvexDoc* doc = Docs()[0];
    const std::vector<CTarvexView*> views = Views(doc);
    ASSERT_EQ(views.size(), 2u);
    SetRows(doc, kExample);
    EXPECT_EQ(Snapshot(views[0]), Snapshot(views[1]));
    EXPECT_EQ(Snapshot(views[0]).lines.size(), 2u);

    Select(views[0], { 0 });
    Select(views[1], { 1 });
    views[0]->GetListCtrl().SetColumnWidth(0, 200);
    EXPECT_EQ(views[0]->GetListCtrl().GetNextItem(-1, LVNI_SELECTED), 0);
    EXPECT_EQ(views[1]->GetListCtrl().GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(views[0]->GetListCtrl().GetSelectedCount(), 1u);

    SetRows(doc, kExample);
    for (CTarvexView* view : views) {
        EXPECT_EQ(view->GetListCtrl().GetSelectedCount(), 0u);
        EXPECT_EQ(view->GetListCtrl().GetColumnWidth(0), CTarvexView::kColumnWidth);
    }
    EXPECT_EQ(Snapshot(views[0]), Snapshot(views[1]));
}

TEST_F(MainWindowTest, AddSymbol)
{
    LoopbackServer server(EmptyQuotes());
    Serve(server);
    Start();
    CTarvexDoc* doc = ActiveDoc();
    struct Case {
        const char* typed;
        bool ok;
        Strings tickers;
        const char* symbols; // of the refresh; nullptr: none
    };
    const Case cases[] = {
        { " abc ", true, { "XYZ", "ABC" }, "XYZ+ABC" },
        { "Xyz", true, { "XYZ", "XYZ" }, "XYZ+XYZ" },
        { "", true, { "XYZ", "" }, "XYZ+" },
        { "  ", true, { "XYZ", "" }, "XYZ+" },
        { "abcdefg", true, { "XYZ", "ABCDEF" }, "XYZ+ABCDEF" },
        { "abc", false, { "XYZ" }, nullptr },
    };
    for (const Case& c : cases) {
        SetTickers(doc, { "XYZ" });
        const std::size_t before = server.requests().size();
        std::string caption, typed;
        int maxLength = 0;
        CDialog::SetShowHook([&](CDialog* d) {
            caption = d->GetWidget()->windowTitle().toStdString();
            QLineEdit* edit = Edit(d, IDC_SYMBOL);
            ASSERT_NE(edit, nullptr);
            EXPECT_TRUE(edit->text().isEmpty());
            maxLength = edit->maxLength();
            QTest::keyClicks(edit, c.typed);
            typed = edit->text().toStdString();
            if (c.ok)
                d->OnOK();
            else
                d->OnCancel();
        });
        Command(ID_EDIT_ADD);
        EXPECT_EQ(caption, "Dialog") << c.typed;
        EXPECT_EQ(maxLength, 6) << c.typed;
        EXPECT_LE(typed.size(), 6u) << c.typed;
        EXPECT_EQ(Tickers(doc), c.tickers) << c.typed;
        EXPECT_FALSE(doc->IsModified()) << c.typed;
        if (c.symbols != nullptr)
            EXPECT_EQ(SymbolsRequested(server, before), Strings{ c.symbols }) << c.typed;
        else
            EXPECT_EQ(server.requests().size(), before) << c.typed;
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(beeps.empty());
}

TEST_F(MainWindowTest, DeleteSymbol)
{
    LoopbackServer server(EmptyQuotes());
    Serve(server);
    Start();
    CTarvexDoc* doc = ActiveDoc();
    CTarvexView* view = ActiveView();
    struct Case {
        const char* name;
        Strings tickers;
        Strings labels; // the lines' first cells
        std::vector<int> selected;
        Strings after;
    };
    const Case cases[] = {
        { "one line", { "ABCD", "WXYZ", "EFGH" }, { "ABCD", "WXYZ" }, { 1 }, { "ABCD", "EFGH" } },
        { "every line", { "ABCD", "WXYZ", "EFGH" }, { "ABCD", "WXYZ" }, { 0, 1 }, { "EFGH" } },
        { "order kept", { "A", "B", "C", "D", "E" }, { "B", "D" }, { 0, 1 }, { "A", "C", "E" } },
        { "first of two equal entries", { "A", "B", "A" }, { "A", "B" }, { 0 }, { "B", "A" } },
        { "two lines with one label", { "A", "B", "A" }, { "A", "B", "A" }, { 0, 2 }, { "B" } },
        { "blanks around the label", { "ABC", "DEF" }, { " ABC\t" }, { 0 }, { "DEF" } },
        { "case differs", { "ABC" }, { "abc" }, { 0 }, { "ABC" } },
        { "no line for the symbol", { "ABC", "XYZ" }, { "QQQ" }, { 0 }, { "ABC", "XYZ" } },
        { "nothing selected", { "ABC", "DEF" }, { "ABC", "DEF" }, {}, { "ABC", "DEF" } },
    };
    for (const Case& c : cases) {
        SetTickers(doc, c.tickers);
        Table rows = { { "SYMBOL" } };
        for (const std::string& label : c.labels)
            rows.push_back({ label });
        SetRows(doc, rows);
        Select(view, c.selected);
        Idle();
        const std::size_t before = server.requests().size();
        EXPECT_EQ(Record(ID_EDIT_DELETE)->IsEnabled() != FALSE, !c.selected.empty()) << c.name;
        Command(ID_EDIT_DELETE);
        if (c.selected.empty()) {
            // The command is disabled; run directly it still refreshes.
            EXPECT_EQ(server.requests().size(), before) << c.name;
            view->OnEditDelete();
        }
        EXPECT_EQ(Tickers(doc), c.after) << c.name;
        EXPECT_FALSE(doc->IsModified()) << c.name;
        std::string symbols;
        for (std::size_t i = 0; i < c.after.size(); ++i)
            symbols += (i > 0 ? "+" : "") + c.after[i];
        EXPECT_EQ(SymbolsRequested(server, before), Strings{ symbols }) << c.name;
    }

    // The last symbol gone: no request, and the list is empty.
    SetTickers(doc, { "ABC" });
    SetRows(doc, { { "SYMBOL" }, { "ABC" } });
    Select(view, { 0 });
    Idle();
    const std::size_t before = server.requests().size();
    Command(ID_EDIT_DELETE);
    EXPECT_TRUE(Tickers(doc).empty());
    EXPECT_EQ(server.requests().size(), before);
    EXPECT_EQ(Snapshot(view), ListSnapshot{});
    EXPECT_TRUE(beeps.empty());
}

TEST_F(MainWindowTest, AddAndDeleteAgainstTheCompanionServer)
{
    companion = std::make_unique<CompanionServer>();
    ASSERT_FALSE(companion->host().empty());
    SetHost(companion->host());
    Start();
    CTarvexDoc* doc = ActiveDoc();
    CTarvexView* view = ActiveView();
    const auto labels = [&] {
        Strings out;
        for (const Strings& line : Snapshot(view).lines)
            out.push_back(line.empty() ? "" : line[0]);
        return out;
    };
    SetTickers(doc, { "ABC", "XYZ" });
    Command(ID_EDIT_UPDATE);
    EXPECT_EQ(labels(), (Strings{ "ABC", "XYZ" }));
    EXPECT_GE(Snapshot(view).headings.size(), 2u);

    CDialog::SetShowHook([](CDialog* d) {
        QTest::keyClicks(Edit(d, IDC_SYMBOL), "msft");
        d->OnOK();
    });
    Command(ID_EDIT_ADD);
    EXPECT_EQ(Tickers(doc), (Strings{ "ABC", "XYZ", "MSFT" }));
    EXPECT_EQ(labels(), (Strings{ "ABC", "XYZ", "MSFT" }));

    Select(view, { 0 });
    Idle();
    Command(ID_EDIT_DELETE);
    EXPECT_EQ(Tickers(doc), (Strings{ "XYZ", "MSFT" }));
    EXPECT_EQ(labels(), (Strings{ "XYZ", "MSFT" }));
    EXPECT_TRUE(beeps.empty());
    EXPECT_TRUE(messages.empty());
}

} // namespace
