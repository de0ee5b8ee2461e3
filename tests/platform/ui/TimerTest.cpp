#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/ui/ManualTimerService.h"
#include "platform/ui/Timer.h"

using namespace wendra::ui;

TEST(UiTimer, TicksEveryIntervalWhileEnabled) {
    ManualTimerService service;
    Timer t(service, "timerPoll", 1000);
    int ticks = 0;
    t.onTimer = [&] { ++ticks; };
    EXPECT_EQ(service.advance(999), 0);
    EXPECT_EQ(service.advance(1), 1);
    EXPECT_EQ(service.advance(3000), 3);
    t.setEnabled(false);
    EXPECT_EQ(service.advance(5000), 0);
    t.setEnabled(true);  // counts afresh from now
    EXPECT_EQ(service.msUntilNext(), 1000);
    t.setInterval(0);  // interval 0 stops it, enabled or not
    EXPECT_FALSE(t.running());
    EXPECT_EQ(service.advance(5000), 0);
    EXPECT_EQ(ticks, 4);
}

TEST(UiTimer, AHandlerThatReArmsItselfFallsOnEachWholeMinute) {
    // The minute timer's own pattern: a 1 ms first tick, then re-armed to the next minute.
    ManualTimerService service;
    Timer t(service, "timerDispTimes", 1);
    std::vector<std::int64_t> at;
    const std::int64_t startSecond = 17;  // the clock read 00:00:17 when the program started
    t.onTimer = [&] {
        at.push_back(service.nowMs());
        const auto second = (startSecond + service.nowMs() / 1000) % 60;
        t.setEnabled(false);
        t.setInterval(static_cast<int>((60 - second) * 1000));
        t.setEnabled(true);
    };
    service.advance(3 * 60 * 1000);
    ASSERT_GE(at.size(), 3u);
    EXPECT_EQ(at[0], 1);
    EXPECT_EQ(at[1], 43000 + 1);  // 00:01:00 (and the 1 ms of the first arming)
    EXPECT_EQ(at[2], 103000 + 1);
    EXPECT_EQ(service.nextInterval(), 60000);
}

TEST(UiTimer, SingleShotTicksOncePerStart) {
    ManualTimerService service;
    Timer t(service, "once", 50);
    t.setSingleShot(true);
    int ticks = 0;
    t.onTimer = [&] { ++ticks; };
    service.advance(500);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(t.running());
    t.setInterval(50);
    EXPECT_TRUE(service.fireNext());
    EXPECT_FALSE(service.fireNext());
    EXPECT_EQ(ticks, 2);
}

TEST(UiTimer, TimersTickInDueOrderAndAGoneTimerNeverTicks) {
    ManualTimerService service;
    std::vector<int> order;
    Timer slow(service, "slow", 300);
    auto fast = std::make_unique<Timer>(service, "fast", 200);
    slow.onTimer = [&] { order.push_back(300); };
    fast->onTimer = [&] { order.push_back(200); };
    service.advance(600);
    // At 600 both fall due; the one created first ticks first.
    EXPECT_EQ(order, (std::vector<int>{200, 300, 200, 300, 200}));
    fast.reset();
    EXPECT_EQ(service.runningCount(), 1);
    order.clear();
    service.advance(600);
    EXPECT_EQ(order, (std::vector<int>{300, 300}));
}

TEST(UiTimer, AHandlerMayEndItsOwnTimer) {
    ManualTimerService service;
    auto t = std::make_unique<Timer>(service, "t", 10);
    t->onTimer = [&] { t.reset(); };
    EXPECT_EQ(service.advance(100), 1);
    EXPECT_EQ(t, nullptr);
}
