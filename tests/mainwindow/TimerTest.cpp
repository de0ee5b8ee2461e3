// The main window's minute timer driven by a hand-moved clock and timer service:
// re-arming on the minute, the countdown rows, the caption, the alarm, the
// status watchdogs, and the list that a new day, a busy list or an open dialog
// leave to be dealt with.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/frmMain.h"
#include "platform/clock/Names.h"
#include "store/clsCalEvent.h"
#include "store/modFuncs.h"
#include "tests/support/MainWindowRig.h"

namespace wendra {
namespace {

namespace fs = std::filesystem;

DateTime at(int y, int m, int d, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, m, d, h, mi, s); }

constexpr std::string_view kAlarmText = "**** NOW ******** NOW ******** NOW ******** NOW ******** NOW ****";
constexpr ui::Colour kRed = 255;

// The main window, loaded, with its clock and its timers in the test's hand. The
// timer service starts at 0 ms when the clock reads `start`.
class TimerTest : public ::testing::Test, protected test::MainWindowRig {
protected:
    explicit TimerTest(DateTime start = at(2024, 3, 14, 9, 0, 20))
        : MainWindowRig(MainWindowRig::Setup{.now = start, .installed = false}), start_(start) {}

    void SetUp() override {
        form = std::make_unique<frmMain>(collaborators());
        form->load();
        ASSERT_EQ(form->startup(), frmMain::Startup::Running);
        settings().setViewLongDesc(false);
    }

    frmMain& f() { return *form; }
    clsSettings& settings() { return *form->settings(); }
    ui::Grid& grid() { return form->msGrid; }

    // Moves clock and timers together to `t`, running every tick due on the way
    // with the clock at the tick's own second.
    void runTo(DateTime t) {
        // To the end of that second: the clock reads whole seconds.
        const std::int64_t target = (t.seconds() - start_.seconds()) * 1000 + 999;
        for (;;) {
            const std::int64_t next = ui.timers.msUntilNext();
            if (next < 0 || ui.timers.nowMs() + next > target) break;
            const std::int64_t due = ui.timers.nowMs() + next;
            clock.set(start_.addSeconds(due / 1000));
            ui.timers.fireNext();
        }
        ui.timers.advance(target - ui.timers.nowMs());
        clock.set(t);
    }

    // A timed occurrence row as the list writes it, appended.
    void addRow(DateTime when, const std::string& desc, const std::string& marker = "") {
        clsCalEvent ev;
        ev.setWendraWinId(std::to_string(++ids_));
        ev.setDescription(desc);
        ev.setAllDayEvent(false);
        ev.setOccurrence(when, false, desc);
        const std::string cells[8] = {ev.GridKey(),
                                      formatICalDateTime(when, true) + desc + "\t",
                                      marker,
                                      f().formatTimeTo(when),
                                      desc,
                                      formatTimeHM(when),
                                      padZeros(when.day(), 2) + "-" + englishMonthAbbrev(when.month()) + "-" +
                                          padZeros(when.year() % 100, 2),
                                      englishWeekdayAbbrev(when.weekday())};
        const int r = grid().rows();
        grid().setRows(r + 1);
        for (int c = 0; c < 8; ++c) grid().setTextMatrix(r, c, cells[c]);
    }
    // The grid holds only these rows (and an all-day and a future row that are no
    // countdown), and the window knows its countdown rows.
    void rows(const std::vector<std::pair<DateTime, std::string>>& timed) {
        grid().setFixedRows(0);
        grid().setRows(0);
        grid().setCols(8);
        for (const auto& [when, desc] : timed) addRow(when, desc);
        const int r = grid().rows();
        grid().setRows(r + 2);
        grid().setTextMatrix(r, 3, "*");
        grid().setTextMatrix(r, 4, "All day today");
        grid().setTextMatrix(r + 1, 3, "12");
        grid().setTextMatrix(r + 1, 4, "Later");
        f().collectTimedRows();
    }
    // An event saved to the store as the editor leaves a new one: listed from its start.
    void save(const std::string& desc, DateTime when) {
        clsCalEvent ev;
        ev.setDescription(desc);
        ev.setEventStart(when);
        ev.setAllDayEvent(false);
        ev.setViewFromDate(when);
        ev.setLastModified(clock.now());
        ASSERT_TRUE(f().store()->Save(ev, SaveMode::Always)) << f().store()->lastError();
    }
    int rowOf(const std::string& desc) {
        for (int r = 0; r < grid().rows(); ++r)
            if (gridKeyValue(grid().textMatrix(r, 0), Tag::Desc) == desc) return r;
        return -1;
    }
    std::string daysTo(const std::string& desc) { return grid().textMatrix(rowOf(desc), 3); }

    DateTime start_;
    int ids_ = 100;
};

// ---- re-arming -----------------------------------------------------------------

TEST_F(TimerTest, FirstTickComesAtOnceAndArmsTheRestOfTheMinute) {
    EXPECT_EQ(ui.timers.msUntilNext(), 1);
    ASSERT_TRUE(ui.timers.fireNext());  // at 09:00:20
    EXPECT_EQ(ui.timers.nextInterval(), 40000);
}

TEST_F(TimerTest, RearmIntervalAtSecondZeroAndFiftyNine) {
    runTo(at(2024, 3, 14, 9, 0, 30));
    // The timer is disarmed and armed from a tick at second 0 and at second 59.
    clock.set(at(2024, 3, 14, 9, 1, 0));
    f().timerDispTimes_Timer();
    EXPECT_EQ(f().timerDispTimes.interval(), 60000);
    EXPECT_EQ(ui.timers.msUntilNext(), 60000);
    clock.set(at(2024, 3, 14, 9, 2, 59));
    f().timerDispTimes_Timer();
    EXPECT_EQ(f().timerDispTimes.interval(), 1000);
    EXPECT_EQ(ui.timers.msUntilNext(), 1000);
}

TEST_F(TimerTest, OneTickAMinuteOnTheMinute) {
    runTo(at(2024, 3, 14, 9, 0, 21));
    const int before = ui.timers.ticks();
    runTo(at(2024, 3, 14, 10, 0, 30));
    EXPECT_EQ(ui.timers.ticks() - before, 60);
    EXPECT_EQ(ui.timers.nextInterval(), 60000);
}

TEST_F(TimerTest, TickAMomentEarlyIsArmedOntoItsMinuteAndCountsNothing) {
    rows({{at(2024, 3, 14, 9, 2), "Dentist"}});
    runTo(at(2024, 3, 14, 9, 2, 0));
    ASSERT_EQ(daysTo("Dentist"), "NOW");
    ASSERT_EQ(sound.plays().size(), 1u);
    sound.finish();
    // The timer comes back a little before 09:03:00, while the clock still reads
    // 09:02:59: the minute of "NOW" must not sound a second time.
    clock.set(at(2024, 3, 14, 9, 2, 59));
    ui.timers.fireNext();
    EXPECT_EQ(ui.timers.msUntilNext(), 1000);
    EXPECT_EQ(sound.plays().size(), 1u);
    clock.set(at(2024, 3, 14, 9, 3, 0));
    ui.timers.fireNext();
    EXPECT_EQ(daysTo("Dentist"), "-0h 01m");
    EXPECT_EQ(ui.timers.msUntilNext(), 60000);
}

// ---- countdown rows --------------------------------------------------------------

TEST_F(TimerTest, CollectsTheRowsThatHoldACountdown) {
    rows({{at(2024, 3, 14, 8, 0), "Past"}, {at(2024, 3, 14, 9, 0), "Now"}, {at(2024, 3, 14, 11, 5), "Later"}});
    EXPECT_EQ(f().timedRows, (std::vector<int>{0, 1, 2}));
    grid().setTextMatrix(1, 3, "0");
    f().collectTimedRows();
    EXPECT_EQ(f().timedRows, (std::vector<int>{0, 2}));
}

TEST_F(TimerTest, CountdownsFollowTheTicks) {
    rows({{at(2024, 3, 14, 11, 5), "Dentist"}, {at(2024, 3, 14, 9, 45), "Bus"}, {at(2024, 3, 14, 6, 0), "Early"}});
    runTo(at(2024, 3, 14, 9, 0, 30));
    EXPECT_EQ(daysTo("Dentist"), "2h 05m");
    EXPECT_EQ(daysTo("Bus"), "0h 45m");
    EXPECT_EQ(daysTo("Early"), "-3h");
    runTo(at(2024, 3, 14, 10, 0, 30));
    EXPECT_EQ(daysTo("Dentist"), "1h 05m");
    EXPECT_EQ(daysTo("Bus"), "-0h 15m");
    runTo(at(2024, 3, 14, 11, 0, 0));
    EXPECT_EQ(daysTo("Bus"), "-1h 15m");
}

TEST_F(TimerTest, LongDescriptionFollowsTheCountdown) {
    settings().setViewLongDesc(true);
    rows({{at(2024, 3, 14, 9, 3), "Dentist"}});
    runTo(at(2024, 3, 14, 9, 1, 0));
    EXPECT_EQ(grid().textMatrix(0, 4), "0h 02m to Dentist");
    runTo(at(2024, 3, 14, 9, 4, 0));
    EXPECT_EQ(grid().textMatrix(0, 4), "-0h 01m past Dentist");
}

TEST_F(TimerTest, ARowTurnsRedOnceWhenItPasses) {
    rows({{at(2024, 3, 14, 9, 2), "Dentist"}});
    grid().setCellForeColourAt(0, 3, 0xFF0000);
    grid().setCellBackColourAt(0, 3, 0x00FF00);
    runTo(at(2024, 3, 14, 9, 2, 0));
    EXPECT_EQ(daysTo("Dentist"), "NOW");
    EXPECT_EQ(grid().cellForeColourAt(0, 3), 0xFF0000);
    runTo(at(2024, 3, 14, 9, 3, 0));
    EXPECT_EQ(daysTo("Dentist"), "-0h 01m");
    EXPECT_EQ(grid().cellForeColourAt(0, 3), kRed);
    EXPECT_EQ(grid().cellForeColourAt(0, 4), kRed);
    EXPECT_EQ(grid().cellBackColourAt(0, 3), 0x00FF00);
    // Coloured once: later ticks leave whatever colour it has now.
    grid().setCellForeColourAt(0, 3, 0x123456);
    runTo(at(2024, 3, 14, 9, 10, 0));
    EXPECT_EQ(grid().cellForeColourAt(0, 3), 0x123456);
}

// ---- caption -----------------------------------------------------------------------

TEST_F(TimerTest, CaptionByCountdownSettingAndWindowState) {
    rows({{at(2024, 3, 14, 9, 30), "Dentist"}});
    const std::string countdownCaption = "0h 29m-Dentist";
    const std::string dated = "Wendra(win) - " + formatLongDate(at(2024, 3, 14, 9, 1), true, true);
    struct Case {
        int view;
        bool minimized;
        std::string caption;
    };
    const Case cases[] = {
        {0, false, countdownCaption}, {1, false, dated}, {2, false, dated},
        {0, true, countdownCaption},  {1, true, countdownCaption}, {2, true, "Wendra(win)"},
    };
    runTo(at(2024, 3, 14, 9, 0, 30));
    for (const auto& c : cases) {
        settings().setViewCountdown(static_cast<std::int16_t>(c.view));
        f().setWindowState(c.minimized ? ui::WindowState::Minimized : ui::WindowState::Normal);
        clock.set(at(2024, 3, 14, 9, 1, 0));
        f().timerDispTimes_Timer();
        EXPECT_EQ(f().caption(), c.caption) << "view " << c.view << (c.minimized ? " minimized" : " open");
    }
}

TEST_F(TimerTest, WithoutACountdownTheCaptionIsTheDateOrTheTitle) {
    rows({{at(2024, 3, 14, 8, 0), "Gone"}});  // passed: no caption countdown
    runTo(at(2024, 3, 14, 9, 1, 0));
    EXPECT_EQ(f().captionCountdown, "");
    EXPECT_EQ(f().caption(), "Wendra(win) - " + formatLongDate(at(2024, 3, 14, 9, 1), true, true));
    f().setWindowState(ui::WindowState::Minimized);
    runTo(at(2024, 3, 14, 9, 2, 0));
    EXPECT_EQ(f().caption(), "Wendra(win)");
}

TEST_F(TimerTest, TheFirstDueRowThatIsNotMarkedGivesTheCaption) {
    rows({{at(2024, 3, 14, 8, 0), "Gone"}, {at(2024, 3, 14, 9, 10), "Changed"}, {at(2024, 3, 14, 9, 20), "Next"},
          {at(2024, 3, 14, 9, 30), "After"}});
    grid().setTextMatrix(rowOf("Changed"), 2, "X");
    runTo(at(2024, 3, 14, 9, 1, 0));
    EXPECT_EQ(f().captionCountdown, "0h 19m-Next");
    EXPECT_EQ(f().nextEventDescription, "Next");
    EXPECT_EQ(f().caption(), "0h 19m-Next");
}

// ---- alarm ---------------------------------------------------------------------------

class AlarmTest : public TimerTest {
protected:
    void SetUp() override {
        TimerTest::SetUp();
        rows({{at(2024, 3, 14, 9, 2), "Dentist"}});
        captions_ = f().subscribe([this] {
            if (seen_.empty() || seen_.back() != f().caption()) seen_.push_back(f().caption());
        });
    }
    bool alarmTextShown() const { return std::find(seen_.begin(), seen_.end(), kAlarmText) != seen_.end(); }

    std::vector<std::string> seen_;
    ui::Subscription captions_;
};

TEST_F(AlarmTest, SoundsOnlyWhenTheNextRowReadsNow) {
    runTo(at(2024, 3, 14, 9, 1, 30));
    EXPECT_TRUE(sound.plays().empty());
    EXPECT_FALSE(alarmTextShown());
    runTo(at(2024, 3, 14, 9, 2, 0));
    ASSERT_EQ(sound.plays().size(), 1u);
    EXPECT_EQ(sound.plays()[0], fs::path(settings().InstallDir() + "QVRAlarm.wav"));
    // While it sounds the alarm text stands; the countdown caption comes back after.
    EXPECT_EQ(f().caption(), kAlarmText);
    EXPECT_TRUE(sound.finish());
    EXPECT_EQ(f().caption(), "NOW-Dentist");
    runTo(at(2024, 3, 14, 9, 5, 0));
    EXPECT_EQ(sound.plays().size(), 1u);  // passed rows never sound
}

TEST_F(AlarmTest, WithTheAlarmOffTheTextFlashesAndNothingSounds) {
    settings().setAlarm(false);
    runTo(at(2024, 3, 14, 9, 2, 0));
    EXPECT_TRUE(sound.plays().empty());
    EXPECT_TRUE(alarmTextShown());
    EXPECT_EQ(f().caption(), "NOW-Dentist");
}

TEST_F(AlarmTest, NoDeviceCallsBackAtOnceAndTheCaptionComesBack) {
    sound.setSilent(true);
    runTo(at(2024, 3, 14, 9, 2, 0));
    EXPECT_EQ(sound.plays().size(), 1u);
    EXPECT_TRUE(alarmTextShown());
    EXPECT_EQ(f().caption(), "NOW-Dentist");
    EXPECT_FALSE(sound.isPlaying());
}

TEST_F(AlarmTest, ASecondAlarmWhileSoundingKeepsTheWindowsCaption) {
    runTo(at(2024, 3, 14, 9, 2, 0));
    ASSERT_TRUE(sound.isPlaying());
    // A list command in the same minute runs the countdowns again (and the caption
    // after them, below).
    f().updateTimedRows();
    EXPECT_EQ(f().caption(), kAlarmText);
    EXPECT_EQ(f().savedCaption, "NOW-Dentist");
    f().updateCaption();
    EXPECT_EQ(f().caption(), kAlarmText);
    EXPECT_EQ(sound.plays().size(), 1u);  // the sound that goes on is the one alarm
    EXPECT_TRUE(sound.finish());
    EXPECT_EQ(f().caption(), "NOW-Dentist");
}

TEST_F(AlarmTest, TheSoundEndingAfterTheWindowHasGoneTouchesNothing) {
    runTo(at(2024, 3, 14, 9, 2, 0));
    ASSERT_TRUE(sound.isPlaying());
    captions_.reset();
    form.reset();
    EXPECT_TRUE(sound.finish());  // would touch the closed window (the sanitizer tells)
}

TEST_F(TimerTest, AlarmToggleFromToolbarAndMenu) {
    ASSERT_TRUE(settings().Alarm());
    f().toggleAlarm();
    EXPECT_FALSE(settings().Alarm());
    EXPECT_FALSE(f().mnuAlarm.checked());
    EXPECT_EQ(f().Toolbar1.button("toolbarAlarm")->imageKey(), "imgAlarmOff");
    f().mnuAlarm.trigger();
    EXPECT_TRUE(settings().Alarm());
    EXPECT_TRUE(f().mnuAlarm.checked());
    EXPECT_EQ(f().Toolbar1.button("toolbarAlarm")->imageKey(), "imgAlarm");
}

// ---- watchdogs ---------------------------------------------------------------------------

TEST_F(TimerTest, ConnectingWatchdogActsAfterMoreThanSixtySeconds) {
    int connects = 0;
    f().onConnectOutlookDue = [&] { ++connects; };
    runTo(at(2024, 3, 14, 9, 0, 30));
    f().showMode(ProgramMode::Outlook);  // not connected: "Connecting to MSOutlook..."
    ASSERT_EQ(f().StatusBar1.text(1), "Connecting to MSOutlook...");
    f().connectingSince = at(2024, 3, 14, 9, 0, 0);
    runTo(at(2024, 3, 14, 9, 1, 0));  // 60 seconds
    EXPECT_EQ(connects, 0);
    f().connectingSince = at(2024, 3, 14, 9, 0, 59);
    runTo(at(2024, 3, 14, 9, 2, 0));  // 61 seconds
    EXPECT_EQ(connects, 1);
}

TEST_F(TimerTest, CheckingWatchdogActsAfterMoreThanThreeMinutes) {
    runTo(at(2024, 3, 14, 9, 0, 30));
    f().checkingForUpdates = true;
    f().showMode(ProgramMode::Outlook);
    ASSERT_NE(f().StatusBar1.text(1).find("[Checking for updates]"), std::string::npos);
    f().checkingSince = at(2024, 3, 14, 8, 58, 0);
    runTo(at(2024, 3, 14, 9, 1, 0));  // 180 seconds
    EXPECT_TRUE(f().checkingForUpdates);
    EXPECT_NE(f().StatusBar1.text(1).find("[Checking for updates]"), std::string::npos);
    f().checkingSince = at(2024, 3, 14, 8, 58, 59);
    runTo(at(2024, 3, 14, 9, 2, 0));  // 181 seconds
    EXPECT_FALSE(f().checkingForUpdates);
    EXPECT_EQ(f().StatusBar1.text(1), "Connecting to MSOutlook...");
}

TEST_F(TimerTest, SyncWatchdogPutsThePortStateBackAfterMoreThanSixtySeconds) {
    runTo(at(2024, 3, 14, 9, 0, 30));
    f().showCommStatus();
    const std::string portState = f().StatusBar1.text(2);
    f().StatusBar1.setText(2, "Sync: In progress...");
    f().state().gLastSyncActivity = at(2024, 3, 14, 9, 0, 0);
    runTo(at(2024, 3, 14, 9, 1, 0));  // 60 seconds
    EXPECT_EQ(f().StatusBar1.text(2), "Sync: In progress...");
    f().state().gLastSyncActivity = at(2024, 3, 14, 9, 0, 59);
    runTo(at(2024, 3, 14, 9, 2, 0));  // 61 seconds
    EXPECT_EQ(f().StatusBar1.text(2), portState);
    EXPECT_NE(portState, "Sync: In progress...");
}

// ---- mends -----------------------------------------------------------------------------------

TEST_F(TimerTest, ARowWithoutAReadableKeyIsLeftAndTheOthersGoOn) {
    rows({{at(2024, 3, 14, 9, 30), "Broken"}, {at(2024, 3, 14, 9, 40), "Fine"}});
    grid().setTextMatrix(rowOf("Broken"), 0, "<Desc>Broken</><Occr>31-12-99</>");
    runTo(at(2024, 3, 14, 9, 1, 0));
    EXPECT_EQ(grid().textMatrix(0, 3), "0h 30m");  // as written at 09:00
    EXPECT_EQ(daysTo("Fine"), "0h 39m");
    EXPECT_EQ(f().captionCountdown, "0h 39m-Fine");
}

TEST_F(TimerTest, ATickWhileTheListIsBusyWaitsForTheEndOfItsWork) {
    save("Dentist", at(2024, 3, 14, 9, 30));
    f().refreshList();
    runTo(at(2024, 3, 14, 9, 4, 0));
    ASSERT_EQ(f().caption(), "0h 26m-Dentist");

    // The minute falls due while the list is in the middle of a rebuild.
    clock.set(at(2024, 3, 14, 9, 5, 0));
    bool busyThen = false;
    std::string captionThen;
    settingsStore.onNextRead("PriorWarning", [&] {
        busyThen = f().listBusy();
        ASSERT_TRUE(ui.timers.fireNext());
        captionThen = f().caption();
    });
    f().refreshList();
    ASSERT_TRUE(busyThen);
    EXPECT_EQ(captionThen, "0h 26m-Dentist");  // the half-built rows were left alone
    // Done once the rebuild has ended.
    EXPECT_EQ(daysTo("Dentist"), "0h 25m");
    EXPECT_EQ(f().caption(), "0h 25m-Dentist");
    EXPECT_EQ(ui.timers.msUntilNext(), 60000);  // and the timer armed all the same
}

// A night on the list: the program runs from 23:50 across midnight.
class MidnightTest : public TimerTest {
protected:
    MidnightTest() : TimerTest(at(2024, 3, 14, 23, 50, 20)) {}
    void SetUp() override {
        TimerTest::SetUp();
        save("Late call", at(2024, 3, 15, 0, 10));
        save("Night owl", at(2024, 3, 14, 23, 55));
        f().refreshList();
        ASSERT_EQ(daysTo("Late call"), "1");
        ASSERT_EQ(daysTo("Night owl"), "0h 05m");
    }
};

TEST_F(MidnightTest, ANewDayRebuildsTheListFirst) {
    runTo(at(2024, 3, 14, 23, 55, 0));
    ASSERT_EQ(sound.plays().size(), 1u);  // the night owl's alarm
    sound.finish();
    runTo(at(2024, 3, 15, 0, 0, 0));
    EXPECT_EQ(daysTo("Late call"), "0h 10m");
    EXPECT_EQ(rowOf("Night owl"), -1);  // yesterday's: folded with the past events
    EXPECT_EQ(f().caption(), "0h 10m-Late call");
    runTo(at(2024, 3, 15, 0, 10, 0));
    ASSERT_EQ(sound.plays().size(), 2u);
    sound.finish();
    // A day later the night owl's row is long gone: no alarm 24 hours late.
    runTo(at(2024, 3, 15, 23, 56, 0));
    EXPECT_EQ(sound.plays().size(), 2u);
}

TEST_F(MidnightTest, UnderAnOpenDialogTheRebuildWaitsForALaterTick) {
    {
        frmMain::ModalScope dialog(f());
        runTo(at(2024, 3, 15, 0, 0, 30));
        EXPECT_EQ(daysTo("Late call"), "1");
    }
    runTo(at(2024, 3, 15, 0, 1, 0));
    EXPECT_EQ(daysTo("Late call"), "0h 09m");
}

// From 2030 on the date text's two-digit year reads as 1930.
class Year2031Test : public TimerTest {
protected:
    Year2031Test() : TimerTest(at(2031, 5, 6, 9, 0, 20)) {}
};

TEST_F(Year2031Test, AnEventIn2031CountsDownAndSounds) {
    save("Far ahead", at(2031, 5, 6, 9, 3));
    f().refreshList();
    ASSERT_EQ(grid().textMatrix(rowOf("Far ahead"), 6), "06-May-31");
    EXPECT_EQ(daysTo("Far ahead"), "0h 03m");
    runTo(at(2031, 5, 6, 9, 2, 0));
    EXPECT_EQ(daysTo("Far ahead"), "0h 01m");
    EXPECT_EQ(f().caption(), "0h 01m-Far ahead");
    runTo(at(2031, 5, 6, 9, 3, 0));
    EXPECT_EQ(daysTo("Far ahead"), "NOW");
    EXPECT_EQ(sound.plays().size(), 1u);
}

}  // namespace
}  // namespace wendra
