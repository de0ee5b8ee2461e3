// Every member of the calendar's object model made to fail, one at a time, under
// each kind of work the binding does: nothing escapes, a save answers true or
// false with exactly one "Error saving to Outlook", a search never takes a
// failure for an appointment that is gone.

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/OutlookBindingRig.h"

using namespace wendra;
using namespace wendra::outlook;
using wendra::test::at;
using wendra::test::OutlookBindingRig;

namespace {

const std::vector<std::string> kMembers{
    "Application.GetNamespace", "Application.Name", "Application.Version", "NameSpace.GetDefaultFolder",
    "MAPIFolder.EntryID", "MAPIFolder.Items", "Items.Count", "Items.Item", "Items.GetFirst", "Items.GetNext",
    "Items.Add", "Items.Restrict", "Items.Sort", "Items.setIncludeRecurrences", "AppointmentItem.EntryID",
    "AppointmentItem.Subject", "AppointmentItem.setSubject", "AppointmentItem.Start", "AppointmentItem.setStart",
    "AppointmentItem.AllDayEvent", "AppointmentItem.setAllDayEvent", "AppointmentItem.Duration",
    "AppointmentItem.setDuration", "AppointmentItem.setReminderSet", "AppointmentItem.LastModificationTime",
    "AppointmentItem.CreationTime", "AppointmentItem.IsRecurring", "AppointmentItem.GetRecurrencePattern",
    "AppointmentItem.ClearRecurrencePattern", "AppointmentItem.UserProperties", "AppointmentItem.Save",
    "AppointmentItem.Delete", "AppointmentItem.Display", "UserProperties.Find", "UserProperties.Add",
    "UserProperty.Value", "UserProperty.setValue", "RecurrencePattern.RecurrenceType",
    "RecurrencePattern.setRecurrenceType", "RecurrencePattern.Interval", "RecurrencePattern.setInterval",
    "RecurrencePattern.DayOfWeekMask", "RecurrencePattern.setDayOfWeekMask", "RecurrencePattern.Instance",
    "RecurrencePattern.DayOfMonth", "RecurrencePattern.PatternStartDate", "RecurrencePattern.setPatternStartDate",
    "RecurrencePattern.PatternEndDate", "RecurrencePattern.NoEndDate", "RecurrencePattern.Occurrences",
    "RecurrencePattern.setOccurrences", "RecurrencePattern.StartTime", "RecurrencePattern.setStartTime",
    "RecurrencePattern.Duration", "RecurrencePattern.Exceptions", "RecurrencePattern.GetOccurrence",
    "Exceptions.Count", "Exceptions.Item", "Exception.Deleted", "Exception.OriginalDate", "Exception.AppointmentItem"};

// Nothing escapes; a save answers true, or false with exactly one report.
void checkSave(OutlookBindingRig& rig, clsCalEvent& ev) {
    bool saved = false;
    EXPECT_NO_THROW(saved = rig.save(ev));
    EXPECT_EQ(rig.messages.calls().size(), saved ? 0u : 1u);
    EXPECT_EQ(rig.saveErrors(), saved ? 0 : 1);
}

// Each kind of work on a stored series with exceptions, run while a member fails.
const std::vector<std::pair<const char*, std::function<void(OutlookBindingRig&, clsCalEvent&)>>> kWorks{
    {"the series changed and saved",
     [](OutlookBindingRig& rig, clsCalEvent& ev) {
         ev.setDescription("Series, changed");
         ev.RRule(1)->setByDay("WE,FR");
         checkSave(rig, ev);
     }},
    {"the series hidden",
     [](OutlookBindingRig& rig, clsCalEvent& ev) {
         ev.setUpdateRequest(clsCalEvent::kRequestHideEvent);
         checkSave(rig, ev);
     }},
    {"the series found by its row key",
     [](OutlookBindingRig& rig, clsCalEvent& ev) {
         clsCalEvent out;
         FindResult r = FindResult::absent;
         EXPECT_NO_THROW(r = rig.readBack(ev, out));
         EXPECT_NE(r, FindResult::absent);  // it is there: only found or failed will do
         EXPECT_NO_THROW(rig.binding.findOccur(out, at(2024, 3, 27, 9, 0)));
         EXPECT_NO_THROW(rig.binding.getXID(ev));
         EXPECT_TRUE(rig.messages.calls().empty());
     }},
};

// One test a kind of work, so that they run side by side.
class OutlookFaultsUnder : public ::testing::TestWithParam<std::size_t> {};

TEST_P(OutlookFaultsUnder, AnyMemberFailingEveryTimeGivesTheBindingsAnswer) {
    const auto& [what, work] = kWorks[GetParam()];
    for (const std::string& member : kMembers) {
        SCOPED_TRACE(std::string(what) + " while " + member + " fails");
        OutlookBindingRig rig;
        clsCalEvent ev = rig.seriesWithExceptions("Series");
        ASSERT_TRUE(rig.save(ev));
        rig.clock().advanceSeconds(5);
        rig.faults->failOn(member, 0);
        work(rig, ev);
    }
}

INSTANTIATE_TEST_SUITE_P(EachWork, OutlookFaultsUnder, ::testing::Range<std::size_t>(0, kWorks.size()));

TEST(OutlookFaults, EachSaveOfAWriteFailingInTurnIsReportedOnce) {
    // Every Save of the calendar's items during one write, failing alone.
    OutlookBindingRig probe;
    clsCalEvent ev = probe.seriesWithExceptions("Series");
    ASSERT_TRUE(probe.save(ev));
    const int saves = probe.faults->calls("AppointmentItem.Save");
    ASSERT_GT(saves, 8);
    for (int nth = 1; nth <= saves; ++nth) {
        SCOPED_TRACE(nth);
        OutlookBindingRig rig;
        clsCalEvent fresh = rig.seriesWithExceptions("Series");
        rig.faults->failOn("AppointmentItem.Save", nth);
        checkSave(rig, fresh);
        EXPECT_EQ(rig.saveErrors(), 1);
    }
}

}  // namespace
