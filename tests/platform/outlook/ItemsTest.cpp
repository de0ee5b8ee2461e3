// Item collections: filters, sorting with occurrences, walks that delete, and
// collections and application objects that share one file.

#include <gtest/gtest.h>

#include <functional>

#include "platform/outlook/Errors.h"
#include "tests/support/CalendarRig.h"

using namespace wendra;
using namespace wendra::outlook;
using wendra::test::at;
using wendra::test::errorOf;

namespace {

std::vector<std::string> subjects(Items& items) {
    std::vector<std::string> out;
    for (auto i = items.GetFirst(); i; i = items.GetNext()) out.push_back(i->Subject());
    return out;
}

std::vector<std::pair<DateTime, std::string>> walk(Items& items) {
    std::vector<std::pair<DateTime, std::string>> out;
    for (auto i = items.GetFirst(); i; i = items.GetNext()) out.emplace_back(i->Start(), i->Subject());
    return out;
}

// Mum's birthday made at 10:00:00, the dentist at 10:02:30, a weekly meeting at
// 10:05:00 (three Wednesdays), a holiday on 6 March.
void fill(test::CalendarRig& rig) {
    rig.add("Mum's birthday", at(2024, 3, 10, 0), 1440, true);
    rig.clock().advanceSeconds(150);
    rig.add("Dentist", at(2024, 3, 13, 8));
    rig.clock().advanceSeconds(150);
    auto weekly = rig.add("Weekly", at(2024, 3, 6));
    weekly->GetRecurrencePattern()->setOccurrences(3);
    weekly->Save();
    rig.add("Holiday", at(2024, 3, 6, 0), 1440, true);
}

}  // namespace

TEST(OutlookItems, RestrictKeepsWhatTheFilterNames) {
    test::CalendarRig rig;
    fill(rig);
    struct Row {
        const char* filter;
        std::vector<std::string> subjects;
    };
    const std::vector<Row> rows{
        {"[Subject] = 'Mum''s birthday'", {"Mum's birthday"}},
        {"[Subject] = 'DENTIST'", {"Dentist"}},
        {"[Subject] = \"Weekly\"", {"Weekly"}},
        {"[Subject] = 'Nobody'", {}},
        {"[CreationTime] > '05/Mar/2024 10:01' AND [CreationTime] < '05/Mar/2024 10:03'", {"Dentist"}},
        {"[CreationTime] > '5 March 2024 09:59' AND [CreationTime] < '2024-03-05 10:01'", {"Mum's birthday"}},
        {"[CreationTime] >= '05/Mar/2024 10:05'", {"Weekly", "Holiday"}},
        {"[Subject] = 'Dentist' OR [Subject] = 'Weekly'", {"Dentist", "Weekly"}},
        {"NOT ([Subject] = 'Dentist' or [AllDayEvent] = True)", {"Weekly"}},
        {"[Start] >= '06 Mar 2024' AND [Start] < '07 Mar 2024'", {"Weekly", "Holiday"}},
        {"[IsRecurring] = False AND [Duration] < 60", {"Dentist"}},
        {"[Start] < '06/Mar/2024 9:00 AM'", {"Holiday"}},
    };
    auto all = rig.items();
    for (const Row& row : rows) {
        auto r = all->Restrict(row.filter);
        EXPECT_EQ(subjects(*r), row.subjects) << row.filter;
        EXPECT_EQ(r->Count(), static_cast<int>(row.subjects.size())) << row.filter;
    }
    EXPECT_EQ(all->Restrict("[Subject] = 'Nobody'")->GetFirst(), nullptr);
    // Filters chain.
    EXPECT_EQ(subjects(*all->Restrict("[AllDayEvent] = True")->Restrict("[Subject] = 'Holiday'")),
              std::vector<std::string>{"Holiday"});
}

TEST(OutlookItems, FiltersItCannotReadRaise) {
    test::CalendarRig rig;
    auto items = rig.items();
    for (const char* filter : {"", "[Subject] = 'open", "[Nope] = 'x'", "[Subject] 'x'", "[CreationTime] > 'yesterday'",
                               "[Subject] = 'x' AND", "([Subject] = 'x'", "[AllDayEvent] = Maybe", "[Subject] = 'x' 'y'",
                               "[Start] > '31/Feb/2024'"})
        EXPECT_EQ(errorOf([&] { items->Restrict(filter); }), err::kBadFilter) << filter;
}

TEST(OutlookItems, SortedByStartWithRecurrencesTheWalkListsEveryOccurrence) {
    test::CalendarRig rig;
    fill(rig);
    auto weekly = rig.items()->Restrict("[Subject] = 'Weekly'")->Item(1);
    weekly->GetRecurrencePattern()->GetOccurrence(at(2024, 3, 13))->Delete();

    auto items = rig.items();
    items->Sort("[Start]");
    items->setIncludeRecurrences(true);
    using W = std::vector<std::pair<DateTime, std::string>>;
    EXPECT_EQ(walk(*items), (W{{at(2024, 3, 6, 0), "Holiday"},
                               {at(2024, 3, 6), "Weekly"},
                               {at(2024, 3, 10, 0), "Mum's birthday"},
                               {at(2024, 3, 13, 8), "Dentist"},
                               {at(2024, 3, 20), "Weekly"}}));
    EXPECT_EQ(items->Count(), 5);
    EXPECT_EQ(items->Item(2)->RecurrenceState(), olApptOccurrence);

    // Occurrences come only with the sort by start; descending order too.
    auto masters = rig.items();
    masters->setIncludeRecurrences(true);
    EXPECT_EQ(masters->Count(), 4);
    masters->Sort("[Subject]", true);
    EXPECT_EQ(subjects(*masters), (std::vector<std::string>{"Weekly", "Mum's birthday", "Holiday", "Dentist"}));
    EXPECT_EQ(errorOf([&] { masters->Sort("[Location]"); }), err::kBadArgument);
}

// A walk restricted to a range of starts begins near the range rather than at
// each series' start, and lists what the whole walk lists in that range.
TEST(OutlookItems, AWalkOverARangeOfStartsListsWhatTheWholeWalkHasThere) {
    const std::vector<std::string> rules{"FREQ=DAILY;INTERVAL=3",
                                         "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,FR",
                                         "FREQ=MONTHLY;BYMONTHDAY=28,29,30,31;BYSETPOS=-1",
                                         "FREQ=MONTHLY;BYDAY=TU,TH;BYSETPOS=2",
                                         "FREQ=MONTHLY;INTERVAL=5;BYDAY=-1FR",
                                         "FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29",
                                         "FREQ=YEARLY;INTERVAL=3;BYDAY=4TH;BYMONTH=11",
                                         "FREQ=WEEKLY;UNTIL=20240320T235959",
                                         "FREQ=WEEKLY;UNTIL=20240213T235959"};
    const DateTime from = at(2024, 2, 20, 9), to = at(2026, 3, 1, 0);
    const std::string range = "[Start] >= '2024-02-20 09:00' AND [Start] < '2026-03-01 00:00'";
    for (const std::string& rule : rules) {
        test::CalendarRig rig;
        rig.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\nBEGIN:VEVENT\r\nUID:1\r\n"
                  "DTSTART;TZID=America/New_York:20000229T090000\r\nRRULE:" + rule +
                  "\r\nSUMMARY:Theirs\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
        auto whole = rig.items();
        whole->Sort("[Start]");
        whole->setIncludeRecurrences(true);
        auto expected = walk(*whole);
        std::erase_if(expected, [&](const auto& o) { return o.first < from || o.first >= to; });
        auto ranged = rig.items()->Restrict(range);
        ranged->Sort("[Start]");
        ranged->setIncludeRecurrences(true);
        EXPECT_EQ(walk(*ranged), expected) << rule;
        EXPECT_EQ(expected.empty(), rule.find("20240213") != std::string::npos) << rule;
    }
    // A range that ends beyond the horizon of a walk reaches there, for one-off appointments too.
    test::CalendarRig rig;
    auto daily = rig.add("Daily", at(2024, 3, 6));
    daily->GetRecurrencePattern()->setRecurrenceType(olRecursDaily);
    daily->Save();
    rig.add("Once", at(2040, 1, 15, 12));
    auto far = rig.items()->Restrict("[Start] >= '2040-01-01 00:00' AND [Start] < '2040-02-01 00:00'");
    far->Sort("[Start]");
    far->setIncludeRecurrences(true);
    EXPECT_EQ(far->Count(), 32);
}

TEST(OutlookItems, AWalkThatDeletesWhatItGetsMissesNothing) {
    test::CalendarRig rig;
    auto daily = rig.add("Daily", at(2024, 3, 6));
    daily->GetRecurrencePattern()->setRecurrenceType(olRecursDaily);
    daily->GetRecurrencePattern()->setOccurrences(12);
    daily->Save();
    rig.add("Daily", at(2024, 3, 9, 12));  // another item of the same subject

    auto c = rig.items()->Restrict("[Subject] = 'Daily'");
    c->Sort("[Start]");
    c->setIncludeRecurrences(true);
    int deleted = 0;
    for (auto o = c->GetFirst(); o; o = c->GetNext()) {
        if (o->EntryID() != daily->EntryID()) continue;
        o->Delete();
        ++deleted;
    }
    EXPECT_EQ(deleted, 12);
    auto after = rig.items();
    after->Sort("[Start]");
    after->setIncludeRecurrences(true);
    EXPECT_EQ(walk(*after), (std::vector<std::pair<DateTime, std::string>>{{at(2024, 3, 9, 12), "Daily"}}));
}

TEST(OutlookItems, CollectionsAreLiveAndApplicationsShareTheFile) {
    test::CalendarRig rig;
    auto first = rig.app()->GetNamespace("MAPI")->GetDefaultFolder(olFolderCalendar);
    auto second = rig.app()->GetNamespace("mapi")->GetDefaultFolder(olFolderCalendar);
    EXPECT_EQ(first->EntryID(), second->EntryID());
    auto seenByFirst = first->Items();
    auto dentistsOfSecond = second->Items()->Restrict("[Subject] = 'Dentist'");
    EXPECT_EQ(seenByFirst->Count(), 0);

    auto added = first->Items()->Add();
    added->setSubject("Dentist");
    added->Save();
    EXPECT_EQ(seenByFirst->Count(), 1);
    EXPECT_EQ(dentistsOfSecond->Count(), 1);

    // One appointment changed through both: each save keeps the other's change.
    auto viaSecond = dentistsOfSecond->Item(1);
    viaSecond->UserProperties()->Add("qvrPriorWarn", olNumber)->setValue(5.0);
    added->setSubject("Dentist at nine");
    added->Save();
    viaSecond->Save();
    auto back = seenByFirst->Item(1);
    EXPECT_EQ(back->Subject(), "Dentist at nine");
    EXPECT_EQ(back->UserProperties()->Find("qvrPriorWarn")->Value(), PropertyValue(5.0));
    EXPECT_EQ(dentistsOfSecond->Count(), 0);  // the filter no longer holds

    // Saves of the two applications in turn lose nothing.
    auto a = first->Items(), b = second->Items();
    for (int i = 0; i < 10; ++i) {
        for (auto* items : {a.get(), b.get()}) {
            auto item = items->Add();
            item->setSubject("Turn " + std::to_string(i));
            item->Save();
        }
    }
    EXPECT_EQ(rig.items()->Count(), 21);
}

TEST(OutlookItems, OutOfRangeAndUnknownNamesRaise) {
    test::CalendarRig rig;
    rig.add("One", at(2024, 3, 6));
    auto items = rig.items();
    EXPECT_EQ(errorOf([&] { items->Item(0); }), err::kOutOfRange);
    EXPECT_EQ(errorOf([&] { items->Item(2); }), err::kOutOfRange);
    EXPECT_EQ(errorOf([&] { rig.app()->GetNamespace("IMAP"); }), err::kBadArgument);
    EXPECT_EQ(errorOf([&] { rig.app()->GetNamespace("MAPI")->GetDefaultFolder(6); }), err::kBadArgument);
    EXPECT_EQ(rig.app()->Name(), "Outlook");
    EXPECT_FALSE(rig.app()->Version().empty());
}
