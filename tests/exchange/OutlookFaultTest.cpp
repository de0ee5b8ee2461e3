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

void checkSave(OutlookBindingRig& rig, const std::function<bool()>& save) {
    bool saved = false;
    EXPECT_NO_THROW(saved = save());
    if (saved) {
        EXPECT_EQ(rig.messages.calls().size(), 0u);
    } else {
        EXPECT_EQ(rig.messages.calls().size(), 1u);
        EXPECT_EQ(rig.saveErrors(), 1);
    }
}

struct Work {
    const char* what;
    std::function<void(OutlookBindingRig&, clsCalEvent&)> prepare;  // before the fault
    std::function<void(OutlookBindingRig&, clsCalEvent&)> run;      // under it
};

const std::vector<Work>& works() {
    static const std::vector<Work> all{
        {"a changed series saved",
         [](OutlookBindingRig& rig, clsCalEvent& ev) {
             ev = rig.seriesWithExceptions("Series");
             ASSERT_TRUE(rig.save(ev));
             ev.setDescription("Series, changed");
             ev.RRule(1)->setByDay("WE,FR");
             ev.setLastModified(rig.clock().now().addSeconds(5));
         },
         [](OutlookBindingRig& rig, clsCalEvent& ev) { checkSave(rig, [&] { return rig.save(ev); }); }},
        {"a new series saved", [](OutlookBindingRig& rig, clsCalEvent& ev) { ev = rig.seriesWithExceptions("Series"); },
         [](OutlookBindingRig& rig, clsCalEvent& ev) { checkSave(rig, [&] { return rig.save(ev); }); }},
        {"an ending series hidden",
         [](OutlookBindingRig& rig, clsCalEvent& ev) {
             ev = rig.seriesWithExceptions("Series");
             ASSERT_TRUE(rig.save(ev));
             ev.setUpdateRequest(clsCalEvent::kRequestHideEvent);
         },
         [](OutlookBindingRig& rig, clsCalEvent& ev) { checkSave(rig, [&] { return rig.save(ev); }); }},
        {"a series found by its row key",
         [](OutlookBindingRig& rig, clsCalEvent& ev) {
             ev = rig.seriesWithExceptions("Series");
             ASSERT_TRUE(rig.save(ev));
         },
         [](OutlookBindingRig& rig, clsCalEvent& ev) {
             clsCalEvent out;
             FindResult r = FindResult::absent;
             EXPECT_NO_THROW(r = rig.readBack(ev, out));
             EXPECT_NE(r, FindResult::absent);
             EXPECT_NO_THROW(rig.binding.findOccur(out, at(2024, 3, 27, 9, 0)));
             EXPECT_NO_THROW(rig.binding.getXID(ev));
             EXPECT_TRUE(rig.messages.calls().empty());
         }},
        {"one occurrence edited in its window",
         [](OutlookBindingRig& rig, clsCalEvent& ev) {
             clsCalEvent stored = rig.seriesWithExceptions("Series");
             ASSERT_TRUE(rig.save(stored));
             ASSERT_EQ(rig.readBack(stored, ev), FindResult::found);
             ASSERT_TRUE(rig.binding.findOccur(ev, at(2024, 4, 3, 9, 0)));
             rig.window().save([&rig](AppointmentFields& f) {
                 rig.clock().advanceSeconds(60);
                 f.subject = "Edited";
             });
         },
         [](OutlookBindingRig& rig, clsCalEvent& ev) {
             EXPECT_NO_THROW(rig.binding.displayEditForm(ev, true));
             EXPECT_LE(rig.messages.calls().size(), 1u);
         }},
    };
    return all;
}

// One test a kind of work, so that they run side by side.
class OutlookFaultsUnder : public ::testing::TestWithParam<std::size_t> {};

TEST_P(OutlookFaultsUnder, AnyMemberFailingEveryTimeGivesTheBindingsAnswer) {
    const Work& work = works()[GetParam()];
    for (const std::string& member : kMembers) {
        SCOPED_TRACE(std::string(work.what) + " while " + member + " fails");
        OutlookBindingRig rig;
        clsCalEvent ev;
        work.prepare(rig, ev);
        rig.faults->failOn(member, 0);
        work.run(rig, ev);
    }
}

INSTANTIATE_TEST_SUITE_P(EachWork, OutlookFaultsUnder, ::testing::Range<std::size_t>(0, works().size()));

TEST(OutlookFaults, EachSaveOfAWriteFailingInTurnIsReportedOnce) {
    // Every Save of the calendar's items during one write, failing alone: the
    // write stops there and says so.
    OutlookBindingRig probe;
    clsCalEvent ev = probe.seriesWithExceptions("Series");
    const int before = probe.faults->calls("AppointmentItem.Save");
    ASSERT_TRUE(probe.save(ev));
    const int saves = probe.faults->calls("AppointmentItem.Save") - before;
    ASSERT_GT(saves, 8);
    for (int nth = 1; nth <= saves; ++nth) {
        SCOPED_TRACE(nth);
        OutlookBindingRig rig;
        clsCalEvent fresh = rig.seriesWithExceptions("Series");
        rig.faults->failOn("AppointmentItem.Save", nth);
        checkSave(rig, [&] { return rig.save(fresh); });
        EXPECT_EQ(rig.saveErrors(), 1);
    }
}

}  // namespace
