// The event editor without a display: loading, the controls' reactions, the
// summary, the layout by the list's font and the view-from list.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "editor/frmQVREvent.h"
#include "platform/clock/FakeClock.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/Layout.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsSettings.h"
#include "tests/support/DialogRig.h"

using namespace wendra;
using ui::DateFormat;

namespace {

using Opener = test::FlagRecorder;

class QVREventTest : public ::testing::Test, protected test::DialogRig {
protected:
    QVREventTest() : DialogRig(DateTime::ymd(2026, 12, 7, 10, 0)) { settings.setPriorWarning(30); }

    frmQVREvent& open(clsCalEvent& ev, QVREventOptions options = {}) {
        if (options.opener == nullptr) options.opener = &opener;
        editor = std::make_unique<frmQVREvent>(doubles.services(), settings, std::move(options));
        editor->CalEvent(ev);
        editor->show();
        return *editor;
    }

    static QVREventOptions listFont(const ui::Font& font) {
        QVREventOptions options;
        options.listFont = font;
        return options;
    }

    static clsCalEvent timedWeekly(int interval, int count) {
        clsCalEvent ev;
        ev.setDescription("Team meeting");
        ev.setAllDayEvent(false);
        ev.setEventStart(DateTime::ymd(2026, 11, 2, 9, 30));
        ev.setViewFromDate(ev.EventStart());
        ev.setIsRecurring(true);
        auto& r = ev.addRRule();
        r.setFrequency(clsCalRRule::kWeekly);
        r.setInterval(interval);
        r.setDurationCount(count);
        return ev;
    }

    // Monday 7 December 2026, ten in the morning.
    ui::TestServices doubles;
    std::unique_ptr<frmQVREvent> editor;
};

TEST_F(QVREventTest, ANewEventGetsARuleAndOpensOnTheFirstPageAsOnce) {
    clsCalEvent ev;
    ASSERT_EQ(ev.RRulesCount(), 0);
    frmQVREvent& ed = open(ev);
    EXPECT_EQ(ev.RRulesCount(), 1);
    EXPECT_TRUE(opener.flag);  // the close box counts as Cancel
    EXPECT_EQ(ed.caption(), "Event Details");
    EXPECT_EQ(ed.TabStrip1.selectedKey(), "tabDesc");
    EXPECT_TRUE(ed.tabFrame[0].visible());
    EXPECT_FALSE(ed.tabFrame[1].visible());
    EXPECT_FALSE(ed.tabFrame[2].visible());
    EXPECT_EQ(ed.tabFrame[0].left(), ed.TabStrip1.left() + 150);
    EXPECT_EQ(ed.tabFrame[0].top(), ed.TabStrip1.top() + 350);
    EXPECT_EQ(ed.optFrequency.selected(), 0);
    EXPECT_FALSE(ed.frameInterval.visible());
    EXPECT_FALSE(ed.frameDuration.visible());
    EXPECT_TRUE(ed.optAllDayEvent.isSelected(0));
    EXPECT_FALSE(ed.ctrlEventTime.enabled());
    EXPECT_TRUE(ed.optPriorWarning.isSelected(0));
    EXPECT_FALSE(ed.chkAutoDelete.checked());
    EXPECT_FALSE(ed.txtAutoDelete.enabled());
    EXPECT_FALSE(ed.cmdDelete.visible());

    // Sized from its parts and centred on the screen.
    EXPECT_EQ(ed.width(), ed.TabStrip1.width() + 100);
    EXPECT_EQ(ed.height(), ed.TabStrip1.height() + 450 + ed.frameSummary.height() + ed.frameButtons.height());
    EXPECT_EQ(ed.left(), (doubles.placement.screenWidth() - ed.width()) / 2);
    EXPECT_EQ(ed.tabFrame[1].height(),
              ed.frameFrequency.height() + ed.frameInterval.height() + ed.frameDuration.height() + 20);
}

TEST_F(QVREventTest, ATimedCountedWeeklyEventLoadsEveryField) {
    clsCalEvent ev = timedWeekly(2, 5);
    frmQVREvent& ed = open(ev);
    EXPECT_EQ(ed.txtDesc.text(), "Team meeting");
    EXPECT_EQ(ed.ctrlEventDate.value().date(), DateTime::ymd(2026, 11, 2));
    EXPECT_TRUE(ed.optAllDayEvent.isSelected(1));
    EXPECT_TRUE(ed.ctrlEventTime.enabled());
    EXPECT_EQ(ed.ctrlEventTime.value().hour(), 9);
    EXPECT_EQ(ed.ctrlEventTime.value().minute(), 30);
    EXPECT_EQ(ed.optFrequency.selected(), 4);
    EXPECT_TRUE(ed.frameInterval.visible());
    EXPECT_TRUE(ed.frameDuration.visible());
    EXPECT_EQ(ed.txtInterval.text(), "2");
    EXPECT_EQ(ed.lblInterval.caption(), "weeks");
    EXPECT_TRUE(ed.optOccurs.isSelected(1));
    EXPECT_EQ(ed.txtOccursCount.text(), "5");
    EXPECT_TRUE(ed.txtOccursCount.enabled());
    EXPECT_EQ(ed.txtOccursCount.backColour(), ui::kFieldEnabledColour);
    EXPECT_EQ(ed.lblOccurs.caption(), " Every 2 weeks for 5 occurrences");
    EXPECT_EQ(ed.lblEventTime.caption(), " 09:30");
}

TEST_F(QVREventTest, ARuleBoundedByADateShowsItsCountAndTheEventStaysAsItWas) {
    clsCalEvent ev;
    ev.setDescription("Daily stand-up");
    ev.setEventStart(DateTime::ymd(2026, 12, 1));
    ev.setIsRecurring(true);
    auto& r = ev.addRRule();
    r.setFrequency(clsCalRRule::kDaily);
    r.setDurationUntil(DateTime::ymd(2026, 12, 10), true);
    ev.setExDates("20261203,");
    frmQVREvent& ed = open(ev);
    // Every day counts, the excluded one too.
    EXPECT_TRUE(ed.optOccurs.isSelected(1));
    EXPECT_EQ(ed.txtOccursCount.text(), "10");
    EXPECT_EQ(ed.optFrequency.selected(), 5);
    // The count was worked out on a copy.
    EXPECT_EQ(ev.RRule(1)->DurationCount(), 0);
    EXPECT_EQ(ev.RRule(1)->DurationUntil(), DateTime::ymd(2026, 12, 10));
    EXPECT_EQ(ev.ExDates(), "20261203,");
}

TEST_F(QVREventTest, AnEventTheDialogCannotShowGetsTheNoEditFrame) {
    clsCalEvent ev;
    ev.setDescription("Imported");
    ev.setIsRecurring(true);
    auto& r = ev.addRRule();
    r.setFrequency(clsCalRRule::kWeekly);
    r.setByDay("MO,WE");
    frmQVREvent& ed = open(ev);
    EXPECT_EQ(ed.optFrequency.selected(), -1);
    ed.TabStrip1.select("tabOccurs");
    EXPECT_TRUE(ed.tabFrame[1].visible());
    EXPECT_TRUE(ed.frameNoEdit.visible());
    EXPECT_EQ(ed.frameNoEdit.top(), ed.frameFrequency.top());
    EXPECT_FALSE(ed.frameFrequency.visible());
    EXPECT_FALSE(ed.frameInterval.visible());
    EXPECT_FALSE(ed.frameDuration.visible());
    EXPECT_EQ(ed.lblOccurs.caption(), " Weekly");
}

TEST_F(QVREventTest, PriorWarningLoadsItsOptionAndTheDefaultsCaption) {
    struct Case {
        int settingsDefault;
        bool isDefault;
        int priorWarning;
        int option;
        std::string box;
        std::string caption;
    };
    const std::vector<Case> cases = {
        {30, true, 0, 0, "", "Default (30 days)"}, {1, true, 0, 0, "", "Default (1 day)"},
        {0, true, 5, 0, "", "Default (Same day)"}, {30, false, 3, 2, "3", "Default (30 days)"},
        {30, false, 0, 1, "", "Default (30 days)"}, {30, false, 12, 0, "", "Default (30 days)"},
        {30, false, -1, 0, "", "Default (30 days)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.priorWarning);
        settings.setPriorWarning(static_cast<std::int16_t>(c.settingsDefault));
        clsCalEvent ev;
        ev.setPriorWarningIsDefault(c.isDefault);
        ev.setPriorWarning(c.priorWarning);
        frmQVREvent& ed = open(ev);
        EXPECT_EQ(ed.optPriorWarning.selected(), c.option);
        EXPECT_EQ(ed.txtPriorWarn.text(), c.box);
        EXPECT_EQ(ed.txtPriorWarn.enabled(), c.option == 2);
        EXPECT_EQ(ed.optPriorWarning[0].caption(), c.caption);
    }
}

TEST_F(QVREventTest, TheUnitWordFollowsTheFrequencyAndTheInterval) {
    clsCalEvent ev;
    frmQVREvent& ed = open(ev);
    ed.optFrequency[1].click();
    ed.txtInterval.setText("1");
    EXPECT_EQ(ed.lblInterval.caption(), "year");
    ed.txtInterval.setText("2");
    EXPECT_EQ(ed.lblInterval.caption(), "years");
    ed.txtInterval.setText("");
    EXPECT_EQ(ed.lblInterval.caption(), "year");
    ed.txtInterval.setText("0");
    EXPECT_EQ(ed.lblInterval.caption(), "years");
    ed.optFrequency[3].click();
    EXPECT_EQ(ed.lblInterval.caption(), "month ends");

    ed.optFrequency[0].click();  // Once hides both frames and leaves the word
    EXPECT_FALSE(ed.frameInterval.visible());
    EXPECT_FALSE(ed.frameDuration.visible());
    EXPECT_EQ(ed.lblInterval.caption(), "month ends");
    EXPECT_EQ(ed.lblOccurs.caption(), " Once");
    ed.txtInterval.setText("1");
    ed.optFrequency[4].click();
    EXPECT_TRUE(ed.frameInterval.visible());
    EXPECT_TRUE(ed.frameDuration.visible());
    EXPECT_EQ(ed.lblInterval.caption(), "week");
    EXPECT_EQ(ed.lblOccurs.caption(), " Weekly");
}

TEST_F(QVREventTest, ChoicesEnableTheirBoxesAndFillOrEmptyThem) {
    clsCalEvent ev;
    frmQVREvent& ed = open(ev);

    ed.txtPriorWarn.setText("");
    ed.optPriorWarning[2].click();
    EXPECT_EQ(ed.txtPriorWarn.text(), "1");
    EXPECT_TRUE(ed.txtPriorWarn.enabled());
    EXPECT_TRUE(ed.lblPriorWarn.enabled());
    ed.txtPriorWarn.setText("4");

    ed.chkAutoDelete.click();
    EXPECT_EQ(ed.txtAutoDelete.text(), "1");
    EXPECT_TRUE(ed.txtAutoDelete.enabled());
    ed.chkAutoDelete.click();
    EXPECT_EQ(ed.txtAutoDelete.text(), "");
    EXPECT_FALSE(ed.txtAutoDelete.enabled());
    EXPECT_FALSE(ed.lblAutoDelete.enabled());
    EXPECT_EQ(ed.txtPriorWarn.text(), "4");  // the other box is left alone

    ed.optPriorWarning[1].click();
    EXPECT_EQ(ed.txtPriorWarn.text(), "");
    EXPECT_FALSE(ed.txtPriorWarn.enabled());
    EXPECT_EQ(ed.txtPriorWarn.backColour(), ui::kFieldDisabledColour);

    ed.optFrequency[4].click();
    ed.optOccurs[1].click();
    EXPECT_TRUE(ed.txtOccursCount.enabled());
    EXPECT_TRUE(ed.lblOccursnTimes.enabled());
    ed.txtOccursCount.setText("7");
    ed.optOccurs[0].click();
    EXPECT_EQ(ed.txtOccursCount.text(), "");
    EXPECT_FALSE(ed.txtOccursCount.enabled());

    ed.optAllDayEvent[1].click();
    EXPECT_TRUE(ed.ctrlEventTime.enabled());
    ed.optAllDayEvent[0].click();
    EXPECT_FALSE(ed.ctrlEventTime.enabled());
}

TEST_F(QVREventTest, ArrowsStopAtTheirLimitsAndActOnlyForTheirChoice) {
    clsCalEvent ev = timedWeekly(1, 2);
    frmQVREvent& ed = open(ev);

    ed.txtInterval.setText("2");
    ed.ubInterval().down();
    ed.ubInterval().down();
    EXPECT_EQ(ed.txtInterval.text(), "1");
    ed.txtInterval.setText("998");
    ed.ubInterval().up();
    ed.ubInterval().up();
    EXPECT_EQ(ed.txtInterval.text(), "999");

    ed.udOccursCount().down();
    ed.udOccursCount().down();
    ed.udOccursCount().down();
    EXPECT_EQ(ed.txtOccursCount.text(), "0");
    ed.txtOccursCount.setText("999");
    ed.udOccursCount().up();
    EXPECT_EQ(ed.txtOccursCount.text(), "999");
    ed.optOccurs[0].click();
    ed.udOccursCount().up();
    EXPECT_EQ(ed.txtOccursCount.text(), "");

    ed.udPriorWarn().up();  // the default option is chosen: nothing
    EXPECT_EQ(ed.txtPriorWarn.text(), "");
    ed.optPriorWarning[2].click();
    ed.txtPriorWarn.setText("8");
    ed.udPriorWarn().up();
    ed.udPriorWarn().up();
    EXPECT_EQ(ed.txtPriorWarn.text(), "9");
    EXPECT_EQ(ed.lblPriorWarning.caption(), " 9 days prior.    Manual delete.");

    ed.udAutoDelete().up();  // not ticked: nothing
    EXPECT_EQ(ed.txtAutoDelete.text(), "");
    ed.chkAutoDelete.click();
    for (int i = 0; i < 12; ++i) ed.udAutoDelete().up();
    EXPECT_EQ(ed.txtAutoDelete.text(), "9");
    for (int i = 0; i < 12; ++i) ed.udAutoDelete().down();
    EXPECT_EQ(ed.txtAutoDelete.text(), "1");
    EXPECT_EQ(ed.lblPriorWarning.caption(), " 9 days prior.    Auto delete after 1 day.");
}

TEST_F(QVREventTest, TheSummaryTellsTheEventInWords) {
    clsCalEvent ev;
    ev.setDescription("Dentist");
    ev.setEventStart(DateTime::ymd(2026, 12, 7));
    frmQVREvent& ed = open(ev);
    EXPECT_EQ(ed.lblDesc.caption(), " Dentist");
    EXPECT_EQ(ed.lblEventDate.caption(), " 7 December 2026 - Monday");
    EXPECT_EQ(ed.lblEventTime.caption(), " All day event");
    EXPECT_EQ(ed.lblOccurs.caption(), " Once");
    EXPECT_EQ(ed.lblPriorWarning.caption(), " Default (30 days).    Manual delete.");

    ed.txtDesc.setText("Dentist at noon");
    EXPECT_EQ(ed.lblDesc.caption(), " Dentist at noon");
    ed.ctrlEventDate.pickDate(2027, 2, 15);
    EXPECT_EQ(ed.lblEventDate.caption(), " 15 February 2027 - Monday");
    ed.optAllDayEvent[1].click();
    ed.ctrlEventTime.pickTime(7, 5);
    EXPECT_EQ(ed.lblEventTime.caption(), " 07:05");

    ed.optFrequency[3].click();
    ed.txtInterval.setText("3");
    EXPECT_EQ(ed.lblOccurs.caption(), " Every 3 month ends");
    ed.txtInterval.setText("");
    EXPECT_EQ(ed.lblOccurs.caption(), " Month end");
    ed.optFrequency[4].click();
    ed.txtInterval.setText("2");
    ed.optOccurs[1].click();
    ed.txtOccursCount.setText("5");
    EXPECT_EQ(ed.lblOccurs.caption(), " Every 2 weeks for 5 occurrences");
    ed.txtOccursCount.setText("1");
    EXPECT_EQ(ed.lblOccurs.caption(), " Every 2 weeks");

    ed.optPriorWarning[2].click();
    ed.txtPriorWarn.setText("1");
    ed.chkAutoDelete.click();
    ed.txtAutoDelete.setText("3");
    EXPECT_EQ(ed.lblPriorWarning.caption(), " 1 day prior.    Auto delete after 3 days.");
    ed.txtPriorWarn.setText("0");
    EXPECT_EQ(ed.lblPriorWarning.caption(), " Same day only.    Auto delete after 3 days.");
    ed.txtPriorWarn.setText("");
    EXPECT_EQ(ed.lblPriorWarning.caption(), " ? days prior.    Auto delete after 3 days.");
    ed.optPriorWarning[1].click();
    EXPECT_EQ(ed.lblPriorWarning.caption(), " Same day only.    Auto delete after 3 days.");
}

TEST_F(QVREventTest, ADescriptionWiderThanItsLabelShowsTheBeginningThatFits) {
    clsCalEvent ev;
    frmQVREvent& ed = open(ev);
    const ui::Font font = ed.lblDesc.font().value_or(ed.font());
    // Multi-byte characters, so that the cut must fall between whole characters.
    std::string description;
    for (int i = 0; i < 30; ++i) description += "Zürich ";
    ed.txtDesc.setText(description);
    const std::string shown = ed.lblDesc.caption();
    ASSERT_LT(shown.size(), description.size() + 1);
    EXPECT_EQ(shown.substr(0, 1), " ");
    EXPECT_EQ(description.substr(0, shown.size() - 1), shown.substr(1));
    EXPECT_LE(doubles.metrics.textWidth(font, shown), ed.lblDesc.width());
    const std::string oneMore = " " + description.substr(0, ui::byteOffset(description, ui::charCount(shown)));
    EXPECT_GT(doubles.metrics.textWidth(font, oneMore), ed.lblDesc.width());
}

TEST_F(QVREventTest, TheDescriptionBoxTakesTheListsFontUpToTwentyPoints) {
    const int dateTop = [&] {
        clsCalEvent plain;
        return open(plain).ctrlEventDate.top();  // the dialog's own font: no move
    }();
    EXPECT_FALSE(editor->txtDesc.font().has_value());
    EXPECT_EQ(editor->txtDesc.height(), 375);

    clsCalEvent ev;
    frmQVREvent& ed = open(ev, listFont(ui::Font{"DejaVu Serif", 24, true, true}));
    ASSERT_TRUE(ed.txtDesc.font().has_value());
    EXPECT_EQ(ed.txtDesc.font()->name, "DejaVu Serif");
    EXPECT_EQ(ed.txtDesc.font()->size, 20);
    EXPECT_TRUE(ed.txtDesc.font()->bold);
    EXPECT_TRUE(ed.txtDesc.font()->italic);
    ASSERT_TRUE(ed.lblDesc.font().has_value());
    EXPECT_EQ(ed.lblDesc.font()->name, "DejaVu Serif");
    EXPECT_EQ(ed.lblDesc.font()->size, ed.font().size);
    // 1.5 lines of "A" at 20 points: 195 * 20 / 8.25 = 473, times 1.5.
    const int height = static_cast<int>(std::lround(1.5 * 473));
    EXPECT_EQ(ed.txtDesc.height(), height);
    EXPECT_EQ(ed.ctrlEventDate.top(), dateTop + height - 375);

    clsCalEvent small;
    frmQVREvent& ed2 = open(small, listFont(ui::Font{"DejaVu Sans", 8}));
    EXPECT_EQ(ed2.txtDesc.height(), 375);  // never below
    EXPECT_EQ(ed2.ctrlEventDate.top(), dateTop);
}

// ---- the view-from list ------------------------------------------------------

TEST_F(QVREventTest, AOneOffEventShowsAnEmptyDisabledViewFromList) {
    clsCalEvent ev;
    frmQVREvent& ed = open(ev);
    ed.TabStrip1.select("tabShow");
    EXPECT_FALSE(ed.frameViewFromDate.enabled());
    EXPECT_EQ(ed.cmbViewFromDate.listCount(), 0);
    EXPECT_EQ(ed.mousePointer(), ui::MousePointer::Default);
}

class ViewFromListTest : public QVREventTest {
protected:
    // Mondays from 2 November 2026, all day; today is Monday 7 December.
    static clsCalEvent mondays(DateTime viewFrom) {
        clsCalEvent ev;
        ev.setDescription("Bins out");
        ev.setEventStart(DateTime::ymd(2026, 11, 2));
        ev.setViewFromDate(viewFrom);
        ev.setHiddenList("20261102,20261109,");
        ev.setIsRecurring(true);
        ev.addRRule().setFrequency(clsCalRRule::kWeekly);
        return ev;
    }
};

TEST_F(ViewFromListTest, ItListsEveryOccurrenceUpToTheNextDueAndSelectsTheViewDate) {
    clsCalEvent ev = mondays(DateTime::ymd(2026, 11, 16));
    frmQVREvent& ed = open(ev);

    // The loading frame stands in for the page while the list fills.
    std::vector<bool> loadingShown, pageShown;
    const auto watch = ed.pbarLoading.subscribe([&] {
        loadingShown.push_back(ed.frameLoading.visible());
        pageShown.push_back(ed.tabFrame[2].visible());
    });
    ed.TabStrip1.select("tabShow");

    ASSERT_EQ(ed.cmbViewFromDate.listCount(), 6);
    EXPECT_EQ(ed.cmbViewFromDate.list(0), "2 Nov 2026");
    EXPECT_EQ(ed.cmbViewFromDate.list(5), "7 Dec 2026");
    EXPECT_EQ(ed.cmbViewFromDate.listIndex(), 2);
    EXPECT_EQ(ed.chosenViewFromDate(), DateTime::ymd(2026, 11, 16));
    EXPECT_TRUE(ed.frameViewFromDate.enabled());
    ASSERT_FALSE(loadingShown.empty());
    EXPECT_TRUE(loadingShown.back());
    EXPECT_FALSE(pageShown.back());
    EXPECT_EQ(ed.frameLoading.top(), ed.tabFrame[2].top());
    EXPECT_EQ(ed.tabFrame[2].top(), ed.TabStrip1.top() + 350);
    EXPECT_FALSE(ed.tabFrame[0].visible());
    EXPECT_EQ(ed.pbarLoading.maximum(), 7);
    EXPECT_EQ(ed.pbarLoading.value(), 6);
    EXPECT_FALSE(ed.frameLoading.visible());
    EXPECT_TRUE(ed.tabFrame[2].visible());
    EXPECT_EQ(ed.mousePointer(), ui::MousePointer::Default);

    // The walk ran on a copy: the event's own view date and hidden list never moved.
    EXPECT_EQ(ev.ViewFromDate(), DateTime::ymd(2026, 11, 16));
    EXPECT_EQ(ev.HiddenList(), "20261102,20261109,");

    ed.cmbViewFromDate.setListIndex(0);
    ed.cmdSave.press();
    EXPECT_EQ(ev.ViewFromDate(), DateTime::ymd(2026, 11, 2));
    EXPECT_FALSE(opener.flag);
}

TEST_F(ViewFromListTest, AViewDateThatIsNoOccurrenceSelectsTheLastEntry) {
    clsCalEvent ev = mondays(DateTime::ymd(2026, 11, 17));
    frmQVREvent& ed = open(ev);
    ed.TabStrip1.select("tabShow");
    EXPECT_EQ(ed.cmbViewFromDate.listIndex(), 5);
    ed.cmdSave.press();
    EXPECT_EQ(ev.ViewFromDate(), DateTime::ymd(2026, 12, 7));
}

TEST_F(ViewFromListTest, TimedOccurrencesShowTheirTimeAndExcludedOnesAreLeftOut) {
    clsCalEvent ev = timedWeekly(1, 0);
    ev.setViewFromDate(DateTime::ymd(2026, 11, 9, 9, 30));
    ev.setExDates("20261116T093000,");
    frmQVREvent& ed = open(ev);
    ed.TabStrip1.select("tabShow");
    // From 2 November to the one due today, the 16th left out.
    ASSERT_EQ(ed.cmbViewFromDate.listCount(), 5);
    EXPECT_EQ(ed.cmbViewFromDate.list(0), "2 Nov 2026 09:30");
    EXPECT_EQ(ed.cmbViewFromDate.list(2), "23 Nov 2026 09:30");
    EXPECT_EQ(ed.cmbViewFromDate.list(4), "7 Dec 2026 09:30");
    EXPECT_EQ(ed.cmbViewFromDate.listIndex(), 1);
    // Each showing of the page fills it afresh.
    ed.TabStrip1.select(0);
    ed.TabStrip1.select("tabShow");
    EXPECT_EQ(ed.cmbViewFromDate.listCount(), 5);
}

TEST_F(QVREventTest, TheChosenOccurrenceForADeleteIsKeptUntilADateComes) {
    clsCalEvent ev;
    frmQVREvent& ed = open(ev);
    ed.setChosenOccurDate("20261214T093000");
    EXPECT_EQ(ed.chosenOccurDate(), DateTime::ymd(2026, 12, 14, 9, 30));
    ed.setChosenOccurDate("next Tuesday");
    EXPECT_EQ(ed.chosenOccurDate(), DateTime::ymd(2026, 12, 14, 9, 30));
    ed.setAllDayOccur("Y");
    EXPECT_TRUE(ed.allDayOccur());
    ed.setAllDayOccur("N");
    EXPECT_FALSE(ed.allDayOccur());
}

}  // namespace
