// A whole MDI program on the framework: resources registered as data, an
// application object, a main frame with toolbar and status bar, a document
// type with list views. Each test builds and tears down its own program.
#include "AfxRes.h"
#include "AfxResources.h"
#include "CCmdRecord.h"
#include "CCommandLineInfo.h"
#include "CDocTemplate.h"
#include "CDocument.h"
#include "CListView.h"
#include "CMDIChildWnd.h"
#include "CMDIFrameWnd.h"
#include "CMultiDocTemplate.h"
#include "CStatusBar.h"
#include "CToolBar.h"
#include "CWinApp.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr UINT IDR_MAIN = 128;
constexpr UINT IDR_PAGETYPE = 129;
constexpr UINT ID_FRAME_CMD = 32800;  // main frame
constexpr UINT ID_DOC_CMD = 32801;    // document
constexpr UINT ID_VIEW_CMD = 32802;   // view, enabled while a line is selected
constexpr UINT ID_NOBODY_CMD = 32803; // nothing handles it
constexpr UINT ID_INDICATOR_TEST = 59142;

std::vector<CString> g_messages;
std::vector<UINT> g_messageTypes;
int g_beeps = 0;
int g_viewCommands = 0;
int g_docCommands = 0;

void RegisterResources()
{
    AfxResources& res = AfxResources::Get();
    res.Clear();
    res.AddString(AFX_IDS_APP_TITLE, "Tester");
    res.AddString(IDR_MAIN, "Tester");
    res.AddString(IDR_PAGETYPE, "\nPage\nPage\nPage Files (*.pg)\n.PG\nTester.Page\nTester Page");
    res.AddString(ID_FRAME_CMD, "Do a frame thing\nFrame Thing");
    res.AddString(ID_DOC_CMD, "Do a document thing\nDocument Thing");
    res.AddString(ID_VIEW_CMD, "Do a view thing\nView Thing");
    res.AddString(ID_NOBODY_CMD, "Nobody does this\nNobody");
    res.AddString(ID_INDICATOR_TEST, CString(' ', 46));

    using M = AfxMenuItem;
    const M viewMenu = M::MakePopup("&View", { M::MakeItem("&Toolbar", ID_VIEW_TOOLBAR),
                                               M::MakeItem("&Status Bar", ID_VIEW_STATUS_BAR) });
    res.AddMenu(IDR_MAIN, { M::MakePopup("&File", { M::MakeItem("&New\tCtrl+N", ID_FILE_NEW),
                                                    M::MakeSeparator(),
                                                    M::MakeItem("Recent File", ID_FILE_MRU_FILE1, M::Grayed),
                                                    M::MakeItem("E&xit", ID_APP_EXIT) }),
                            viewMenu });
    res.AddMenu(IDR_PAGETYPE,
                { M::MakePopup("&File", { M::MakeItem("&New\tCtrl+N", ID_FILE_NEW), M::MakeItem("E&xit", ID_APP_EXIT) }),
                  M::MakePopup("&Edit", { M::MakeItem("&Document\tCtrl+D", ID_DOC_CMD),
                                          M::MakeItem("&View\tCtrl+J", ID_VIEW_CMD),
                                          M::MakeItem("&Nobody\tCtrl+K", ID_NOBODY_CMD),
                                          M::MakeItem("&Frame", ID_FRAME_CMD) }),
                  viewMenu,
                  M::MakePopup("&Window", { M::MakeItem("&New Window", ID_WINDOW_NEW),
                                            M::MakeItem("&Cascade", ID_WINDOW_CASCADE),
                                            M::MakeItem("&Tile", ID_WINDOW_TILE_HORZ),
                                            M::MakeItem("&Arrange Icons", ID_WINDOW_ARRANGE) }) });
    // No accelerator for the document command: its key only shows in the menu.
    res.AddAccelerators(IDR_MAIN, { { "Ctrl+N", ID_FILE_NEW }, { "Ctrl+J", ID_VIEW_CMD },
                                    { "Ctrl+K", ID_NOBODY_CMD }, { "Ctrl+Ins", ID_FRAME_CMD } });
    QImage strip(16 * 4, 15, QImage::Format_RGB32);
    strip.fill(Qt::gray);
    res.AddToolBar(IDR_MAIN, { 16, 15, { ID_FILE_NEW, ID_SEPARATOR, ID_FRAME_CMD, ID_DOC_CMD, ID_VIEW_CMD }, CString(), strip });
}

class PageDoc : public CDocument {
    DECLARE_DYNCREATE(PageDoc)
public:
    void OnDocCmd() { ++g_docCommands; }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(PageDoc, CDocument)
BEGIN_MESSAGE_MAP(PageDoc, CDocument)
    ON_COMMAND(ID_DOC_CMD, OnDocCmd)
END_MESSAGE_MAP()

class PageView : public CListView {
    DECLARE_DYNCREATE(PageView)
public:
    void OnInitialUpdate() override
    {
        ++m_nInitialUpdates;
        CListView::OnInitialUpdate();
    }
    void OnViewCmd() { ++g_viewCommands; }
    void OnUpdateViewCmd(CCmdUI* pCmdUI) { pCmdUI->Enable(GetListCtrl().GetSelectedCount() != 0); }
    int m_nInitialUpdates = 0;
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(PageView, CListView)
BEGIN_MESSAGE_MAP(PageView, CListView)
    ON_COMMAND(ID_VIEW_CMD, OnViewCmd)
    ON_UPDATE_COMMAND_UI(ID_VIEW_CMD, OnUpdateViewCmd)
END_MESSAGE_MAP()

class PageFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(PageFrame)
};
IMPLEMENT_DYNCREATE(PageFrame, CMDIChildWnd)

class TestMainFrame : public CMDIFrameWnd {
public:
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    CString m_strPaneText;
    int m_nFrameCommands = 0;

protected:
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CMDIFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        static const UINT indicators[] = { ID_SEPARATOR, ID_INDICATOR_TEST };
        if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR)
            || !m_wndToolBar.LoadToolBar(IDR_MAIN))
            return -1;
        if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR)
            || !m_wndStatusBar.SetIndicators(indicators, 2))
            return -1;
        m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
        m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_wndToolBar);
        return 0;
    }
    void OnFrameCmd() { ++m_nFrameCommands; }
    void OnUpdateIndicatorText(CCmdUI* pCmdUI)
    {
        pCmdUI->Enable(TRUE);
        pCmdUI->SetText(m_strPaneText);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestMainFrame, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_FRAME_CMD, OnFrameCmd)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_TEST, OnUpdateIndicatorText)
END_MESSAGE_MAP()

class TestApp : public CWinApp {
public:
    int m_nIdlePasses = 0;
    BOOL OnIdle(LONG lCount) override
    {
        ++m_nIdlePasses;
        return CWinApp::OnIdle(lCount);
    }
    BOOL InitInstance() override
    {
        AddDocTemplate(new CMultiDocTemplate(IDR_PAGETYPE, RUNTIME_CLASS(PageDoc), RUNTIME_CLASS(PageFrame),
                                             RUNTIME_CLASS(PageView)));
        auto* pFrame = new TestMainFrame;
        if (!pFrame->LoadFrame(IDR_MAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
            return FALSE;
        m_pMainWnd = pFrame;
        pFrame->ShowWindow(SW_SHOW);
        pFrame->UpdateWindow();
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
END_MESSAGE_MAP()

struct FrameFixture : ::testing::Test {
    std::unique_ptr<TestApp> app;
    TestMainFrame* frame = nullptr;

    void SetUp() override
    {
        RegisterResources();
        g_messages.clear();
        g_messageTypes.clear();
        g_beeps = 0;
        g_viewCommands = 0;
        g_docCommands = 0;
        AfxSetMessageBoxHook([](const CString& text, UINT type) {
            g_messages.push_back(text);
            g_messageTypes.push_back(type);
            return IDOK;
        });
        AfxSetMessageBeepHook([](UINT) { ++g_beeps; });
        app = std::make_unique<TestApp>();
        app->m_pszProfileName = "frametest.ini";
        ASSERT_TRUE(app->InitInstance());
        frame = static_cast<TestMainFrame*>(app->m_pMainWnd);
        ASSERT_NE(frame, nullptr);
    }

    void TearDown() override
    {
        app.reset(); // destroys the main window, documents and templates
        EXPECT_EQ(AfxGetApp(), nullptr);
        AfxSetMessageBoxHook(nullptr);
        AfxSetMessageBeepHook(nullptr);
        AfxResources::Get().Clear();
    }

    CDocTemplate* Template()
    {
        POSITION pos = app->GetFirstDocTemplatePosition();
        return app->GetNextDocTemplate(pos);
    }
    void Command(UINT nID) { frame->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(nID), 0), 0); }
    QStringList MenuTitles()
    {
        QStringList titles;
        for (QAction* a : frame->GetMenuBar()->actions())
            titles << a->text();
        return titles;
    }
    QString Title() { return frame->GetWidget()->windowTitle(); }
    CCmdRecord* Record(UINT nID) { return frame->GetCommandRecord(nID, FALSE); }
    int SubWindowCount() { return static_cast<int>(frame->GetMdiArea()->subWindowList().size()); }
    void Idle() { app->OnIdle(0); }
};

TEST_F(FrameFixture, NewPagesGetRunningNumbersAndShowInTitles)
{
    EXPECT_EQ(Title(), "Tester");
    Command(ID_FILE_NEW);
    Command(ID_FILE_NEW);
    ASSERT_EQ(Template()->GetDocumentCount(), 2);
    POSITION pos = Template()->GetFirstDocPosition();
    EXPECT_EQ(Template()->GetNextDoc(pos)->GetTitle(), "Page1");
    EXPECT_EQ(Template()->GetNextDoc(pos)->GetTitle(), "Page2");
    EXPECT_EQ(pos, nullptr);
    EXPECT_EQ(Title(), "Tester - Page2");
    EXPECT_EQ(frame->MDIGetActive()->GetWidget()->windowTitle(), "Page2");
    auto* view = static_cast<PageView*>(frame->MDIGetActive()->GetActiveView());
    EXPECT_EQ(view->m_nInitialUpdates, 1);
    EXPECT_EQ(view->GetDocument()->GetDocTemplate(), Template());
}

TEST_F(FrameFixture, DocumentStringFields)
{
    CString field;
    EXPECT_FALSE(Template()->GetDocString(field, CDocTemplate::windowTitle));
    EXPECT_TRUE(Template()->GetDocString(field, CDocTemplate::docName));
    EXPECT_EQ(field, "Page");
    EXPECT_TRUE(Template()->GetDocString(field, CDocTemplate::filterName));
    EXPECT_EQ(field, "Page Files (*.pg)");
    EXPECT_TRUE(Template()->GetDocString(field, CDocTemplate::filterExt));
    EXPECT_EQ(field, ".PG");
    EXPECT_TRUE(Template()->GetDocString(field, CDocTemplate::regFileTypeName));
    EXPECT_EQ(field, "Tester Page");
}

TEST_F(FrameFixture, MenusFollowTheActiveChild)
{
    const QStringList mainMenu{ "&File", "&View" };
    const QStringList pageMenu{ "&File", "&Edit", "&View", "&Window" };
    EXPECT_EQ(MenuTitles(), mainMenu);
    Command(ID_FILE_NEW);
    EXPECT_EQ(MenuTitles(), pageMenu);
    frame->MDIGetActive()->SendMessage(WM_CLOSE);
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
    EXPECT_EQ(MenuTitles(), mainMenu);
    EXPECT_EQ(Title(), "Tester");
    EXPECT_EQ(Template()->GetDocumentCount(), 0);
}

TEST_F(FrameFixture, CommandStatesComeFromTheRoute)
{
    Idle();
    // No page: only what the frame and the application handle is enabled.
    EXPECT_TRUE(Record(ID_FILE_NEW)->IsEnabled());
    EXPECT_TRUE(Record(ID_FRAME_CMD)->IsEnabled());
    EXPECT_FALSE(Record(ID_DOC_CMD)->IsEnabled());
    EXPECT_FALSE(Record(ID_VIEW_CMD)->IsEnabled());
    EXPECT_FALSE(Record(ID_NOBODY_CMD)->IsEnabled());
    EXPECT_FALSE(Record(ID_FILE_MRU_FILE1)->IsEnabled()); // empty recent-file list
    EXPECT_TRUE(Record(ID_VIEW_TOOLBAR)->IsEnabled());
    EXPECT_EQ(Record(ID_VIEW_TOOLBAR)->GetCheck(), 1);

    Command(ID_FILE_NEW);
    Idle();
    EXPECT_TRUE(Record(ID_DOC_CMD)->IsEnabled());
    EXPECT_FALSE(Record(ID_VIEW_CMD)->IsEnabled()); // nothing selected
    EXPECT_FALSE(Record(ID_NOBODY_CMD)->IsEnabled());
    EXPECT_TRUE(Record(ID_WINDOW_NEW)->IsEnabled());

    // Menu item and toolbar button are one action.
    QToolBar* bar = qobject_cast<QToolBar*>(frame->m_wndToolBar.GetWidget());
    EXPECT_TRUE(bar->actions().contains(Record(ID_DOC_CMD)->GetAction()));
    EXPECT_EQ(Record(ID_DOC_CMD)->GetAction()->toolTip(), "Document Thing");
    EXPECT_EQ(Record(ID_DOC_CMD)->GetAction()->statusTip(), "Do a document thing");
}

TEST_F(FrameFixture, ShortcutOfADisabledCommandDoesNothing)
{
    QWidget* mw = frame->GetWidget();
    Command(ID_FILE_NEW);
    mw->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mw));
    auto* view = static_cast<PageView*>(frame->MDIGetActive()->GetActiveView());
    CListCtrl& list = view->GetListCtrl();
    list.InsertColumn(0, "A", LVCFMT_RIGHT, 80);
    list.InsertItem(0, "x");

    Idle();
    QTest::keyClick(mw, Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(g_viewCommands, 0);
    // Even a stale enabled state does not let it through.
    Record(ID_VIEW_CMD)->SetEnabled(TRUE);
    Command(ID_VIEW_CMD);
    EXPECT_EQ(g_viewCommands, 0);

    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    Idle();
    QTest::keyClick(mw, Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(g_viewCommands, 1);
    // An accelerator for a command nobody handles, and a key the menu
    // only shows, do nothing.
    QTest::keyClick(mw, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(mw, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(g_docCommands, 0);
    QTest::keyClick(mw, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(frame->m_nFrameCommands, 1);
}

// Runs a real event loop (one that waits for events) for ms milliseconds.
void RunLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST_F(FrameFixture, IdlePassRunsWhenTheLoopWaitsAndThenRests)
{
    Command(ID_FILE_NEW);
    Record(ID_DOC_CMD)->SetEnabled(FALSE);
    RunLoop(50);
    EXPECT_TRUE(Record(ID_DOC_CMD)->IsEnabled());
    EXPECT_EQ(frame->m_wndStatusBar.GetPaneText(1), "");
    // Once everything shows its state, an idle program makes no work for
    // itself: a few passes at most, not a spinning loop.
    app->m_nIdlePasses = 0;
    RunLoop(200);
    EXPECT_LE(app->m_nIdlePasses, 5);
    EXPECT_GE(app->m_nIdlePasses, 1);
}

TEST_F(FrameFixture, NewWindowNumbersTheWindowsOfADocument)
{
    Command(ID_FILE_NEW);
    CDocument* doc = frame->GetActiveDocument();
    Command(ID_WINDOW_NEW);
    EXPECT_EQ(SubWindowCount(), 2);
    EXPECT_EQ(doc->GetViewCount(), 2);
    Idle();
    QStringList titles;
    for (QMdiSubWindow* sub : frame->GetMdiArea()->subWindowList(QMdiArea::CreationOrder))
        titles << sub->windowTitle();
    EXPECT_EQ(titles, (QStringList{ "Page1:1", "Page1:2" }));
    EXPECT_EQ(Title(), "Tester - Page1");

    // Closing one window keeps the document; closing the last closes it.
    frame->MDIGetActive()->SendMessage(WM_CLOSE);
    EXPECT_EQ(Template()->GetDocumentCount(), 1);
    EXPECT_EQ(doc->GetViewCount(), 1);
    Idle();
    EXPECT_EQ(frame->MDIGetActive()->GetWidget()->windowTitle(), "Page1");
    frame->MDIGetActive()->GetSubWindow()->close();
    EXPECT_EQ(Template()->GetDocumentCount(), 0);
    EXPECT_EQ(SubWindowCount(), 0);
}

TEST_F(FrameFixture, WindowCommandsArrangeChildren)
{
    Command(ID_FILE_NEW);
    Command(ID_FILE_NEW);
    Command(ID_WINDOW_TILE_HORZ);
    const QList<QMdiSubWindow*> subs = frame->GetMdiArea()->subWindowList();
    ASSERT_EQ(subs.size(), 2);
    EXPECT_FALSE(subs[0]->geometry().intersects(subs[1]->geometry()));
    Command(ID_WINDOW_CASCADE);
    EXPECT_NE(subs[0]->pos(), subs[1]->pos());
    Command(ID_WINDOW_ARRANGE); // nothing minimized: nothing moves, no failure
}

TEST_F(FrameFixture, ToolbarAndStatusBarToggleWithCheckMarks)
{
    QWidget* toolbar = frame->m_wndToolBar.GetWidget();
    QWidget* statusbar = frame->m_wndStatusBar.GetWidget();
    ASSERT_TRUE(toolbar->isVisible());
    Command(ID_VIEW_TOOLBAR);
    Idle();
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_EQ(Record(ID_VIEW_TOOLBAR)->GetCheck(), 0);
    EXPECT_TRUE(Record(ID_VIEW_TOOLBAR)->IsEnabled());
    Command(ID_VIEW_TOOLBAR);
    Idle();
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_EQ(Record(ID_VIEW_TOOLBAR)->GetCheck(), 1);

    Command(ID_VIEW_STATUS_BAR);
    Idle();
    EXPECT_FALSE(statusbar->isVisible());
    EXPECT_EQ(Record(ID_VIEW_STATUS_BAR)->GetCheck(), 0);
}

TEST_F(FrameFixture, ToolbarButtonsFromTheResource)
{
    CToolBar& bar = frame->m_wndToolBar;
    ASSERT_EQ(bar.GetCount(), 5);
    EXPECT_EQ(bar.GetItemID(0), ID_FILE_NEW);
    EXPECT_EQ(bar.GetItemID(1), ID_SEPARATOR);
    EXPECT_EQ(bar.CommandToIndex(ID_VIEW_CMD), 4);
    EXPECT_EQ(bar.GetBarStyle() & 0x34u, 0x34u);
    auto* tb = qobject_cast<QToolBar*>(bar.GetWidget());
    EXPECT_EQ(tb->iconSize(), QSize(16, 15));
    EXPECT_FALSE(Record(ID_FRAME_CMD)->GetAction()->icon().isNull());
    // A strip with too few images is refused.
    AfxToolBarResource small{ 16, 15, { ID_FILE_NEW, ID_FRAME_CMD }, CString(), QImage(16, 15, QImage::Format_RGB32) };
    AfxResources::Get().AddToolBar(999, small);
    EXPECT_FALSE(bar.LoadToolBar(999));
    EXPECT_FALSE(bar.LoadToolBar(1000)); // no such resource
}

TEST_F(FrameFixture, StatusBarPanesAndPrompts)
{
    CStatusBar& bar = frame->m_wndStatusBar;
    ASSERT_EQ(bar.GetCount(), 2);
    UINT id = 0;
    UINT style = 0;
    int width = 0;
    bar.GetPaneInfo(1, id, style, width);
    EXPECT_EQ(id, ID_INDICATOR_TEST);
    const QFontMetrics metrics(bar.GetPaneLabel(1)->font());
    EXPECT_EQ(width, metrics.horizontalAdvance(QString(46, u' ')));
    EXPECT_GE(bar.GetPaneLabel(1)->width(), width);
    bar.GetPaneInfo(0, id, style, width);
    EXPECT_EQ(id, ID_SEPARATOR);
    EXPECT_NE(style & SBPS_STRETCH, 0u);

    EXPECT_EQ(bar.GetPaneText(0), "Ready");
    frame->m_strPaneText = "pane one";
    Idle();
    EXPECT_EQ(bar.GetPaneText(1), "pane one");

    EXPECT_TRUE(bar.SetPaneText(0, "Can't reach it", TRUE));
    EXPECT_EQ(bar.GetPaneLabel(0)->text(), "Can't reach it");
    Idle();
    EXPECT_EQ(bar.GetPaneText(0), "Can't reach it"); // idle passes leave it
    EXPECT_FALSE(bar.SetPaneText(5, "x", TRUE));

    // Hovering a button or menu item shows its prompt; leaving brings "Ready".
    QStatusTipEvent hover(Record(ID_FRAME_CMD)->GetAction()->statusTip());
    QApplication::sendEvent(frame->GetWidget(), &hover);
    EXPECT_EQ(bar.GetPaneText(0), "Do a frame thing");
    QStatusTipEvent leave{ QString() };
    QApplication::sendEvent(frame->GetWidget(), &leave);
    EXPECT_EQ(bar.GetPaneText(0), "Ready");
    frame->SetMessageText(ID_DOC_CMD);
    EXPECT_EQ(bar.GetPaneText(0), "Do a document thing");
}

TEST_F(FrameFixture, AppExitClosesTheMainWindow)
{
    Command(ID_FILE_NEW);
    Command(ID_APP_EXIT);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(Template()->GetDocumentCount(), 0);
}

TEST_F(FrameFixture, FileThatDoesNotOpenShowsTheDocumentsMessageAndNoPage)
{
    EXPECT_EQ(app->OpenDocumentFile("/nonexistent-dir/missing.pg"), nullptr);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_NE(g_messages[0].Find("was not found"), -1) << g_messages[0].GetString();
    EXPECT_EQ(g_messageTypes[0] & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_EQ(Template()->GetDocumentCount(), 0);
    EXPECT_EQ(SubWindowCount(), 0);
}

TEST_F(FrameFixture, OpeningAnOpenFileActivatesIt)
{
    const QString path = QDir::tempPath() + "/frametest-open.pg";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    CDocument* first = app->OpenDocumentFile(path.toUtf8().constData());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetTitle(), "frametest-open.pg");
    Command(ID_FILE_NEW);
    EXPECT_EQ(app->OpenDocumentFile(path.toUtf8().constData()), first);
    EXPECT_EQ(Template()->GetDocumentCount(), 2);
    EXPECT_EQ(frame->GetActiveDocument(), first);
    EXPECT_EQ(app->GetRecentFileList().size(), 0u); // no recent-file list loaded
    QFile::remove(path);
}

TEST_F(FrameFixture, MessageBoxAndBeepHooks)
{
    EXPECT_EQ(AfxMessageBox("Hello", MB_OKCANCEL | MB_ICONSTOP), IDOK);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], "Hello");
    EXPECT_EQ(g_messageTypes[0], MB_OKCANCEL | MB_ICONSTOP);
    MessageBeep(MB_ICONEXCLAMATION);
    EXPECT_EQ(g_beeps, 1);
    CString text;
    AfxFormatString2(text, AFX_IDP_PARSE_INT_RANGE, "0", "1000");
    EXPECT_EQ(text, "Please enter an integer between 0 and 1000.");
}

TEST_F(FrameFixture, HandlerExceptionsStayInsideTheLoop)
{
    AfxRunGuarded([] { throw std::runtime_error("boom"); });
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], "Command failed.");
}

TEST_F(FrameFixture, CommandLineForms)
{
    struct Case {
        std::vector<CString> args;
        CCommandLineInfo::Command command;
        const char* file;
    };
    const Case cases[] = {
        { {}, CCommandLineInfo::FileNew, "" },
        { { "/home/u/a.pg" }, CCommandLineInfo::FileOpen, "/home/u/a.pg" },
        { { "b.pg" }, CCommandLineInfo::FileOpen, "b.pg" },
        { { "/p", "c.pg" }, CCommandLineInfo::FilePrint, "c.pg" },
        { { "/pt", "c.pg", "printer" }, CCommandLineInfo::FilePrintTo, "c.pg" },
        { { "/dde" }, CCommandLineInfo::FileDDE, "" },
    };
    for (const Case& c : cases) {
        app->m_argv = c.args;
        CCommandLineInfo info;
        app->ParseCommandLine(info);
        EXPECT_EQ(info.m_nShellCommand, c.command);
        EXPECT_EQ(info.m_strFileName, c.file);
    }
    app->m_argv.clear();
    CCommandLineInfo info;
    app->ParseCommandLine(info);
    EXPECT_TRUE(app->ProcessShellCommand(info));
    EXPECT_EQ(Template()->GetDocumentCount(), 1);
    info.m_nShellCommand = CCommandLineInfo::FileOpen;
    info.m_strFileName = "/nonexistent-dir/missing.pg";
    EXPECT_FALSE(app->ProcessShellCommand(info));
    EXPECT_EQ(g_messages.size(), 1u);
}

TEST(FrameLifetime, ProgramsComeAndGoManyTimes)
{
    for (int round = 0; round < 3; ++round) {
        RegisterResources();
        auto app = std::make_unique<TestApp>();
        ASSERT_TRUE(app->InitInstance());
        app->m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_NEW);
        app->m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_NEW);
        QTest::qWait(1);
        app.reset();
    }
    AfxResources::Get().Clear();
}

TEST(FrameLifetime, FailingCreationLeavesNoFrame)
{
    RegisterResources();
    CWinApp app;
    AfxResources::Get().AddToolBar(IDR_MAIN, AfxToolBarResource{}); // no image: LoadToolBar fails
    AfxResources::Get().AddToolBar(IDR_MAIN, { 16, 15, { ID_FILE_NEW }, CString(), QImage() });
    auto* pFrame = new TestMainFrame;
    EXPECT_FALSE(pFrame->LoadFrame(IDR_MAIN)); // the frame deleted itself
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    AfxResources::Get().Clear();
}

} // namespace
