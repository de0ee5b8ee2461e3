// The calendar's own window through the binding, with the scripted window: a
// new appointment saved or not, an appointment or one occurrence changed,
// deleted or left as it was, and a window that cannot open.

#include <gtest/gtest.h>

#include "tests/support/OutlookBindingRig.h"

using namespace wendra;
using namespace wendra::outlook;
using wendra::test::at;
using wendra::test::OutlookBindingRig;

namespace {

TEST(OutlookDisplay, ANewAppointmentCountsOnlyWhenTheUserSavesIt) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("Untouched", at(2024, 3, 9));
    rig.window().close();
    rig.window().remove();  // deleting one never saved is no failure either
    rig.window().save([](AppointmentFields& f) {
        f.subject = "Made in Outlook";
        f.start = at(2024, 3, 12);
    });
    EXPECT_FALSE(rig.binding.displayAddForm(ev));
    EXPECT_FALSE(rig.binding.displayAddForm(ev));
    EXPECT_EQ(ev.Description(), "Untouched");
    ASSERT_TRUE(rig.binding.displayAddForm(ev));
    EXPECT_TRUE(rig.window().shown().back().allDay);  // it opens on an all-day appointment
    EXPECT_EQ(std::tuple(ev.Description(), ev.AllDayEvent(), ev.EventStart()),
              std::tuple(std::string("Made in Outlook"), true, at(2024, 3, 12, 0, 0)));
    EXPECT_EQ(ev.XCalendarId(), rig.binding.CalendarId());
    EXPECT_EQ(ev.XID(), rig.calendar.items()->Item(1)->EntryID());
    EXPECT_TRUE(rig.messages.calls().empty());
}

TEST(OutlookDisplay, AnAppointmentChangedDeletedOrLeftInItsWindow) {
    OutlookBindingRig rig;
    auto plain = rig.calendar.add("Plain", at(2024, 3, 9, 8, 30));
    clsCalEvent stored = rig.event("Dentist", at(2024, 3, 9, 8, 30));
    ASSERT_TRUE(rig.save(stored));
    rig.clock().advanceSeconds(60);
    // A first reading adds the program's properties before the window opens, so
    // closing it is no change.
    clsCalEvent ev;
    rig.window().close();
    EXPECT_FALSE(rig.binding.displayEditForm(ev, plain));
    EXPECT_NE(plain->UserProperties()->Find("qvrLastCompared"), nullptr);

    ASSERT_EQ(rig.readBack(stored, ev), FindResult::found);
    rig.window().save([&](AppointmentFields& f) {
        rig.clock().advanceSeconds(60);
        f.subject = "Dentist, moved";
        f.start = at(2024, 3, 11, 9, 0);
    });
    ASSERT_TRUE(rig.binding.displayEditForm(ev, false));
    EXPECT_EQ(std::tuple(ev.Description(), ev.EventStart(), ev.UpdateRequest()),
              std::tuple(std::string("Dentist, moved"), at(2024, 3, 11, 9, 0), 0));
    EXPECT_EQ(ev.WendraWinId(), stored.WendraWinId());  // still the store's event
    EXPECT_GT(ev.LastModified(), stored.LastModified());

    rig.window().remove();
    ASSERT_TRUE(rig.binding.displayEditForm(ev, false));
    EXPECT_EQ(ev.UpdateRequest(), clsCalEvent::kRequestDeleteEvent);
    EXPECT_EQ(rig.appointmentCount(), 1);
    EXPECT_TRUE(rig.messages.calls().empty());
}

TEST(OutlookDisplay, OneOccurrencesWindowLeavesTheEventItsSeries) {
    OutlookBindingRig rig;
    clsCalEvent stored = rig.event("Choir", at(2024, 3, 6, 19, 0), false, "<#=R><F=2><C=4>");
    ASSERT_TRUE(rig.save(stored));
    clsCalEvent ev;
    ASSERT_EQ(rig.readBack(stored, ev), FindResult::found);
    ASSERT_TRUE(rig.binding.findOccur(ev, at(2024, 3, 13, 19, 0)));
    rig.window().close();
    EXPECT_FALSE(rig.binding.displayEditForm(ev, true));

    ASSERT_TRUE(rig.binding.findOccur(ev, at(2024, 3, 13, 19, 0)));
    rig.window().save([&](AppointmentFields& f) {
        rig.clock().advanceSeconds(60);
        f.subject = "Choir, concert";
    });
    ASSERT_TRUE(rig.binding.displayEditForm(ev, true));
    EXPECT_TRUE(rig.window().shown().back().occurrence);
    EXPECT_EQ(std::tuple(ev.Description(), ev.IsRecurring(), ev.WendraWinId()),
              std::tuple(std::string("Choir"), true, stored.WendraWinId()));
    EXPECT_EQ(ev.DescExceptions(), "\t20240313190000=Choir, concert\t");

    ASSERT_TRUE(rig.binding.findOccur(ev, at(2024, 3, 20, 19, 0)));
    rig.window().remove();
    ASSERT_TRUE(rig.binding.displayEditForm(ev, true));
    // One occurrence went, not the event.
    EXPECT_EQ(std::tuple(ev.UpdateRequest(), ev.ExDates()), std::tuple(2, std::string("20240320")));
    EXPECT_EQ(rig.appointmentCount(), 1);
}

TEST(OutlookDisplay, AWindowThatCannotOpenShowsTheCalendarsOwnText) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.event("Dentist", at(2024, 3, 9, 8, 30)), unknown;
    ASSERT_TRUE(rig.save(ev));
    ASSERT_EQ(rig.readBack(ev, ev), FindResult::found);
    rig.faults->failOn("AppointmentItem.Display", 0, Error(-2147221235, "No appointment window.", "Outlook"));
    EXPECT_FALSE(rig.binding.displayEditForm(ev, false) || rig.binding.displayAddForm(ev));
    ASSERT_EQ(rig.messages.calls().size(), 2u);
    EXPECT_EQ(std::tuple(rig.messages.last().text, rig.messages.last().icon),
              std::tuple(std::string("No appointment window."), ui::MessageIcon::Critical));
    // An event never read has no appointment to open.
    EXPECT_FALSE(rig.binding.displayEditForm(unknown, false) || rig.binding.displayEditForm(unknown, true));
}

}  // namespace
