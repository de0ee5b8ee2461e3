// Reading appointments: patterns made in Outlook read as rules, the program's
// properties and their defaults, the marks that tell Outlook's changes from the
// program's own writes, the calendar's id, and finding an event's appointment
// as found, absent or failed.

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/OutlookBindingRig.h"

using namespace wendra;
using namespace wendra::outlook;
using wendra::test::at;
using wendra::test::OutlookBindingRig;

namespace {

clsCalEvent readEntry(OutlookBindingRig& rig, const std::string& entryId) {
    clsCalEvent ev;
    EXPECT_EQ(rig.binding.findItem(ev, rig.binding.CalendarId(), "", entryId), FindResult::found);
    return ev;
}

TEST(OutlookRead, PatternsMadeInOutlookReadAsTheirRules) {
    struct Row {
        const char* what;
        DateTime start;
        std::function<void(RecurrencePattern&)> set;
        int frequency, interval;
        const char *byDay, *bySetPos, *byMonthDay, *byMonth;
    };
    const std::vector<Row> rows{
        {"weekly on Monday alone", at(2024, 3, 11), [](RecurrencePattern&) {}, clsCalRRule::kWeekly, 1, "", "", "", ""},
        {"weekly on Monday and Wednesday", at(2024, 3, 11), [](RecurrencePattern& p) { p.setDayOfWeekMask(olMonday | olWednesday); },
         clsCalRRule::kWeekly, 1, "MO,WE", "", "", ""},
        {"monthly on the 15th", at(2024, 3, 15), [](RecurrencePattern& p) { p.setRecurrenceType(olRecursMonthly); },
         clsCalRRule::kMonthly, 1, "", "", "", ""},
        {"monthly on the 31st", at(2024, 3, 31), [](RecurrencePattern& p) { p.setRecurrenceType(olRecursMonthly); },
         clsCalRRule::kMonthly, 1, "", "-1", "28,29,30,31", ""},
        {"the last Friday of every second month", at(2024, 3, 29),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursMonthNth);
             p.setInstance(5);
             p.setInterval(2);
         },
         clsCalRRule::kMonthly, 2, "-1FR", "", "", ""},
        {"the second of Tuesdays and Thursdays", at(2024, 3, 7),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursMonthNth);
             p.setDayOfWeekMask(olTuesday | olThursday);
             p.setInstance(2);
         },
         clsCalRRule::kMonthly, 1, "TU,TH", "2", "", ""},
        {"yearly", at(2024, 6, 10), [](RecurrencePattern& p) { p.setRecurrenceType(olRecursYearly); },
         clsCalRRule::kYearly, 1, "", "", "", ""},
        // A yearly interval is counted in months: 24 is every second year, not every year.
        {"every 24 months", at(2024, 6, 10),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursYearly);
             p.setInterval(24);
         },
         clsCalRRule::kYearly, 2, "", "", "", ""},
        // The n-th weekday of a month each year is a yearly rule, not a monthly one.
        {"the fourth Thursday of November", at(2024, 11, 28),
         [](RecurrencePattern& p) { p.setRecurrenceType(olRecursYearNth); }, clsCalRRule::kYearly, 1, "4TH", "", "",
         "11"},
        {"every third day", at(2024, 3, 6),
         [](RecurrencePattern& p) {
             p.setRecurrenceType(olRecursDaily);
             p.setInterval(3);
         },
         clsCalRRule::kDaily, 3, "", "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        rig.calendar.horizonDays = 20 * 366;
        auto item = rig.calendar.add(row.what, row.start, 1440, true);
        auto p = item->GetRecurrencePattern();
        row.set(*p);
        p->setOccurrences(6);
        item->Save();
        const clsCalEvent ev = readEntry(rig, item->EntryID());
        ASSERT_EQ(ev.RRulesCount(), 1);
        const clsCalRRule& r = *ev.RRule(1);
        EXPECT_EQ(r.Frequency(), row.frequency);
        EXPECT_EQ(r.Interval(), row.interval);
        EXPECT_EQ(r.ByDay(), row.byDay);
        EXPECT_EQ(r.BySetPos(), row.bySetPos);
        EXPECT_EQ(r.ByMonthDay(), row.byMonthDay);
        EXPECT_EQ(r.ByMonth(), row.byMonth);
        EXPECT_TRUE(ev.AllDayEvent());
        // The program's engine gives the six occurrences libical gives.
        const auto starts = rig.outlookStarts(item->EntryID(), at(2040, 1, 1));
        EXPECT_EQ(starts.size(), 6u);
        EXPECT_EQ(OutlookBindingRig::occurrences(ev, at(2040, 1, 1)), starts);
    }
}

TEST(OutlookRead, ASeriesIsAllDayByItsPatternTimesAndEndsOnItsLastDay) {
    OutlookBindingRig rig;
    auto timed = rig.calendar.add("Timed", at(2024, 3, 6, 18, 30), 90);
    timed->GetRecurrencePattern()->setPatternEndDate(at(2024, 3, 20, 0, 0));
    timed->Save();
    auto midnight = rig.calendar.add("Day long", at(2024, 3, 6, 0, 0), 1440);
    midnight->GetRecurrencePattern()->setOccurrences(3);
    midnight->Save();
    ASSERT_FALSE(midnight->AllDayEvent());

    const clsCalEvent t = readEntry(rig, timed->EntryID());
    EXPECT_FALSE(t.AllDayEvent());
    EXPECT_EQ(t.EventStart(), at(2024, 3, 6, 18, 30));
    EXPECT_EQ(t.RRule(1)->DurationUntil(), at(2024, 3, 20, 0, 0));
    // The last day's occurrence at 18:30 is part of the series.
    EXPECT_EQ(OutlookBindingRig::occurrences(t, at(2025, 1, 1)).back(), at(2024, 3, 20, 18, 30));

    const clsCalEvent d = readEntry(rig, midnight->EntryID());
    EXPECT_TRUE(d.AllDayEvent());
    EXPECT_EQ(d.EventStart(), at(2024, 3, 6, 0, 0));
}

TEST(OutlookRead, AnAppointmentWithoutTheProgramsPropertiesGetsThemWithTheirDefaults) {
    OutlookBindingRig rig;
    rig.settings.setPriorWarning(7);
    auto item = rig.calendar.add("Plain", at(2024, 3, 9, 11, 0));
    const DateTime savedAt = item->LastModificationTime();
    rig.clock().advanceSeconds(90);

    const clsCalEvent ev = readEntry(rig, item->EntryID());
    EXPECT_EQ(ev.ViewFromDate(), at(2024, 3, 5, 0, 0));
    EXPECT_EQ(ev.PriorWarning(), 7);
    EXPECT_TRUE(ev.PriorWarningIsDefault());
    EXPECT_EQ(ev.HiddenList(), "");
    // Adding the properties is the program's own write, not a change in Outlook.
    EXPECT_EQ(ev.LastModified(), savedAt);
    EXPECT_EQ(ev.XCalendarId(), rig.binding.CalendarId());
    EXPECT_EQ(ev.XID(), item->EntryID());

    rig.calendar.reread();
    auto props = rig.appointment(item->EntryID())->UserProperties();
    const std::vector<std::pair<const char*, PropertyValue>> expected{
        {"qvrViewFromDate", at(2024, 3, 5, 0, 0)},      {"qvrPriorWarn", 7.0},
        {"qvrPriorWarnIsDefault", true},                {"qvrHiddenList", std::string()},
        {"qvrLastModified", std::string("20240305T100000")}, {"qvrLastWritten", std::string("18000101T000000")},
        {"qvrLastCompared", std::string("20240305T100130")}};
    for (const auto& [name, value] : expected) {
        SCOPED_TRACE(name);
        auto p = props->Find(name);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(p->Value() == value);
    }
    EXPECT_EQ(props->Find("qvrViewFromDate")->Type(), olDateTime);
    EXPECT_EQ(props->Find("qvrPriorWarn")->Type(), olNumber);
    EXPECT_EQ(props->Find("qvrPriorWarnIsDefault")->Type(), olYesNo);
}

TEST(OutlookRead, OnlyAChangeWellAfterTheProgramsOwnMarksIsOutlooks) {
    struct Row {
        const char* what;
        int comparedAfter;  // seconds after the write that the program compared it; 0 for none
        int editedAfter;    // seconds after the write that it was changed in Outlook
        int storedAhead;    // the program's modification time, seconds after the write
        int expected;       // LastModified read back, seconds after the write
    };
    const std::vector<Row> rows{
        {"changed one second after the write", 0, 1, 0, 0},
        {"two seconds after the write", 0, 2, 0, 0},
        {"three seconds after the write", 0, 3, 0, 3},
        {"one second after a later comparison", 5, 6, 0, 0},
        {"two seconds after a later comparison", 5, 7, 0, 7},
        {"three seconds after, with the program's time later still", 0, 3, 100, 101},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        const DateTime written = rig.clock().now();
        clsCalEvent ev = rig.event("Marks", at(2024, 3, 9, 11, 0));
        ev.setLastModified(written.addSeconds(row.storedAhead));
        ASSERT_TRUE(rig.save(ev));
        const std::string entryId = rig.entryIdOf(ev);
        EXPECT_EQ(rig.state.gLastOutlookWriteId, "");  // the save cleared its own-write record at its end
        EXPECT_EQ(rig.state.gLastOutlookWriteTime, written);

        clsCalEvent fresh;
        ASSERT_EQ(rig.readBack(ev, fresh), FindResult::found);
        EXPECT_EQ(fresh.LastModified(), ev.LastModified());  // a fresh reading after the save

        if (row.comparedAfter > 0) {
            rig.clock().set(written.addSeconds(row.comparedAfter));
            rig.binding.updateCompareDates(fresh, ev.LastModified());
        }
        rig.clock().set(written.addSeconds(row.editedAfter));
        auto outside = rig.appointment(entryId);
        outside->setSubject("Marks, moved");
        outside->Save();
        clsCalEvent back;
        ASSERT_EQ(rig.readBack(ev, back), FindResult::found);
        EXPECT_EQ(back.LastModified(), written.addSeconds(row.expected));
    }
}

TEST(OutlookRead, TheCalendarsIdIsKeptOnlyOnceTheStoreHasGivenARealOne) {
    OutlookBindingRig rig;
    clsDataQVR closed{rig.settings, StoreOptions::mainProgram(rig.calendar.folder().string())};
    clsDataQVR* current = &closed;  // not opened: every registration fails
    OutlookContext context = OutlookContext::of(rig.data, rig.settings, rig.state);
    context.store = [&] { return current; };
    clsDataOutlook binding{rig.automation, rig.messages, context};
    auto item = rig.calendar.add("Known", at(2024, 3, 9, 11, 0));

    EXPECT_EQ(binding.CalendarId(), -1);
    EXPECT_EQ(binding.CalendarId(), -1);
    // Without the id nothing may pass for a local event or be written a second time.
    clsCalEvent local = rig.event("Local", at(2024, 3, 9, 12, 0));
    local.setXID("not-an-entry");
    EXPECT_EQ(binding.getXID(local), "");
    clsCalEvent ev;
    EXPECT_EQ(binding.findItem(ev, -1, "", item->EntryID()), FindResult::failed);
    EXPECT_FALSE(binding.OutlookToCalEvent(ev, item));
    EXPECT_FALSE(binding.Save(local, ""));
    EXPECT_EQ(rig.saveErrors(), 1);
    EXPECT_EQ(rig.appointmentCount(), 1);

    current = &rig.data;
    const int id = binding.CalendarId();
    EXPECT_GT(id, 0);
    EXPECT_EQ(binding.findItem(ev, id, "", item->EntryID()), FindResult::found);
    current = &closed;
    EXPECT_EQ(binding.CalendarId(), id);  // registered once for the process
}

TEST(OutlookRead, TheCalendarIsRegisteredUnderItsApplicationVersionAndFolder) {
    OutlookBindingRig rig;
    const int id = rig.binding.CalendarId();
    ASSERT_GT(id, 0);
    auto folder = rig.calendar.app()->GetNamespace("MAPI")->GetDefaultFolder(olFolderCalendar);
    std::string key = "Outlook-1.0-" + folder->EntryID();
    EXPECT_EQ(rig.data.RegisterXCalendar(key), id);
}

TEST(OutlookRead, AFailedConnectionIsTriedAgain) {
    OutlookBindingRig rig;
    rig.faults->failOn("Automation.CreateObject", 0);
    EXPECT_FALSE(rig.binding.OpenData());
    EXPECT_EQ(rig.binding.CalendarId(), -1);
    EXPECT_EQ(rig.binding.CalendarId(), -1);
    rig.faults->clear("Automation.CreateObject");
    EXPECT_GT(rig.binding.CalendarId(), 0);
    EXPECT_TRUE(rig.binding.OpenData());
}

// ---- finding ----------------------------------------------------------------------------

TEST(OutlookFind, TellsFoundAbsentAndFailedApart) {
    struct Row {
        const char* what;
        std::function<FindResult(OutlookBindingRig&, clsCalEvent& stored, clsCalEvent& out)> find;
        FindResult expected;
    };
    const std::vector<Row> rows{
        {"the store copy's row key with the local calendar",
         [](OutlookBindingRig& rig, clsCalEvent& stored, clsCalEvent& out) { return rig.readBack(stored, out); },
         FindResult::found},
        {"a bare store id is no row key",
         [](OutlookBindingRig& rig, clsCalEvent& stored, clsCalEvent& out) {
             return rig.binding.findItem(out, clsDataQVR::kLocalCalendarId, stored.WendraWinId(), "");
         },
         FindResult::failed},
        {"an event that was never linked",
         [](OutlookBindingRig& rig, clsCalEvent&, clsCalEvent& out) {
             clsCalEvent other = rig.event("Only here", at(2024, 3, 9, 8, 0));
             EXPECT_TRUE(rig.data.Save(other, clsDataQVR::kSaveAlways));
             return rig.readBack(other, out);
         },
         FindResult::absent},
        {"an appointment deleted in Outlook",
         [](OutlookBindingRig& rig, clsCalEvent& stored, clsCalEvent& out) {
             rig.appointment(rig.entryIdOf(stored))->Delete();
             return rig.readBack(stored, out);
         },
         FindResult::absent},
        {"renamed in Outlook while another appointment has its old name",
         [](OutlookBindingRig& rig, clsCalEvent& stored, clsCalEvent& out) {
             auto item = rig.appointment(rig.entryIdOf(stored));
             item->setSubject("Renamed");
             item->Save();
             rig.calendar.add("Dentist", at(2024, 4, 1, 8, 0));
             clsCalEvent oldKey;
             oldKey.setDescription("Dentist");
             return rig.binding.findItem(out, rig.binding.CalendarId(), oldKey.GridKey(), item->EntryID());
         },
         FindResult::found},
        {"a creation time that names another appointment",
         [](OutlookBindingRig& rig, clsCalEvent& stored, clsCalEvent& out) {
             rig.clock().advanceSeconds(3600);
             auto other = rig.calendar.add("Later", at(2024, 4, 1, 8, 0));
             clsCalEvent key;
             key.setMSOCreated(other->CreationTime());
             return rig.binding.findItem(out, rig.binding.CalendarId(), key.GridKey(), rig.entryIdOf(stored));
         },
         FindResult::found},
        {"the calendar refuses its filter",
         [](OutlookBindingRig& rig, clsCalEvent& stored, clsCalEvent& out) {
             rig.faults->failOn("Items.Restrict", 0);
             return rig.readBack(stored, out);
         },
         FindResult::failed},
        {"the calendar's items cannot be had",
         [](OutlookBindingRig& rig, clsCalEvent& stored, clsCalEvent& out) {
             rig.faults->failOn("MAPIFolder.Items", 0);
             return rig.readBack(stored, out);
         },
         FindResult::failed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        clsCalEvent stored = rig.event("Dentist", at(2024, 3, 9, 8, 30));
        ASSERT_TRUE(rig.save(stored));
        clsCalEvent out;
        EXPECT_EQ(row.find(rig, stored, out), row.expected);
        EXPECT_EQ(rig.binding.Find(out, clsDataQVR::kLocalCalendarId, stored.GridKey(), ""),
                  rig.readBack(stored, out) == FindResult::found);
        if (row.expected == FindResult::found) {
            EXPECT_EQ(out.XID(), rig.entryIdOf(stored));
        }
    }
}

TEST(OutlookFind, TheStoreKeyComesWithTheEventFoundThroughIt) {
    OutlookBindingRig rig;
    clsCalEvent stored = rig.event("Keyed", at(2024, 3, 9, 8, 30));
    ASSERT_TRUE(rig.save(stored));
    clsCalEvent fromStore;
    ASSERT_TRUE(rig.data.Find(fromStore, clsDataQVR::kLocalCalendarId, stored.WendraWinId()));
    clsCalEvent out;
    ASSERT_EQ(rig.binding.findItem(out, clsDataQVR::kLocalCalendarId, fromStore.GridKey(), ""), FindResult::found);
    EXPECT_EQ(out.WendraWinId(), stored.WendraWinId());
    EXPECT_EQ(out.Description(), "Keyed");
}

TEST(OutlookFind, AnOccurrenceIsFoundOnlyWhereTheSeriesHasOne) {
    OutlookBindingRig rig;
    auto series = rig.calendar.add("Weekly", at(2024, 3, 6, 9, 0));
    series->GetRecurrencePattern()->setOccurrences(4);
    series->Save();
    auto once = rig.calendar.add("Once", at(2024, 3, 7, 9, 0));

    clsCalEvent ev = readEntry(rig, series->EntryID());
    EXPECT_TRUE(rig.binding.findOccur(ev, at(2024, 3, 13, 9, 0)));
    ASSERT_NE(rig.binding.OutlookOccurItem(ev), nullptr);
    EXPECT_EQ(rig.binding.OutlookOccurItem(ev)->Start(), at(2024, 3, 13, 9, 0));
    EXPECT_FALSE(rig.binding.findOccur(ev, at(2024, 3, 14, 9, 0)));
    EXPECT_FALSE(rig.binding.findOccur(ev, at(2024, 4, 3, 9, 0)));

    clsCalEvent one = readEntry(rig, once->EntryID());
    EXPECT_FALSE(rig.binding.findOccur(one, at(2024, 3, 7, 9, 0)));
    // Asking gave the one-off no pattern.
    rig.binding.OutlookItem(one)->Save();
    EXPECT_FALSE(rig.appointment(once->EntryID())->IsRecurring());
}

TEST(OutlookFind, SeveralOccurrencesOfASubjectWithAnApostrophe) {
    OutlookBindingRig rig;
    auto series = rig.calendar.add("Mum's clinic", at(2024, 3, 6, 9, 0));
    series->GetRecurrencePattern()->setOccurrences(3);
    series->Save();
    rig.calendar.add("Mum's clinic", at(2024, 3, 7, 15, 0));
    rig.calendar.add("Other", at(2024, 3, 8, 15, 0));

    std::shared_ptr<Items> c;
    ASSERT_TRUE(rig.binding.FindMultipleOccurs(c, series->EntryID(), "Mum's clinic"));
    std::vector<DateTime> starts;
    for (auto i = c->GetFirst(); i; i = c->GetNext()) starts.push_back(i->Start());
    EXPECT_EQ(starts, (std::vector<DateTime>{at(2024, 3, 6, 9, 0), at(2024, 3, 7, 15, 0), at(2024, 3, 13, 9, 0),
                                             at(2024, 3, 20, 9, 0)}));
    EXPECT_FALSE(rig.binding.FindMultipleOccurs(c, series->EntryID(), "Other"));
}

TEST(OutlookFind, EveryAppointmentIsWalkedOnce) {
    OutlookBindingRig rig;
    for (const char* subject : {"One", "Two", "Three"}) rig.calendar.add(subject, at(2024, 3, 9, 8, 0));
    ASSERT_TRUE(rig.binding.SelectAllEvents());
    std::vector<std::string> seen;
    for (auto ev = rig.binding.GetFirstEvent(); ev; ev = rig.binding.GetNextEvent()) {
        EXPECT_FALSE(rig.binding.EndOfEvents());
        seen.push_back(ev->Description());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"One", "Two", "Three"}));
    EXPECT_TRUE(rig.binding.EndOfEvents());
}

TEST(OutlookFind, TheEntryIdOfAnEventComesFromItselfOrItsLink) {
    OutlookBindingRig rig;
    clsCalEvent stored = rig.event("Linked", at(2024, 3, 9, 8, 30));
    ASSERT_TRUE(rig.save(stored));
    const std::string entryId = rig.entryIdOf(stored);
    ASSERT_FALSE(entryId.empty());
    EXPECT_EQ(rig.binding.getXID(stored), entryId);
    clsCalEvent fromOutlook = readEntry(rig, entryId);
    fromOutlook.setWendraWinId("");
    EXPECT_EQ(rig.binding.getXID(fromOutlook), entryId);
    clsCalEvent unlinked = rig.event("Unlinked", at(2024, 3, 9, 8, 30));
    ASSERT_TRUE(rig.data.Save(unlinked, clsDataQVR::kSaveAlways));
    EXPECT_EQ(rig.binding.getXID(unlinked), "");
}

}  // namespace
