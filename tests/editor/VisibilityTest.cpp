// The visibility dialog: its prior-warning options, the view-from list of a
// repeating event, Save and Cancel as the opener sees them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/CancelFlag.h"
#include "editor/frmVisibility.h"
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

class Visibility : public ::testing::Test, protected test::DialogRig {
protected:
    ui::TestServices services_;
    frmVisibility dialog_{services_.services(), settings};

    static clsCalEvent oneOff() {
        clsCalEvent ev;
        ev.setDescription("Dentist");
        ev.setEventStart(at(2026, 3, 20, 9, 30));
        ev.setAllDayEvent(false);
        ev.setViewFromDate(at(2026, 3, 20, 9, 30));
        return ev;
    }
    // Weekly on Mondays at 09:00 from 2 February 2026; next from today is 16 March.
    static clsCalEvent weekly() {
        clsCalEvent ev;
        ev.setDescription("Team meeting");
        ev.setEventStart(at(2026, 2, 2, 9, 0));
        ev.setAllDayEvent(false);
        ev.setIsRecurring(true);
        ev.addRRule().setFrequency(clsCalRRule::kWeekly);
        ev.setViewFromDate(at(2026, 3, 9, 9, 0));
        return ev;
    }

    // Opens the dialog on the event as the main window does, runs the user's part.
    void open(clsCalEvent& ev, ui::ScriptedDialogRunner::Script script = {}) {
        dialog_.setCalEvent(ev);
        dialog_.setCaller(opener);
        if (script) services_.dialogs.script(frmVisibility::kFormName, std::move(script));
        services_.dialogs.showModal(dialog_);
    }
};

TEST_F(Visibility, OpensOnTheOptionOfTheEventsOwnWarning) {
    struct Case {
        bool isDefault;
        int days;
        int option;
        std::string caption;
    };
    for (const Case& c : {Case{false, 0, 1, "Same day only"}, Case{false, 3, 4, "3 days prior"},
                          Case{false, 9, 10, "9 days prior"}, Case{false, 12, 0, "Default (30 days)"},
                          Case{false, -1, 0, "Default (30 days)"}, Case{true, 5, 0, "Default (30 days)"}}) {
        SCOPED_TRACE(c.days);
        clsCalEvent ev = oneOff();
        ev.setPriorWarningIsDefault(c.isDefault);
        ev.setPriorWarning(c.days);
        open(ev, [&](ui::Form&) {
            EXPECT_EQ(dialog_.optPriorWarning.selected(), c.option);
            EXPECT_EQ(dialog_.optPriorWarning[c.option].caption(), c.caption);
        });
    }
}

TEST_F(Visibility, TheDefaultOptionNamesTheSettingsDefaultAndTheStatusPanelTheEvent) {
    std::vector<std::string> texts;
    dialog_.onStatusText = [&](const std::string& t) { texts.push_back(t); };
    for (const auto& [days, caption] : std::vector<std::pair<int, std::string>>{
             {0, "Default (Same day)"}, {1, "Default (1 day)"}, {14, "Default (14 days)"}}) {
        ASSERT_TRUE(settings.setPriorWarning(static_cast<std::int16_t>(days)));
        clsCalEvent ev = oneOff();
        open(ev);
        EXPECT_EQ(dialog_.optPriorWarning[0].caption(), caption);
    }
    EXPECT_EQ(texts.back(), "Editing visibility for: Dentist");
}

TEST_F(Visibility, SaveWritesTheChosenWarningAndReportsToTheOpener) {
    ASSERT_TRUE(settings.setPriorWarning(14));
    clsCalEvent ev = oneOff();
    clock.set(at(2026, 3, 11, 10, 5, 7));
    open(ev, [&](ui::Form&) {
        EXPECT_TRUE(opener.FlagCancel());  // until Save, the dialog counts as cancelled
        dialog_.optPriorWarning[4].click();
        dialog_.cmdSave.press();
    });
    EXPECT_FALSE(dialog_.cancelled());
    EXPECT_EQ(opener.reports, (std::vector<bool>{true, false}));
    EXPECT_FALSE(ev.PriorWarningIsDefault());
    EXPECT_EQ(ev.PriorWarning(), 3);
    EXPECT_EQ(ev.LastModified(), at(2026, 3, 11, 10, 5, 7));

    // Back to the default: the settings' value at the moment of saving.
    open(ev, [&](ui::Form&) {
        EXPECT_EQ(dialog_.optPriorWarning.selected(), 4);
        dialog_.optPriorWarning[0].click();
        dialog_.cmdSave.press();
    });
    EXPECT_TRUE(ev.PriorWarningIsDefault());
    EXPECT_EQ(ev.PriorWarning(), 14);
}

TEST_F(Visibility, AnUntouchedChoiceKeepsTheLoadedChoice) {
    // Changing only the view-from date keeps the choice the event came with: an own
    // 12 days (from the device, say) that no option stands for stays 12; an event
    // on the default keeps the default, with the number the default has now.
    struct Case {
        const char* what;
        bool isDefault;
        int stored;
        bool savedDefault;
        int saved;
    };
    const Case cases[] = {
        {"own warning beyond the options", false, 12, false, 12},
        {"the default, with a stale number", true, 12, true, 30},
        {"the default, number already right", true, 30, true, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clsCalEvent ev = weekly();
        ev.setPriorWarningIsDefault(c.isDefault);
        ev.setPriorWarning(c.stored);
        open(ev, [&](ui::Form&) {
            ASSERT_EQ(dialog_.optPriorWarning.selected(), 0);
            dialog_.cmbViewFromDate.setListIndex(0);
            dialog_.cmdSave.press();
        });
        EXPECT_EQ(ev.PriorWarningIsDefault(), c.savedDefault);
        EXPECT_EQ(ev.PriorWarning(), c.saved);
        EXPECT_EQ(ev.ViewFromDate(), at(2026, 2, 2, 9, 0));
    }

    // Choosing the default, even the option already shown, is the user's choice.
    clsCalEvent ev = weekly();
    ev.setPriorWarningIsDefault(false);
    ev.setPriorWarning(12);
    open(ev, [&](ui::Form&) {
        dialog_.optPriorWarning[0].click();
        dialog_.cmdSave.press();
    });
    EXPECT_TRUE(ev.PriorWarningIsDefault());
    EXPECT_EQ(ev.PriorWarning(), 30);
}

TEST_F(Visibility, AOneOffEventGetsTheShorterDialogAndKeepsItsDates) {
    clsCalEvent repeating = weekly();
    open(repeating);
    const int tall = dialog_.height();

    clsCalEvent ev = oneOff();
    ev.setHiddenList("20260101,");
    open(ev, [&](ui::Form& f) {
        EXPECT_FALSE(dialog_.frameViewFromDate.visible());
        EXPECT_EQ(dialog_.frameButtons.top(), dialog_.framePriorWarn.top() + dialog_.framePriorWarn.height() + 100);
        EXPECT_EQ(f.height(), dialog_.frameButtons.top() + dialog_.frameButtons.height() + 480);
        EXPECT_LT(f.height(), tall);
        EXPECT_EQ(f.top(), (services_.placement.screenHeight() - f.height()) / 2);  // centred at its final height
        dialog_.optPriorWarning[1].click();
        dialog_.cmdSave.press();
    });
    EXPECT_EQ(ev.PriorWarning(), 0);
    EXPECT_FALSE(ev.PriorWarningIsDefault());
    EXPECT_EQ(ev.ViewFromDate(), at(2026, 3, 20, 9, 30));
    EXPECT_EQ(ev.HiddenList(), "20260101,");
    EXPECT_EQ(ev.LastModified(), now());

    // The same dialog opened again on a repeating event has its frame back.
    open(repeating, [&](ui::Form& f) {
        EXPECT_TRUE(dialog_.frameViewFromDate.visible());
        EXPECT_EQ(f.height(), tall);
    });
}

TEST_F(Visibility, ListsEveryOccurrenceUpToTheNextFromTodayHiddenOnesIncluded) {
    clsCalEvent ev = weekly();
    ev.setHiddenList("20260202T090000,20260209T090000,20260302T090000,");
    open(ev, [&](ui::Form&) {
        const std::vector<DateTime> expected{at(2026, 2, 2, 9), at(2026, 2, 9, 9), at(2026, 2, 16, 9),
                                             at(2026, 2, 23, 9), at(2026, 3, 2, 9), at(2026, 3, 9, 9),
                                             at(2026, 3, 16, 9)};
        EXPECT_EQ(dialog_.viewFromOccurrences(), expected);
        ASSERT_EQ(dialog_.cmbViewFromDate.listCount(), 7);
        EXPECT_EQ(dialog_.cmbViewFromDate.listIndex(), 5);  // the view-from date's entry
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(parseICalDateTime(dialog_.cmbViewFromDate.list(i)), expected[static_cast<std::size_t>(i)]);
        EXPECT_EQ(dialog_.mousePointer(), ui::MousePointer::Default);
    });
    // Opening changed nothing: the walk ran on a copy.
    EXPECT_EQ(ev.HiddenList(), "20260202T090000,20260209T090000,20260302T090000,");
    EXPECT_EQ(ev.ViewFromDate(), at(2026, 3, 9, 9));
    EXPECT_TRUE(ev.OccurDate().isNull());

    clsCalEvent allDay = weekly();
    allDay.setAllDayEvent(true);
    allDay.setEventStart(at(2026, 2, 2));
    open(allDay, [&](ui::Form&) { EXPECT_EQ(dialog_.cmbViewFromDate.list(0), formatLongDate(at(2026, 2, 2), false, true)); });
}

TEST_F(Visibility, MovingTheViewFromDateBackUnhidesThatOccurrence) {
    clsCalEvent ev = weekly();
    ev.setHiddenList("20260202T090000,20260209T090000,");
    open(ev, [&](ui::Form&) {
        dialog_.cmbViewFromDate.setListIndex(0);
        dialog_.cmdSave.press();
    });
    EXPECT_EQ(ev.ViewFromDate(), at(2026, 2, 2, 9, 0));
    EXPECT_EQ(ev.HiddenList(), "20260209T090000");
    EXPECT_TRUE(ev.PriorWarningIsDefault());

    // A view-from date that is no occurrence selects no entry, and Save keeps it.
    ev.setViewFromDate(at(2026, 3, 10, 9, 0));
    open(ev, [&](ui::Form&) {
        EXPECT_EQ(dialog_.cmbViewFromDate.listIndex(), -1);
        dialog_.cmdSave.press();
    });
    EXPECT_EQ(ev.ViewFromDate(), at(2026, 3, 10, 9, 0));
    EXPECT_EQ(ev.HiddenList(), "20260209T090000");

    // A series that ended before today has nothing left to offer.
    ev.RRule(1)->setDurationUntil(at(2026, 2, 23, 9, 0), false);
    open(ev, [&](ui::Form&) {
        EXPECT_EQ(dialog_.cmbViewFromDate.listCount(), 0);
        dialog_.cmdSave.press();
    });
    EXPECT_EQ(ev.ViewFromDate(), at(2026, 3, 10, 9, 0));

    // An occurrence with seconds (from another calendar) is taken to the second.
    clsCalEvent timed = weekly();
    timed.setEventStart(at(2026, 2, 2, 9, 0, 15));
    timed.setHiddenList("20260302T090015,");
    open(timed, [&](ui::Form&) {
        EXPECT_EQ(parseICalDateTime(dialog_.cmbViewFromDate.list(4)), at(2026, 3, 2, 9, 0, 15));
        dialog_.cmbViewFromDate.setListIndex(4);
        dialog_.cmdSave.press();
    });
    EXPECT_EQ(timed.ViewFromDate(), at(2026, 3, 2, 9, 0, 15));
    EXPECT_EQ(timed.HiddenList(), "");
}

TEST_F(Visibility, CancelTheCloseBoxAndAMissingEventLeaveTheEventAsItWas) {
    clsCalEvent ev = weekly();
    ev.RRule(1)->setDurationCount(10);  // counted, its end not yet worked out
    ev.setPriorWarningIsDefault(false);
    ev.setPriorWarning(2);
    ev.setLastModified(at(2026, 1, 1));
    const auto untouched = [](const clsCalEvent& e) {
        EXPECT_EQ(e.PriorWarning(), 2);
        EXPECT_FALSE(e.PriorWarningIsDefault());
        EXPECT_EQ(e.ViewFromDate(), at(2026, 3, 9, 9, 0));
        EXPECT_EQ(e.LastModified(), at(2026, 1, 1));
        EXPECT_TRUE(e.RRule(1)->DurationUntil().isNull());
    };
    open(ev, [&](ui::Form&) {
        dialog_.optPriorWarning[7].click();
        dialog_.cmbViewFromDate.setListIndex(0);
        dialog_.cmdCancel.press();
    });
    EXPECT_TRUE(dialog_.cancelled());
    EXPECT_TRUE(opener.FlagCancel());
    untouched(ev);

    open(ev, [&](ui::Form&) { dialog_.optPriorWarning[7].click(); });  // left open: the close box
    EXPECT_FALSE(services_.dialogs.calls().back().closedByScript);
    EXPECT_EQ(opener.reports, (std::vector<bool>{true, true, true}));
    untouched(ev);

    frmVisibility fresh(services_.services(), settings);  // no event handed over
    fresh.setCaller(opener);
    services_.dialogs.showModal(fresh);
    EXPECT_FALSE(fresh.isLoaded());
    EXPECT_TRUE(fresh.cancelled());
}

}  // namespace
}  // namespace wendra
