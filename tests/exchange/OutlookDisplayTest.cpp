// The calendar's own window through the binding, with the scripted window: a
// new appointment saved or not, an appointment or one occurrence changed,
// deleted or left as it was.

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
    EXPECT_FALSE(rig.binding.displayAddForm(ev));
    EXPECT_EQ(ev.Description(), "Untouched");
    // Delete in the window of an appointment never saved is no failure either.
    rig.window().remove();
    EXPECT_FALSE(rig.binding.displayAddForm(ev));
    EXPECT_EQ(rig.appointmentCount(), 0);

    rig.window().save([](AppointmentFields& f) {
        f.subject = "Made in Outlook";
        f.start = at(2024, 3, 12);
    });
    ASSERT_TRUE(rig.binding.displayAddForm(ev));
    // The window opens on an all-day appointment.
    EXPECT_TRUE(rig.window().shown().back().allDay);
    EXPECT_EQ(ev.Description(), "Made in Outlook");
    EXPECT_TRUE(ev.AllDayEvent());
    EXPECT_EQ(ev.EventStart(), at(2024, 3, 12, 0, 0));
    EXPECT_EQ(ev.XCalendarId(), rig.binding.CalendarId());
    EXPECT_EQ(ev.XID(), rig.calendar.items()->Item(1)->EntryID());
    EXPECT_TRUE(rig.messages.calls().empty());
}

TEST(OutlookDisplay, AnAppointmentChangedDeletedOrLeftInItsWindow) {
    OutlookBindingRig rig;
    clsCalEvent stored = rig.event("Dentist", at(2024, 3, 9, 8, 30));
    ASSERT_TRUE(rig.save(stored));
    const auto find = [&] {
        clsCalEvent ev;
        EXPECT_EQ(rig.readBack(stored, ev), FindResult::found);
        return ev;
    };

    clsCalEvent ev = find();
    rig.clock().advanceSeconds(60);
    rig.window().close();
    EXPECT_FALSE(rig.binding.displayEditForm(ev, false));

    rig.window().save([&](AppointmentFields& f) {
        rig.clock().advanceSeconds(60);
        f.subject = "Dentist, moved";
        f.start = at(2024, 3, 11, 9, 0);
    });
    ASSERT_TRUE(rig.binding.displayEditForm(ev, false));
    EXPECT_EQ(ev.Description(), "Dentist, moved");
    EXPECT_EQ(ev.EventStart(), at(2024, 3, 11, 9, 0));
    EXPECT_EQ(ev.WendraWinId(), stored.WendraWinId());  // still the store's event
    EXPECT_EQ(ev.UpdateRequest(), clsCalEvent::kRequestNone);
    EXPECT_GT(ev.LastModified(), stored.LastModified());

    ev = find();
    rig.window().remove();
    ASSERT_TRUE(rig.binding.displayEditForm(ev, false));
    EXPECT_EQ(ev.UpdateRequest(), clsCalEvent::kRequestDeleteEvent);
    EXPECT_EQ(rig.appointmentCount(), 0);
    EXPECT_TRUE(rig.messages.calls().empty());
}

TEST(OutlookDisplay, AnAppointmentFirstReadInItsWindowIsNotTakenForChanged) {
    OutlookBindingRig rig;
    auto item = rig.calendar.add("Plain", at(2024, 3, 9, 8, 30));
    rig.clock().advanceSeconds(60);
    // Its first reading adds the program's properties before the window opens.
    clsCalEvent ev;
    rig.window().close();
    EXPECT_FALSE(rig.binding.displayEditForm(ev, item));
    EXPECT_NE(item->UserProperties()->Find("qvrLastCompared"), nullptr);
    EXPECT_EQ(rig.window().shown().size(), 1u);
}

TEST(OutlookDisplay, OneOccurrencesWindowLeavesTheEventItsSeries) {
    OutlookBindingRig rig;
    clsCalEvent stored = rig.event("Choir", at(2024, 3, 6, 19, 0));
    OutlookBindingRig::repeat(stored, clsCalRRule::kWeekly).setDurationCount(4);
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
    EXPECT_EQ(ev.Description(), "Choir");
    EXPECT_TRUE(ev.IsRecurring());
    EXPECT_EQ(ev.DescExceptions(), "\t20240313190000=Choir, concert\t");
    EXPECT_EQ(ev.WendraWinId(), stored.WendraWinId());

    ASSERT_TRUE(rig.binding.findOccur(ev, at(2024, 3, 20, 19, 0)));
    rig.window().remove();
    ASSERT_TRUE(rig.binding.displayEditForm(ev, true));
    // One occurrence went, not the event.
    EXPECT_EQ(ev.UpdateRequest(), clsCalEvent::kRequestDeleteOccurrence);
    EXPECT_EQ(ev.ExDates(), "20240320");
    EXPECT_EQ(rig.appointmentCount(), 1);
}

TEST(OutlookDisplay, AWindowThatCannotOpenShowsTheCalendarsOwnText) {
    OutlookBindingRig rig;
    clsCalEvent stored = rig.event("Dentist", at(2024, 3, 9, 8, 30));
    ASSERT_TRUE(rig.save(stored));
    clsCalEvent ev;
    ASSERT_EQ(rig.readBack(stored, ev), FindResult::found);
    rig.faults->failOn("AppointmentItem.Display", 0, Error(-2147221235, "No appointment window is available.", "Outlook"));
    EXPECT_FALSE(rig.binding.displayEditForm(ev, false));
    EXPECT_FALSE(rig.binding.displayAddForm(ev));
    ASSERT_EQ(rig.messages.calls().size(), 2u);
    for (const auto& m : rig.messages.calls()) {
        EXPECT_EQ(m.text, "No appointment window is available.");
        EXPECT_EQ(m.icon, ui::MessageIcon::Critical);
    }
    // Nothing was read: an event never found has no window to open.
    clsCalEvent unknown;
    EXPECT_FALSE(rig.binding.displayEditForm(unknown, false));
    EXPECT_FALSE(rig.binding.displayEditForm(unknown, true));
}

}  // namespace
