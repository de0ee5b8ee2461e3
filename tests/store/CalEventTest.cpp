#include <gtest/gtest.h>

#include "platform/clock/FakeClock.h"
#include "store/clsCalEvent.h"

using namespace wendra;

namespace {

DateTime d(int y, int m, int day, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, m, day, h, mi, s); }

// Every test runs at the same moment.
class CalEvent : public ::testing::Test {
protected:
    FakeClock clock{d(2025, 3, 12, 14, 30, 5)};
    ClockOverride use{clock};
};

using Items = std::vector<std::string>;

}  // namespace

TEST_F(CalEvent, NewEventHasTheStartValues) {
    const clsCalEvent ev;
    EXPECT_EQ(ev.EventStart(), d(2025, 3, 12));
    EXPECT_EQ(ev.ViewFromDate(), d(2025, 3, 12));
    EXPECT_EQ(ev.Created(), d(2025, 3, 12, 14, 30, 5));
    EXPECT_TRUE(ev.AllDayEvent());
    EXPECT_TRUE(ev.PriorWarningIsDefault());
    EXPECT_EQ(ev.PriorWarning(), 0);
    EXPECT_EQ(ev.AutoDelete(), "M");
    EXPECT_TRUE(ev.LastModified().isNull());
    EXPECT_TRUE(ev.MSOCreated().isNull());
    EXPECT_EQ(ev.XCalendarId(), -1);
    EXPECT_EQ(ev.UpdateRequest(), 0);
    EXPECT_FALSE(ev.IsRecurring());
    EXPECT_EQ(ev.RRulesCount(), 0);
    EXPECT_EQ(clsCalEvent(4).XCalendarId(), 4);
}

TEST_F(CalEvent, SixteenBitValuesReadWithinRange) {
    clsCalEvent ev;
    ev.setPriorWarning(40000);
    EXPECT_EQ(ev.PriorWarning(), 32767);
    ev.setCreatorId(-40000);
    EXPECT_EQ(ev.CreatorId(), -32768);
    ev.setEventFormat(70000);
    EXPECT_EQ(ev.EventFormat(), 32767);
}

TEST_F(CalEvent, ExtraDatesArrayFollowsTheTextOnEveryRead) {
    clsCalEvent ev;
    ev.setRDates("20250301,20250302T090000,20250301");
    EXPECT_EQ(ev.RDates(), "20250301,20250302T090000,20250301");
    EXPECT_EQ(ev.RDatesArray(), (Items{"20250301", "20250302T090000"}));
    ev.setRDates("");
    EXPECT_TRUE(ev.RDatesArray().empty());
}

TEST_F(CalEvent, RemovingAnExtraDateLeavesNoTraceOfIt) {
    clsCalEvent ev;
    ev.setRDates("20250301,20250301T090000,20250305,20250301");
    ev.removeRDate(d(2025, 3, 1), true);
    EXPECT_EQ(ev.RDatesArray(), (Items{"20250301T090000", "20250305"}));
    ev.removeRDate(d(2025, 3, 1, 9), false);
    EXPECT_EQ(ev.RDatesArray(), Items{"20250305"});
    ev.removeRDate(d(2025, 3, 5), true);
    EXPECT_EQ(ev.RDates(), "");
    EXPECT_TRUE(ev.RDatesArray().empty());
    // Only whole items go.
    ev.setRDates("20250301T0900001,120250301");
    ev.removeRDate(d(2025, 3, 1), true);
    EXPECT_EQ(ev.RDates(), "20250301T0900001,120250301");
}

TEST_F(CalEvent, AddedDatesTakeTheirFormAndKeepDuplicates) {
    clsCalEvent ev;
    ev.AddExDate(d(2025, 3, 1, 9, 15), false);
    ev.AddExDate(d(2025, 3, 1, 9, 15), false);
    ev.AddHidden(d(2025, 3, 2, 9, 15), true);
    EXPECT_EQ(ev.ExDates(), "20250301T091500,20250301T091500");
    EXPECT_EQ(ev.HiddenList(), "20250302");
}

TEST_F(CalEvent, ExcludedAndHiddenDatesJoinAsOneList) {
    clsCalEvent ev;
    EXPECT_TRUE(ev.ExAndHiddenDatesArray(true, true).empty());
    ev.setHiddenList("20250302,20250303");
    EXPECT_EQ(ev.ExAndHiddenDatesArray(true, true), (Items{"20250302", "20250303"}));
    ev.setExDates("20250301,20250302");
    EXPECT_EQ(ev.ExAndHiddenDatesArray(true, true), (Items{"20250301", "20250302", "20250303"}));
    EXPECT_EQ(ev.ExAndHiddenDatesArray(true, false), (Items{"20250301", "20250302"}));
    EXPECT_EQ(ev.ExAndHiddenDatesArray(false, true), (Items{"20250302", "20250303"}));
    EXPECT_TRUE(ev.ExAndHiddenDatesArray(false, false).empty());
}

TEST_F(CalEvent, RemovingAHiddenDateTakesBothItsForms) {
    clsCalEvent ev;
    ev.setHiddenList("20250301T090000,20250306,20250301,20250301T100000");
    ev.removeHiddenDate(d(2025, 3, 1, 9));
    EXPECT_EQ(ev.HiddenList(), "20250306,20250301T100000");
    // Removal after removal leaves no empty item behind.
    ev.removeHiddenDate(d(2025, 3, 6));
    ev.removeHiddenDate(d(2025, 3, 1, 10));
    EXPECT_EQ(ev.HiddenList(), "");
    EXPECT_TRUE(ev.ExAndHiddenDatesArray(false, true).empty());
}

TEST_F(CalEvent, AppendingToAListThatEndsInACommaMakesNoEmptyItem) {
    clsCalEvent ev;
    ev.setHiddenList("20250301,");
    ev.AddHidden(d(2025, 3, 2), true);
    EXPECT_EQ(ev.ExAndHiddenDatesArray(false, true), (Items{"20250301", "20250302"}));
}

TEST_F(CalEvent, CleanHiddenListKeepsDatesFromTheEarlierOfViewDateAndToday) {
    clsCalEvent ev;
    const std::string list = "20250301,20250305,not a date,20250311T235959,20250312,20250401T080000,20250312";
    ev.setHiddenList(list);
    ev.setViewFromDate(d(2025, 3, 5));
    ev.CleanHiddenList();
    EXPECT_EQ(ev.HiddenList(), "20250305,20250311T235959,20250312,20250401T080000");
    ev.setHiddenList(list);
    ev.setViewFromDate(d(2025, 4, 1));
    ev.CleanHiddenList();
    EXPECT_EQ(ev.HiddenList(), "20250312,20250401T080000");
}

TEST_F(CalEvent, CleanDeletedListKeepsAYearBehind) {
    clsCalEvent ev;
    // 366 days before 12 March 2025 is 11 March 2024.
    ev.setExDates("20240310,20240311,x,20240601");
    ev.setViewFromDate(d(2025, 6, 1));
    ev.CleanDeletedList();
    EXPECT_EQ(ev.ExDates(), "20240311,20240601");
    ev.setExDates("20221229,20230101,20240310");
    ev.setViewFromDate(d(2024, 1, 1));
    ev.CleanDeletedList();
    EXPECT_EQ(ev.ExDates(), "20230101,20240310");
}

TEST_F(CalEvent, GridKeyCarriesTheTagsInOrder) {
    clsCalEvent ev;
    ev.setDescription("Dentist");
    ev.setXID("X-9");
    ev.setWendraWinId("17");
    ev.setIsRecurring(true);
    ev.setAllDayEvent(false);
    ev.setEventStart(d(2025, 3, 1, 9, 30));
    ev.setMSOCreated(d(2024, 12, 1, 8, 0, 1));
    ev.setOccurrence(d(2025, 3, 8, 9, 30), false, "Dentist");
    EXPECT_EQ(ev.GridKey(),
              "<Desc>Dentist</><XId>X-9</><Id>17</><Recur>True</><Strt>20250301T093000</>"
              "<Occr>20250308T093000</><OcDesc></><MSO>20241201T080001</>");
    ev.setOccurrence(d(2025, 3, 8), true, "Dentist, bring card");
    EXPECT_EQ(gridKeyValue(ev.GridKey(), Tag::Occr), "20250308");
    EXPECT_EQ(gridKeyValue(ev.GridKey(), Tag::OcDesc), "Dentist, bring card");
    // A blank occurrence text is the description itself.
    ev.setOccurrence(d(2025, 3, 8), true, "   ");
    EXPECT_EQ(ev.OccurDesc(), "Dentist");
    EXPECT_EQ(gridKeyValue(ev.GridKey(), Tag::OcDesc), "");
}

TEST_F(CalEvent, NoTextCanForgeAnotherTagOfTheRowKey) {
    clsCalEvent ev;
    const std::string forged = "<Id>5</><Recur>True</> &lt; & <";
    ev.setDescription(forged);
    ev.setXID("<Id>6</>");
    ev.setWendraWinId("17");
    ev.setOccurrence(d(2025, 3, 8), true, "<Occr>19991231</><MSO>20000101</>");
    const std::string key = ev.GridKey();
    // Plain readers of the other tags find the event's own values.
    EXPECT_EQ(taggedValue(key, Tag::Id), "17");
    EXPECT_EQ(taggedValue(key, Tag::Recur), "False");
    EXPECT_EQ(taggedValue(key, Tag::Occr), "20250308");
    EXPECT_EQ(taggedValue(key, Tag::MSO), "18991230T000000");
    // The texts themselves come back whole.
    EXPECT_EQ(gridKeyValue(key, Tag::Desc), forged);
    EXPECT_EQ(gridKeyValue(key, Tag::XId), "<Id>6</>");
    EXPECT_EQ(gridKeyValue(key, Tag::OcDesc), "<Occr>19991231</><MSO>20000101</>");
    // A queued request puts its own id before the key and is still read first.
    EXPECT_EQ(taggedValue("</Req>Add</><Id>3</>" + key, Tag::Id), "3");
}

TEST_F(CalEvent, RuleCollectionCountsFromOne) {
    clsCalEvent ev;
    EXPECT_EQ(ev.RRule(1), nullptr);
    ev.addRRule().setFrequency(clsCalRRule::kDaily);
    clsCalRRule& second = ev.addRRule();
    EXPECT_EQ(second.Frequency(), clsCalRRule::kNone);
    second.setFrequency(clsCalRRule::kWeekly);
    ASSERT_EQ(ev.RRulesCount(), 2);
    EXPECT_EQ(ev.RRule(0), nullptr);
    EXPECT_EQ(ev.RRule(3), nullptr);
    ev.deleteRRule(0);
    ev.deleteRRule(3);
    EXPECT_EQ(ev.RRulesCount(), 2);
    ev.deleteRRule(1);
    ASSERT_EQ(ev.RRulesCount(), 1);
    EXPECT_EQ(ev.RRule(1)->Frequency(), clsCalRRule::kWeekly);
}

TEST_F(CalEvent, CopyOwnsItsRules) {
    clsCalEvent ev;
    ev.addRRule().setByDay("MO");
    clsCalEvent copy = ev;
    copy.RRule(1)->setByDay("TU");
    copy.addRRule();
    EXPECT_EQ(ev.RRule(1)->ByDay(), "MO");
    EXPECT_EQ(ev.RRulesCount(), 1);
}

TEST_F(CalEvent, EditorTakesOnlyWhatItCanShow) {
    struct Case {
        const char* name;
        int frequency;
        int rruleType;
        const char* byMonthDay;
        const char* byDay;
        const char* bySetPos;
        bool editable;
    };
    const Case cases[] = {
        {"plain weekly", 2, 0, "", "", "", true},
        {"once", 7, 0, "", "", "", true},
        {"weekly on days", 2, 0, "", "MO", "", false},
        {"blank day list", 2, 0, "", "  ", "", true},
        {"month end by days", 1, 0, "", "MO,TU,WE,TH,FR,SA,SU", "-1", true},
        {"month end by dates", 1, 0, "28,29,30,31", "", "-1", true},
        {"the 30th or last", 1, 0, "28,29,30", "", "-1", true},
        {"days from the end", 1, 0, "-28,-29,-30,-31", "", "-1", false},
        {"exclusion rule", 2, 1, "", "", "", false},
        {"hourly", 4, 0, "", "", "", false},
        {"minutely", 5, 0, "", "", "", false},
        {"secondly", 6, 0, "", "", "", false},
        {"unknown frequency", 12, 0, "", "", "", false},
    };
    for (const auto& c : cases) {
        clsCalEvent ev;
        clsCalRRule& r = ev.addRRule();
        r.setFrequency(c.frequency);
        r.setRRuleType(c.rruleType);
        r.setByMonthDay(c.byMonthDay);
        r.setByDay(c.byDay);
        r.setBySetPos(c.bySetPos);
        EXPECT_EQ(ev.isEditableQVR(), c.editable) << c.name;
    }
    clsCalEvent none;
    EXPECT_TRUE(none.isEditableQVR());
    none.setHasExceptions(true);
    EXPECT_FALSE(none.isEditableQVR());
    clsCalEvent two;
    two.addRRule().setFrequency(2);
    two.addRRule().setFrequency(2);
    EXPECT_FALSE(two.isEditableQVR());
}

TEST_F(CalEvent, MarkDeleteOfOneOccurrence) {
    clsCalEvent ev;
    ev.setRDates("20250301,20250310");
    ev.MarkDelete(false, d(2025, 3, 1), true);
    EXPECT_EQ(ev.UpdateRequest(), 2);
    EXPECT_EQ(ev.RDatesArray(), Items{"20250310"});
    EXPECT_EQ(ev.ExDates(), "");
    EXPECT_EQ(ev.LastModified(), d(2025, 3, 12, 14, 30, 5));
    // The timed occurrence of an all-day extra date is another item.
    ev.MarkDelete(false, d(2025, 3, 10, 8), false);
    EXPECT_EQ(ev.RDatesArray(), Items{"20250310"});
    EXPECT_EQ(ev.ExDates(), "20250310T080000");
    ev.MarkDelete(false, d(2025, 3, 17), true);
    EXPECT_EQ(ev.ExDates(), "20250310T080000,20250317");
    // An extra date with blanks around it is still the one found and removed.
    ev.setRDates("20250320, 20250324 ");
    ev.MarkDelete(false, d(2025, 3, 24), true);
    EXPECT_EQ(ev.RDatesArray(), Items{"20250320"});
    EXPECT_EQ(ev.ExDates(), "20250310T080000,20250317");
}

TEST_F(CalEvent, MarkDeleteOfTheWholeEvent) {
    clsCalEvent ev;
    ev.setRDates("20250301");
    ev.MarkDelete(true, d(2025, 3, 1), true);
    EXPECT_EQ(ev.UpdateRequest(), 1);
    EXPECT_EQ(ev.RDates(), "20250301");
    EXPECT_EQ(ev.ExDates(), "");
    EXPECT_EQ(ev.LastModified(), d(2025, 3, 12, 14, 30, 5));
}
