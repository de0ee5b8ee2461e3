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

TEST(OutlookRead, PatternsMadeInOutlookReadAsTheirRules) {
    struct Row {
        const char* what;
        DateTime start;
        long duration;  // an all-day appointment when 0
        std::function<void(RecurrencePattern&)> set;
        const char* column;  // the rule column read
        bool allDay;         // read as all-day
        std::size_t count;   // occurrences, as libical gives them too
    };
    const auto type = [](int t, int interval = 1, int instance = 0, int days = 0) {
        return [=](RecurrencePattern& p) {
            p.setRecurrenceType(t);
            if (interval > 1) p.setInterval(interval);
            if (instance > 0) p.setInstance(instance);
            if (days != 0) p.setDayOfWeekMask(days);
        };
    };
    const std::vector<Row> rows{
        {"weekly on Monday alone", at(2024, 3, 11), 0, [](RecurrencePattern&) {}, "<#=R><F=2><U=20240415>", true, 6},
        {"weekly on Monday and Wednesday", at(2024, 3, 11), 0,
         [](RecurrencePattern& p) { p.setDayOfWeekMask(olMonday | olWednesday); }, "<#=R><F=2><U=20240327><D=MO,WE>",
         true, 6},
        {"monthly on the 15th", at(2024, 3, 15), 0, type(olRecursMonthly), "<#=R><F=1><U=20240815>", true, 6},
        {"monthly on the 31st", at(2024, 3, 31), 0, type(olRecursMonthly),
         "<#=R><F=1><U=20240831><T=28,29,30,31><P=-1>", true, 6},
        {"the last Friday of every second month", at(2024, 3, 29), 0, type(olRecursMonthNth, 2, 5),
         "<#=R><F=1><I=2><U=20250131><D=-1FR>", true, 6},
        {"the second of Tuesdays and Thursdays", at(2024, 3, 7), 0, type(olRecursMonthNth, 1, 2, olTuesday | olThursday),
         "<#=R><F=1><U=20240806><D=TU,TH><P=2>", true, 6},
        {"yearly", at(2024, 6, 10), 0, type(olRecursYearly), "<#=R><F=0><U=20290610>", true, 6},
        // A yearly interval is counted in months: 24 is every second year, not every year.
        {"every 24 months", at(2024, 6, 10), 0, type(olRecursYearly, 24), "<#=R><F=0><I=2><U=20340610>", true, 6},
        // The n-th weekday of a month each year is a yearly rule, not a monthly one.
        {"the fourth Thursday of November", at(2024, 11, 28), 0, type(olRecursYearNth),
         "<#=R><F=0><U=20291122><M=11><D=4TH>", true, 6},
        {"every third day", at(2024, 3, 6), 0, type(olRecursDaily, 3), "<#=R><F=3><I=3><U=20240321>", true, 6},
        // The last day's occurrence at 18:30 is part of the series.
        {"timed, ending on a day", at(2024, 3, 6, 18, 30), 90,
         [](RecurrencePattern& p) { p.setPatternEndDate(at(2024, 3, 20, 0, 0)); }, "<#=R><F=2><U=20240320>", false, 3},
        // Pattern times of 1601-01-01 00:00 and a day long: all-day, whatever the item says.
        {"a day long from midnight", at(2024, 3, 6, 0, 0), 1440,
         [](RecurrencePattern& p) { p.setOccurrences(3); }, "<#=R><F=2><U=20240320>", true, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        rig.calendar.horizonDays = 20 * 366;
        auto item = rig.calendar.add(row.what, row.start, row.duration ? row.duration : 1440, row.duration == 0);
        auto p = item->GetRecurrencePattern();
        p->setOccurrences(6);
        row.set(*p);
        item->Save();
        ASSERT_EQ(item->AllDayEvent(), row.duration == 0);
        clsCalEvent ev;
        ASSERT_EQ(rig.binding.findItem(ev, rig.binding.CalendarId(), "", item->EntryID()), FindResult::found);
        EXPECT_EQ(OutlookBindingRig::column(ev), row.column);
        EXPECT_EQ(std::tuple(ev.AllDayEvent(), ev.EventStart()),
                  std::tuple(row.allDay, row.allDay ? row.start.date() : row.start));
        // The program's engine gives the occurrences libical gives.
        const auto starts = rig.outlookStarts(item->EntryID(), at(2040, 1, 1));
        EXPECT_EQ(starts.size(), row.count);
        EXPECT_EQ(OutlookBindingRig::occurrences(ev, at(2040, 1, 1)), starts);
    }
}

TEST(OutlookRead, AnAppointmentWithoutTheProgramsPropertiesGetsThemWithTheirDefaults) {
    OutlookBindingRig rig;
    rig.settings.setPriorWarning(7);
    auto item = rig.calendar.add("Plain", at(2024, 3, 9, 11, 0));
    rig.clock().advanceSeconds(90);
    clsCalEvent ev;
    ASSERT_EQ(rig.binding.findItem(ev, rig.binding.CalendarId(), "", item->EntryID()), FindResult::found);
    EXPECT_EQ(ev.ViewFromDate(), at(2024, 3, 5, 0, 0));
    EXPECT_EQ(ev.PriorWarning(), 7);
    EXPECT_TRUE(ev.PriorWarningIsDefault());
    // Adding them is the program's own write, not a change in Outlook.
    EXPECT_EQ(ev.LastModified(), at(2024, 3, 5, 10, 0));

    rig.calendar.reread();
    auto props = rig.appointment(item->EntryID())->UserProperties();
    const std::vector<std::tuple<const char*, int, PropertyValue>> expected{
        {"qvrViewFromDate", olDateTime, at(2024, 3, 5, 0, 0)},
        {"qvrPriorWarn", olNumber, 7.0},
        {"qvrPriorWarnIsDefault", olYesNo, true},
        {"qvrHiddenList", olText, std::string()},
        {"qvrLastModified", olText, std::string("20240305T100000")},
        {"qvrLastWritten", olText, std::string("18000101T000000")},
        {"qvrLastCompared", olText, std::string("20240305T100130")}};
    for (const auto& [name, type, value] : expected) {
        SCOPED_TRACE(name);
        auto p = props->Find(name);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->Type(), type);
        EXPECT_TRUE(p->Value() == value);
    }
}

TEST(OutlookRead, OnlyAChangeWellAfterTheProgramsOwnMarksIsOutlooks) {
    struct Row {
        const char* what;
        int comparedAfter;  // seconds after the write that the program compared it; 0 for none
        int editedAfter;    // seconds after the write that it was changed in Outlook
        int storedAhead;    // the program's own modification time, seconds after the write
        int expected;       // LastModified read back, seconds after the write
    };
    const std::vector<Row> rows{
        {"changed one second after the write", 0, 1, 0, 0},
        {"two seconds after the write", 0, 2, 0, 0},
        {"three seconds after the write", 0, 3, 0, 3},
        {"one second after a later comparison", 5, 6, 0, 0},
        {"two seconds after a later comparison", 5, 7, 0, 7},
        {"three seconds after, before the program's own time", 0, 3, 100, 101},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        const DateTime written = rig.clock().now();
        clsCalEvent ev = rig.event("Marks", at(2024, 3, 9, 11, 0));
        ev.setLastModified(written.addSeconds(row.storedAhead));
        ASSERT_TRUE(rig.save(ev));
        EXPECT_EQ(rig.state.gLastOutlookWriteTime, written);
        EXPECT_EQ(rig.state.gLastOutlookWriteId, "");  // cleared when the save ended
        clsCalEvent fresh;
        ASSERT_EQ(rig.readBack(ev, fresh), FindResult::found);
        EXPECT_EQ(fresh.LastModified(), ev.LastModified());  // a fresh reading after the save is no change

        if (row.comparedAfter > 0) {
            rig.clock().set(written.addSeconds(row.comparedAfter));
            rig.binding.updateCompareDates(fresh, ev.LastModified());
        }
        rig.clock().set(written.addSeconds(row.editedAfter));
        auto outside = rig.appointment(fresh.XID());
        outside->setSubject("Marks, moved");
        outside->Save();
        clsCalEvent back;
        ASSERT_EQ(rig.readBack(ev, back), FindResult::found);
        EXPECT_EQ(back.LastModified(), written.addSeconds(row.expected));
    }
}

TEST(OutlookRead, TheCalendarsIdIsKeptOnlyOnceARealOneIsHad) {
    OutlookBindingRig rig;
    clsDataQVR closed{rig.settings, StoreOptions::mainProgram(rig.calendar.folder().string())};
    clsDataQVR* current = &closed;  // never opened: every registration fails
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
    EXPECT_FALSE(binding.Save(local, ""));
    EXPECT_EQ(rig.saveErrors(), 1);
    EXPECT_EQ(rig.appointmentCount(), 1);
    // Nor when the calendar cannot name itself.
    current = &rig.data;
    rig.faults->failOn("MAPIFolder.EntryID", 0);
    EXPECT_EQ(binding.CalendarId(), -1);
    rig.faults->clear("MAPIFolder.EntryID");

    const int id = binding.CalendarId();
    std::string key = "Outlook-1.0-" + rig.calendar.app()->GetNamespace("MAPI")->GetDefaultFolder(olFolderCalendar)->EntryID();
    EXPECT_EQ(rig.data.RegisterXCalendar(key), id);
    EXPECT_GT(id, 0);
    current = &closed;
    EXPECT_EQ(binding.CalendarId(), id);  // once for the process
}

TEST(OutlookFind, TellsFoundAbsentAndFailedApart) {
    using Find = std::function<FindResult(OutlookBindingRig&, clsCalEvent& stored, clsCalEvent& out)>;
    const auto byKey = [](OutlookBindingRig& rig, clsCalEvent& stored, clsCalEvent& out) {
        return rig.readBack(stored, out);
    };
    const std::vector<std::tuple<const char*, Find, FindResult>> rows{
        {"the store copy's row key, with the local calendar", byKey, FindResult::found},
        {"a bare store id, which is no row key",
         [](OutlookBindingRig& rig, clsCalEvent& stored, clsCalEvent& out) {
             return rig.binding.findItem(out, clsDataQVR::kLocalCalendarId, stored.WendraWinId(), "");
         },
         FindResult::failed},
        {"an event never linked",
         [](OutlookBindingRig& rig, clsCalEvent&, clsCalEvent& out) {
             clsCalEvent other = rig.event("Only here", at(2024, 3, 9, 8, 0));
             EXPECT_TRUE(rig.data.Save(other, SaveMode::Always));
             EXPECT_EQ(rig.binding.getXID(other), "");
             return rig.readBack(other, out);
         },
         FindResult::absent},
        {"an appointment deleted in Outlook",
         [byKey](OutlookBindingRig& rig, clsCalEvent& stored, clsCalEvent& out) {
             rig.appointment(rig.entryIdOf(stored))->Delete();
             return byKey(rig, stored, out);
         },
         FindResult::absent},
        {"renamed in Outlook, another appointment having its old name",
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
        {"the calendar refuses its filter",
         [byKey](OutlookBindingRig& rig, clsCalEvent& stored, clsCalEvent& out) {
             rig.faults->failOn("Items.Restrict", 0);
             return byKey(rig, stored, out);
         },
         FindResult::failed},
    };
    for (const auto& [what, find, expected] : rows) {
        SCOPED_TRACE(what);
        OutlookBindingRig rig;
        clsCalEvent stored = rig.event("Dentist", at(2024, 3, 9, 8, 30));
        ASSERT_TRUE(rig.save(stored));
        clsCalEvent out;
        EXPECT_EQ(find(rig, stored, out), expected);
        if (expected == FindResult::found) {
            EXPECT_EQ(out.XID(), rig.entryIdOf(stored));
            EXPECT_EQ(rig.binding.getXID(out), out.XID());
        }
    }
}

}  // namespace
