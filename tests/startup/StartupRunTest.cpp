// Whole runs of the program through AfxWinMain, as main() makes them: each
// test builds an application object, hands it a command line and lets the
// framework make its own QApplication, start up, run the loop and exit.
// A script given to the probe runs once the program has started (and ends
// the run by closing the main window).
#include "CMainFrame.h"
#include "CTarvexApp.h"
#include "CTarvexDoc.h"
#include "CDocTemplate.h"
#include "RefusingPort.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

bool IsShown(CWnd* pWnd)
{
    QWidget* w = pWnd != nullptr ? pWnd->GetWidget() : nullptr;
    return w != nullptr && w->isVisible();
}

// What a test needs to know about one run.
struct RunRecord {
    int exitInstanceCalls = 0;
    HINTERNET handle = nullptr;     // as InitInstance opened it
    bool handleOpenAtExit = false;  // still open when ExitInstance began
    bool handleClosedAfter = false; // InternetCloseHandle had closed it
    bool started = false;           // InitInstance returned TRUE
    bool windowShownAtStart = false;
    std::vector<std::string> titles; // the pages after start-up
    std::vector<std::string> messages;
    int beeps = 0;
};

class ProbeApp : public CTarvexApp {
public:
    ProbeApp(RunRecord& record, const QString& profile) : m_record(record)
    {
        m_pszProfileName = AfxFromQString(profile);
    }

    // Runs inside the started program; the run ends when it closes the
    // main window (or when start-up failed).
    std::function<void(ProbeApp&)> script;
    // Makes InitInstance fail by an exception after the real start-up.
    bool throwAfterStart = false;

    BOOL InitInstance() override
    {
        const BOOL ok = CTarvexApp::InitInstance();
        m_record.handle = m_hInternet;
        m_record.started = ok != FALSE;
        m_record.windowShownAtStart = IsShown(m_pMainWnd);
        POSITION pos = GetFirstDocTemplatePosition();
        if (pos != nullptr) {
            CDocTemplate* pTemplate = GetNextDocTemplate(pos);
            for (POSITION d = pTemplate->GetFirstDocPosition(); d != nullptr;)
                m_record.titles.push_back(pTemplate->GetNextDoc(d)->GetTitle().str());
        }
        if (throwAfterStart)
            throw std::runtime_error("start-up broke");
        if (ok && script) {
            // Once the loop runs.
            QTimer::singleShot(0, [this] { script(*this); });
        }
        return ok;
    }

    int ExitInstance() override
    {
        ++m_record.exitInstanceCalls;
        HINTERNET handle = m_hInternet;
        m_record.handleOpenAtExit = handle != nullptr && handle == m_record.handle;
        const int result = CTarvexApp::ExitInstance();
        // A handle that is no longer open cannot be closed again.
        m_record.handleClosedAfter = handle != nullptr && m_hInternet == nullptr
            && InternetCloseHandle(handle) == FALSE;
        return result;
    }

    CMainFrame* Frame() const { return dynamic_cast<CMainFrame*>(m_pMainWnd); }

private:
    RunRecord& m_record;
};

class StartupRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        profile = dir.path() + "/tarvex.ini";
        // Every request would go to a port that refuses, and beep.
        WriteProfile("Server", "Host", "127.0.0.1:" + std::to_string(refusing.port()));
        AfxSetMessageBoxHook([this](const CString& text, UINT) {
            record.messages.push_back(text.str());
            return IDOK;
        });
        AfxSetMessageBeepHook([this](UINT) { ++record.beeps; });
    }

    void TearDown() override
    {
        AfxSetMessageBoxHook(nullptr);
        AfxSetMessageBeepHook(nullptr);
    }

    void WriteProfile(const char* section, const char* key, const std::string& value)
    {
        CWinApp app;
        app.m_pszProfileName = AfxFromQString(profile);
        ASSERT_TRUE(app.WriteProfileString(section, key, value.c_str()));
    }

    std::string ReadProfile(const char* section, const char* key)
    {
        CWinApp app;
        app.m_pszProfileName = AfxFromQString(profile);
        return app.GetProfileString(section, key).str();
    }

    // One run with these arguments (after the program's name).
    int Run(const std::vector<std::string>& args, const std::function<void(ProbeApp&)>& script = {},
            bool throwAfterStart = false)
    {
        ProbeApp app(record, profile);
        app.script = script;
        app.throwAfterStart = throwAfterStart;
        std::vector<std::string> storage = { "tarvex" };
        storage.insert(storage.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& s : storage)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        return AfxWinMain(static_cast<int>(storage.size()), argv.data());
    }

    std::string WritePage(const char* name, const std::vector<std::string>& tickers)
    {
        const QString path = dir.path() + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray bytes;
        bytes.append(static_cast<char>(tickers.size() & 0xFF));
        bytes.append(static_cast<char>((tickers.size() >> 8) & 0xFF));
        for (const std::string& t : tickers) {
            bytes.append(static_cast<char>(t.size()));
            bytes.append(t.data(), static_cast<int>(t.size()));
        }
        file.write(bytes);
        return path.toStdString();
    }

    // Runs the loop until pred holds; false after a generous bound.
    static bool WaitFor(const std::function<bool()>& pred)
    {
        for (int i = 0; i < 400 && !pred(); ++i) {
            QEventLoop loop;
            QTimer::singleShot(25, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return pred();
    }

    static void Close(ProbeApp& app)
    {
        if (app.m_pMainWnd != nullptr)
            app.m_pMainWnd->SendMessage(WM_CLOSE);
    }

    void ExpectCleanExit(int nExitInstanceCalls = 1)
    {
        EXPECT_EQ(record.exitInstanceCalls, nExitInstanceCalls);
        EXPECT_NE(record.handle, nullptr);
        EXPECT_TRUE(record.handleOpenAtExit);
        EXPECT_TRUE(record.handleClosedAfter);
        EXPECT_EQ(AfxGetMainWnd(), nullptr);
    }

    QTemporaryDir dir;
    QString profile;
    RefusingPort refusing;
    RunRecord record;
};

TEST_F(StartupRun, WithoutArgumentsOneEmptyPageAndAFirstPassThatAsksNothing)
{
    bool firstDelayShort = false;
    bool passRan = false;
    const int code = Run({}, [&](ProbeApp& app) {
        CMainFrame* frame = app.Frame();
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(IsShown(frame));
        const long long remaining = frame->GetTimerRemaining(CMainFrame::kTimerEvent);
        firstDelayShort = remaining >= 0 && remaining <= CMainFrame::kFirstDelayMs;
        // After the first pass the timer runs at the update rate.
        passRan = WaitFor([frame] {
            return frame->GetTimerRemaining(CMainFrame::kTimerEvent) > CMainFrame::kFirstDelayMs;
        });
        Close(app);
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(record.started);
    EXPECT_EQ(record.titles, std::vector<std::string>({ "Tarvex1" }));
    EXPECT_TRUE(firstDelayShort);
    EXPECT_TRUE(passRan);
    EXPECT_EQ(record.beeps, 0); // the empty page sent no request
    EXPECT_TRUE(record.messages.empty());
    ExpectCleanExit();
}

TEST_F(StartupRun, AFileThatDoesNotExistShowsTheMessageAndEndsTheProgram)
{
    const std::string missing = dir.path().toStdString() + "/missing.quo";
    const int code = Run({ missing });
    EXPECT_NE(code, 0);
    EXPECT_FALSE(record.started);
    EXPECT_FALSE(record.windowShownAtStart);
    EXPECT_TRUE(record.titles.empty());
    EXPECT_EQ(record.messages, std::vector<std::string>({ missing + " was not found." }));
    ExpectCleanExit();
}

TEST_F(StartupRun, AFileOnTheCommandLineOpensAndWaitsForTheFirstPass)
{
    const std::string path = WritePage("tech.quo", { "IBM", "MSFT" });
    int beepsBeforePass = -1;
    const int code = Run({ path }, [&](ProbeApp& app) {
        beepsBeforePass = record.beeps;
        // The first pass asks the (refusing) server once, for this page.
        EXPECT_TRUE(WaitFor([this] { return record.beeps > 0; }));
        Close(app);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(record.titles, std::vector<std::string>({ "tech.quo" }));
    EXPECT_EQ(beepsBeforePass, 0);
    EXPECT_EQ(record.beeps, 1);
    ExpectCleanExit();
    // Saved at exit, and read by the next start.
    EXPECT_EQ(ReadProfile("Recent File List", "File1"), path);
    std::vector<std::string> recent;
    Run({}, [&](ProbeApp& app) {
        for (const CString& name : app.GetRecentFileList())
            recent.push_back(name.str());
        Close(app);
    });
    EXPECT_EQ(recent, std::vector<std::string>({ path }));
}

TEST_F(StartupRun, PrintFormsOpenHiddenAndEnd)
{
    const std::string path = WritePage("print.quo", { "IBM" });
    const std::string missing = dir.path().toStdString() + "/gone.quo";
    struct Case {
        std::vector<std::string> args;
        bool success;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        { { "/p", path }, true, {} },
        { { "/pt", path, "Printer", "driver", "port" }, true, {} },
        { { "-p", path }, true, {} },
        { { "/p", missing }, false, { missing + " was not found." } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args[1]);
        record = RunRecord();
        const int code = Run(c.args);
        EXPECT_EQ(code == 0, c.success) << code;
        EXPECT_FALSE(record.started);
        EXPECT_FALSE(record.windowShownAtStart);
        EXPECT_EQ(record.titles.size(), c.success ? 1u : 0u);
        EXPECT_EQ(record.messages, c.messages);
        EXPECT_EQ(record.beeps, 0);
        ExpectCleanExit();
    }
}

TEST_F(StartupRun, DdeShowsTheWindowWithoutAPage)
{
    bool visible = false;
    const int code = Run({ "/dde" }, [&](ProbeApp& app) {
        visible = IsShown(app.m_pMainWnd);
        Close(app);
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(record.titles.empty());
    ExpectCleanExit();
}

TEST_F(StartupRun, AStartUpThatThrowsStillExitsOnce)
{
    const int code = Run({}, {}, true);
    EXPECT_NE(code, 0);
    EXPECT_EQ(record.messages, std::vector<std::string>({ "Command failed." }));
    ExpectCleanExit();
}

} // namespace
