// The hide and delete dialogs: the recommendation by date and choice, the
// override, standalone mode, and what each action leaves on the event.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/CancelFlag.h"
#include "editor/frmDeleteMult.h"
#include "editor/frmDeleteSingle.h"
#include "platform/clock/FakeClock.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsSettings.h"
#include "store/modFuncs.h"
#include "tests/support/DialogRig.h"

namespace wendra {
namespace {

DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, mo, d, h, mi, s); }

using Opener = test::FlagRecorder;

// What an action may change, to see that a cancel changed none of it.
struct Marks {
    int request;
    DateTime lastModified;
    std::string exDates, hiddenList, rDates;
    DateTime until;
    bool operator==(const Marks&) const = default;
};
Marks marks(const clsCalEvent& ev) {
    return {ev.UpdateRequest(), ev.LastModified(), ev.ExDates(), ev.HiddenList(), ev.RDates(),
            ev.RRulesCount() > 0 ? ev.RRule(1)->DurationUntil() : DateTime()};
}

class DeleteDialogs : public ::testing::Test, protected test::DialogRig {
protected:
    ui::TestServices services_;
    frmDeleteSingle single_{services_.services(), settings};
    frmDeleteMult mult_{services_.services(), settings};

    void SetUp() override { ASSERT_TRUE(settings.setModeWendraWin(false)); }

    static clsCalEvent oneOff(DateTime start, bool allDay) {
        clsCalEvent ev;
        ev.setDescription("Dentist");
        ev.setEventStart(start);
        ev.setAllDayEvent(allDay);
        ev.setViewFromDate(start);
        ev.setLastModified(at(2026, 1, 1));
        return ev;
    }
    // Weekly on Mondays at 09:00 from 2 February 2026, without an end.
    static clsCalEvent weekly() {
        clsCalEvent ev = oneOff(at(2026, 2, 2, 9, 0), false);
        ev.setDescription("Team meeting");
        ev.setIsRecurring(true);
        ev.addRRule().setFrequency(clsCalRRule::kWeekly);
        return ev;
    }

    void openSingle(clsCalEvent& ev, ui::ScriptedDialogRunner::Script script) {
        single_.setCalEvent(ev);
        single_.setCaller(opener);
        services_.dialogs.script(frmDeleteSingle::kFormName, std::move(script));
        services_.dialogs.showModal(single_);
    }
    void openMult(clsCalEvent& ev, DateTime chosen, bool allDay, ui::ScriptedDialogRunner::Script script) {
        mult_.setCalEvent(ev);
        mult_.setChosenDate(chosen);
        mult_.setAllDayOccur(allDay);
        mult_.setCaller(opener);
        services_.dialogs.script(frmDeleteMult::kFormName, std::move(script));
        services_.dialogs.showModal(mult_);
    }
    static void press(ui::CommandButton& b) { ASSERT_TRUE(b.press()); }
};

// ---- the one-off event ------------------------------------------------------------------------------------------

TEST_F(DeleteDialogs, SingleRecommendsByTheStartAndTheBoxSwitchesTheMode) {
    struct Case {
        const char* what;
        DateTime start;
        bool allDay;
        bool tick;
        std::string caption;  // the mode the box switches to
        int request;
    };
    const std::vector<Case> cases{
        {"future, as recommended", at(2026, 3, 20, 9, 30), false, false, "Hide", clsCalEvent::kRequestDeleteEvent},
        {"future, overridden", at(2026, 3, 20, 9, 30), false, true, "Hide", clsCalEvent::kRequestHideEvent},
        {"past, as recommended", at(2026, 3, 2, 9, 30), false, false, "Delete", clsCalEvent::kRequestHideEvent},
        {"past, overridden", at(2026, 3, 2, 9, 30), false, true, "Delete", clsCalEvent::kRequestDeleteEvent},
        {"later today", at(2026, 3, 11, 10, 0, 1), false, false, "Hide", clsCalEvent::kRequestDeleteEvent},
        {"this very second", at(2026, 3, 11, 10, 0), false, false, "Delete", clsCalEvent::kRequestHideEvent},
        {"all day today", at(2026, 3, 11), true, false, "Delete", clsCalEvent::kRequestHideEvent},
        {"all day tomorrow", at(2026, 3, 12), true, false, "Hide", clsCalEvent::kRequestDeleteEvent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clsCalEvent ev = oneOff(c.start, c.allDay);
        clock.set(at(2026, 3, 11, 10, 0));
        openSingle(ev, [&](ui::Form&) {
            EXPECT_EQ(single_.chkChange.caption(), c.caption);
            EXPECT_EQ(single_.imgRecommend.imageKey(), c.caption == "Hide" ? "imgDelete" : "imgHide");
            if (c.tick) single_.chkChange.click();
            clock.advanceSeconds(5);
            press(single_.cmdHide);
        });
        EXPECT_EQ(ev.UpdateRequest(), c.request);
        EXPECT_EQ(ev.LastModified(), at(2026, 3, 11, 10, 0, 5));
        EXPECT_FALSE(single_.cancelled());
        EXPECT_FALSE(opener.FlagCancel());
    }
}

TEST_F(DeleteDialogs, CancelAndTheCloseBoxLeaveTheEventUntouched) {
    clsCalEvent ev = oneOff(at(2026, 3, 20, 9, 30), false);
    const Marks before = marks(ev);
    openSingle(ev, [&](ui::Form&) {
        EXPECT_TRUE(opener.FlagCancel());
        single_.chkChange.click();
        press(single_.cmdCancel);
    });
    EXPECT_EQ(marks(ev), before);
    EXPECT_TRUE(single_.cancelled());
    EXPECT_EQ(opener.reports, (std::vector<bool>{true, true}));

    openSingle(ev, [](ui::Form&) {});  // closed by the close box
    EXPECT_EQ(marks(ev), before);
    EXPECT_TRUE(single_.cancelled());
    EXPECT_TRUE(opener.FlagCancel());

    clsCalEvent series = weekly();
    series.RRule(1)->setDurationCount(10);  // counted: its end is worked out for "all occurrences"
    series.setHiddenList("20260209T090000,");
    const Marks seriesBefore = marks(series);
    openMult(series, at(2026, 3, 16, 9, 0), false, [&](ui::Form&) {
        mult_.optDelete[1].click();
        mult_.chkChange.click();
        press(mult_.cmdCancel);
    });
    EXPECT_EQ(marks(series), seriesBefore);
    EXPECT_TRUE(mult_.cancelled());
    EXPECT_TRUE(opener.FlagCancel());
}

TEST_F(DeleteDialogs, StandaloneModeHidesTheOverrideAndKeepsTheRecommendation) {
    std::vector<int> topics;
    single_.onHelp = [&](int t) { topics.push_back(t); };
    mult_.onHelp = [&](int t) { topics.push_back(t); };
    ASSERT_TRUE(settings.setModeWendraWin(true));
    clsCalEvent past = oneOff(at(2026, 3, 2, 9, 30), false);
    openSingle(past, [&](ui::Form& f) {
        EXPECT_EQ(f.caption(), "Delete");
        EXPECT_FALSE(single_.frameWarning.visible());
        EXPECT_EQ(f.height(), single_.frameButtons.top() + single_.frameButtons.height() + 500);
        single_.showHelp();
        single_.chkChange.setChecked(true);  // out of the user's reach; it must not count
        press(single_.cmdHide);
    });
    EXPECT_EQ(past.UpdateRequest(), clsCalEvent::kRequestHideEvent);  // hidden, though captioned "Delete"

    clsCalEvent series = weekly();
    openMult(series, at(2026, 3, 16, 9, 0), false, [&](ui::Form& f) {
        EXPECT_EQ(f.caption(), "Delete");
        EXPECT_EQ(mult_.lblDelete.caption(), "Delete");
        EXPECT_FALSE(mult_.frameWarning.visible());
        mult_.showHelp();
        EXPECT_EQ(f.height(), mult_.frameButtons.top() + mult_.frameButtons.height() + 500);
    });

    // Out of standalone mode the same dialogs open whole again.
    ASSERT_TRUE(settings.setModeWendraWin(false));
    openSingle(past, [&](ui::Form& f) {
        EXPECT_EQ(f.caption(), "Hide / Delete");
        EXPECT_TRUE(single_.frameWarning.visible());
        EXPECT_GT(f.height(), single_.frameWarning.top() + single_.frameWarning.height());
        press(single_.cmdMoreInfo);
    });
    openMult(series, at(2026, 3, 16, 9, 0), false, [&](ui::Form&) {
        EXPECT_EQ(mult_.lblDelete.caption(), "Hide / Delete ?");
        press(mult_.cmdMoreInfo);
    });
    EXPECT_EQ(topics, (std::vector<int>{6, 7, 8, 9}));
}

// ---- the repeating event ----------------------------------------------------------------------------------------

TEST_F(DeleteDialogs, BothShowTheEventAndMultTheChosenOccurrenceAndTheRule) {
    clsCalEvent once = oneOff(at(2026, 3, 20), true);
    openSingle(once, [&](ui::Form& f) {
        EXPECT_EQ(f.caption(), "Hide / Delete");
        EXPECT_EQ(single_.lblDesc.caption(), "Dentist");
        EXPECT_EQ(single_.lblDate.caption(), formatLongDate(at(2026, 3, 20), false, false));
        EXPECT_EQ(single_.lblOccurs.caption(), "Once");
    });
    clsCalEvent ev = weekly();
    openMult(ev, at(2026, 3, 16, 9, 0), false, [&](ui::Form&) {
        EXPECT_EQ(mult_.lblChosenDate[0].caption(), "Chosen date:");
        EXPECT_EQ(mult_.lblChosenDate[1].caption(), formatLongDate(at(2026, 3, 16, 9, 0), true, false));
        EXPECT_EQ(mult_.lblOccurs.caption(), "Weekly");
        EXPECT_EQ(mult_.lblDate.caption(), formatLongDate(at(2026, 2, 2, 9, 0), true, false));
        EXPECT_EQ(mult_.optDelete[0].caption(), "Chosen date only");
        EXPECT_EQ(mult_.optDelete[1].caption(), "all occurrences");
        EXPECT_TRUE(mult_.chosenDateOnly());
    });
    clsCalEvent monthEnd = weekly();
    clsCalRRule& r = *monthEnd.RRule(1);
    r.setFrequency(clsCalRRule::kMonthly);
    r.setBySetPos("-1");
    r.setByMonthDay("28,29,30,31");
    r.setInterval(2);
    openMult(monthEnd, at(2026, 3, 31), true, [&](ui::Form&) {
        EXPECT_EQ(mult_.lblOccurs.caption(), "Every 2 month ends");
        EXPECT_EQ(mult_.lblChosenDate[1].caption(), formatLongDate(at(2026, 3, 31), false, false));
    });
}

TEST_F(DeleteDialogs, MultRecommendsByTheChosenDateOrTheEndOfTheSeries) {
    struct Case {
        const char* what;
        DateTime chosen;
        int option;
        int count;         // 0: no count
        DateTime until;    // null: none
        bool recommendsDelete;
    };
    const std::vector<Case> cases{
        {"chosen next week", at(2026, 3, 16, 9), 0, 0, {}, true},
        {"chosen last week", at(2026, 3, 9, 9), 0, 0, {}, false},
        {"all, no end: a year ahead", at(2026, 3, 9, 9), 1, 0, {}, true},
        {"all, ended last week", at(2026, 3, 2, 9), 1, 0, at(2026, 3, 2, 9), false},
        {"all, ends next month", at(2026, 3, 2, 9), 1, 0, at(2026, 4, 20, 9), true},
        {"all, four counted: ended", at(2026, 2, 9, 9), 1, 4, {}, false},
        {"all, twelve counted: ends in April", at(2026, 2, 9, 9), 1, 12, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clsCalEvent ev = weekly();
        ev.RRule(1)->setDurationCount(c.count);
        ev.RRule(1)->setDurationUntil(c.until, false);
        openMult(ev, c.chosen, false, [&](ui::Form&) {
            mult_.optDelete.select(c.option);
            EXPECT_EQ(mult_.recommendsDelete(), c.recommendsDelete);
            EXPECT_EQ(mult_.chkChange.caption(), c.recommendsDelete ? "Hide" : "Delete");
            EXPECT_EQ(mult_.deletes(), c.recommendsDelete);
        });
        EXPECT_EQ(ev.RRule(1)->DurationUntil(), c.until);  // a count's end is never written here
    }
}

TEST_F(DeleteDialogs, SwitchingTheChoiceClearsTheOverrideAndRecomputes) {
    clsCalEvent ev = weekly();
    openMult(ev, at(2026, 3, 9, 9), false, [&](ui::Form&) {
        EXPECT_EQ(mult_.chkChange.caption(), "Delete");  // last week's occurrence: hide it
        mult_.chkChange.click();
        EXPECT_TRUE(mult_.deletes());
        mult_.optDelete[1].click();  // the series has no end: delete
        EXPECT_FALSE(mult_.chkChange.checked());
        EXPECT_EQ(mult_.chkChange.caption(), "Hide");
        EXPECT_TRUE(mult_.deletes());
        mult_.chkChange.click();
        mult_.optDelete[1].click();  // the same choice again clears it too
        EXPECT_FALSE(mult_.chkChange.checked());
        mult_.optDelete[0].click();
        EXPECT_EQ(mult_.chkChange.caption(), "Delete");
        EXPECT_FALSE(mult_.deletes());
    });
}

TEST_F(DeleteDialogs, EachMultActionMarksTheEvent) {
    // The occurrence as the row holds it, to the second: another calendar's time.
    const DateTime chosen = at(2026, 3, 16, 9, 0, 15);
    struct Case {
        const char* what;
        int option;
        bool tick;  // from the recommended Delete to Hide
        int request;
        std::string exDates, hiddenList;
    };
    const std::vector<Case> cases{
        {"delete the occurrence", 0, false, clsCalEvent::kRequestDeleteOccurrence, "20260316T090015", ""},
        {"hide the occurrence", 0, true, clsCalEvent::kRequestHideOccurrence, "", "20260316T090015"},
        {"delete the series", 1, false, clsCalEvent::kRequestDeleteEvent, "", ""},
        {"hide the series", 1, true, clsCalEvent::kRequestHideEvent, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clsCalEvent ev = weekly();
        ev.setEventStart(at(2026, 2, 2, 9, 0, 15));
        clock.set(at(2026, 3, 11, 10, 0));
        openMult(ev, chosen, false, [&](ui::Form&) {
            mult_.optDelete[c.option].click();
            ASSERT_TRUE(mult_.recommendsDelete());
            if (c.tick) mult_.chkChange.click();
            clock.advanceSeconds(3);
            press(mult_.cmdHide);
        });
        EXPECT_EQ(ev.UpdateRequest(), c.request);
        EXPECT_EQ(ev.ExDates(), c.exDates);
        EXPECT_EQ(ev.HiddenList(), c.hiddenList);
        EXPECT_EQ(ev.LastModified(), at(2026, 3, 11, 10, 0, 3));
        EXPECT_FALSE(mult_.cancelled());
        EXPECT_FALSE(opener.FlagCancel());
    }
}

TEST_F(DeleteDialogs, AnAllDayOccurrenceAndAnExtraDateAreMarkedInTheirOwnForm) {
    clsCalEvent ev = weekly();
    ev.setAllDayEvent(true);
    ev.setEventStart(at(2026, 2, 2));
    openMult(ev, at(2026, 3, 2), true, [&](ui::Form&) {
        EXPECT_FALSE(mult_.recommendsDelete());
        press(mult_.cmdHide);
    });
    EXPECT_EQ(ev.UpdateRequest(), clsCalEvent::kRequestHideOccurrence);
    EXPECT_EQ(ev.HiddenList(), "20260302");

    // Deleting an extra date takes it out of the extra dates instead.
    clsCalEvent extra = weekly();
    extra.setRDates("20260318T090000,");
    openMult(extra, at(2026, 3, 18, 9, 0), false, [&](ui::Form&) { press(mult_.cmdHide); });
    EXPECT_EQ(extra.UpdateRequest(), clsCalEvent::kRequestDeleteOccurrence);
    EXPECT_EQ(extra.RDates(), "");
    EXPECT_EQ(extra.ExDates(), "");
}

TEST_F(DeleteDialogs, ARecommendationThatTurnsOnActivationDropsTheOverride) {
    // The chosen occurrence is half a minute away: Delete is recommended, and the
    // user ticks "Hide". When the dialog is activated again after the moment has
    // passed, Hide is recommended; the tick must not now mean Delete.
    clsCalEvent ev = weekly();
    const DateTime soon = at(2026, 3, 11, 10, 0, 30);
    ev.setRDates("20260311T100030,");
    openMult(ev, soon, false, [&](ui::Form& f) {
        ASSERT_TRUE(mult_.recommendsDelete());
        mult_.chkChange.click();
        ASSERT_FALSE(mult_.deletes());
        clock.advanceSeconds(60);
        f.activate();
        EXPECT_FALSE(mult_.recommendsDelete());
        EXPECT_EQ(mult_.chkChange.caption(), "Delete");
        EXPECT_FALSE(mult_.chkChange.checked());
        press(mult_.cmdHide);
    });
    EXPECT_EQ(ev.UpdateRequest(), clsCalEvent::kRequestHideOccurrence);
    EXPECT_EQ(ev.RDates(), "20260311T100030,");
    EXPECT_EQ(ev.HiddenList(), "20260311T100030");
}

TEST_F(DeleteDialogs, WithoutAnEventBothCloseAsCancelled) {
    frmDeleteSingle single(services_.services(), settings);
    frmDeleteMult mult(services_.services(), settings);
    single.setCaller(opener);
    services_.dialogs.showModal(single);
    EXPECT_FALSE(single.isLoaded());
    EXPECT_TRUE(single.cancelled());
    EXPECT_TRUE(opener.FlagCancel());
    services_.dialogs.showModal(mult);  // without a caller either: only its own result
    EXPECT_FALSE(mult.isLoaded());
    EXPECT_TRUE(mult.cancelled());
}

}  // namespace
}  // namespace wendra
