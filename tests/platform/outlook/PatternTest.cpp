// Recurrence patterns: what each type writes as a rule, the occurrences libical
// expands from it, the pattern read back, the end setting, times of day,
// occurrences and exceptions, and rules written by another program.

#include <gtest/gtest.h>

#include <libical/ical.h>

#include <functional>

#include "platform/outlook/Errors.h"
#include "tests/support/CalendarRig.h"

using namespace wendra;
using namespace wendra::outlook;
using wendra::test::at;
using wendra::test::errorOf;

namespace {

// Every occurrence's start, as a walk of the calendar gives them.
std::vector<DateTime> starts(const test::CalendarRig& rig) {
    auto items = rig.items();
    items->Sort("[Start]");
    items->setIncludeRecurrences(true);
    std::vector<DateTime> out;
    for (auto i = items->GetFirst(); i; i = items->GetNext()) out.push_back(i->Start());
    return out;
}

struct PatternRow {
    const char* what;
    DateTime start;
    std::function<void(RecurrencePattern&)> set;
    const char* rule;  // the RRULE line in the file
    std::vector<DateTime> occurrences;
};

// The members of a pattern its type reads: the days of the week of the weekly
// and n-th types, the instance of the n-th ones, the day of the month of the
// monthly and yearly ones, the month of the yearly ones.
std::vector<int> relevant(RecurrencePattern& p) {
    const int t = p.RecurrenceType();
    std::vector<int> out{t, p.Interval()};
    if (t == olRecursDaily || t == olRecursWeekly || t == olRecursMonthNth || t == olRecursYearNth)
        out.push_back(p.DayOfWeekMask());
    if (t == olRecursMonthNth || t == olRecursYearNth) out.push_back(p.Instance());
    if (t == olRecursMonthly || t == olRecursYearly) out.push_back(p.DayOfMonth());
    if (t == olRecursYearly || t == olRecursYearNth) out.push_back(p.MonthOfYear());
    return out;
}

// A saved weekly series on Wednesdays at nine, five times, with its third
// occurrence deleted and its fourth moved to Thursday at eleven.
std::shared_ptr<AppointmentItem> seriesWithExceptions(const test::CalendarRig& rig) {
    auto item = rig.add("Weekly", at(2024, 3, 6), 60);
    item->GetRecurrencePattern()->setOccurrences(5);
    item->Save();
    auto p = item->GetRecurrencePattern();
    p->GetOccurrence(at(2024, 3, 20))->Delete();
    auto moved = p->GetOccurrence(at(2024, 3, 27));
    moved->setStart(at(2024, 3, 28, 11));
    moved->setSubject("Weekly, moved");
    moved->Save();
    return item;
}

}  // namespace

TEST(OutlookPattern, EachTypeWritesItsRuleAndReadsBackTheSame) {
    const std::vector<PatternRow> rows{
        {"the weekly default of a one-off", at(2024, 3, 6), [](RecurrencePattern& p) { p.setOccurrences(3); },
         "RRULE:FREQ=WEEKLY;COUNT=3;BYDAY=WE", {at(2024, 3, 6), at(2024, 3, 13), at(2024, 3, 20)}},
        {"every second day", at(2024, 3, 6),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursDaily);
             p.setInterval(2);
             p.setOccurrences(3);
         },
         "RRULE:FREQ=DAILY;COUNT=3;INTERVAL=2", {at(2024, 3, 6), at(2024, 3, 8), at(2024, 3, 10)}},
        {"the 31st falls on short months' last day", at(2024, 1, 31),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursMonthly);
             p.setOccurrences(4);
         },
         "RRULE:FREQ=MONTHLY;COUNT=4;BYMONTHDAY=28,29,30,31;BYSETPOS=-1",
         {at(2024, 1, 31), at(2024, 2, 29), at(2024, 3, 31), at(2024, 4, 30)}},
        {"the last day of the month, any weekday", at(2024, 1, 31),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursMonthNth);
             p.setDayOfWeekMask(127);
             p.setInstance(5);
             p.setOccurrences(3);
         },
         "RRULE:FREQ=MONTHLY;COUNT=3;BYDAY=MO,TU,WE,TH,FR,SA,SU;BYSETPOS=-1",
         {at(2024, 1, 31), at(2024, 2, 29), at(2024, 3, 31)}},
        {"the second of Tuesdays and Thursdays", at(2024, 3, 7),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursMonthNth);
             p.setDayOfWeekMask(olTuesday | olThursday);
             p.setInstance(2);
             p.setOccurrences(3);
         },
         "RRULE:FREQ=MONTHLY;COUNT=3;BYDAY=TU,TH;BYSETPOS=2", {at(2024, 3, 7), at(2024, 4, 4), at(2024, 5, 7)}},
        {"the last Friday, from its start", at(2024, 3, 29),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursMonthNth);
             p.setOccurrences(3);
         },
         "RRULE:FREQ=MONTHLY;COUNT=3;BYDAY=-1FR", {at(2024, 3, 29), at(2024, 4, 26), at(2024, 5, 31)}},
        {"yearly on 29 February", at(2024, 2, 29),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursYearly);
             p.setOccurrences(3);
         },
         "RRULE:FREQ=YEARLY;COUNT=3;BYMONTHDAY=28,29;BYMONTH=2;BYSETPOS=-1",
         {at(2024, 2, 29), at(2025, 2, 28), at(2026, 2, 28)}},
        {"every 24 months is every second year", at(2024, 3, 6),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursYearly);
             p.setInterval(24);
             p.setOccurrences(3);
         },
         "RRULE:FREQ=YEARLY;COUNT=3;INTERVAL=2;BYMONTHDAY=6;BYMONTH=3", {at(2024, 3, 6), at(2026, 3, 6), at(2028, 3, 6)}},
        {"the fourth Thursday of November", at(2024, 11, 28),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursYearNth);
             p.setOccurrences(3);
         },
         "RRULE:FREQ=YEARLY;COUNT=3;BYDAY=4TH;BYMONTH=11", {at(2024, 11, 28), at(2025, 11, 27), at(2026, 11, 26)}},
        {"a start the pattern does not give moves to its first occurrence", at(2024, 3, 6),
         [](RecurrencePattern& p) {
             p.setDayOfWeekMask(olFriday);
             p.setOccurrences(2);
         },
         "RRULE:FREQ=WEEKLY;COUNT=2;BYDAY=FR", {at(2024, 3, 8), at(2024, 3, 15)}},
    };
    for (const PatternRow& row : rows) {
        test::CalendarRig rig;
        rig.horizonDays = 10 * 366;
        auto item = rig.add("Series", row.start);
        auto p = item->GetRecurrencePattern();
        row.set(*p);
        const std::vector<int> members = relevant(*p);
        item->Save();
        EXPECT_NE(rig.text().find(std::string(row.rule) + "\r\n"), std::string::npos) << row.what << "\n" << rig.text();
        EXPECT_EQ(starts(rig), row.occurrences) << row.what;

        rig.reread();
        auto back = rig.items()->Item(1)->GetRecurrencePattern();
        EXPECT_EQ(relevant(*back), members) << row.what;
        EXPECT_EQ(back->PatternStartDate(), row.occurrences.front().date()) << row.what;
    }
}

TEST(OutlookPattern, PatternsNoRuleCanHoldAreRefusedAtSave) {
    const std::vector<std::pair<const char*, std::function<void(RecurrencePattern&)>>> rows{
        {"a yearly interval of one month",
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursYearly);
             p.setInterval(1);
         }},
        {"a weekly pattern on no day", [](RecurrencePattern& p) { p.setDayOfWeekMask(0); }},
    };
    for (const auto& [what, set] : rows) {
        test::CalendarRig rig;
        auto item = rig.add("Series", at(2024, 3, 6));
        const std::string before = rig.text();
        set(*item->GetRecurrencePattern());
        EXPECT_EQ(errorOf([&] { item->Save(); }), err::kBadPattern) << what;
        EXPECT_EQ(rig.text(), before) << what;
        EXPECT_FALSE(rig.items()->Item(1)->IsRecurring()) << what;
    }
    test::CalendarRig rig;
    auto p = rig.add("Series", at(2024, 3, 6))->GetRecurrencePattern();
    EXPECT_EQ(errorOf([&] { p->setRecurrenceType(4); }), err::kBadArgument);
    EXPECT_EQ(errorOf([&] { p->setInstance(6); }), err::kBadArgument);
    EXPECT_EQ(errorOf([&] { p->setDayOfMonth(32); }), err::kBadArgument);
    EXPECT_EQ(errorOf([&] { p->setPatternEndDate(at(2024, 3, 5)); }), err::kBadArgument);
}

TEST(OutlookPattern, AOneOffBecomesRecurringAtTheSaveAfterItsPattern) {
    test::CalendarRig rig;
    auto item = rig.add("Once", at(2024, 3, 6));
    auto p = item->GetRecurrencePattern();
    EXPECT_EQ(p->RecurrenceType(), olRecursWeekly);
    EXPECT_EQ(p->Interval(), 1);
    EXPECT_EQ(p->DayOfWeekMask(), olWednesday);
    EXPECT_TRUE(p->NoEndDate());
    EXPECT_FALSE(item->IsRecurring());
    EXPECT_EQ(item->RecurrenceState(), olApptNotRecurring);
    EXPECT_EQ(rig.text().find("RRULE"), std::string::npos);
    item->Save();
    EXPECT_TRUE(item->IsRecurring());
    EXPECT_EQ(item->RecurrenceState(), olApptMaster);
    EXPECT_NE(rig.text().find("RRULE:FREQ=WEEKLY;BYDAY=WE\r\n"), std::string::npos);
    // A series without end stops at the walk's horizon.
    rig.horizonDays = 30;
    EXPECT_EQ(starts(rig).size(), 5u);  // 6 March to 3 April
}

TEST(OutlookPattern, TimesOfDayReadOnThe1stOfJanuary1601) {
    test::CalendarRig rig;
    auto item = rig.add("Timed", at(2024, 3, 6), 45);
    auto p = item->GetRecurrencePattern();
    EXPECT_EQ(p->StartTime(), at(1601, 1, 1, 9, 0));
    EXPECT_EQ(p->EndTime(), at(1601, 1, 1, 9, 45));
    EXPECT_EQ(p->Duration(), 45);
    p->setStartTime(at(2030, 5, 5, 10, 30));  // only the time of day counts
    EXPECT_EQ(item->Start(), at(2024, 3, 6, 10, 30));
    EXPECT_EQ(p->EndTime(), at(1601, 1, 1, 11, 15));
    p->setEndTime(at(1601, 1, 1, 9, 0));  // before the start: the next day
    EXPECT_EQ(p->Duration(), 22 * 60 + 30);

    auto allDay = rig.add("All day", at(2024, 3, 6), 30, true);
    auto q = allDay->GetRecurrencePattern();
    EXPECT_EQ(q->StartTime(), at(1601, 1, 1, 0, 0));
    EXPECT_EQ(q->Duration(), 1440);

    // A timed series made whole days the way the binding does it.
    auto timed = rig.add("Becomes a day", at(2024, 3, 7, 14), 30);
    auto r = timed->GetRecurrencePattern();
    r->setStartTime(at(1601, 1, 1, 0, 0));
    r->setEndTime(at(1601, 1, 1, 0, 0));
    r->setDuration(1440);
    timed->Save();
    auto back = rig.items()->Restrict("[Subject] = 'Becomes a day'")->Item(1)->GetRecurrencePattern();
    EXPECT_EQ(back->StartTime(), at(1601, 1, 1, 0, 0));
    EXPECT_EQ(back->Duration(), 1440);
    EXPECT_EQ(back->PatternStartDate(), at(2024, 3, 7, 0));
}

TEST(OutlookPattern, CountEndDayAndNoEndAreOneSetting) {
    test::CalendarRig rig;
    auto item = rig.add("Weekly", at(2024, 3, 6));
    auto p = item->GetRecurrencePattern();
    p->setOccurrences(5);
    EXPECT_FALSE(p->NoEndDate());
    EXPECT_EQ(p->PatternEndDate(), at(2024, 4, 3, 0));
    p->setPatternEndDate(at(2024, 3, 27, 18));
    EXPECT_EQ(p->PatternEndDate(), at(2024, 3, 27, 0));
    EXPECT_EQ(p->Occurrences(), 4);
    item->Save();
    EXPECT_NE(rig.text().find("RRULE:FREQ=WEEKLY;UNTIL=20240327T235959;BYDAY=WE\r\n"), std::string::npos) << rig.text();
    rig.reread();
    auto back = rig.items()->Item(1)->GetRecurrencePattern();
    EXPECT_EQ(back->PatternEndDate(), at(2024, 3, 27, 0));
    EXPECT_EQ(back->Occurrences(), 4);
    EXPECT_EQ(starts(rig).back(), at(2024, 3, 27));

    p->setNoEndDate(true);
    EXPECT_EQ(p->Occurrences(), 0);
    EXPECT_EQ(p->PatternEndDate(), noDate());
    p->setNoEndDate(false);
    EXPECT_EQ(p->Occurrences(), 10);
}

TEST(OutlookPattern, GetOccurrenceAnswersOnlyALiveOccurrenceAtExactlyItsStart) {
    test::CalendarRig rig;
    auto item = seriesWithExceptions(rig);
    struct Row {
        DateTime start;
        bool found;
    };
    const std::vector<Row> rows{
        {at(2024, 3, 6), true},          {at(2024, 3, 6, 9, 1), false},  // a minute off
        {at(2024, 3, 20), false},                                        // deleted
        {at(2024, 3, 27), false},                                        // moved away from
        {at(2024, 3, 28, 11), true},                                     // moved to
        {at(2024, 4, 10), false},                                        // past the count
    };
    auto p = item->GetRecurrencePattern();
    for (const Row& row : rows) {
        if (row.found) {
            auto o = p->GetOccurrence(row.start);
            EXPECT_EQ(o->Start(), row.start);
            EXPECT_EQ(o->EntryID(), item->EntryID());
            EXPECT_TRUE(o->IsRecurring());
        } else {
            EXPECT_EQ(errorOf([&] { p->GetOccurrence(row.start); }), err::kNoOccurrence) << row.start.isoText();
        }
    }
    EXPECT_EQ(p->GetOccurrence(at(2024, 3, 28, 11))->RecurrenceState(), olApptException);
    EXPECT_EQ(p->GetOccurrence(at(2024, 3, 13))->RecurrenceState(), olApptOccurrence);
    auto once = rig.add("Once", at(2024, 3, 6));
    EXPECT_EQ(errorOf([&] { once->GetRecurrencePattern()->GetOccurrence(at(2024, 3, 6)); }), err::kNoOccurrence);
}

TEST(OutlookPattern, ExceptionsListDeletedAndChangedOccurrencesInOrder) {
    test::CalendarRig rig;
    auto item = seriesWithExceptions(rig);
    // The series object that gave the occurrences sees them without a new reading.
    auto ex = item->GetRecurrencePattern()->Exceptions();
    ASSERT_EQ(ex->Count(), 2);
    EXPECT_TRUE(ex->Item(1)->Deleted());
    EXPECT_EQ(ex->Item(1)->OriginalDate(), at(2024, 3, 20));
    EXPECT_EQ(errorOf([&] { ex->Item(1)->AppointmentItem(); }), err::kItemDeleted);
    EXPECT_FALSE(ex->Item(2)->Deleted());
    EXPECT_EQ(ex->Item(2)->OriginalDate(), at(2024, 3, 27));
    EXPECT_EQ(ex->Item(2)->AppointmentItem()->Start(), at(2024, 3, 28, 11));
    EXPECT_EQ(ex->Item(2)->AppointmentItem()->Subject(), "Weekly, moved");
    EXPECT_EQ(errorOf([&] { ex->Item(3); }), err::kOutOfRange);
    EXPECT_EQ(starts(rig), (std::vector<DateTime>{at(2024, 3, 6), at(2024, 3, 13), at(2024, 3, 28, 11), at(2024, 4, 3)}));
    // Each change to an occurrence is a change to its series.
    EXPECT_EQ(rig.items()->Item(1)->LastModificationTime(), rig.clock().now());
}

// A start that moves takes the deleted and changed occurrences along (a moved
// occurrence keeps its own time); a rule that no longer has one drops it.
TEST(OutlookPattern, ExceptionsMoveWithTheSeriesAndGoWhenItsRuleNoLongerHasThem) {
    struct Row {
        const char* what;
        std::function<void(AppointmentItem&)> change;
        std::vector<std::pair<DateTime, bool>> exceptions;  // original start, deleted
        std::vector<DateTime> starts;
        const char* line;  // a line of the file that says so
    };
    const std::vector<Row> rows{
        {"the same starts and three more", [](AppointmentItem& i) { i.GetRecurrencePattern()->setOccurrences(8); },
         {{at(2024, 3, 20), true}, {at(2024, 3, 27), false}},
         {at(2024, 3, 6), at(2024, 3, 13), at(2024, 3, 28, 11), at(2024, 4, 3), at(2024, 4, 10), at(2024, 4, 17),
          at(2024, 4, 24)},
         "EXDATE:20240320T090000\r\n"},
        {"every start an hour later", [](AppointmentItem& i) { i.GetRecurrencePattern()->setStartTime(at(1601, 1, 1, 10)); },
         {{at(2024, 3, 20, 10), true}, {at(2024, 3, 27, 10), false}},
         {at(2024, 3, 6, 10), at(2024, 3, 13, 10), at(2024, 3, 28, 11), at(2024, 4, 3, 10)},
         "RECURRENCE-ID:20240327T100000\r\n"},
        {"all day", [](AppointmentItem& i) { i.setAllDayEvent(true); },
         {{at(2024, 3, 20, 0), true}, {at(2024, 3, 27, 0), false}},
         {at(2024, 3, 6, 0), at(2024, 3, 13, 0), at(2024, 3, 28, 11), at(2024, 4, 3, 0)},
         "EXDATE;VALUE=DATE:20240320\r\n"},
        {"three times only", [](AppointmentItem& i) { i.GetRecurrencePattern()->setOccurrences(3); },
         {{at(2024, 3, 20), true}}, {at(2024, 3, 6), at(2024, 3, 13)}, "EXDATE:20240320T090000\r\n"},
    };
    for (const Row& row : rows) {
        test::CalendarRig rig;
        auto item = seriesWithExceptions(rig);
        row.change(*item);
        item->Save();
        auto ex = rig.items()->Item(1)->GetRecurrencePattern()->Exceptions();
        std::vector<std::pair<DateTime, bool>> got;
        for (int i = 1; i <= ex->Count(); ++i) got.emplace_back(ex->Item(i)->OriginalDate(), ex->Item(i)->Deleted());
        EXPECT_EQ(got, row.exceptions) << row.what;
        EXPECT_EQ(starts(rig), row.starts) << row.what;
        EXPECT_NE(rig.text().find(row.line), std::string::npos) << row.what << "\n" << rig.text();
    }
}

TEST(OutlookPattern, DeletingTheSeriesRemovesEveryOccurrence) {
    test::CalendarRig rig;
    auto item = seriesWithExceptions(rig);
    rig.add("Stays", at(2024, 3, 7));
    const std::string uid = item->EntryID();
    item->Delete();
    EXPECT_EQ(rig.text().find(uid), std::string::npos);
    EXPECT_EQ(starts(rig), std::vector<DateTime>{at(2024, 3, 7)});
}

TEST(OutlookPattern, RulesOfOtherProgramsReadAsTheClosestPattern) {
    struct Row {
        const char* rule;
        DateTime start;
        int type, interval, mask, instance, dayOfMonth, month;
    };
    const std::vector<Row> rows{
        {"FREQ=MONTHLY;BYMONTHDAY=15", at(2024, 1, 15), olRecursMonthly, 1, 0, 3, 15, 1},
        {"FREQ=MONTHLY;BYMONTHDAY=-1", at(2024, 1, 31), olRecursMonthly, 1, 0, 5, 31, 1},
        {"FREQ=MONTHLY;BYDAY=2TU", at(2024, 3, 12), olRecursMonthNth, 1, olTuesday, 2, 12, 3},
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,FR", at(2024, 3, 4), olRecursWeekly, 2, olMonday | olFriday, 1, 4, 3},
        {"FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR", at(2024, 3, 4), olRecursDaily, 1, 62, 1, 4, 3},
        {"FREQ=YEARLY", at(2024, 6, 1), olRecursYearly, 12, 0, 1, 1, 6},
        {"FREQ=YEARLY;INTERVAL=2;BYMONTH=11;BYDAY=4TH", at(2024, 11, 28), olRecursYearNth, 24, olThursday, 4, 28, 11},
        // What no pattern can show reads as another kind of rule.
        {"FREQ=MONTHLY;BYMONTHDAY=1,15", at(2024, 1, 1), olRecursOther, 1, 0, 1, 15, 1},
        {"FREQ=HOURLY;INTERVAL=6", at(2024, 1, 1), olRecursOther, 6, 0, 1, 1, 1},
        {"FREQ=MONTHLY;BYDAY=MO", at(2024, 1, 1), olRecursOther, 1, olMonday, 1, 1, 1},
    };
    for (const Row& row : rows) {
        test::CalendarRig rig;
        char start[32];
        std::snprintf(start, sizeof start, "%04d%02d%02dT090000", row.start.year(), row.start.month(), row.start.day());
        rig.write(std::string("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\nBEGIN:VEVENT\r\nUID:r1\r\n"
                              "DTSTAMP:20240101T000000Z\r\nDTSTART:") +
                  start + "\r\nRRULE:" + row.rule + "\r\nSUMMARY:Theirs\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
        auto item = rig.items()->Item(1);
        ASSERT_TRUE(item->IsRecurring()) << row.rule;
        auto p = item->GetRecurrencePattern();
        EXPECT_EQ(p->RecurrenceType(), row.type) << row.rule;
        EXPECT_EQ(p->Interval(), row.interval) << row.rule;
        EXPECT_EQ(p->DayOfWeekMask(), row.mask) << row.rule;
        EXPECT_EQ(p->Instance(), row.instance) << row.rule;
        EXPECT_EQ(p->DayOfMonth(), row.dayOfMonth) << row.rule;
        EXPECT_EQ(p->MonthOfYear(), row.month) << row.rule;
        EXPECT_TRUE(p->NoEndDate()) << row.rule;
        // A save that leaves the pattern alone keeps their rule as they wrote it.
        item->setSubject("Ours now");
        item->Save();
        EXPECT_NE(rig.text().find(std::string("RRULE:") + row.rule + "\r\n"), std::string::npos) << rig.text();
    }
}
