// The event editor's validation and Save: every message with its tab and field,
// the rule each frequency writes and reopens as, the excluded dates, the
// prior warning and auto-delete, Cancel and the close box, and the gadget's
// own save and delete.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/frmConfirmStartDate.h"
#include "editor/frmQVREvent.h"
#include "platform/clock/FakeClock.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsSettings.h"
#include "tests/support/DialogRig.h"

using namespace wendra;

namespace {

using Opener = test::FlagRecorder;

class QVREventSaveTest : public ::testing::Test, protected test::DialogRig {
protected:
    QVREventSaveTest() : DialogRig(DateTime::ymd(2026, 12, 7, 10, 0)) { settings.setPriorWarning(30); }

    frmQVREvent& open(clsCalEvent& ev, QVREventOptions options = {}, bool withOpener = true) {
        if (withOpener && options.opener == nullptr) options.opener = &opener;
        editor = std::make_unique<frmQVREvent>(doubles.services(), settings, std::move(options));
        editor->CalEvent(ev);
        editor->show();
        return *editor;
    }

    static clsCalEvent allDay(DateTime start, std::string description = "Rent") {
        clsCalEvent ev;
        ev.setDescription(std::move(description));
        ev.setEventStart(start);
        ev.setViewFromDate(start);
        return ev;
    }

    static clsCalEvent repeating(int frequency, int interval, DateTime start) {
        clsCalEvent ev = allDay(start);
        ev.setIsRecurring(true);
        auto& r = ev.addRRule();
        r.setFrequency(frequency);
        r.setInterval(interval);
        return ev;
    }

    // Saves with the frequency option and start, then reopens the saved event.
    int saveAndReopen(clsCalEvent& ev, int option, DateTime start) {
        frmQVREvent& ed = open(ev);
        ed.ctrlEventDate.setValue(start);
        ed.optFrequency[option].click();
        ed.cmdSave.press();
        EXPECT_FALSE(ed.isLoaded());
        return open(ev).optFrequency.selected();
    }

    // The request of the one message shown.
    const ui::MessageRequest& onlyMessage() {
        EXPECT_EQ(doubles.messages.calls().size(), 1u);
        return doubles.messages.last();
    }

    ui::TestServices doubles;
    std::unique_ptr<frmQVREvent> editor;
};

// ---- validation ------------------------------------------------------------

TEST_F(QVREventSaveTest, EachInputErrorNamesItsFieldSelectsItsTabAndWritesNothing) {
    struct Case {
        std::string name;
        std::function<void(frmQVREvent&)> enter;
        std::string message;
        std::string tab;
        std::function<ui::Control&(frmQVREvent&)> field;
    };
    const auto weekly = [](frmQVREvent& ed) {
        ed.TabStrip1.select("tabOccurs");
        ed.optFrequency[4].click();
    };
    const auto counted = [weekly](frmQVREvent& ed, const std::string& count) {
        weekly(ed);
        ed.txtInterval.setText("1");
        ed.optOccurs[1].click();
        ed.txtOccursCount.setText(count);
    };
    const std::string intervalTail = "` must contain a numeric value greater than zero";
    const std::string countMessage = "`Occurs N times` must contain a numeric value greater than zero";
    std::vector<Case> cases = {
        {"blank description", [](frmQVREvent& ed) { ed.txtDesc.setText("   "); }, "Description cannot be empty",
         "tabDesc", [](frmQVREvent& ed) -> ui::Control& { return ed.txtDesc; }},
        {"interval 0",
         [&](frmQVREvent& ed) {
             weekly(ed);
             ed.txtInterval.setText("0");
         },
         "`Repeat every N weeks" + intervalTail, "tabOccurs",
         [](frmQVREvent& ed) -> ui::Control& { return ed.txtInterval; }},
        {"empty interval",
         [&](frmQVREvent& ed) {
             weekly(ed);
             ed.txtInterval.setText("");
         },
         "`Repeat every N week" + intervalTail, "tabOccurs",
         [](frmQVREvent& ed) -> ui::Control& { return ed.txtInterval; }},
        {"interval beyond the box",
         [&](frmQVREvent& ed) {
             weekly(ed);
             ed.txtInterval.setText("99999");
         },
         "`Repeat every N weeks` must contain a numeric value from 1 to 999", "tabOccurs",
         [](frmQVREvent& ed) -> ui::Control& { return ed.txtInterval; }},
        {"interval 1000",
         [&](frmQVREvent& ed) {
             weekly(ed);
             ed.txtInterval.setText("1000");
         },
         "`Repeat every N weeks` must contain a numeric value from 1 to 999", "tabOccurs",
         [](frmQVREvent& ed) -> ui::Control& { return ed.txtInterval; }},
        {"count 0", [&](frmQVREvent& ed) { counted(ed, "0"); }, countMessage, "tabOccurs",
         [](frmQVREvent& ed) -> ui::Control& { return ed.txtOccursCount; }},
        {"count 1000", [&](frmQVREvent& ed) { counted(ed, "1000"); }, countMessage, "tabOccurs",
         [](frmQVREvent& ed) -> ui::Control& { return ed.txtOccursCount; }},
        {"count 99999", [&](frmQVREvent& ed) { counted(ed, "99999"); }, countMessage, "tabOccurs",
         [](frmQVREvent& ed) -> ui::Control& { return ed.txtOccursCount; }},
        {"count 1", [&](frmQVREvent& ed) { counted(ed, "1"); },
         "For 'Occurs occurs 1 time, you should select frequency 'Once'", "tabOccurs",
         [](frmQVREvent& ed) -> ui::Control& { return ed.txtOccursCount; }},
        {"prior warning 10",
         [](frmQVREvent& ed) {
             ed.optPriorWarning[2].click();
             ed.txtPriorWarn.setText("10");
         },
         "`n days prior` must contain a numeric value from 0 to 9", "tabShow",
         [](frmQVREvent& ed) -> ui::Control& { return ed.txtPriorWarn; }},
        {"prior warning 99999",
         [](frmQVREvent& ed) {
             ed.optPriorWarning[2].click();
             ed.txtPriorWarn.setText("99999");
         },
         "`n days prior` must contain a numeric value from 0 to 9", "tabShow",
         [](frmQVREvent& ed) -> ui::Control& { return ed.txtPriorWarn; }},
    };
    for (const char* autoDelete : {"x", "0", "10", "", "-1", "9.6"}) {
        cases.push_back(
            {std::string("auto-delete ") + autoDelete,
             [autoDelete](frmQVREvent& ed) {
                 ed.chkAutoDelete.click();
                 ed.txtAutoDelete.setText(autoDelete);
             },
             "`Auto-delete after n days` must contain a numeric value from 1 to 9", "tabShow",
             [](frmQVREvent& ed) -> ui::Control& { return ed.txtAutoDelete; }});
    }

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        doubles.messages.reset();
        clsCalEvent ev = allDay(DateTime::ymd(2026, 12, 24), "Carols");
        frmQVREvent& ed = open(ev);
        c.enter(ed);
        if (c.tab != "tabDesc") ed.TabStrip1.select(0);  // validation must bring its own tab back
        c.field(ed).lostFocus();                          // and put the focus there itself
        ed.cmdSave.press();
        const auto& m = onlyMessage();
        EXPECT_EQ(m.text, c.message);
        EXPECT_EQ(m.title, "Input error");
        EXPECT_EQ(m.buttons, ui::MessageButtons::OK);
        EXPECT_EQ(ed.TabStrip1.selectedKey(), c.tab);
        EXPECT_TRUE(ed.tabFrame[static_cast<std::size_t>(ed.TabStrip1.selectedIndex())].visible());
        EXPECT_TRUE(c.field(ed).hasFocus());
        EXPECT_TRUE(ed.isLoaded());
        EXPECT_TRUE(opener.flag);
        EXPECT_EQ(ev.Description(), "Carols");
        EXPECT_FALSE(ev.IsRecurring());
        EXPECT_EQ(ev.AutoDelete(), "M");
        EXPECT_TRUE(ev.PriorWarningIsDefault());
    }
}

TEST_F(QVREventSaveTest, ChecksOfHiddenChoicesAreSkipped) {
    clsCalEvent ev = allDay(DateTime::ymd(2026, 12, 24));
    frmQVREvent& ed = open(ev);
    ed.optFrequency[4].click();
    ed.txtInterval.setText("0");
    ed.optFrequency[0].click();  // Once: the interval no longer matters
    ed.cmdSave.press();
    EXPECT_TRUE(doubles.messages.calls().empty());
    EXPECT_FALSE(ed.isLoaded());

    clsCalEvent ev2 = repeating(clsCalRRule::kWeekly, 1, DateTime::ymd(2026, 12, 7));
    frmQVREvent& ed2 = open(ev2);
    ed2.optOccurs[0].click();  // unlimited: no count to check
    ed2.cmdSave.press();
    EXPECT_TRUE(doubles.messages.calls().empty());
    EXPECT_EQ(ev2.RRule(1)->DurationCount(), 0);
}

// ---- saving ------------------------------------------------------------------

TEST_F(QVREventSaveTest, SaveWritesEveryFieldAndClosesWithTheFlagClear) {
    clsCalEvent ev;
    frmQVREvent& ed = open(ev);
    ed.txtDesc.setText("Dentist");
    ed.ctrlEventDate.pickDate(2027, 1, 12);
    ed.optAllDayEvent[1].click();
    ed.ctrlEventTime.pickTime(14, 45);
    ed.chkAutoDelete.click();
    ed.txtAutoDelete.setText("07");
    ed.optPriorWarning[2].click();
    ed.txtPriorWarn.setText("4");
    clock.advanceSeconds(90);
    ed.cmdSave.press();

    EXPECT_FALSE(ed.isLoaded());
    EXPECT_FALSE(opener.flag);
    EXPECT_EQ(ev.Description(), "Dentist");
    EXPECT_FALSE(ev.AllDayEvent());
    EXPECT_EQ(ev.EventStart(), DateTime::ymd(2027, 1, 12, 14, 45));
    EXPECT_EQ(ev.AutoDelete(), "7");
    EXPECT_FALSE(ev.PriorWarningIsDefault());
    EXPECT_EQ(ev.PriorWarning(), 4);
    EXPECT_EQ(ev.LastModified(), DateTime::ymd(2026, 12, 7, 10, 1, 30));
    // Once: the rule that CalEvent added is gone again.
    EXPECT_FALSE(ev.IsRecurring());
    EXPECT_EQ(ev.RRulesCount(), 0);
}

TEST_F(QVREventSaveTest, AnAllDayStartDropsTheTimeTheTimedStartHad) {
    clsCalEvent ev = allDay(DateTime::ymd(2027, 1, 12, 14, 45));
    ev.setAllDayEvent(false);
    frmQVREvent& ed = open(ev);
    ed.optAllDayEvent[0].click();
    ed.cmdSave.press();
    EXPECT_TRUE(ev.AllDayEvent());
    EXPECT_EQ(ev.EventStart(), DateTime::ymd(2027, 1, 12));
}

TEST_F(QVREventSaveTest, EachFrequencyWritesItsRuleAndReopensAsTheSameChoice) {
    {
        SCOPED_TRACE("weekly, counted");
        clsCalEvent ev = allDay(DateTime::ymd(2026, 12, 7));
        frmQVREvent& ed = open(ev);
        ed.optFrequency[4].click();
        ed.txtInterval.setText("2");
        ed.optOccurs[1].click();
        ed.txtOccursCount.setText("6");
        ed.cmdSave.press();
        ASSERT_EQ(ev.RRulesCount(), 1);
        const clsCalRRule& r = *ev.RRule(1);
        EXPECT_TRUE(ev.IsRecurring());
        EXPECT_EQ(r.Frequency(), clsCalRRule::kWeekly);
        EXPECT_EQ(r.Interval(), 2);
        EXPECT_EQ(r.DurationCount(), 6);
        EXPECT_TRUE(r.DurationUntil().isNull());
        EXPECT_EQ(r.ByDay(), "");
        EXPECT_EQ(r.BySetPos(), "");
    }
    struct Case {
        int option;
        DateTime start;
        int frequency;
        std::string byDay, byMonthDay, bySetPos;
        int reopensAs;
    };
    const std::vector<Case> cases = {
        {1, DateTime::ymd(2027, 3, 15), 0, "", "", "", 1},
        {5, DateTime::ymd(2027, 3, 15), 3, "", "", "", 5},
        {2, DateTime::ymd(2027, 1, 28), 1, "", "", "", 2},
        {2, DateTime::ymd(2027, 1, 29), 1, "", "28,29", "-1", 2},
        {2, DateTime::ymd(2027, 1, 30), 1, "", "28,29,30", "-1", 2},
        // The 31st is every month's last day: it reopens as Month End.
        {2, DateTime::ymd(2027, 1, 31), 1, "", "28,29,30,31", "-1", 3},
        {3, DateTime::ymd(2027, 3, 31), 1, "MO,TU,WE,TH,FR,SA,SU", "", "-1", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(formatLongDate(c.start, false, false) + " option " + std::to_string(c.option));
        clsCalEvent ev = allDay(c.start);
        const int reopened = saveAndReopen(ev, c.option, c.start);
        const clsCalRRule& r = *ev.RRule(1);
        EXPECT_EQ(r.Frequency(), c.frequency);
        EXPECT_EQ(r.ByDay(), c.byDay);
        EXPECT_EQ(r.ByMonthDay(), c.byMonthDay);
        EXPECT_EQ(r.BySetPos(), c.bySetPos);
        EXPECT_TRUE(ev.isEditableQVR());
        EXPECT_EQ(reopened, c.reopensAs);
        EXPECT_TRUE(doubles.dialogs.calls().empty());  // every start here suits its choice
    }
}

TEST_F(QVREventSaveTest, AChangedFrequencyOrDayWritesACleanRule) {
    // Month End changed to Weekly: no last-weekday-of-the-month left behind.
    clsCalEvent ev = allDay(DateTime::ymd(2027, 3, 31));
    saveAndReopen(ev, 3, DateTime::ymd(2027, 3, 31));
    ASSERT_EQ(ev.RRule(1)->BySetPos(), "-1");
    saveAndReopen(ev, 4, DateTime::ymd(2027, 3, 31));
    EXPECT_EQ(ev.RRule(1)->Frequency(), clsCalRRule::kWeekly);
    EXPECT_EQ(ev.RRule(1)->ByDay(), "");
    EXPECT_EQ(ev.RRule(1)->BySetPos(), "");
    EXPECT_EQ(ev.RRule(1)->ByMonthDay(), "");

    // Monthly from the 31st moved to the 15th: a plain monthly rule.
    clsCalEvent ev2 = allDay(DateTime::ymd(2027, 1, 31));
    saveAndReopen(ev2, 2, DateTime::ymd(2027, 1, 31));
    ASSERT_EQ(ev2.RRule(1)->ByMonthDay(), "28,29,30,31");
    const int reopened = saveAndReopen(ev2, 2, DateTime::ymd(2027, 1, 15));
    EXPECT_EQ(ev2.RRule(1)->ByMonthDay(), "");
    EXPECT_EQ(ev2.RRule(1)->BySetPos(), "");
    EXPECT_EQ(reopened, 2);
    // The walk agrees: the 15th of each month, not the month's end.
    ev2.generateOccurs(ev2.EventStart(), DateTime::ymd(2027, 3, 31));
    std::vector<DateTime> days;
    for (ev2.firstOccur(); !ev2.endOfOccurs(); ev2.nextOccur()) days.push_back(ev2.OccurDate());
    EXPECT_EQ(days, (std::vector<DateTime>{DateTime::ymd(2027, 1, 15), DateTime::ymd(2027, 2, 15),
                                           DateTime::ymd(2027, 3, 15)}));
}

TEST_F(QVREventSaveTest, UnlimitedTimesLeavesNoCountAndNoEndDate) {
    clsCalEvent ev = repeating(clsCalRRule::kDaily, 1, DateTime::ymd(2026, 12, 1));
    ev.RRule(1)->setDurationCount(4);
    ev.RRule(1)->setDurationUntil(DateTime::ymd(2026, 12, 4), true);
    frmQVREvent& ed = open(ev);
    ASSERT_EQ(ed.txtOccursCount.text(), "4");
    ed.optOccurs[0].click();
    ed.cmdSave.press();
    EXPECT_EQ(ev.RRule(1)->DurationCount(), 0);
    EXPECT_TRUE(ev.RRule(1)->DurationUntil().isNull());
}

TEST_F(QVREventSaveTest, ExcludedDatesStayUnlessTheRepetitionChanged) {
    struct Case {
        std::string name;
        int frequency;  // the event's rule
        std::function<void(frmQVREvent&)> change;
        bool kept;
    };
    const std::vector<Case> cases = {
        {"count only", clsCalRRule::kWeekly,
         [](frmQVREvent& ed) {
             ed.optOccurs[1].click();
             ed.txtOccursCount.setText("9");
         },
         true},
        {"start, time and description", clsCalRRule::kWeekly,
         [](frmQVREvent& ed) {
             ed.txtDesc.setText("Moved");
             ed.ctrlEventDate.pickDate(2026, 12, 8);
             ed.optAllDayEvent[1].click();
         },
         true},
        {"weekly to daily", clsCalRRule::kWeekly, [](frmQVREvent& ed) { ed.optFrequency[5].click(); }, false},
        {"interval 1 to 2", clsCalRRule::kWeekly, [](frmQVREvent& ed) { ed.txtInterval.setText("2"); }, false},
        {"monthly to month end", clsCalRRule::kMonthly,
         [](frmQVREvent& ed) {
             ed.ctrlEventDate.pickDate(2026, 12, 31);
             ed.optFrequency[3].click();
         },
         true},
        {"to once", clsCalRRule::kWeekly, [](frmQVREvent& ed) { ed.optFrequency[0].click(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clsCalEvent ev = repeating(c.frequency, 1, DateTime::ymd(2026, 12, 7));
        ev.setExDates("20261214,");
        frmQVREvent& ed = open(ev);
        c.change(ed);
        ed.cmdSave.press();
        ASSERT_FALSE(ed.isLoaded());
        EXPECT_EQ(ev.ExDates(), c.kept ? "20261214," : "");
    }
    // A one-off keeps its excluded dates.
    clsCalEvent once = allDay(DateTime::ymd(2026, 12, 7));
    once.setExDates("20261101,");
    open(once).cmdSave.press();
    EXPECT_EQ(once.ExDates(), "20261101,");
}

TEST_F(QVREventSaveTest, ARepeatingEventMadeOnceKeepsItsStartVisible) {
    clsCalEvent ev = repeating(clsCalRRule::kWeekly, 1, DateTime::ymd(2026, 11, 2));
    ev.setHiddenList("20261102,20261109,");
    frmQVREvent& ed = open(ev);
    ed.optFrequency[0].click();
    ed.cmdSave.press();
    EXPECT_FALSE(ev.IsRecurring());
    EXPECT_EQ(ev.RRulesCount(), 0);
    EXPECT_EQ(ev.ExAndHiddenDatesArray(false, true), std::vector<std::string>{"20261109"});
    // So the store finds something to show and keeps the event.
    EXPECT_EQ(ev.calcNextViewDate(), DateTime::ymd(2026, 11, 2));
}

TEST_F(QVREventSaveTest, PriorWarningAndAutoDeleteAreSavedAsChosen) {
    clsCalEvent ev = allDay(DateTime::ymd(2026, 12, 24));
    frmQVREvent& ed = open(ev);
    ed.optPriorWarning[1].click();
    ed.chkAutoDelete.click();
    ed.txtAutoDelete.setText("3");
    ed.cmdSave.press();
    EXPECT_FALSE(ev.PriorWarningIsDefault());
    EXPECT_EQ(ev.PriorWarning(), 0);
    EXPECT_EQ(ev.AutoDelete(), "3");

    frmQVREvent& ed2 = open(ev);
    EXPECT_TRUE(ed2.chkAutoDelete.checked());
    EXPECT_EQ(ed2.txtAutoDelete.text(), "3");
    ed2.chkAutoDelete.click();
    ed2.optPriorWarning[0].click();
    settings.setPriorWarning(14);  // the default as it stands when saving
    ed2.cmdSave.press();
    EXPECT_EQ(ev.AutoDelete(), "M");
    EXPECT_TRUE(ev.PriorWarningIsDefault());
    EXPECT_EQ(ev.PriorWarning(), 14);
}

TEST_F(QVREventSaveTest, AStoredAutoDeleteTheListActsOnIsSavedAsItCame) {
    // Codes the list deletes by (a count of days from 0, as the device or an older
    // copy wrote them) survive a save that leaves the box alone; a code the list
    // ignores is the user's to mend, and typing is held to 1 to 9.
    struct Case {
        const char* stored;
        const char* shown;
        const char* typed;  // nullptr: the box is left as loaded
        const char* saved;  // nullptr: refused with the box's message
    };
    const Case cases[] = {
        {"0", "0", nullptr, "0"},         {"00", "00", nullptr, "00"}, {"12", "12", nullptr, "12"},
        {"5", "5", nullptr, "5"},         {"0", "0", "4", "4"},        {"0", "0", "0", "0"},
        {"3", "3", "0", nullptr},         {"-2", "-2", nullptr, nullptr},
        {"x", "1", nullptr, "1"},  // a tick over no number shows 1, as a click on it does
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " typed " + (c.typed ? c.typed : "-"));
        doubles.messages.reset();
        clsCalEvent ev = allDay(DateTime::ymd(2026, 12, 24), "Carols");
        ev.setAutoDelete(c.stored);
        frmQVREvent& ed = open(ev);
        EXPECT_TRUE(ed.chkAutoDelete.checked());
        EXPECT_EQ(ed.txtAutoDelete.text(), c.shown);
        ed.txtDesc.setText("Carol singing");
        if (c.typed != nullptr) ed.txtAutoDelete.setText(c.typed);
        ed.cmdSave.press();
        if (c.saved == nullptr) {
            EXPECT_EQ(onlyMessage().text, "`Auto-delete after n days` must contain a numeric value from 1 to 9");
            EXPECT_TRUE(ed.isLoaded());
            EXPECT_EQ(ev.AutoDelete(), c.stored);
            EXPECT_EQ(ev.Description(), "Carols");
        } else {
            EXPECT_TRUE(doubles.messages.calls().empty());
            EXPECT_FALSE(ed.isLoaded());
            EXPECT_EQ(ev.AutoDelete(), c.saved);
            EXPECT_EQ(ev.Description(), "Carol singing");
        }
    }
}

TEST_F(QVREventSaveTest, APriorWarningTheOptionsCannotShowSurvivesAnUnrelatedSave) {
    for (const int stored : {12, -1, 400}) {
        SCOPED_TRACE(stored);
        clsCalEvent ev = allDay(DateTime::ymd(2026, 12, 24));
        ev.setPriorWarningIsDefault(false);
        ev.setPriorWarning(stored);
        frmQVREvent& ed = open(ev);
        ed.txtDesc.setText("Renamed");
        ed.cmdSave.press();
        EXPECT_EQ(ev.Description(), "Renamed");
        EXPECT_FALSE(ev.PriorWarningIsDefault());
        EXPECT_EQ(ev.PriorWarning(), stored);

        // A choice the user makes, even of the option already shown, is what counts.
        frmQVREvent& ed2 = open(ev);
        ed2.optPriorWarning[0].click();
        ed2.cmdSave.press();
        EXPECT_TRUE(ev.PriorWarningIsDefault());
        EXPECT_EQ(ev.PriorWarning(), 30);
    }
}

TEST_F(QVREventSaveTest, CancelAndTheCloseBoxLeaveTheEventAsItWas) {
    clsCalEvent ev = repeating(clsCalRRule::kDaily, 1, DateTime::ymd(2026, 11, 30));
    ev.RRule(1)->setDurationUntil(DateTime::ymd(2026, 12, 20), true);
    ev.setHiddenList("20261130,");
    const DateTime viewFrom = DateTime::ymd(2026, 12, 2);
    ev.setViewFromDate(viewFrom);
    const clsCalRRule ruleBefore = *ev.RRule(1);

    frmQVREvent& ed = open(ev);
    ed.txtDesc.setText("Changed");
    ed.optFrequency[4].click();
    ed.TabStrip1.select("tabShow");
    ed.cmbViewFromDate.setListIndex(0);
    opener.flag = false;
    ed.cmdCancel.press();
    EXPECT_FALSE(ed.isLoaded());
    EXPECT_TRUE(opener.flag);
    EXPECT_EQ(ev.Description(), "Rent");
    EXPECT_EQ(*ev.RRule(1), ruleBefore);  // not even the count the load worked out
    EXPECT_EQ(ev.ViewFromDate(), viewFrom);
    EXPECT_EQ(ev.HiddenList(), "20261130,");

    frmQVREvent& ed2 = open(ev);
    ed2.txtDesc.setText("Changed");
    EXPECT_TRUE(ed2.requestClose());
    EXPECT_FALSE(ed2.isLoaded());
    EXPECT_TRUE(opener.flag);
    EXPECT_EQ(ev.Description(), "Rent");
}

TEST_F(QVREventSaveTest, ARuleTheDialogCannotShowIsKeptBySave) {
    clsCalEvent ev = repeating(clsCalRRule::kWeekly, 1, DateTime::ymd(2026, 12, 7));
    ev.RRule(1)->setByDay("MO,WE");
    ev.setExDates("20261209,");
    frmQVREvent& ed = open(ev);
    ed.txtDesc.setText("Still weekly");
    ed.cmdSave.press();
    EXPECT_FALSE(ed.isLoaded());
    EXPECT_EQ(ev.Description(), "Still weekly");
    EXPECT_TRUE(ev.IsRecurring());
    EXPECT_EQ(ev.RRule(1)->ByDay(), "MO,WE");
    EXPECT_EQ(ev.ExDates(), "20261209,");
}

// ---- the month-end question ----------------------------------------------------

TEST_F(QVREventSaveTest, MonthEndFromMidMonthAsksAndSavesTheChosenDay) {
    for (const bool takeMonthEnd : {true, false}) {
        SCOPED_TRACE(takeMonthEnd);
        clsCalEvent ev = allDay(DateTime::ymd(2027, 3, 15, 8, 20));
        ev.setAllDayEvent(false);
        frmQVREvent& ed = open(ev);
        ed.optFrequency[3].click();
        doubles.dialogs.script(frmConfirmStartDate::kFormName, [takeMonthEnd](ui::Form& f) {
            auto& confirm = static_cast<frmConfirmStartDate&>(f);
            if (takeMonthEnd) {
                confirm.cmdSave.press();
            } else {
                confirm.cmdCancel.press();
            }
        });
        ed.cmdSave.press();
        EXPECT_FALSE(ed.isLoaded());  // the question never blocks the save
        EXPECT_EQ(doubles.dialogs.calls().back().form, frmConfirmStartDate::kFormName);
        EXPECT_EQ(doubles.dialogs.calls().back().owner, frmQVREvent::kFormName);
        EXPECT_EQ(ev.EventStart(), takeMonthEnd ? DateTime::ymd(2027, 3, 31, 8, 20) : DateTime::ymd(2027, 3, 15, 8, 20));
    }
}

TEST_F(QVREventSaveTest, AStartOnAMonthsLastDayIsNotQuestioned) {
    for (const DateTime start : {DateTime::ymd(2026, 12, 31), DateTime::ymd(2027, 2, 28), DateTime::ymd(2028, 2, 29)}) {
        clsCalEvent ev = allDay(start);
        frmQVREvent& ed = open(ev);
        ed.optFrequency[3].click();
        ed.cmdSave.press();
        EXPECT_FALSE(ed.isLoaded());
        EXPECT_EQ(ev.EventStart(), start);
    }
    EXPECT_TRUE(doubles.dialogs.calls().empty());
}

// ---- the gadget library's editor --------------------------------------------------

TEST_F(QVREventSaveTest, TheGadgetsEditorSavesItselfAndReportsAFailure) {
    std::vector<std::string> saved;
    bool succeed = true;
    QVREventOptions gadget;
    gadget.save = [&](clsCalEvent& ev) {
        saved.push_back(ev.Description());
        return succeed;
    };
    clsCalEvent ev = allDay(DateTime::ymd(2026, 12, 24));
    opener.sets = 0;
    frmQVREvent& ed = open(ev, gadget, false);
    EXPECT_FALSE(ed.txtDesc.font().has_value());  // the design font, not a list's
    ed.txtDesc.setText("From the gadget");
    ed.cmdSave.press();
    EXPECT_EQ(saved, std::vector<std::string>{"From the gadget"});
    EXPECT_TRUE(doubles.messages.calls().empty());
    EXPECT_FALSE(ed.isLoaded());
    EXPECT_EQ(opener.sets, 0);  // no opener's flag to touch

    succeed = false;
    frmQVREvent& ed2 = open(ev, gadget, false);
    ed2.cmdSave.press();
    ASSERT_EQ(doubles.messages.calls().size(), 1u);
    EXPECT_EQ(doubles.messages.last().text, "Failed to save the event");
    EXPECT_EQ(doubles.messages.last().icon, ui::MessageIcon::Critical);
    EXPECT_FALSE(ed2.isLoaded());  // closed all the same

    frmQVREvent& ed3 = open(ev, gadget, false);
    ed3.txtDesc.setText("never");
    ed3.cmdCancel.press();
    EXPECT_FALSE(ed3.isLoaded());
    EXPECT_EQ(saved.size(), 2u);
}

TEST_F(QVREventSaveTest, TheGadgetsDeleteButtonAsksItsDialogAndSavesOnlyWhenConfirmed) {
    int saves = 0;
    bool confirm = false;
    bool succeed = true;
    QVREventOptions gadget;
    gadget.save = [&](clsCalEvent&) {
        ++saves;
        return succeed;
    };
    DateTime chosenSeen;
    gadget.showDeleteDialog = [&](frmQVREvent& editorShown, clsCalEvent& ev) {
        chosenSeen = editorShown.chosenOccurDate();
        editorShown.setFlagCancel(true);  // the dialog's load
        if (confirm) {
            ev.MarkDelete(false, editorShown.chosenOccurDate(), editorShown.allDayOccur());
            editorShown.setFlagCancel(false);
        }
    };

    clsCalEvent fresh = allDay(DateTime::ymd(2026, 12, 24));
    EXPECT_FALSE(open(fresh, gadget, false).cmdDelete.visible());  // not stored yet

    clsCalEvent ev = repeating(clsCalRRule::kWeekly, 1, DateTime::ymd(2026, 12, 7));
    ev.setWendraWinId("17");
    frmQVREvent& ed = open(ev, gadget, false);
    ASSERT_TRUE(ed.cmdDelete.visible());
    ed.setChosenOccurDate("20261214");
    ed.setAllDayOccur("Y");
    ed.cmdDelete.press();
    EXPECT_EQ(chosenSeen, DateTime::ymd(2026, 12, 14));
    EXPECT_TRUE(ed.isLoaded());  // cancelled: the editor stays open
    EXPECT_EQ(saves, 0);

    confirm = true;
    ed.cmdDelete.press();
    EXPECT_FALSE(ed.isLoaded());
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(ev.UpdateRequest(), clsCalEvent::kRequestDeleteOccurrence);
    EXPECT_TRUE(doubles.messages.calls().empty());

    succeed = false;
    frmQVREvent& ed2 = open(ev, gadget, false);
    ed2.cmdDelete.press();
    ASSERT_EQ(doubles.messages.calls().size(), 1u);
    EXPECT_EQ(doubles.messages.last().text, "Failed to delete event");
    EXPECT_EQ(doubles.messages.last().icon, ui::MessageIcon::Critical);
    EXPECT_FALSE(ed2.isLoaded());
}

}  // namespace
