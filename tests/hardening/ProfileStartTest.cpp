// The program started on a profile that is missing, unreadable or full of
// garbage: it starts every time, reads "Update"/"Period" the way INI
// integers are read and arms its timer with what it read, and a quote
// server host it cannot use makes every refresh fail without contacting
// anything.

#include "TarvexWorld.h"

#include "LoopbackServer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class ProfileStartTest : public TarvexWorld {
protected:
    std::string ProfilePath() { return app->GetProfilePath().str(); }
    // A fresh program for the next case of a table, after TearDown ended
    // the previous one.
    void Fresh()
    {
        if (app != nullptr)
            return;
        beeps.clear();
        messages.clear();
        TarvexWorld::SetUp();
    }
    // Fires the refresh timer as the event loop would and checks the next
    // interval, which counts from the end of that pass.
    void ExpectTimerPassArmsWith(UINT ms)
    {
        Frame()->SendMessage(WM_TIMER, CMainFrame::kTimerEvent, 0);
        const long long left = Frame()->GetTimerRemaining(CMainFrame::kTimerEvent);
        EXPECT_LE(left, static_cast<long long>(ms));
        EXPECT_GE(left, std::max(0LL, static_cast<long long>(ms) - 10000)) << "armed with " << ms;
    }
};

struct PeriodCase {
    const char* text;
    UINT minutes;
};

TEST_F(ProfileStartTest, GarbagePeriodIsReadAsAnIniIntegerAndArmsTheTimer)
{
    // The value is used without bounds; only the dialog checks 0 to 1000.
    const PeriodCase cases[] = {
        { "abc", 0u },
        { "", 0u },
        { "12a", 12u },
        { "-5", 4294967291u },
        { "-0", 0u },
        { "99999999999", 1215752191u },
        { "4294967296", 0u },
        { "0x7FFFFFFF", 2147483647u },
        { "+7", 7u },
    };
    for (const PeriodCase& c : cases) {
        SCOPED_TRACE(std::string("Period=") + c.text);
        Fresh();
        WriteProfile("Update", "Period", c.text);
        Start(true);
        EXPECT_EQ(Frame()->m_nUpdatePeriod, c.minutes);
        EXPECT_LE(Frame()->GetTimerRemaining(CMainFrame::kTimerEvent), 500);
        ExpectTimerPassArmsWith(CMainFrame::IntervalForPeriod(c.minutes));
        // Reading never rewrites what the user has there.
        EXPECT_EQ(ReadProfile("Update", "Period"), c.text);
        EXPECT_TRUE(messages.empty());
        TearDown();
    }
}

TEST_F(ProfileStartTest, MissingOrUnreadableProfileStartsWithTheDefaults)
{
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> make;
    };
    const Case cases[] = {
        { "missing", [](const std::string& path) { fs::remove(path); } },
        { "a folder in its place",
          [](const std::string& path) {
              fs::remove(path);
              fs::create_directories(path);
          } },
        { "not a key file",
          [](const std::string& path) {
              std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string("\0\x01\xFF[Update\nPeriod", 15);
          } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        const std::string path = ProfilePath();
        c.make(path);
        ASSERT_TRUE(app->InitInstance());
        ASSERT_NE(Frame(), nullptr);
        // The default host would reach a companion server that may run on
        // this machine: no pass is let run.
        Frame()->KillTimer(Frame()->m_nTimerId);
        EXPECT_EQ(Frame()->m_nUpdatePeriod, 10u);
        EXPECT_EQ(app->GetQuoteServerHost(), "127.0.0.1:8642");
        EXPECT_EQ(Docs().size(), 1u);
        EXPECT_TRUE(messages.empty());
        TearDown();
        std::error_code ec;
        fs::remove_all(path, ec);
    }
}

TEST_F(ProfileStartTest, UnusableServerHostFailsEveryPassAndContactsNothing)
{
    LoopbackServer server(LoopbackServer::answering(
        [](const std::string&) { return LoopbackServer::reply(200, QuotePage({ { "SYMBOL" } })); }));
    const std::string port = std::to_string(server.port());
    const std::string hosts[] = {
        "abc def",
        "-5",
        "127.0.0.1:-1",
        "127.0.0.1:0",
        "127.0.0.1:99999999999",
        "127.0.0.1:4294967297",
        "127.0.0.1:abc",
        "127.0.0.1:" + port + "/cgi-bin/x?",
        "http://127.0.0.1:" + port,
        "127.0.0.1:" + port + "$(true)",
    };
    for (const std::string& host : hosts) {
        SCOPED_TRACE('"' + host + '"');
        Fresh();
        SetHost(host);
        // The first pass of the schedule, half a second after start.
        Start(true);
        SetTickers(ActiveDoc(), { "ABC" });
        ASSERT_TRUE(RunUntil([&] { return !beeps.empty(); }, 10000));
        EXPECT_EQ(Pane(0), "Can't connect to server");
        EXPECT_EQ(beeps, std::vector<UINT>{ MB_ICONEXCLAMATION });
        EXPECT_FALSE(ActiveDoc()->m_bBusy);
        TearDown();
    }
    EXPECT_EQ(server.connections(), 0);
}

} // namespace
