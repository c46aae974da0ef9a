// Window timers: WM_TIMER through the message map, 0 ms, kill, restart,
// and the full unsigned 32-bit interval range.
#include "CWnd.h"

#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

class TimerWnd : public CWnd {
public:
    std::vector<UINT_PTR> fired;
    UINT_PTR killOnFire = 0;
    bool destroyOnFire = false;

protected:
    void OnTimer(UINT_PTR nIDEvent)
    {
        fired.push_back(nIDEvent);
        if (killOnFire == nIDEvent)
            KillTimer(nIDEvent);
        if (destroyOnFire)
            DestroyWindow();
        CWnd::OnTimer(nIDEvent);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TimerWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Waits, in the event loop, until pred holds or about two seconds pass.
template <class Pred>
bool WaitFor(Pred pred)
{
    for (int i = 0; i < 200 && !pred(); ++i)
        QTest::qWait(10);
    return pred();
}

struct TimerFixture : ::testing::Test {
    TimerWnd wnd;
    void SetUp() override { ASSERT_TRUE(wnd.CreateEx(0, nullptr, "timers", WS_OVERLAPPED, rectDefault, nullptr, 0)); }
};

TEST_F(TimerFixture, ZeroIntervalFiresAgainAndAgainUntilKilled)
{
    EXPECT_EQ(wnd.SetTimer(7, 0), 7u);
    ASSERT_TRUE(WaitFor([&] { return wnd.fired.size() >= 3; }));
    EXPECT_EQ(wnd.fired.front(), 7u);
    EXPECT_TRUE(wnd.KillTimer(7));
    const size_t count = wnd.fired.size();
    QTest::qWait(30);
    EXPECT_EQ(wnd.fired.size(), count);
    EXPECT_FALSE(wnd.KillTimer(7)); // gone already
}

TEST_F(TimerFixture, IntervalTimerFiresThroughTheMessageMap)
{
    EXPECT_EQ(wnd.SetTimer(1, 20), 1u);
    ASSERT_TRUE(WaitFor([&] { return wnd.fired.size() >= 2; }));
    EXPECT_EQ(wnd.fired[0], 1u);
    wnd.KillTimer(1);
}

TEST_F(TimerFixture, KillingItselfInTheHandlerStopsIt)
{
    wnd.killOnFire = 3;
    wnd.SetTimer(3, 0);
    ASSERT_TRUE(WaitFor([&] { return !wnd.fired.empty(); }));
    QTest::qWait(30);
    EXPECT_EQ(wnd.fired.size(), 1u);
}

TEST_F(TimerFixture, SettingAnIdAgainRestartsIt)
{
    wnd.SetTimer(5, 60000);
    EXPECT_GT(wnd.GetTimerRemaining(5), 50000);
    wnd.SetTimer(5, 0);
    ASSERT_TRUE(WaitFor([&] { return !wnd.fired.empty(); }));
    wnd.KillTimer(5);
}

TEST_F(TimerFixture, IntervalsBeyondIntMaxAreKeptWhole)
{
    EXPECT_EQ(wnd.SetTimer(2, 0xFFFFFFFFu), 2u);
    EXPECT_GT(wnd.GetTimerRemaining(2), static_cast<long long>(INT_MAX));
    EXPECT_EQ(wnd.SetTimer(4, 1000u * 60000u), 4u); // 1000 minutes
    EXPECT_GT(wnd.GetTimerRemaining(4), 59000000LL);
    QTest::qWait(20);
    EXPECT_TRUE(wnd.fired.empty());
    EXPECT_EQ(wnd.GetTimerRemaining(9), -1);
}

TEST_F(TimerFixture, DestroyingTheWindowInTheHandlerStopsEverything)
{
    wnd.destroyOnFire = true;
    wnd.SetTimer(1, 0);
    wnd.SetTimer(2, 0);
    ASSERT_TRUE(WaitFor([&] { return !wnd.fired.empty(); }));
    QTest::qWait(30);
    EXPECT_EQ(wnd.fired.size(), 1u);
    EXPECT_EQ(wnd.GetWidget(), nullptr);
}

TEST(Timers, NoWindowNoTimer)
{
    TimerWnd wnd;
    EXPECT_EQ(wnd.SetTimer(1, 100), 0u);
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, nullptr, WS_OVERLAPPED, rectDefault, nullptr, 0));
    EXPECT_EQ(wnd.SetTimer(0, 100), 0u); // id 0 is refused
    wnd.SetTimer(1, 0);
    wnd.DestroyWindow();
    QTest::qWait(20);
    EXPECT_TRUE(wnd.fired.empty());
    EXPECT_EQ(wnd.GetTimerRemaining(1), -1);
}

TEST(Timers, DeletingTheWindowObjectWithRunningTimers)
{
    auto* wnd = new TimerWnd;
    ASSERT_TRUE(wnd->CreateEx(0, nullptr, nullptr, WS_OVERLAPPED, rectDefault, nullptr, 0));
    wnd->SetTimer(1, 0);
    delete wnd;
    QTest::qWait(20); // nothing fires into the deleted object
}

} // namespace
