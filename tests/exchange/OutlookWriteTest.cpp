// Writing and hiding events, with a clock the test sets (now is 5 March 2024,
// 10:00): what a save leaves in the calendar and the store, rules no pattern can
// hold, the failures a save reports, and hides that keep the past as a record.

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/OutlookBindingRig.h"

using namespace wendra;
using namespace wendra::outlook;
using wendra::test::at;
using wendra::test::OutlookBindingRig;

namespace {

const DateTime kHorizon = at(2027, 1, 1, 0, 0);

// Starts a day apart, or a year apart.
std::vector<DateTime> starts(DateTime first, int count, bool yearly = false) {
    std::vector<DateTime> out;
    for (int i = 0; i < count; ++i) out.push_back(yearly ? first.addYears(i) : first.addDays(i));
    return out;
}

TEST(OutlookWrite, ANewEventIsAddedOnceLinkedWithItsCreationTime) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("New", at(2024, 3, 31), true, "<#=R><F=1><D=MO,TU,WE,TH,FR,SA,SU><P=-1>");
    ev.setPriorWarning(4);
    ev.setPriorWarningIsDefault(false);
    ev.setHiddenList("20240430");
    ASSERT_TRUE(rig.save(ev));
    auto item = rig.appointment(rig.entryIdOf(ev));
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->ReminderSet());
    // The month's end is the last of any weekday.
    auto p = item->GetRecurrencePattern();
    EXPECT_EQ(std::tuple(p->RecurrenceType(), p->DayOfWeekMask(), p->Instance()), std::tuple(olRecursMonthNth, 127, 5));
    // The event keeps its own calendar; the link names the appointment.
    EXPECT_EQ(ev.XCalendarId(), clsDataQVR::kLocalCalendarId);
    EXPECT_EQ(ev.XID(), "");
    clsCalEvent stored, back;
    ASSERT_TRUE(rig.data.Find(stored, clsDataQVR::kLocalCalendarId, ev.WendraWinId()));
    EXPECT_EQ(stored.MSOCreated(), item->CreationTime());
    ASSERT_EQ(rig.readBack(ev, back), FindResult::found);
    EXPECT_EQ(std::tuple(back.PriorWarning(), back.PriorWarningIsDefault(), back.HiddenList(), back.ViewFromDate()),
              std::tuple(4, false, std::string("20240430"), ev.ViewFromDate()));

    // Renamed to the subject of another appointment, it still writes its own.
    rig.calendar.add("Swim", at(2024, 3, 10, 8, 30));
    stored.setMSOCreated(DateTime());  // no creation time in the key: the subject narrows the search
    stored.setDescription("Swim");
    ASSERT_TRUE(rig.save(stored));
    EXPECT_EQ(rig.appointment(item->EntryID())->Subject(), "Swim");
    EXPECT_EQ(rig.appointmentCount(), 2);
    EXPECT_TRUE(rig.messages.calls().empty());
}

TEST(OutlookWrite, ARuleNoPatternCanHoldIsReportedAndNeverWritten) {
    const std::vector<std::tuple<const char*, DateTime, const char*>> rows{
        {"monthly from the 31st, skipping short months", at(2024, 3, 31), "<#=R><F=1>"},
        {"yearly from 29 February", at(2024, 2, 29), "<#=R><F=0>"},
        {"every Tuesday of the month", at(2024, 3, 12), "<#=R><F=1><D=TU>"},
        {"the first and third Monday", at(2024, 3, 4), "<#=R><F=1><D=1MO,3MO>"},
        {"the week's first working day", at(2024, 3, 4), "<#=R><F=2><D=MO,TU,WE,TH,FR><P=1>"},
        {"yearly in two months", at(2024, 3, 4), "<#=R><F=0><M=3,9>"},
        {"in week 10", at(2024, 3, 4), "<#=R><F=0><W=10>"},
        {"hourly", at(2024, 3, 4, 9), "<#=R><F=4>"},
        {"every 100 years", at(2024, 3, 4), "<#=R><F=0><I=100>"},
        {"weeks from Sunday", at(2024, 3, 4), "<#=R><F=2><I=2><D=MO,FR><K=1>"},
        {"two rules", at(2024, 3, 4), "<#=R><F=2><#=R><F=1>"},
    };
    for (const auto& [what, start, rule] : rows) {
        SCOPED_TRACE(what);
        const bool allDay = start.secondOfDay() == 0;
        // Over a weekly appointment, which must stay as it is...
        OutlookBindingRig rig;
        clsCalEvent ev = rig.event(what, start, allDay, "<#=R><F=2><C=3>");
        ASSERT_TRUE(rig.save(ev));
        const std::string before = rig.calendar.text();
        clsCalEvent changed = rig.event(what, start, allDay, rule);
        changed.setWendraWinId(ev.WendraWinId());
        EXPECT_FALSE(rig.save(changed));
        EXPECT_EQ(rig.calendar.text(), before);
        ASSERT_EQ(rig.messages.calls().size(), 1u);
        const ui::MessageRequest& m = rig.messages.last();
        EXPECT_EQ(std::tuple(m.icon, m.buttons), std::tuple(ui::MessageIcon::Critical, ui::MessageButtons::OK));
        EXPECT_EQ(m.text.rfind(std::string("Error saving to Outlook\r\nEvent=") + what + "\r\n", 0), 0u) << m.text;
        EXPECT_NE(m.text.find(" (-2147220991)\r\nSource=WendraWin"), std::string::npos) << m.text;
        // ...and as a new event, which adds nothing.
        OutlookBindingRig fresh;
        clsCalEvent other = fresh.event(what, start, allDay, rule);
        EXPECT_FALSE(fresh.save(other));
        EXPECT_EQ(std::tuple(fresh.appointmentCount(), fresh.saveErrors()), std::tuple(0, 1));
    }
}

// Reported once, but for an appointment that is gone: that answers false without a word.
TEST(OutlookWrite, ASaveThatFailsIsReportedOnce) {
    const std::vector<std::tuple<const char*, std::function<void(OutlookBindingRig&, clsCalEvent&)>, const char*, int>>
        rows{
            {"the appointment was deleted in Outlook",
             [](OutlookBindingRig& rig, clsCalEvent& ev) { rig.appointment(rig.entryIdOf(ev))->Delete(); }, "", 0},
            {"the calendar cannot save", [](OutlookBindingRig& rig, clsCalEvent&) { rig.faults->failOn("AppointmentItem.Save", 0); },
             "Injected failure of AppointmentItem.Save. (-2147221237)\r\nSource=Outlook", 1},
            {"the calendar cannot be searched", [](OutlookBindingRig& rig, clsCalEvent&) { rig.faults->failOn("Items.GetFirst", 0); },
             "Injected failure of Items.GetFirst. (-2147221237)\r\nSource=Outlook", 1},
        };
    for (const auto& [what, before, reason, left] : rows) {
        SCOPED_TRACE(what);
        OutlookBindingRig rig;
        clsCalEvent ev = rig.event("Reported", at(2024, 3, 9, 9, 0));
        ASSERT_TRUE(rig.save(ev));
        before(rig, ev);
        ev.setDescription("Reported, changed");
        EXPECT_FALSE(rig.save(ev));
        ASSERT_EQ(rig.messages.calls().size(), *reason ? 1u : 0u);
        if (*reason) {
            EXPECT_EQ(rig.messages.last().text, std::string("Error saving to Outlook\r\nEvent=Reported, changed\r\n") + reason);
        }
        rig.faults->clear("AppointmentItem.Save");
        rig.faults->clear("Items.GetFirst");
        EXPECT_EQ(rig.appointmentCount(), left);
    }
}

TEST(OutlookWrite, ADeleteWritesTheAppointmentThenRemovesIt) {
    OutlookBindingRig rig;
    clsCalEvent gone = rig.event("Gone", at(2024, 3, 9, 9, 0));
    ASSERT_TRUE(rig.save(gone));
    const std::string entryId = rig.entryIdOf(gone);
    gone.setUpdateRequest(clsCalEvent::kRequestDeleteEvent);
    ASSERT_TRUE(rig.binding.Save(gone, entryId));
    EXPECT_EQ(rig.appointment(entryId), nullptr);
    EXPECT_TRUE(rig.binding.Save(gone, entryId));  // already gone: nothing left to do
    EXPECT_TRUE(rig.messages.calls().empty());
}

// ---- hiding -------------------------------------------------------------------------------

TEST(OutlookHide, WhatIsPastStaysAndWhatIsAheadGoes) {
    struct Row {
        const char* what;
        DateTime start;
        bool allDay;
        const char* rule;
        std::vector<DateTime> left;  // the occurrences Outlook keeps
    };
    const std::vector<Row> rows{
        {"a one-off this morning", at(2024, 3, 5, 9, 0), false, "", {at(2024, 3, 5, 9, 0)}},
        {"a one-off this afternoon", at(2024, 3, 5, 15, 0), false, "", {}},
        {"an all-day one-off today", at(2024, 3, 5), true, "", {at(2024, 3, 5, 0, 0)}},
        {"an all-day one-off tomorrow", at(2024, 3, 6), true, "", {}},
        {"a series without end", at(2024, 2, 1, 8, 0), false, "<#=R><F=2>", {}},
        {"a series of seven past and eight ahead", at(2024, 2, 28, 8, 0), false, "<#=R><F=3><C=15>",
         starts(at(2024, 2, 28, 8, 0), 7)},
        {"the same, as Mum's", at(2024, 2, 28, 8, 0), false, "<#=R><F=3><C=15>",
         starts(at(2024, 2, 28, 8, 0), 7)},
        {"fifty ahead go one by one", at(2024, 3, 6, 8, 0), false, "<#=R><F=3><C=50>", {}},
        // Changed occurrences with subjects of their own: the past one stays.
        {"a series with subjects of its own", at(2024, 2, 27, 17, 0), false, "<#=R><F=2><C=4>", {at(2024, 2, 27, 17, 0)}},
        // Beyond what the calendar lists (three years here), by the same limit.
        {"yearly to 2050, most of it beyond the list", at(2000, 6, 10), true, "<#=R><F=0><U=20500610>",
         starts(at(2000, 6, 10, 0, 0), 24, true)},
        {"yearly to 2090, more than fifty ahead", at(2000, 6, 10), true, "<#=R><F=0><U=20900610>", {}},
        {"yearly from 2030, all of it beyond the list", at(2030, 6, 10), true, "<#=R><F=0><U=20400610>", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        clsCalEvent ev = rig.event(row.what, row.start, row.allDay, row.rule);
        // Texts of their own for two occurrences of the last row.
        ev.setDescExceptions("\t20240227170000=Trial lesson\t20240312170000=Exam\t");
        ASSERT_TRUE(rig.save(ev));
        const std::string entryId = rig.entryIdOf(ev);
        ev.setUpdateRequest(clsCalEvent::kRequestHideEvent);
        EXPECT_TRUE(rig.save(ev));
        rig.calendar.horizonDays = 70 * 366;  // read to 2094, beyond the binding's list
        EXPECT_EQ(rig.outlookStarts(entryId, at(2095, 1, 1)), row.left);
        EXPECT_TRUE(rig.messages.calls().empty());
        // What stays is out of the program's view, and its link marked hidden.
        std::optional<EventKey> key = clsDataQVR::toEventKey(ev.WendraWinId());
        EXPECT_EQ(rig.data.getXDataStatus(key, rig.binding.CalendarId(), ""), clsDataQVR::kLinkHidden);
        if (auto item = rig.appointment(entryId)) {
            EXPECT_TRUE(item->UserProperties()->Find("qvrViewFromDate")->Value() == PropertyValue(DateTime::ymd(9999, 12, 31)));
        }
    }
}

TEST(OutlookHide, PastTheLimitTheWholeSeriesGoesWithoutAFailure) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("Long", at(2024, 3, 6, 8, 0), false, "<#=R><F=3><C=60>");
    ASSERT_TRUE(rig.save(ev));
    const std::string entryId = rig.entryIdOf(ev);
    ev.setUpdateRequest(clsCalEvent::kRequestHideEvent);
    EXPECT_TRUE(rig.save(ev));
    // Fifty one by one, then the series on the fifty-first.
    EXPECT_EQ(rig.faults->calls("AppointmentItem.Delete"), 51);
    EXPECT_EQ(rig.appointment(entryId), nullptr);
    EXPECT_TRUE(rig.messages.calls().empty());
}

TEST(OutlookHide, WithoutTheSubjectsListOnlyTheSeriesOwnUpcomingOccurrencesGo) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("Physio", at(2024, 2, 28, 8, 0), false, "<#=R><F=3><C=15>");
    ASSERT_TRUE(rig.save(ev));
    const std::string entryId = rig.entryIdOf(ev);
    // The save's search of the appointment filters first, the hide's list second.
    rig.faults->failOn("Items.Restrict", 2);
    ev.setUpdateRequest(clsCalEvent::kRequestHideEvent);
    EXPECT_TRUE(rig.save(ev));
    EXPECT_EQ(rig.outlookStarts(entryId, kHorizon), starts(at(2024, 2, 28, 8, 0), 7));
}

TEST(OutlookHide, TheWalkEndsWithTheSeriesEvenBesideAnEndlessOneOfTheSameSubject) {
    OutlookBindingRig rig;
    auto endless = rig.calendar.add("Standup", at(2024, 3, 1, 9, 30), 15);
    endless->GetRecurrencePattern()->setRecurrenceType(olRecursDaily);
    endless->Save();
    clsCalEvent ev = rig.event("Standup", at(2024, 3, 4, 9, 0), false, "<#=R><F=3><C=5>");
    ASSERT_TRUE(rig.save(ev));
    const std::string entryId = rig.entryIdOf(ev);
    const int stepsBefore = rig.faults->calls("Items.GetNext");
    ev.setUpdateRequest(clsCalEvent::kRequestHideEvent);
    EXPECT_TRUE(rig.save(ev));
    // The other series lists about a thousand occurrences up to the horizon.
    EXPECT_LT(rig.faults->calls("Items.GetNext") - stepsBefore, 30);
    EXPECT_EQ(rig.outlookStarts(entryId, kHorizon), starts(at(2024, 3, 4, 9, 0), 2));
    EXPECT_GT(rig.outlookStarts(endless->EntryID(), kHorizon).size(), 900u);
}

}  // namespace
