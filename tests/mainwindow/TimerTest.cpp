// The main window's minute timer driven by a hand-moved clock and timer service:
// re-arming on the minute, the countdown rows, the caption, the alarm, the
// status watchdogs, and the list that a new day, a busy list or an open dialog
// leave to be dealt with.
#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "exchange/OutlookBinding.h"
#include "mainwindow/frmMain.h"
#include "platform/clock/Clock.h"
#include "platform/clock/Names.h"
#include "platform/db/Schema.h"
#include "platform/serial/FakeSerialPort.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/sound/SoundRecorder.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsCalEvent.h"
#include "store/modFuncs.h"

namespace wendra {
namespace {

namespace fs = std::filesystem;

DateTime at(int y, int m, int d, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, m, d, h, mi, s); }

constexpr std::string_view kAlarmText = "**** NOW ******** NOW ******** NOW ******** NOW ******** NOW ****";
constexpr ui::Colour kRed = 255;

using wendra::test::TempFolder;

// The settings in memory; a test may have something run in the middle of the
// next read of one key (the list reads the prior warning while it works).
class HookedSettingsStore final : public settings::SettingsStore {
public:
    std::optional<std::string> querySetting(std::string_view app, std::string_view section,
                                            std::string_view key) const override {
        if (hook_ && key == hookKey_) {
            auto fn = std::move(hook_);
            hook_ = nullptr;
            fn();
        }
        return inner_.querySetting(app, section, key);
    }
    bool saveSetting(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view value) override {
        return inner_.saveSetting(app, section, key, value);
    }
    bool deleteSetting(std::string_view app, std::string_view section, std::string_view key) override {
        return inner_.deleteSetting(app, section, key);
    }
    bool deleteSection(std::string_view app, std::string_view section) override {
        return inner_.deleteSection(app, section);
    }
    void onNextRead(std::string key, std::function<void()> fn) {
        hookKey_ = std::move(key);
        hook_ = std::move(fn);
    }

private:
    settings::MemorySettingsStore inner_;
    std::string hookKey_;
    mutable std::function<void()> hook_;
};

// The main window, loaded, with its clock and its timers in the test's hand. The
// timer service starts at 0 ms when the clock reads `start`.
class TimerTest : public ::testing::Test {
protected:
    explicit TimerTest(DateTime start = at(2024, 3, 14, 9, 0, 20)) : start_(start), clock_(start), useClock_(clock_) {}

    void SetUp() override {
        ASSERT_FALSE(folder_.path().empty());
        std::string error;
        ASSERT_TRUE(db::createDatabaseFile(folder_.path() / db::kDatabaseFileName, &error)) << error;
        window_ = std::make_unique<frmMain>(frmMainCollaborators{
            .services = services_.services(),
            .settingsStore = settingsStore_,
            .programFolder = folder_.path(),
            .outlook = outlook_,
            .serialPort = port_,
            .sound = sound_,
            .clock = &clock_,
            .claimSingleInstance = {},
            .offerGadgetInstall = {},
        });
        window_->load();
        ASSERT_EQ(window_->startup(), frmMain::Startup::Running);
        settings().setViewLongDesc(false);
    }

    frmMain& f() { return *window_; }
    clsSettings& settings() { return *window_->settings(); }
    ui::Grid& grid() { return window_->msGrid; }

    // Moves clock and timers together to `t`, running every tick due on the way
    // with the clock at the tick's own second.
    void runTo(DateTime t) {
        // To the end of that second: the clock reads whole seconds.
        const std::int64_t target = (t.seconds() - start_.seconds()) * 1000 + 999;
        for (;;) {
            const std::int64_t next = services_.timers.msUntilNext();
            if (next < 0 || services_.timers.nowMs() + next > target) break;
            const std::int64_t due = services_.timers.nowMs() + next;
            clock_.set(start_.addSeconds(due / 1000));
            services_.timers.fireNext();
        }
        services_.timers.advance(target - services_.timers.nowMs());
        clock_.set(t);
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
        ev.setLastModified(clock_.now());
        ASSERT_TRUE(f().store()->Save(ev, clsDataQVR::kSaveAlways)) << f().store()->lastError();
    }
    int rowOf(const std::string& desc) {
        for (int r = 0; r < grid().rows(); ++r)
            if (gridKeyValue(grid().textMatrix(r, 0), Tag::Desc) == desc) return r;
        return -1;
    }
    std::string daysTo(const std::string& desc) { return grid().textMatrix(rowOf(desc), 3); }

    DateTime start_;
    FakeClock clock_;
    ClockOverride useClock_;
    TempFolder folder_;
    ui::TestServices services_;
    HookedSettingsStore settingsStore_;
    NoOutlook outlook_;
    FakeSerialPort port_;
    SoundRecorder sound_;
    std::unique_ptr<frmMain> window_;
    int ids_ = 100;
};

// ---- re-arming -----------------------------------------------------------------

TEST_F(TimerTest, FirstTickComesAtOnceAndArmsTheRestOfTheMinute) {
    EXPECT_EQ(services_.timers.msUntilNext(), 1);
    ASSERT_TRUE(services_.timers.fireNext());  // at 09:00:20
    EXPECT_EQ(services_.timers.nextInterval(), 40000);
}

TEST_F(TimerTest, RearmIntervalAtSecondZeroAndFiftyNine) {
    runTo(at(2024, 3, 14, 9, 0, 30));
    // The timer is disarmed and armed from a tick at second 0 and at second 59.
    clock_.set(at(2024, 3, 14, 9, 1, 0));
    f().timerDispTimes_Timer();
    EXPECT_EQ(f().timerDispTimes.interval(), 60000);
    EXPECT_EQ(services_.timers.msUntilNext(), 60000);
    clock_.set(at(2024, 3, 14, 9, 2, 59));
    f().timerDispTimes_Timer();
    EXPECT_EQ(f().timerDispTimes.interval(), 1000);
    EXPECT_EQ(services_.timers.msUntilNext(), 1000);
}

TEST_F(TimerTest, OneTickAMinuteOnTheMinute) {
    runTo(at(2024, 3, 14, 9, 0, 21));
    const int before = services_.timers.ticks();
    runTo(at(2024, 3, 14, 10, 0, 30));
    EXPECT_EQ(services_.timers.ticks() - before, 60);
    EXPECT_EQ(services_.timers.nextInterval(), 60000);
}

TEST_F(TimerTest, TickAMomentEarlyIsArmedOntoItsMinuteAndCountsNothing) {
    rows({{at(2024, 3, 14, 9, 2), "Dentist"}});
    runTo(at(2024, 3, 14, 9, 2, 0));
    ASSERT_EQ(daysTo("Dentist"), "NOW");
    ASSERT_EQ(sound_.plays().size(), 1u);
    sound_.finish();
    // The timer comes back a little before 09:03:00, while the clock still reads
    // 09:02:59: the minute of "NOW" must not sound a second time.
    clock_.set(at(2024, 3, 14, 9, 2, 59));
    services_.timers.fireNext();
    EXPECT_EQ(services_.timers.msUntilNext(), 1000);
    EXPECT_EQ(sound_.plays().size(), 1u);
    clock_.set(at(2024, 3, 14, 9, 3, 0));
    services_.timers.fireNext();
    EXPECT_EQ(daysTo("Dentist"), "-0h 01m");
    EXPECT_EQ(services_.timers.msUntilNext(), 60000);
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
        clock_.set(at(2024, 3, 14, 9, 1, 0));
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
    EXPECT_TRUE(sound_.plays().empty());
    EXPECT_FALSE(alarmTextShown());
    runTo(at(2024, 3, 14, 9, 2, 0));
    ASSERT_EQ(sound_.plays().size(), 1u);
    EXPECT_EQ(sound_.plays()[0], fs::path(settings().InstallDir() + "QVRAlarm.wav"));
    // While it sounds the alarm text stands; the countdown caption comes back after.
    EXPECT_EQ(f().caption(), kAlarmText);
    EXPECT_TRUE(sound_.finish());
    EXPECT_EQ(f().caption(), "NOW-Dentist");
    runTo(at(2024, 3, 14, 9, 5, 0));
    EXPECT_EQ(sound_.plays().size(), 1u);  // passed rows never sound
}

TEST_F(AlarmTest, WithTheAlarmOffTheTextFlashesAndNothingSounds) {
    settings().setAlarm(false);
    runTo(at(2024, 3, 14, 9, 2, 0));
    EXPECT_TRUE(sound_.plays().empty());
    EXPECT_TRUE(alarmTextShown());
    EXPECT_EQ(f().caption(), "NOW-Dentist");
}

TEST_F(AlarmTest, NoDeviceCallsBackAtOnceAndTheCaptionComesBack) {
    sound_.setSilent(true);
    runTo(at(2024, 3, 14, 9, 2, 0));
    EXPECT_EQ(sound_.plays().size(), 1u);
    EXPECT_TRUE(alarmTextShown());
    EXPECT_EQ(f().caption(), "NOW-Dentist");
    EXPECT_FALSE(sound_.isPlaying());
}

TEST_F(AlarmTest, ASecondAlarmWhileSoundingKeepsTheWindowsCaption) {
    runTo(at(2024, 3, 14, 9, 2, 0));
    ASSERT_TRUE(sound_.isPlaying());
    // A list command in the same minute runs the countdowns again (and the caption
    // after them, below).
    f().updateTimedRows();
    EXPECT_EQ(f().caption(), kAlarmText);
    EXPECT_EQ(f().savedCaption, "NOW-Dentist");
    f().updateCaption();
    EXPECT_EQ(f().caption(), kAlarmText);
    EXPECT_EQ(sound_.plays().size(), 1u);  // the sound that goes on is the one alarm
    EXPECT_TRUE(sound_.finish());
    EXPECT_EQ(f().caption(), "NOW-Dentist");
}

TEST_F(AlarmTest, TheSoundEndingAfterTheWindowHasGoneTouchesNothing) {
    runTo(at(2024, 3, 14, 9, 2, 0));
    ASSERT_TRUE(sound_.isPlaying());
    captions_.reset();
    window_.reset();
    EXPECT_TRUE(sound_.finish());  // would touch the closed window (the sanitizer tells)
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
    f().showMode(1);  // not connected: "Connecting to MSOutlook..."
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
    f().showMode(1);
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
    clock_.set(at(2024, 3, 14, 9, 5, 0));
    bool busyThen = false;
    std::string captionThen;
    settingsStore_.onNextRead("PriorWarning", [&] {
        busyThen = f().listBusy();
        ASSERT_TRUE(services_.timers.fireNext());
        captionThen = f().caption();
    });
    f().refreshList();
    ASSERT_TRUE(busyThen);
    EXPECT_EQ(captionThen, "0h 26m-Dentist");  // the half-built rows were left alone
    // Done once the rebuild has ended.
    EXPECT_EQ(daysTo("Dentist"), "0h 25m");
    EXPECT_EQ(f().caption(), "0h 25m-Dentist");
    EXPECT_EQ(services_.timers.msUntilNext(), 60000);  // and the timer armed all the same
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
    ASSERT_EQ(sound_.plays().size(), 1u);  // the night owl's alarm
    sound_.finish();
    runTo(at(2024, 3, 15, 0, 0, 0));
    EXPECT_EQ(daysTo("Late call"), "0h 10m");
    EXPECT_EQ(rowOf("Night owl"), -1);  // yesterday's: folded with the past events
    EXPECT_EQ(f().caption(), "0h 10m-Late call");
    runTo(at(2024, 3, 15, 0, 10, 0));
    ASSERT_EQ(sound_.plays().size(), 2u);
    sound_.finish();
    // A day later the night owl's row is long gone: no alarm 24 hours late.
    runTo(at(2024, 3, 15, 23, 56, 0));
    EXPECT_EQ(sound_.plays().size(), 2u);
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
    EXPECT_EQ(sound_.plays().size(), 1u);
}

}  // namespace
}  // namespace wendra
