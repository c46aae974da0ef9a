// Command routing and update handlers, driven without any window.
#include "AfxRes.h"
#include "CCmdUI.h"
#include "CDocument.h"
#include "CMDIChildWnd.h"
#include "CMDIFrameWnd.h"
#include "CView.h"
#include "CWinApp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT ID_ALL = 40001;        // handled by every target
constexpr UINT ID_DOC_FRAME = 40002;  // by the document, the frames and the app
constexpr UINT ID_FRAMES = 40003;     // by the child, main frame and app
constexpr UINT ID_MAIN_APP = 40004;   // by the main frame and the app
constexpr UINT ID_APP_ONLY = 40005;   // by the app
constexpr UINT ID_NOBODY = 40006;     // by nobody
constexpr UINT ID_CHECK_ONLY = 40007; // update handler sets a check mark; the app runs it
constexpr UINT ID_DISABLED = 40008;   // update handler disables; the view runs it

std::string g_trace;

class RouteApp : public CWinApp {
public:
    void OnAll() { g_trace += "app "; }
    void OnDocFrame() { g_trace += "app "; }
    void OnFrames() { g_trace += "app "; }
    void OnMainApp() { g_trace += "app "; }
    void OnAppOnly() { g_trace += "app "; }
    void OnCheckOnly() { g_trace += "app "; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RouteApp, CWinApp)
    ON_COMMAND(ID_ALL, OnAll)
    ON_COMMAND(ID_DOC_FRAME, OnDocFrame)
    ON_COMMAND(ID_FRAMES, OnFrames)
    ON_COMMAND(ID_MAIN_APP, OnMainApp)
    ON_COMMAND(ID_APP_ONLY, OnAppOnly)
    ON_COMMAND(ID_CHECK_ONLY, OnCheckOnly)
END_MESSAGE_MAP()

class RouteMainFrame : public CMDIFrameWnd {
public:
    void OnAll() { g_trace += "main "; }
    void OnDocFrame() { g_trace += "main "; }
    void OnFrames() { g_trace += "main "; }
    void OnMainApp() { g_trace += "main "; }
    void OnUpdateCheckOnly(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RouteMainFrame, CMDIFrameWnd)
    ON_COMMAND(ID_ALL, OnAll)
    ON_COMMAND(ID_DOC_FRAME, OnDocFrame)
    ON_COMMAND(ID_FRAMES, OnFrames)
    ON_COMMAND(ID_MAIN_APP, OnMainApp)
    ON_UPDATE_COMMAND_UI(ID_CHECK_ONLY, OnUpdateCheckOnly)
END_MESSAGE_MAP()

class RouteChildFrame : public CMDIChildWnd {
public:
    void OnAll() { g_trace += "child "; }
    void OnDocFrame() { g_trace += "child "; }
    void OnFrames() { g_trace += "child "; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RouteChildFrame, CMDIChildWnd)
    ON_COMMAND(ID_ALL, OnAll)
    ON_COMMAND(ID_DOC_FRAME, OnDocFrame)
    ON_COMMAND(ID_FRAMES, OnFrames)
END_MESSAGE_MAP()

class RouteDoc : public CDocument {
public:
    void OnAll() { g_trace += "doc "; }
    void OnDocFrame() { g_trace += "doc "; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RouteDoc, CDocument)
    ON_COMMAND(ID_ALL, OnAll)
    ON_COMMAND(ID_DOC_FRAME, OnDocFrame)
END_MESSAGE_MAP()

class RouteView : public CView {
public:
    void OnAll() { g_trace += "view "; }
    void OnDisabled() { g_trace += "view "; }
    void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    int m_nUpdates = 0;
    void OnUpdate(CView*, LPARAM, CObject*) override { ++m_nUpdates; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RouteView, CView)
    ON_COMMAND(ID_ALL, OnAll)
    ON_COMMAND(ID_DISABLED, OnDisabled)
    ON_UPDATE_COMMAND_UI(ID_DISABLED, OnUpdateDisabled)
END_MESSAGE_MAP()

// The objects of a running program, wired as the frames wire them, but
// without any widget.
struct RouteFixture : ::testing::Test {
    RouteApp app;
    RouteMainFrame mainFrame;
    RouteDoc doc;
    RouteChildFrame child;
    RouteView view;

    void SetUp() override
    {
        g_trace.clear();
        doc.AddView(&view);
        child.SetActiveView(&view, FALSE);
        mainFrame.MDIActivate(&child);
    }
    void TearDown() override { doc.RemoveView(&view); }

    std::string Run(UINT nID)
    {
        g_trace.clear();
        mainFrame.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(nID), 0), 0);
        return g_trace;
    }
};

TEST_F(RouteFixture, FirstTargetOnTheRouteHandlesTheCommand)
{
    EXPECT_EQ(Run(ID_ALL), "view ");
    EXPECT_EQ(Run(ID_DOC_FRAME), "doc ");
    EXPECT_EQ(Run(ID_FRAMES), "child ");
    EXPECT_EQ(Run(ID_MAIN_APP), "main ");
    EXPECT_EQ(Run(ID_APP_ONLY), "app ");
    EXPECT_EQ(Run(ID_NOBODY), "");
}

TEST_F(RouteFixture, RouteOrderIsViewDocumentChildMainApp)
{
    std::vector<CCmdTarget*> route;
    mainFrame.GetCommandRoute(route);
    const std::vector<CCmdTarget*> expected{ &view, &doc, &child, &mainFrame, &app };
    EXPECT_EQ(route, expected);
}

TEST_F(RouteFixture, WithoutActiveChildTheMainFrameAndAppRemain)
{
    mainFrame.MDIActivate(nullptr);
    EXPECT_EQ(Run(ID_ALL), "main ");
    EXPECT_EQ(Run(ID_DOC_FRAME), "main ");
    EXPECT_EQ(Run(ID_APP_ONLY), "app ");
    EXPECT_EQ(mainFrame.GetActiveDocument(), nullptr);
}

TEST_F(RouteFixture, UnhandledCommandReportsNotHandledAndDisables)
{
    EXPECT_FALSE(mainFrame.RouteCommand(ID_NOBODY, CN_COMMAND, nullptr));
    CCmdUI ui;
    ui.m_nID = ID_NOBODY;
    EXPECT_FALSE(ui.DoUpdate(&mainFrame, TRUE));
    EXPECT_FALSE(ui.m_bEnabled);
}

TEST_F(RouteFixture, CommandHandlerAloneEnables)
{
    CCmdUI ui;
    ui.m_nID = ID_APP_ONLY;
    ui.m_bEnabled = FALSE;
    EXPECT_TRUE(ui.DoUpdate(&mainFrame, TRUE));
    EXPECT_TRUE(ui.m_bEnabled);
}

TEST_F(RouteFixture, CheckOnlyUpdateHandlerKeepsTheElementEnabled)
{
    CCmdUI ui;
    ui.m_nID = ID_CHECK_ONLY;
    ui.DoUpdate(&mainFrame, TRUE);
    EXPECT_TRUE(ui.m_bEnabled);
    EXPECT_EQ(ui.m_nCheck, 1);
}

TEST_F(RouteFixture, DisabledCommandDoesNotRunFromMenuOrKey)
{
    EXPECT_EQ(Run(ID_DISABLED), "");
    // Sent by code with its own notification code, it still runs.
    g_trace.clear();
    mainFrame.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(ID_DISABLED), 2), 0);
    EXPECT_EQ(g_trace, "view ");
}

TEST(DocumentViews, UpdateAllViewsReachesAWindowlessView)
{
    CDocument doc;
    RouteView a;
    RouteView b;
    doc.AddView(&a);
    doc.AddView(&b);
    EXPECT_EQ(a.GetDocument(), &doc);
    doc.UpdateAllViews(&a);
    EXPECT_EQ(a.m_nUpdates, 0);
    EXPECT_EQ(b.m_nUpdates, 1);
    a.OnInitialUpdate();
    EXPECT_EQ(a.m_nUpdates, 1);
    doc.RemoveView(&a);
    doc.RemoveView(&b);
    EXPECT_EQ(a.GetDocument(), nullptr);
}

TEST(RuntimeClass, DynamicCreationAndNames)
{
    EXPECT_STREQ(RUNTIME_CLASS(CMDIChildWnd)->m_lpszClassName, "CMDIChildWnd");
    EXPECT_TRUE(RUNTIME_CLASS(CMDIChildWnd)->IsDerivedFrom(RUNTIME_CLASS(CFrameWnd)));
    EXPECT_FALSE(RUNTIME_CLASS(CFrameWnd)->IsDerivedFrom(RUNTIME_CLASS(CMDIChildWnd)));
    EXPECT_EQ(RUNTIME_CLASS(CFrameWnd)->CreateObject(), nullptr); // not dynamically creatable
}

} // namespace
