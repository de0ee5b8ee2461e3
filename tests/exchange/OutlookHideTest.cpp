// Hiding an event in Outlook, with a clock the test sets: what is past stays as
// a record, what is upcoming goes, a long series goes whole, and nothing of it
// is reported as a failure.

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/OutlookBindingRig.h"

using namespace wendra;
using namespace wendra::outlook;
using wendra::test::at;
using wendra::test::OutlookBindingRig;

namespace {

const DateTime kHorizon = at(2027, 1, 1, 0, 0);

// Writes the event, then saves its hide as the main window does.
std::string writeThenHide(OutlookBindingRig& rig, clsCalEvent& ev) {
    EXPECT_TRUE(rig.save(ev));
    const std::string entryId = rig.entryIdOf(ev);
    ev.setUpdateRequest(clsCalEvent::kRequestHideEvent);
    EXPECT_TRUE(rig.save(ev));
    return entryId;
}

std::vector<DateTime> daily(DateTime first, int count) {
    std::vector<DateTime> out;
    for (int i = 0; i < count; ++i) out.push_back(first.addDays(i));
    return out;
}

TEST(OutlookHide, AOneOffStaysWhenItIsPastAndGoesWhenItIsAhead) {
    struct Row {
        const char* what;
        DateTime start;
        bool allDay;
        bool stays;
    };
    // Now is 5 March 2024, 10:00.
    for (const Row& row : {Row{"this morning", at(2024, 3, 5, 9, 0), false, true},
                           Row{"this afternoon", at(2024, 3, 5, 15, 0), false, false},
                           Row{"all day today", at(2024, 3, 5), true, true},
                           Row{"all day tomorrow", at(2024, 3, 6), true, false}}) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        clsCalEvent ev = rig.event(row.what, row.start, row.allDay);
        const std::string entryId = writeThenHide(rig, ev);
        EXPECT_EQ(rig.appointment(entryId) != nullptr, row.stays);
        EXPECT_EQ(rig.messages.calls().size(), 0u);
    }
}

TEST(OutlookHide, ASeriesWithoutEndGoesWhole) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("Forever", at(2024, 2, 1, 8, 0));
    OutlookBindingRig::repeat(ev, clsCalRRule::kWeekly);
    EXPECT_EQ(rig.appointment(writeThenHide(rig, ev)), nullptr);
    EXPECT_EQ(rig.messages.calls().size(), 0u);
}

TEST(OutlookHide, AnEndingSeriesLosesItsUpcomingOccurrencesAndKeepsItsPast) {
    struct Row {
        const char* what;
        const char* subject;
        std::function<void(OutlookBindingRig&)> fault;
    };
    const std::vector<Row> rows{
        {"a plain subject", "Physio", {}},
        {"a subject with an apostrophe", "Mum's physio", {}},
        // Without the subject's list the series' own occurrences are found among
        // all (the save's search of the appointment filters first, the hide second).
        {"the subject's list cannot be had", "Physio", [](OutlookBindingRig& rig) { rig.faults->failOn("Items.Restrict", 2); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        // Daily at eight from 28 February, fifteen times: seven past, eight upcoming.
        clsCalEvent ev = rig.event(row.subject, at(2024, 2, 28, 8, 0));
        OutlookBindingRig::repeat(ev, clsCalRRule::kDaily).setDurationCount(15);
        ASSERT_TRUE(rig.save(ev));
        const std::string entryId = rig.entryIdOf(ev);
        if (row.fault) row.fault(rig);
        ev.setUpdateRequest(clsCalEvent::kRequestHideEvent);
        EXPECT_TRUE(rig.save(ev));
        EXPECT_EQ(rig.outlookStarts(entryId, kHorizon), daily(at(2024, 2, 28, 8, 0), 7));
        EXPECT_EQ(rig.messages.calls().size(), 0u);
    }
}

TEST(OutlookHide, PastTheLimitTheWholeSeriesGoesWithoutAFailure) {
    for (int upcoming : {50, 60}) {
        SCOPED_TRACE(upcoming);
        OutlookBindingRig rig;
        clsCalEvent ev = rig.event("Long", at(2024, 3, 6, 8, 0));
        OutlookBindingRig::repeat(ev, clsCalRRule::kDaily).setDurationCount(upcoming);
        ASSERT_TRUE(rig.save(ev));
        const std::string entryId = rig.entryIdOf(ev);
        const int deletesBefore = rig.faults->calls("AppointmentItem.Delete");
        ev.setUpdateRequest(clsCalEvent::kRequestHideEvent);
        EXPECT_TRUE(rig.save(ev));
        EXPECT_EQ(rig.messages.calls().size(), 0u);
        const int deletes = rig.faults->calls("AppointmentItem.Delete") - deletesBefore;
        if (upcoming == 50) {
            // Fifty one by one, and the series stays with nothing upcoming.
            EXPECT_EQ(deletes, 50);
            ASSERT_NE(rig.appointment(entryId), nullptr);
            EXPECT_EQ(rig.outlookStarts(entryId, kHorizon), std::vector<DateTime>{});
        } else {
            // Fifty one by one, then the series on the fifty-first.
            EXPECT_EQ(deletes, 51);
            EXPECT_EQ(rig.appointment(entryId), nullptr);
        }
    }
}

TEST(OutlookHide, TheWalkEndsWithTheSeriesEvenBesideAnEndlessOneOfTheSameSubject) {
    OutlookBindingRig rig;
    auto endless = rig.calendar.add("Standup", at(2024, 3, 1, 9, 30), 15);
    endless->GetRecurrencePattern()->setRecurrenceType(olRecursDaily);
    endless->Save();
    clsCalEvent ev = rig.event("Standup", at(2024, 3, 4, 9, 0));
    OutlookBindingRig::repeat(ev, clsCalRRule::kDaily).setDurationCount(5);
    ASSERT_TRUE(rig.save(ev));
    const std::string entryId = rig.entryIdOf(ev);
    const int stepsBefore = rig.faults->calls("Items.GetNext");
    ev.setUpdateRequest(clsCalEvent::kRequestHideEvent);
    EXPECT_TRUE(rig.save(ev));
    // The other series lists about a thousand occurrences up to the horizon; the
    // walk stops after this one's last day.
    EXPECT_LT(rig.faults->calls("Items.GetNext") - stepsBefore, 30);
    EXPECT_EQ(rig.outlookStarts(entryId, kHorizon), daily(at(2024, 3, 4, 9, 0), 2));
    EXPECT_GT(rig.outlookStarts(endless->EntryID(), kHorizon).size(), 900u);
}

TEST(OutlookHide, ChangedOccurrencesWithSubjectsOfTheirOwnGoWhenUpcoming) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("Lesson", at(2024, 2, 27, 17, 0));
    OutlookBindingRig::repeat(ev, clsCalRRule::kWeekly).setDurationCount(4);
    ev.setDescExceptions("\t20240227170000=Lesson, trial\t20240312170000=Lesson, exam\t");
    ASSERT_TRUE(rig.save(ev));
    const std::string entryId = rig.entryIdOf(ev);
    ev.setUpdateRequest(clsCalEvent::kRequestHideEvent);
    EXPECT_TRUE(rig.save(ev));
    // The past one with its own subject stays, the upcoming one with its own subject goes.
    EXPECT_EQ(rig.outlookStarts(entryId, kHorizon), std::vector<DateTime>{at(2024, 2, 27, 17, 0)});
    EXPECT_EQ(rig.messages.calls().size(), 0u);
}

}  // namespace
