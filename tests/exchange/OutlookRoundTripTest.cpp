// Events written into the calendar file by the binding and read back by it:
// every pattern type, both ends, all-day and timed and their conversions,
// deleted and moved occurrences and their own subjects. Each is checked three
// ways: the event read back, the program's own engine on both events, and
// libical's expansion of what the file holds.

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/OutlookBindingRig.h"

using namespace wendra;
using wendra::test::at;
using wendra::test::OutlookBindingRig;

namespace {

const DateTime kHorizon = at(2027, 1, 1, 0, 0);

struct RoundTrip {
    const char* what;
    DateTime start;
    bool allDay;
    std::function<void(clsCalRRule&)> rule;  // empty: a one-off
    // The rule read back, where its form is known: frequency, interval, ByDay, BySetPos, ByMonth.
    int frequency = -1;
    int interval = 1;
    const char* byDay = "";
    const char* bySetPos = "";
    const char* byMonth = "";
};

std::vector<RoundTrip> roundTrips() {
    using R = clsCalRRule;
    return {
        {"a timed one-off", at(2024, 3, 8, 14, 30), false, {}},
        {"an all-day one-off", at(2024, 3, 9), true, {}},
        {"every second day, five times", at(2024, 3, 6, 9, 30), false,
         [](R& r) { r.setFrequency(R::kDaily), r.setInterval(2), r.setDurationCount(5); }, R::kDaily, 2},
        {"weekly on Monday and Wednesday until the end of April", at(2024, 3, 11, 18), false,
         [](R& r) {
             r.setFrequency(R::kWeekly), r.setByDay("MO,WE");
             r.setDurationUntil(at(2024, 4, 30, 0, 0), true);
         },
         R::kWeekly, 1, "MO,WE"},
        {"every second week on Monday and Friday, six times", at(2024, 3, 11), true,
         [](R& r) { r.setFrequency(R::kWeekly), r.setInterval(2), r.setByDay("MO,FR"), r.setDurationCount(6); },
         R::kWeekly, 2, "MO,FR"},
        {"weekly on the start's weekday", at(2024, 3, 7, 8), false, [](R& r) { r.setFrequency(R::kWeekly); },
         R::kWeekly},
        {"monthly on the 15th, six times", at(2024, 3, 15), true,
         [](R& r) { r.setFrequency(R::kMonthly), r.setDurationCount(6); }, R::kMonthly},
        {"monthly at the month's end", at(2024, 3, 31), true,
         [](R& r) { r.setFrequency(R::kMonthly), r.setByDay("MO,TU,WE,TH,FR,SA,SU"), r.setBySetPos("-1"); },
         R::kMonthly, 1, "MO,TU,WE,TH,FR,SA,SU", "-1"},
        {"monthly on the 30th, the last day of February", at(2024, 4, 30), true,
         [](R& r) { r.setFrequency(R::kMonthly), r.setByMonthDay("28,29,30"), r.setBySetPos("-1"); }, R::kMonthly, 1, "",
         "-1"},
        {"monthly on the second Tuesday", at(2024, 3, 12, 19), false,
         [](R& r) { r.setFrequency(R::kMonthly), r.setByDay("2TU"), r.setDurationCount(8); }, R::kMonthly, 1, "2TU"},
        {"monthly on the second of Tuesdays and Thursdays", at(2024, 3, 7), true,
         [](R& r) { r.setFrequency(R::kMonthly), r.setByDay("TU,TH"), r.setBySetPos("2"); }, R::kMonthly, 1, "TU,TH",
         "2"},
        {"monthly on the last Friday, every third month", at(2024, 3, 29, 17), false,
         [](R& r) { r.setFrequency(R::kMonthly), r.setInterval(3), r.setByDay("-1FR"); }, R::kMonthly, 3, "-1FR"},
        {"yearly", at(2024, 6, 10), true, [](R& r) { r.setFrequency(R::kYearly); }, R::kYearly},
        {"yearly on the fourth Thursday of November", at(2024, 11, 28, 12), false,
         [](R& r) { r.setFrequency(R::kYearly), r.setByMonth("11"), r.setByDay("4TH"); }, R::kYearly, 1, "4TH", "",
         "11"},
        {"every second year until 2030", at(2024, 7, 1), true,
         [](R& r) { r.setFrequency(R::kYearly), r.setInterval(2), r.setDurationUntil(at(2030, 7, 1, 0, 0), true); },
         R::kYearly, 2},
    };
}

TEST(OutlookRoundTrip, EachPatternTypeComesBackAsTheSameSeries) {
    for (const RoundTrip& row : roundTrips()) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        clsCalEvent ev = rig.event(row.what, row.start, row.allDay);
        if (row.rule) {
            ev.setIsRecurring(true);
            row.rule(ev.addRRule());
        }
        ASSERT_TRUE(rig.save(ev));
        EXPECT_EQ(rig.messages.calls().size(), 0u);

        clsCalEvent back;
        ASSERT_EQ(rig.readBack(ev, back), FindResult::found);
        EXPECT_EQ(back.Description(), row.what);
        EXPECT_EQ(back.WendraWinId(), ev.WendraWinId());
        EXPECT_EQ(back.AllDayEvent(), row.allDay);
        EXPECT_EQ(back.EventStart(), ev.EventStart());
        EXPECT_EQ(back.IsRecurring(), static_cast<bool>(row.rule));
        const auto expected = OutlookBindingRig::occurrences(ev, kHorizon);
        EXPECT_EQ(OutlookBindingRig::occurrences(back, kHorizon), expected);
        EXPECT_EQ(rig.outlookStarts(back.XID(), kHorizon), expected);
        if (row.frequency >= 0) {
            ASSERT_EQ(back.RRulesCount(), 1);
            const clsCalRRule& r = *back.RRule(1);
            EXPECT_EQ(r.Frequency(), row.frequency);
            EXPECT_EQ(r.Interval(), row.interval);
            EXPECT_EQ(r.ByDay(), row.byDay);
            EXPECT_EQ(r.BySetPos(), row.bySetPos);
            EXPECT_EQ(r.ByMonth(), row.byMonth);
        }
    }
}

TEST(OutlookRoundTrip, AChangedEventRewritesItsAppointmentInPlace) {
    // Timed to all-day and back, one-off to series and back, a new rule over an old one.
    struct Change {
        const char* what;
        std::function<void(clsCalEvent&)> change;
    };
    const std::vector<Change> changes{
        {"a timed one-off becomes all-day", [](clsCalEvent& ev) { ev.setAllDayEvent(true), ev.setEventStart(at(2024, 3, 8, 0, 0)); }},
        {"it becomes weekly", [](clsCalEvent& ev) { OutlookBindingRig::repeat(ev, clsCalRRule::kWeekly).setDurationCount(4); }},
        {"the series becomes timed",
         [](clsCalEvent& ev) { ev.setAllDayEvent(false), ev.setEventStart(at(2024, 3, 8, 7, 45)); }},
        {"the series moves to the first Friday monthly",
         [](clsCalEvent& ev) {
             clsCalRRule& r = *ev.RRule(1);
             r.setFrequency(clsCalRRule::kMonthly), r.setByDay("1FR"), r.setDurationCount(0);
             r.setDurationUntil(at(2024, 12, 31, 0, 0), true);
             ev.setEventStart(at(2024, 4, 5, 7, 45));
         }},
        {"the series becomes all-day again",
         [](clsCalEvent& ev) { ev.setAllDayEvent(true), ev.setEventStart(at(2024, 4, 5, 0, 0)); }},
        {"it stops repeating", [](clsCalEvent& ev) { ev.deleteRRule(1), ev.setIsRecurring(false); }},
        {"and is timed once more", [](clsCalEvent& ev) { ev.setAllDayEvent(false), ev.setEventStart(at(2024, 4, 5, 16)); }},
    };
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("Changing", at(2024, 3, 8, 9, 0));
    ASSERT_TRUE(rig.save(ev));
    const std::string entryId = rig.entryIdOf(ev);
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        rig.clock().advanceSeconds(60);
        c.change(ev);
        ev.setLastModified(rig.clock().now());
        ASSERT_TRUE(rig.save(ev));
        EXPECT_EQ(rig.appointmentCount(), 1);
        EXPECT_EQ(rig.entryIdOf(ev), entryId);
        clsCalEvent back;
        ASSERT_EQ(rig.readBack(ev, back), FindResult::found);
        EXPECT_EQ(back.AllDayEvent(), ev.AllDayEvent());
        EXPECT_EQ(back.EventStart(), ev.EventStart());
        EXPECT_EQ(back.IsRecurring(), ev.IsRecurring());
        // An all-day appointment is all-day for other calendar programs too, not a day-long timed one.
        EXPECT_EQ(rig.appointment(entryId)->AllDayEvent(), ev.AllDayEvent());
        const auto expected = OutlookBindingRig::occurrences(ev, kHorizon);
        EXPECT_EQ(OutlookBindingRig::occurrences(back, kHorizon), expected);
        EXPECT_EQ(rig.outlookStarts(entryId, kHorizon), expected);
    }
    EXPECT_EQ(rig.messages.calls().size(), 0u);
}

TEST(OutlookRoundTrip, DeletedAndMovedOccurrencesAndTheirOwnSubjectsReachTheFileAndComeBack) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.seriesWithExceptions("Choir");
    ASSERT_TRUE(rig.save(ev));
    EXPECT_EQ(rig.messages.calls().size(), 0u);

    const std::vector<DateTime> expected{at(2024, 3, 6),  at(2024, 3, 21, 11), at(2024, 3, 27), at(2024, 4, 3),
                                         at(2024, 4, 10), at(2024, 4, 17),     at(2024, 4, 24)};
    EXPECT_EQ(OutlookBindingRig::occurrences(ev, kHorizon), expected);
    EXPECT_EQ(rig.outlookStarts(rig.entryIdOf(ev), kHorizon), expected);

    clsCalEvent back;
    ASSERT_EQ(rig.readBack(ev, back), FindResult::found);
    EXPECT_EQ(back.ExDates(), "20240313,20240320T090000");
    EXPECT_EQ(back.RDates(), "20240321T110000");
    EXPECT_EQ(back.DescExceptions(), "\t20240327090000=Choir, with cake\t");
    EXPECT_TRUE(back.hasExceptions());
    EXPECT_EQ(OutlookBindingRig::occurrences(back, kHorizon), expected);

    // Written again unchanged, nothing moves.
    rig.clock().advanceSeconds(30);
    const std::string entryId = rig.entryIdOf(ev);
    ASSERT_TRUE(rig.binding.Save(back, entryId));
    EXPECT_EQ(rig.outlookStarts(entryId, kHorizon), expected);
    clsCalEvent again;
    ASSERT_EQ(rig.readBack(ev, again), FindResult::found);
    EXPECT_EQ(again.ExDates(), back.ExDates());
    EXPECT_EQ(again.RDates(), back.RDates());
    EXPECT_EQ(again.DescExceptions(), back.DescExceptions());
}

TEST(OutlookRoundTrip, AnOutlookSeriesWithExceptionsReadsAsTheProgramWritesThem) {
    OutlookBindingRig rig;
    auto item = rig.calendar.add("Yoga", at(2024, 3, 6, 18, 0), 60);
    item->GetRecurrencePattern()->setOccurrences(6);
    item->Save();
    auto p = item->GetRecurrencePattern();
    p->GetOccurrence(at(2024, 3, 13, 18))->Delete();
    auto moved = p->GetOccurrence(at(2024, 3, 20, 18));
    moved->setStart(at(2024, 3, 21, 19));
    moved->Save();
    auto renamed = p->GetOccurrence(at(2024, 3, 27, 18));
    renamed->setSubject("Yoga outside");
    renamed->Save();

    clsCalEvent ev;
    ASSERT_EQ(rig.binding.findItem(ev, rig.binding.CalendarId(), "", item->EntryID()), FindResult::found);
    EXPECT_EQ(ev.ExDates(), "20240313,20240320T180000");
    EXPECT_EQ(ev.RDates(), "20240321T190000");
    EXPECT_EQ(ev.DescExceptions(), "\t20240327180000=Yoga outside\t");
    EXPECT_EQ(OutlookBindingRig::occurrences(ev, kHorizon), rig.outlookStarts(item->EntryID(), kHorizon));
}

TEST(OutlookRoundTrip, AMovedOccurrenceDeletedInTheProgramLeavesOutlookToo) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.seriesWithExceptions("Choir");
    ASSERT_TRUE(rig.save(ev));
    // The user deletes the moved occurrence: its extra date goes, its original stays excluded.
    ev.MarkDelete(false, at(2024, 3, 21, 11), false);
    ASSERT_EQ(ev.RDates(), "");
    ASSERT_TRUE(rig.save(ev));
    const auto starts = rig.outlookStarts(rig.entryIdOf(ev), kHorizon);
    EXPECT_EQ(std::count(starts.begin(), starts.end(), at(2024, 3, 21, 11)), 0);
    EXPECT_EQ(starts, OutlookBindingRig::occurrences(ev, kHorizon));
}

TEST(OutlookRoundTrip, ASubjectChangedOnTheSeriesReachesItsChangedOccurrences) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.seriesWithExceptions("Choir");
    ASSERT_TRUE(rig.save(ev));
    ev.setDescription("Chamber choir");
    ev.setDescExceptions("");
    ASSERT_TRUE(rig.save(ev));
    clsCalEvent back;
    ASSERT_EQ(rig.readBack(ev, back), FindResult::found);
    EXPECT_EQ(back.Description(), "Chamber choir");
    // The moved occurrence and the one that had a text of its own follow the series.
    EXPECT_EQ(back.DescExceptions(), "");
    EXPECT_EQ(back.RDates(), "20240321T110000");
}

TEST(OutlookRoundTrip, APastExcludedDateStaysInOutlookUnlessDeletionIsAsked) {
    // The program hides past occurrences; only a delete request removes them
    // from Outlook's record.
    struct Row {
        const char* what;
        int request;
        bool stays;
    };
    for (const Row& row : {Row{"hidden", 0, true}, Row{"one occurrence deleted", 2, false}}) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        clsCalEvent ev = rig.event("Daily", at(2024, 3, 1, 8, 0));
        OutlookBindingRig::repeat(ev, clsCalRRule::kDaily).setDurationCount(10);
        ASSERT_TRUE(rig.save(ev));
        ev.setExDates("20240302");
        ev.setUpdateRequest(row.request);
        ASSERT_TRUE(rig.save(ev));
        const auto starts = rig.outlookStarts(rig.entryIdOf(ev), kHorizon);
        EXPECT_EQ(std::count(starts.begin(), starts.end(), at(2024, 3, 2, 8)), row.stays ? 1 : 0);
    }
}

}  // namespace
