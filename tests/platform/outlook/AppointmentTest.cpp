// Appointments over a real calendar file: ids and times at Save, deleted
// items, all-day rules, user properties, reminders, the window and injected faults.

#include <gtest/gtest.h>

#include <functional>

#include "platform/outlook/Errors.h"
#include "platform/outlook/FaultyCalendar.h"
#include "tests/support/CalendarRig.h"

using namespace wendra;
using namespace wendra::outlook;
using wendra::test::at;
using wendra::test::errorOf;

namespace {

const DateTime kNine = DateTime::ymd(2024, 3, 6, 9, 0, 0);


// The one appointment, read from the file's bytes.
std::shared_ptr<AppointmentItem> only(const test::CalendarRig& rig) {
    rig.reread();
    auto items = rig.items();
    EXPECT_EQ(items->Count(), 1);
    return items->Count() == 1 ? items->Item(1) : nullptr;
}

}  // namespace

TEST(OutlookAppointment, IdsAndTimesAreSetBySaveAndOnlyBySave) {
    test::CalendarRig rig;
    const DateTime t0 = rig.clock().now();
    auto item = rig.items()->Add();
    EXPECT_EQ(item->EntryID(), "");
    EXPECT_EQ(item->CreationTime(), noDate());
    EXPECT_EQ(item->LastModificationTime(), noDate());

    item->setSubject("Dentist");
    item->setStart(kNine);
    item->Save();
    const std::string id = item->EntryID();
    EXPECT_FALSE(id.empty());
    EXPECT_EQ(item->CreationTime(), t0);
    EXPECT_EQ(item->LastModificationTime(), t0);

    // Changing a property is no modification until it is saved.
    rig.clock().advanceSeconds(90);
    item->setSubject("Dentist, Dr Obi");
    EXPECT_EQ(item->LastModificationTime(), t0);
    item->Save();
    EXPECT_EQ(item->EntryID(), id);
    EXPECT_EQ(item->CreationTime(), t0);
    EXPECT_EQ(item->LastModificationTime(), t0.addSeconds(90));

    // Another appointment's save leaves this one's time alone.
    rig.clock().advanceSeconds(60);
    rig.add("Other", kNine.addDays(1));
    rig.clock().advanceSeconds(1);
    item->Save();  // a save without a change still counts
    auto back = rig.items()->Restrict("[Subject] = 'Dentist, Dr Obi'")->Item(1);
    EXPECT_EQ(back->EntryID(), id);
    EXPECT_EQ(back->CreationTime(), t0);
    EXPECT_EQ(back->LastModificationTime(), t0.addSeconds(151));
}

TEST(OutlookAppointment, EveryMemberOfADeletedItemRaises) {
    test::CalendarRig rig;
    auto series = rig.add("Weekly", kNine);
    series->GetRecurrencePattern()->setOccurrences(4);
    series->Save();
    auto occurrence = series->GetRecurrencePattern()->GetOccurrence(kNine.addDays(7));
    occurrence->Delete();
    auto oneOff = rig.add("Once", kNine.addDays(2));
    oneOff->Delete();

    const std::vector<std::pair<const char*, std::function<void(AppointmentItem&)>>> members{
        {"EntryID", [](AppointmentItem& i) { i.EntryID(); }},
        {"Subject", [](AppointmentItem& i) { i.Subject(); }},
        {"setSubject", [](AppointmentItem& i) { i.setSubject("x"); }},
        {"Start", [](AppointmentItem& i) { i.Start(); }},
        {"setStart", [](AppointmentItem& i) { i.setStart(kNine); }},
        {"AllDayEvent", [](AppointmentItem& i) { i.AllDayEvent(); }},
        {"Duration", [](AppointmentItem& i) { i.Duration(); }},
        {"ReminderSet", [](AppointmentItem& i) { i.ReminderSet(); }},
        {"LastModificationTime", [](AppointmentItem& i) { i.LastModificationTime(); }},
        {"CreationTime", [](AppointmentItem& i) { i.CreationTime(); }},
        {"IsRecurring", [](AppointmentItem& i) { i.IsRecurring(); }},
        {"GetRecurrencePattern", [](AppointmentItem& i) { i.GetRecurrencePattern(); }},
        {"UserProperties", [](AppointmentItem& i) { i.UserProperties(); }},
        {"Save", [](AppointmentItem& i) { i.Save(); }},
        {"Delete", [](AppointmentItem& i) { i.Delete(); }},
        {"Display", [](AppointmentItem& i) { i.Display(true); }},
    };
    for (auto* item : {oneOff.get(), occurrence.get()}) {
        for (const auto& [name, call] : members)
            EXPECT_EQ(errorOf([&] { call(*item); }), err::kItemDeleted) << name;
    }
    EXPECT_EQ(rig.window->shown().size(), 0u);
    // The occurrence is gone, its series stays.
    EXPECT_EQ(rig.items()->Count(), 1);
}

TEST(OutlookAppointment, AnItemDeletedByAnotherApplicationCannotBeSavedBack) {
    test::CalendarRig rig;
    auto mine = rig.add("Mine", kNine);
    only(rig)->Delete();
    mine->setSubject("Mine again");
    EXPECT_EQ(errorOf([&] { mine->Save(); }), err::kItemDeleted);
    EXPECT_EQ(rig.items()->Count(), 0);
    EXPECT_EQ(errorOf([&] { mine->Subject(); }), err::kItemDeleted);
}

TEST(OutlookAppointment, AllDayItemsStartAtMidnightAndLastWholeDays) {
    struct Row {
        const char* what;
        std::function<void(AppointmentItem&)> change;
        DateTime start;
        long duration;
        bool allDay;
    };
    const DateTime day = kNine.date();
    const std::vector<Row> rows{
        {"switched on", [](AppointmentItem& i) { i.setAllDayEvent(true); }, day, 1440, true},
        {"switched on, longer than a day",
         [](AppointmentItem& i) {
             i.setDuration(3000);
             i.setAllDayEvent(true);
         },
         day, 4320, true},
        {"then given a time",
         [](AppointmentItem& i) {
             i.setAllDayEvent(true);
             i.setStart(kNine);
         },
         kNine, 1440, false},
        {"then given half an hour",
         [](AppointmentItem& i) {
             i.setAllDayEvent(true);
             i.setDuration(30);
         },
         day, 30, false},
        {"switched off keeps the day",
         [](AppointmentItem& i) {
             i.setAllDayEvent(true);
             i.setAllDayEvent(false);
         },
         day, 1440, false},
    };
    for (const Row& row : rows) {
        test::CalendarRig rig;
        auto item = rig.add("Day", kNine, 45);
        row.change(*item);
        item->Save();
        auto back = only(rig);
        EXPECT_EQ(back->Start(), row.start) << row.what;
        EXPECT_EQ(back->Duration(), row.duration) << row.what;
        EXPECT_EQ(back->AllDayEvent(), row.allDay) << row.what;
        const bool dateValues = rig.text().find("DTSTART;VALUE=DATE:20240306") != std::string::npos;
        EXPECT_EQ(dateValues, row.allDay) << row.what << "\n" << rig.text();
    }
}

TEST(OutlookAppointment, UserPropertiesKeepTheirTypeInTheFile) {
    struct Row {
        int type;
        PropertyValue written;
        PropertyValue read;
        const char* stored;  // the X- property line's value
    };
    const std::vector<Row> rows{
        {olText, std::string("a,b;c\nd\\e"), std::string("a,b;c\nd\\e"), ":a,b;c\\nd\\\\e"},
        {olText, 12.5, std::string("12.5"), ":12.5"},
        {olText, std::string(), std::string(), ";X-EMPTY=TRUE:EMPTY"},
        {olText, std::string("EMPTY"), std::string("EMPTY"), ":EMPTY"},
        {olNumber, 7.0, 7.0, ":7"},
        {olNumber, std::string(" 3 "), 3.0, ":3"},
        {olNumber, true, -1.0, ":-1"},
        {olDateTime, DateTime::ymd(9999, 12, 31), DateTime::ymd(9999, 12, 31), ":99991231T000000"},
        {olDateTime, std::string("2024-03-05 10:30:00"), DateTime::ymd(2024, 3, 5, 10, 30, 0), ":20240305T103000"},
        {olYesNo, true, true, ":TRUE"},
        {olYesNo, 0.0, false, ":FALSE"},
    };
    for (const Row& row : rows) {
        test::CalendarRig rig;
        auto item = rig.add("Props", kNine);
        item->UserProperties()->Add("qvrValue", row.type)->setValue(row.written);
        item->Save();
        const auto p = only(rig)->UserProperties()->Find("QVRVALUE");
        ASSERT_NE(p, nullptr) << row.type;
        EXPECT_EQ(p->Name(), "qvrValue");
        EXPECT_EQ(p->Type(), row.type);
        EXPECT_EQ(p->Value(), row.read) << row.type;
        const std::string line = "X-WENDRAWIN-PROPERTY;X-NAME=qvrValue;X-TYPE=" + std::to_string(row.type) + row.stored;
        EXPECT_NE(rig.text().find(line), std::string::npos) << line << "\n" << rig.text();
    }
}

TEST(OutlookAppointment, UserPropertiesRefuseWhatTheyCannotHold) {
    test::CalendarRig rig;
    auto item = rig.add("Props", kNine);
    auto props = item->UserProperties();
    EXPECT_EQ(props->Find("qvrPriorWarn"), nullptr);
    auto number = props->Add("qvrPriorWarn", olNumber);
    EXPECT_EQ(number->Value(), PropertyValue(0.0));  // before a value is given
    EXPECT_EQ(errorOf([&] { number->setValue(std::string("seven")); }), err::kTypeMismatch);
    EXPECT_EQ(errorOf([&] { props->Add("QVRPRIORWARN", olText); }), err::kPropertyExists);
    EXPECT_EQ(errorOf([&] { props->Add("qvrOther", 2); }), err::kBadArgument);
    EXPECT_EQ(errorOf([&] { props->Add("say \"hi\"", olText); }), err::kBadArgument);
    auto date = props->Add("qvrWhen", olDateTime);
    EXPECT_EQ(errorOf([&] { date->setValue(3.0); }), err::kTypeMismatch);
    EXPECT_EQ(date->Value(), PropertyValue(noDate()));
    EXPECT_EQ(props->Count(), 2);
}

TEST(OutlookAppointment, ReminderIsAnAlarmOfTheEvent) {
    test::CalendarRig rig;
    auto item = rig.add("Remind me", kNine);
    EXPECT_TRUE(item->ReminderSet());  // a new appointment reminds, as its default
    item->setReminderSet(false);
    item->Save();
    EXPECT_EQ(rig.text().find("BEGIN:VALARM"), std::string::npos);
    EXPECT_FALSE(only(rig)->ReminderSet());
    item->setReminderSet(true);
    item->Save();
    EXPECT_NE(rig.text().find("BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M"), std::string::npos) << rig.text();
    EXPECT_TRUE(only(rig)->ReminderSet());
}

TEST(OutlookAppointment, DisplayOpensTheWindowWhichSavesClosesOrDeletes) {
    test::CalendarRig rig;
    auto item = rig.add("Shown", kNine);
    const DateTime before = item->LastModificationTime();
    rig.clock().advanceSeconds(5);

    rig.window->close();
    item->Display(true);
    EXPECT_EQ(item->LastModificationTime(), before);

    rig.window->save([](AppointmentFields& f) {
        f.subject = "Shown and changed";
        f.allDay = true;
    });
    item->Display(true);
    EXPECT_EQ(item->LastModificationTime(), before.addSeconds(5));
    EXPECT_EQ(only(rig)->Subject(), "Shown and changed");
    EXPECT_TRUE(only(rig)->AllDayEvent());

    rig.window->remove();
    item->Display(true);
    EXPECT_EQ(errorOf([&] { item->LastModificationTime(); }), err::kItemDeleted);
    EXPECT_EQ(rig.items()->Count(), 0);
    ASSERT_EQ(rig.window->shown().size(), 3u);
    EXPECT_EQ(rig.window->shown()[1].subject, "Shown");
}

TEST(OutlookAppointment, DisplayWithoutAWindowRaises) {
    test::CalendarRig rig;
    rig.window = nullptr;
    auto item = rig.add("Nowhere", kNine);
    EXPECT_EQ(errorOf([&] { item->Display(true); }), err::kNoWindow);
}

TEST(OutlookAppointment, InjectedFaultsRaiseThroughTheInterfaceAndWriteNothing) {
    test::CalendarRig rig;
    rig.add("Before", kNine);
    const std::string before = rig.text();
    auto plan = std::make_shared<FaultPlan>();
    FaultyAutomation automation(std::make_shared<CalendarAutomation>(rig.options()), plan);
    auto items = automation.CreateObject("Outlook.Application")->GetNamespace("MAPI")->GetDefaultFolder(9)->Items();
    auto item = items->Item(1);
    plan->failOn("AppointmentItem.Save", 2, Error(-2147467259, "Disk on fire", "Test"));
    item->setSubject("First");
    item->Save();
    item->setSubject("Second");
    try {
        item->Save();
        ADD_FAILURE() << "the second save went through";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), -2147467259);
        EXPECT_EQ(e.Description(), "Disk on fire");
        EXPECT_EQ(e.Source(), "Test");
    }
    EXPECT_EQ(rig.items()->Item(1)->Subject(), "First");
    EXPECT_EQ(plan->calls("AppointmentItem.Save"), 2);
    item->Save();  // the fault was for one call only
    EXPECT_EQ(rig.items()->Item(1)->Subject(), "Second");
    EXPECT_NE(rig.text(), before);

    plan->failOn("Automation.CreateObject", 0);
    EXPECT_EQ(errorOf([&] { automation.CreateObject("Outlook.Application"); }), err::kCalendarWrite);
    EXPECT_EQ(errorOf([&] { CalendarAutomation(rig.options()).CreateObject("Word.Application"); }), err::kCannotCreate);
}
