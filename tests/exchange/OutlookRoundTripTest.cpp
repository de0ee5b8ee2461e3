// Events written into the calendar file by the binding and read back by it,
// each checked three ways: the rule column read back, the program's own engine
// on both events, and libical's expansion of what the file holds.

#include <gtest/gtest.h>

#include "tests/support/OutlookBindingRig.h"

using namespace wendra;
using wendra::test::at;
using wendra::test::OutlookBindingRig;

namespace {

const DateTime kHorizon = at(2027, 1, 1, 0, 0);

// Reads the event's appointment back and checks that it repeats as the event does.
clsCalEvent checkBack(OutlookBindingRig& rig, const clsCalEvent& ev) {
    clsCalEvent back;
    EXPECT_EQ(rig.readBack(ev, back), FindResult::found);
    EXPECT_EQ(back.Description(), ev.Description());
    EXPECT_EQ(back.WendraWinId(), ev.WendraWinId());
    EXPECT_EQ(back.AllDayEvent(), ev.AllDayEvent());
    EXPECT_EQ(back.EventStart(), ev.EventStart());
    const auto expected = OutlookBindingRig::occurrences(ev, kHorizon);
    EXPECT_EQ(OutlookBindingRig::occurrences(back, kHorizon), expected);
    EXPECT_EQ(rig.outlookStarts(back.XID(), kHorizon), expected);
    return back;
}

TEST(OutlookRoundTrip, EachPatternTypeComesBackAsTheSameSeries) {
    struct Row {
        const char* what;
        DateTime start;
        bool allDay;
        const char* column;
        const char* back;  // the rule column read back
    };
    const std::vector<Row> rows{
        {"a timed one-off", at(2024, 3, 8, 14, 30), false, "", ""},
        {"an all-day one-off", at(2024, 3, 9), true, "", ""},
        {"every second day, five times", at(2024, 3, 6, 9, 30), false, "<#=R><F=3><I=2><C=5>",
         "<#=R><F=3><I=2><U=20240314>"},
        {"Monday and Wednesday until April", at(2024, 3, 11, 18), false, "<#=R><F=2><U=20240430><D=MO,WE>",
         "<#=R><F=2><U=20240430><D=MO,WE>"},
        {"monthly on the 15th", at(2024, 3, 15), true, "<#=R><F=1><C=6>", "<#=R><F=1><U=20240815>"},
        {"the month's end", at(2024, 3, 31), true, "<#=R><F=1><D=MO,TU,WE,TH,FR,SA,SU><P=-1>",
         "<#=R><F=1><D=MO,TU,WE,TH,FR,SA,SU><P=-1>"},
        {"the 30th, or February's last", at(2024, 4, 30), true, "<#=R><F=1><T=28,29,30><P=-1>",
         "<#=R><F=1><T=28,29,30><P=-1>"},
        {"the second Tuesday", at(2024, 3, 12, 19), false, "<#=R><F=1><C=8><D=2TU>", "<#=R><F=1><U=20241008><D=2TU>"},
        {"the last Friday every third month", at(2024, 3, 29, 17), false, "<#=R><F=1><I=3><D=-1FR>",
         "<#=R><F=1><I=3><D=-1FR>"},
        {"yearly", at(2024, 6, 10), true, "<#=R><F=0>", "<#=R><F=0>"},
        {"the fourth Thursday of November", at(2024, 11, 28, 12), false, "<#=R><F=0><M=11><D=4TH>",
         "<#=R><F=0><M=11><D=4TH>"},
        {"every second year until 2030", at(2024, 7, 1), true, "<#=R><F=0><I=2><U=20300701>",
         "<#=R><F=0><I=2><U=20300701>"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OutlookBindingRig rig;
        clsCalEvent ev = rig.event(row.what, row.start, row.allDay, row.column);
        ASSERT_TRUE(rig.save(ev));
        EXPECT_TRUE(rig.messages.calls().empty());
        EXPECT_EQ(OutlookBindingRig::column(checkBack(rig, ev)), row.back);
    }
}

TEST(OutlookRoundTrip, AChangedEventRewritesItsAppointmentInPlace) {
    struct Step {
        const char* what;
        DateTime start;
        bool allDay;
        const char* column;
    };
    const std::vector<Step> steps{
        {"a timed one-off", at(2024, 3, 8, 9), false, ""},
        {"becomes all-day", at(2024, 3, 8), true, ""},
        {"becomes weekly", at(2024, 3, 8), true, "<#=R><F=2><C=4>"},
        {"the series becomes timed", at(2024, 3, 8, 7, 45), false, "<#=R><F=2><C=4>"},
        {"moves to the first Friday", at(2024, 4, 5, 7, 45), false, "<#=R><F=1><U=20241231><D=1FR>"},
        {"becomes all-day again", at(2024, 4, 5), true, "<#=R><F=1><U=20241231><D=1FR>"},
        {"stops repeating and loses its series", at(2024, 4, 5, 16), false, ""},
    };
    OutlookBindingRig rig;
    clsCalEvent ev;
    std::string entryId;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        rig.clock().advanceSeconds(60);
        const std::string id = ev.WendraWinId();
        ev = rig.event("Changing", s.start, s.allDay, s.column);
        ev.setWendraWinId(id);
        ASSERT_TRUE(rig.save(ev));
        if (entryId.empty()) entryId = rig.entryIdOf(ev);
        EXPECT_EQ(rig.entryIdOf(ev), entryId);
        EXPECT_EQ(rig.appointmentCount(), 1);
        checkBack(rig, ev);
        // All-day for other calendar programs too, and a timed one lasts half an hour.
        auto item = rig.appointment(entryId);
        EXPECT_EQ(item->AllDayEvent(), s.allDay);
        EXPECT_EQ(item->Duration(), s.allDay ? 1440 : 30);
    }
    EXPECT_TRUE(rig.messages.calls().empty());
}

TEST(OutlookRoundTrip, DeletedAndMovedOccurrencesAndTheirOwnSubjectsComeBack) {
    OutlookBindingRig rig;
    clsCalEvent ev = rig.seriesWithExceptions("Choir");
    ASSERT_TRUE(rig.save(ev));
    const std::vector<DateTime> expected{at(2024, 3, 6), at(2024, 3, 21, 11), at(2024, 3, 27), at(2024, 4, 3),
                                         at(2024, 4, 10), at(2024, 4, 17), at(2024, 4, 24)};
    ASSERT_EQ(OutlookBindingRig::occurrences(ev, kHorizon), expected);
    clsCalEvent back = checkBack(rig, ev);
    EXPECT_EQ(back.ExDates(), "20240313,20240320T090000");
    EXPECT_EQ(back.RDates(), "20240321T110000");
    EXPECT_EQ(back.DescExceptions(), "\t20240327090000=Choir, with cake\t");
    EXPECT_TRUE(back.hasExceptions());

    // Written back unchanged, nothing moves.
    rig.clock().advanceSeconds(30);
    ASSERT_TRUE(rig.binding.Save(back, back.XID()));
    const clsCalEvent again = checkBack(rig, ev);
    EXPECT_EQ(OutlookBindingRig::column(again), OutlookBindingRig::column(back));
    EXPECT_EQ(again.DescExceptions(), back.DescExceptions());

    // Renamed, its changed occurrences follow; the moved one deleted here leaves Outlook too.
    ev.setDescription("Chamber choir");
    ev.setDescExceptions("");
    ev.MarkDelete(false, at(2024, 3, 21, 11), false);
    ASSERT_TRUE(rig.save(ev));
    back = checkBack(rig, ev);
    EXPECT_EQ(back.DescExceptions(), "");
    EXPECT_EQ(back.RDates(), "");
    EXPECT_TRUE(rig.messages.calls().empty());
}

TEST(OutlookRoundTrip, APastExcludedDateStaysInOutlookUnlessItsDeletionIsAsked) {
    for (int request : {clsCalEvent::kRequestNone, clsCalEvent::kRequestDeleteOccurrence}) {
        SCOPED_TRACE(request);
        OutlookBindingRig rig;
        clsCalEvent ev = rig.event("Daily", at(2024, 3, 1, 8, 0), false, "<#=R><F=3><C=10>");
        ASSERT_TRUE(rig.save(ev));
        ev.setExDates("20240302");
        ev.setUpdateRequest(request);
        ASSERT_TRUE(rig.save(ev));
        const auto starts = rig.outlookStarts(rig.entryIdOf(ev), kHorizon);
        EXPECT_EQ(std::count(starts.begin(), starts.end(), at(2024, 3, 2, 8)), request == 0 ? 1 : 0);
    }
}

}  // namespace
