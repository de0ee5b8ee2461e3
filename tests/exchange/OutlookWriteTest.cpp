// Writing events: what each kind of save leaves in the calendar and the store,
// rules no pattern can hold, the failures a save reports and how.

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/OutlookBindingRig.h"

using namespace wendra;
using namespace wendra::outlook;
using wendra::test::at;
using wendra::test::OutlookBindingRig;

namespace {

TEST(OutlookWrite, ANewEventIsAddedLinkedAndKeepsItsCreationTime) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("New", at(2024, 3, 9, 8, 30));
    ev.setPriorWarning(4);
    ev.setPriorWarningIsDefault(false);
    ev.setHiddenList("20240316T083000");
    ASSERT_TRUE(rig.save(ev));
    ASSERT_EQ(rig.appointmentCount(), 1);
    const std::string entryId = rig.entryIdOf(ev);
    auto item = rig.appointment(entryId);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->ReminderSet());
    EXPECT_EQ(item->Duration(), 30);
    // The event keeps its own calendar; only the link names the appointment.
    EXPECT_EQ(ev.XCalendarId(), clsDataQVR::kLocalCalendarId);
    EXPECT_EQ(ev.XID(), "");
    clsCalEvent stored;
    ASSERT_TRUE(rig.data.Find(stored, clsDataQVR::kLocalCalendarId, ev.WendraWinId()));
    EXPECT_EQ(stored.MSOCreated(), item->CreationTime());

    clsCalEvent back;
    ASSERT_EQ(rig.readBack(ev, back), FindResult::found);
    EXPECT_EQ(back.PriorWarning(), 4);
    EXPECT_FALSE(back.PriorWarningIsDefault());
    EXPECT_EQ(back.HiddenList(), "20240316T083000");
    EXPECT_EQ(back.ViewFromDate(), ev.ViewFromDate());

    // Saved again, it stays one appointment.
    ev.setDescription("New, renamed");
    ASSERT_TRUE(rig.save(ev));
    EXPECT_EQ(rig.appointmentCount(), 1);
    EXPECT_EQ(rig.appointment(entryId)->Subject(), "New, renamed");
    EXPECT_EQ(rig.messages.calls().size(), 0u);
}

TEST(OutlookWrite, RenamedToASubjectAnotherAppointmentHasItStillWritesItsOwn) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("Gym", at(2024, 3, 9, 8, 30));
    ASSERT_TRUE(rig.save(ev));
    ev.setMSOCreated(DateTime());  // no creation time in the key: the subject narrows the search
    rig.calendar.add("Swim", at(2024, 3, 10, 8, 30));
    ev.setDescription("Swim");
    ASSERT_TRUE(rig.binding.Save(ev, rig.entryIdOf(ev)));
    EXPECT_EQ(rig.appointment(rig.entryIdOf(ev))->Subject(), "Swim");
    EXPECT_EQ(rig.appointmentCount(), 2);
}

TEST(OutlookWrite, ATimedEventOverAnAllDayAppointmentLastsHalfAnHourAndAnAllDayOneAWholeDay) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("Switch", at(2024, 3, 9), true);
    ASSERT_TRUE(rig.save(ev));
    auto item = rig.appointment(rig.entryIdOf(ev));
    EXPECT_TRUE(item->AllDayEvent());
    EXPECT_EQ(item->Duration(), 1440);
    ev.setAllDayEvent(false);
    ev.setEventStart(at(2024, 3, 9, 15, 0));
    ASSERT_TRUE(rig.save(ev));
    item = rig.appointment(rig.entryIdOf(ev));
    EXPECT_FALSE(item->AllDayEvent());
    EXPECT_EQ(item->Duration(), 30);
    EXPECT_EQ(item->Start(), at(2024, 3, 9, 15, 0));

    // The same for a series' pattern.
    OutlookBindingRig::repeat(ev, clsCalRRule::kWeekly).setDurationCount(3);
    ASSERT_TRUE(rig.save(ev));
    ev.setAllDayEvent(true);
    ev.setEventStart(at(2024, 3, 9));
    ASSERT_TRUE(rig.save(ev));
    auto p = rig.appointment(rig.entryIdOf(ev))->GetRecurrencePattern();
    EXPECT_EQ(p->StartTime(), DateTime::ymd(1601, 1, 1));
    EXPECT_EQ(p->EndTime(), DateTime::ymd(1601, 1, 1));
    EXPECT_EQ(p->Duration(), 1440);
    ev.setAllDayEvent(false);
    ev.setEventStart(at(2024, 3, 9, 7, 15));
    ASSERT_TRUE(rig.save(ev));
    p = rig.appointment(rig.entryIdOf(ev))->GetRecurrencePattern();
    EXPECT_EQ(p->Duration(), 30);
    EXPECT_EQ(p->StartTime(), DateTime::ymd(1601, 1, 1, 7, 15));
}

TEST(OutlookWrite, TheRulesPatternsHoldAreWrittenWithTheirDays) {
    struct Row {
        const char* what;
        DateTime start;
        std::function<void(clsCalRRule&)> rule;
        int type, interval, mask, instance, dayOfMonth, monthOfYear;
    };
    using R = clsCalRRule;
    const std::vector<Row> rows{
        {"the month's end", at(2024, 3, 31),
         [](R& r) { r.setFrequency(R::kMonthly), r.setByDay("MO,TU,WE,TH,FR,SA,SU"), r.setBySetPos("-1"); },
         olRecursMonthNth, 1, 127, 5, 0, 0},
        {"weekly on Monday and Wednesday", at(2024, 3, 11),
         [](R& r) { r.setFrequency(R::kWeekly), r.setByDay("MO,WE"); }, olRecursWeekly, 1, olMonday | olWednesday, 0, 0, 0},
        {"the second Tuesday", at(2024, 3, 12), [](R& r) { r.setFrequency(R::kMonthly), r.setByDay("2TU"); },
         olRecursMonthNth, 1, olTuesday, 2, 0, 0},
        {"yearly on 10 June", at(2024, 6, 10), [](R& r) { r.setFrequency(R::kYearly); }, olRecursYearly, 12, 0, 0, 10, 6},
        {"every third year", at(2024, 6, 10), [](R& r) { r.setFrequency(R::kYearly), r.setInterval(3); },
         olRecursYearly, 36, 0, 0, 10, 6},
        {"the last Sunday of October", at(2024, 10, 27),
         [](R& r) { r.setFrequency(R::kYearly), r.setByMonth("10"), r.setByDay("-1SU"); }, olRecursYearNth, 12,
         olSunday, 5, 0, 10},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        clsCalEvent ev = rig.event(row.what, row.start, true);
        ev.setIsRecurring(true);
        row.rule(ev.addRRule());
        ASSERT_TRUE(rig.save(ev));
        rig.calendar.reread();
        auto p = rig.appointment(rig.entryIdOf(ev))->GetRecurrencePattern();
        EXPECT_EQ(p->RecurrenceType(), row.type);
        EXPECT_EQ(p->Interval(), row.interval);
        // 0: a member the type does not read.
        EXPECT_EQ(row.mask ? p->DayOfWeekMask() : 0, row.mask);
        EXPECT_EQ(row.instance ? p->Instance() : 0, row.instance);
        EXPECT_EQ(row.dayOfMonth ? p->DayOfMonth() : 0, row.dayOfMonth);
        EXPECT_EQ(row.monthOfYear ? p->MonthOfYear() : 0, row.monthOfYear);
        EXPECT_TRUE(p->NoEndDate());
    }
}

TEST(OutlookWrite, ARuleNoPatternCanHoldIsReportedAndNeverWritten) {
    struct Row {
        const char* what;
        DateTime start;
        std::function<void(clsCalEvent&)> rule;
    };
    using R = clsCalRRule;
    const auto one = [](std::function<void(R&)> f) {
        return [f](clsCalEvent& ev) { f(OutlookBindingRig::repeat(ev, R::kNone)); };
    };
    const std::vector<Row> rows{
        {"monthly from the 31st, skipping short months", at(2024, 3, 31), one([](R& r) { r.setFrequency(R::kMonthly); })},
        {"yearly from 29 February", at(2024, 2, 29), one([](R& r) { r.setFrequency(R::kYearly); })},
        {"every Tuesday of the month", at(2024, 3, 12), one([](R& r) { r.setFrequency(R::kMonthly), r.setByDay("TU"); })},
        {"the first and third Monday", at(2024, 3, 4),
         one([](R& r) { r.setFrequency(R::kMonthly), r.setByDay("1MO,3MO"); })},
        {"the first working day of the week", at(2024, 3, 4),
         one([](R& r) { r.setFrequency(R::kWeekly), r.setByDay("MO,TU,WE,TH,FR"), r.setBySetPos("1"); })},
        {"yearly in two months", at(2024, 3, 4), one([](R& r) { r.setFrequency(R::kYearly), r.setByMonth("3,9"); })},
        {"in week 10 of each year", at(2024, 3, 4), one([](R& r) { r.setFrequency(R::kYearly), r.setByWeekNo("10"); })},
        {"hourly", at(2024, 3, 4, 9), one([](R& r) { r.setFrequency(R::kHourly); })},
        {"every 100 years", at(2024, 3, 4), one([](R& r) { r.setFrequency(R::kYearly), r.setInterval(100); })},
        {"every second week on Monday and Friday, weeks from Sunday", at(2024, 3, 4),
         one([](R& r) { r.setFrequency(R::kWeekly), r.setInterval(2), r.setByDay("MO,FR"), r.setWeekStartDay(1); })},
        {"two rules",
         at(2024, 3, 4),
         [](clsCalEvent& ev) {
             OutlookBindingRig::repeat(ev, R::kWeekly);
             ev.addRRule().setFrequency(R::kMonthly);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        // Over a weekly appointment that it must not replace...
        clsCalEvent ev = rig.event(row.what, row.start, row.start.secondOfDay() == 0);
        OutlookBindingRig::repeat(ev, R::kWeekly).setDurationCount(3);
        ASSERT_TRUE(rig.save(ev));
        const std::string entryId = rig.entryIdOf(ev);
        const std::string before = rig.calendar.text();
        ev.deleteRRule(1);
        row.rule(ev);
        EXPECT_FALSE(rig.save(ev));
        EXPECT_EQ(rig.calendar.text(), before);
        ASSERT_EQ(rig.messages.calls().size(), 1u);
        const ui::MessageRequest& m = rig.messages.last();
        EXPECT_EQ(m.icon, ui::MessageIcon::Critical);
        EXPECT_EQ(m.buttons, ui::MessageButtons::OK);
        EXPECT_EQ(m.text.rfind(std::string("Error saving to Outlook\r\nEvent=") + row.what + "\r\n", 0), 0u) << m.text;
        EXPECT_NE(m.text.find(" (-2147220991)\r\nSource=WendraWin"), std::string::npos) << m.text;

        // ...and as a new event, which adds nothing.
        OutlookBindingRig fresh;
        clsCalEvent other = fresh.event(row.what, row.start, row.start.secondOfDay() == 0);
        row.rule(other);
        EXPECT_FALSE(fresh.save(other));
        EXPECT_EQ(fresh.appointmentCount(), 0);
        EXPECT_EQ(fresh.saveErrors(), 1);
    }
}

TEST(OutlookWrite, ARepeatingEventMadeOneOffLosesItsSeries) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("Was weekly", at(2024, 3, 6, 9, 0));
    OutlookBindingRig::repeat(ev, clsCalRRule::kWeekly).setDurationCount(5);
    ev.setExDates("20240313");
    ASSERT_TRUE(rig.save(ev));
    ev.deleteRRule(1);
    ev.setIsRecurring(false);
    ev.setExDates("");
    ev.setEventStart(at(2024, 3, 7, 10, 0));
    ASSERT_TRUE(rig.save(ev));
    auto item = rig.appointment(rig.entryIdOf(ev));
    EXPECT_FALSE(item->IsRecurring());
    EXPECT_EQ(item->Start(), at(2024, 3, 7, 10, 0));
    EXPECT_EQ(rig.outlookStarts(item->EntryID(), at(2025, 1, 1)), std::vector<DateTime>{at(2024, 3, 7, 10, 0)});
}

TEST(OutlookWrite, DeleteAndHideRequestsWriteTheAppointmentFirst) {
    OutlookBindingRig rig;
    clsCalEvent gone = rig.event("Gone", at(2024, 3, 9, 9, 0));
    ASSERT_TRUE(rig.save(gone));
    const std::string goneId = rig.entryIdOf(gone);
    gone.setUpdateRequest(clsCalEvent::kRequestDeleteEvent);
    ASSERT_TRUE(rig.binding.Save(gone, goneId));
    EXPECT_EQ(rig.appointment(goneId), nullptr);
    // Its appointment is already gone: deleting again has nothing left to do.
    EXPECT_TRUE(rig.binding.Save(gone, goneId));

    clsCalEvent past = rig.event("Past", at(2024, 3, 1, 9, 0));
    ASSERT_TRUE(rig.save(past));
    const std::string pastId = rig.entryIdOf(past);
    past.setUpdateRequest(clsCalEvent::kRequestHideEvent);
    ASSERT_TRUE(rig.save(past));
    auto item = rig.appointment(pastId);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->UserProperties()->Find("qvrViewFromDate")->Value() == PropertyValue(DateTime::ymd(9999, 12, 31)));
    std::optional<EventKey> key = clsDataQVR::toEventKey(past.WendraWinId());
    EXPECT_EQ(rig.data.getXDataStatus(key, rig.binding.CalendarId(), ""), clsDataQVR::kLinkHidden);
    EXPECT_EQ(rig.messages.calls().size(), 0u);
}

TEST(OutlookWrite, ASaveThatFailsIsReportedOnce) {
    struct Row {
        const char* what;
        std::function<void(OutlookBindingRig&, clsCalEvent&)> before;
        const char* reason;
        int appointmentsLeft;
    };
    const std::vector<Row> rows{
        {"the appointment was deleted in Outlook",
         [](OutlookBindingRig& rig, clsCalEvent& ev) { rig.appointment(rig.entryIdOf(ev))->Delete(); },
         "The event's appointment is no longer in the Outlook calendar. (-2147220990)\r\nSource=WendraWin", 0},
        {"the calendar cannot save",
         [](OutlookBindingRig& rig, clsCalEvent&) { rig.faults->failOn("AppointmentItem.Save", 0); },
         "Injected failure of AppointmentItem.Save. (-2147221237)\r\nSource=Outlook", 1},
        {"the calendar cannot be searched",
         [](OutlookBindingRig& rig, clsCalEvent&) { rig.faults->failOn("Items.GetFirst", 0); },
         "Injected failure of Items.GetFirst. (-2147221237)\r\nSource=Outlook", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        clsCalEvent ev = rig.event("Reported", at(2024, 3, 9, 9, 0));
        ASSERT_TRUE(rig.save(ev));
        row.before(rig, ev);
        ev.setDescription("Reported, changed");
        EXPECT_FALSE(rig.save(ev));
        ASSERT_EQ(rig.messages.calls().size(), 1u);
        EXPECT_EQ(rig.messages.last().text,
                  std::string("Error saving to Outlook\r\nEvent=Reported, changed\r\n") + row.reason);
        EXPECT_EQ(rig.messages.last().icon, ui::MessageIcon::Critical);
        rig.faults->clear("AppointmentItem.Save");
        rig.faults->clear("Items.GetFirst");
        EXPECT_EQ(rig.appointmentCount(), row.appointmentsLeft);
    }
}

TEST(OutlookWrite, TheComparisonMarksMoveWithoutAnythingElse) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("Compared", at(2024, 3, 9, 9, 0));
    ASSERT_TRUE(rig.save(ev));
    clsCalEvent outlookCopy;
    ASSERT_EQ(rig.readBack(ev, outlookCopy), FindResult::found);
    rig.clock().advanceSeconds(600);
    rig.binding.updateCompareDates(outlookCopy, at(2024, 3, 5, 10, 7));
    auto props = rig.appointment(outlookCopy.XID())->UserProperties();
    EXPECT_TRUE(props->Find("qvrLastModified")->Value() == PropertyValue(std::string("20240305T100700")));
    EXPECT_TRUE(props->Find("qvrLastCompared")->Value() == PropertyValue(std::string("20240305T101000")));
    EXPECT_EQ(rig.appointment(outlookCopy.XID())->Subject(), "Compared");
}

}  // namespace
