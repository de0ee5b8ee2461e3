#include "mainwindow/MinuteTick.h"

#include <gtest/gtest.h>

#include <string>

namespace wendra {
namespace {

TEST(CountdownRearm, NextTickFallsOnTheNextWholeMinute) {
    EXPECT_EQ(tick::rearmIntervalMs(DateTime::ymd(2024, 3, 14, 10, 0, 0)), 60000);
    EXPECT_EQ(tick::rearmIntervalMs(DateTime::ymd(2024, 3, 14, 10, 0, 59)), 1000);
    EXPECT_EQ(tick::rearmIntervalMs(DateTime::ymd(2024, 3, 14, 23, 59, 30)), 30000);
}

TEST(CountdownWatchdogs, EachActsOnlyAfterMoreThanItsLimit) {
    const DateTime t0 = DateTime::ymd(2024, 3, 14, 10, 0, 0);
    const tick::StatusStamps stamps{t0, t0, t0};

    auto connecting = [&](int s) {
        return tick::checkWatchdogs("Connecting to MSOutlook...", "", stamps, t0.addSeconds(s));
    };
    EXPECT_FALSE(connecting(60).connectOutlook);
    EXPECT_TRUE(connecting(61).connectOutlook);
    EXPECT_FALSE(connecting(61).endChecking);

    auto checking = [&](int s) {
        return tick::checkWatchdogs("Mode: MSOutlook          [Checking for updates]", "", stamps,
                                         t0.addSeconds(s));
    };
    EXPECT_FALSE(checking(180).endChecking);
    EXPECT_TRUE(checking(181).endChecking);
    EXPECT_FALSE(checking(181).connectOutlook);

    auto syncing = [&](int s) {
        return tick::checkWatchdogs("Mode: Wendra (win)", "Sync: In progress...", stamps, t0.addSeconds(s));
    };
    EXPECT_FALSE(syncing(60).restoreCommStatus);
    EXPECT_TRUE(syncing(61).restoreCommStatus);
}

TEST(CountdownWatchdogs, TextsMustMatchAsTheStatusBarShowsThem) {
    const DateTime t0 = DateTime::ymd(2024, 3, 14, 10, 0, 0);
    const tick::StatusStamps stamps{t0, t0, t0};
    const DateTime late = t0.addSeconds(1000);
    // The connecting and the sync texts must stand alone; the checking mark may stand anywhere.
    EXPECT_FALSE(tick::checkWatchdogs("Connecting to MSOutlook... ", "", stamps, late).connectOutlook);
    EXPECT_FALSE(tick::checkWatchdogs("", "Sync: In progress... 3", stamps, late).restoreCommStatus);
    EXPECT_TRUE(tick::checkWatchdogs("x [Checking for updates] y", "", stamps, late).endChecking);
    const auto none = tick::checkWatchdogs("Mode: Wendra (win)", "Port 1 open", stamps, late);
    EXPECT_FALSE(none.connectOutlook || none.endChecking || none.restoreCommStatus);
}

TEST(CountdownCaption, MatrixOfCountdownSettingAndWindowState) {
    const DateTime now = DateTime::ymd(2024, 3, 14, 9, 5, 0);
    const std::string dated = tick::windowCaption(false, 2, "", now);
    ASSERT_EQ(dated.rfind("Wendra(win) - ", 0), 0u);
    EXPECT_NE(dated.find("2024 09:05"), std::string::npos);

    struct Row {
        bool minimized;
        int view;
        const char* withCountdown;  // caption when a countdown is due
    };
    const Row rows[] = {
        {false, 0, "0h 15m-Dentist"}, {false, 1, nullptr}, {false, 2, nullptr},
        {true, 0, "0h 15m-Dentist"},  {true, 1, "0h 15m-Dentist"}, {true, 2, "Wendra(win)"},
    };
    for (const auto& r : rows) {
        const std::string expected = r.withCountdown ? r.withCountdown : dated;
        EXPECT_EQ(tick::windowCaption(r.minimized, r.view, "0h 15m-Dentist", now), expected)
            << r.minimized << " " << r.view;
        // Without a countdown: the date when open, the title when minimized.
        EXPECT_EQ(tick::windowCaption(r.minimized, r.view, "", now), r.minimized ? "Wendra(win)" : dated);
    }
}

}  // namespace
}  // namespace wendra
