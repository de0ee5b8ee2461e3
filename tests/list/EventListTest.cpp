// The full rebuild of the reminder list over a real store file, with the clock
// standing still: the rows, their texts and colours, folding, auto-delete, the
// order, the view-all mode and the columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "list/EventList.h"
#include "tests/support/ListRig.h"

using namespace wendra;
using test::daily;
using test::oneOff;

namespace {

DateTime at(int y, int m, int d, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, m, d, h, mi, s); }

// Tuesday 5 March 2024, 14:00.
const DateTime kNow = at(2024, 3, 5, 14, 0);

class EventListTest : public ::testing::Test, protected test::ListRig {
protected:
    EventListTest() : ListRig(kNow) {}

    int firstRow() const { return grid.fixedRows(); }
    int bodyRows() const { return grid.rows() - grid.fixedRows(); }
    std::vector<std::string> column(int c) const {
        std::vector<std::string> out;
        for (int r = grid.fixedRows(); r < grid.rows(); ++r) out.push_back(grid.textMatrix(r, c));
        return out;
    }
    std::optional<ui::Colour> fore(int r, int c) const { return grid.cellForeColourAt(r, c); }
    std::optional<ui::Colour> back(int r, int c) const { return grid.cellBackColourAt(r, c); }
};

// ---- heading, placeholder and window of days ---------------------------------

TEST_F(EventListTest, EmptyStoreShowsHeadingAndPlaceholderOrThePlaceholderAlone) {
    list.refreshList();
    ASSERT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.fixedRows(), 1);
    const std::vector<std::string> heading = {"", "", "", "Days To", "Description", "Time", "Date", "Day"};
    for (int c = 0; c < kListColumns; ++c) EXPECT_EQ(cell(0, c), heading[std::size_t(c)]) << c;
    EXPECT_EQ(cell(1, grdSubject), "No events within 30 days");
    EXPECT_TRUE(list.isPlaceholderRow(1));
    EXPECT_EQ(list.noEventsText(), "\t\t\t\tNo events within 30 days");

    settings.setViewHeadings(false);
    settings.setPriorWarning(12);
    list.refreshList();
    ASSERT_EQ(grid.rows(), 1);
    EXPECT_EQ(grid.fixedRows(), 0);
    EXPECT_EQ(cell(0, grdSubject), "No events within 12 days");
}

TEST_F(EventListTest, EventsAreReadAsFarAheadAsAnyWarningReachesAndShownWithinTheirOwn) {
    settings.setPriorWarning(3);
    clsCalEvent ownWarning = oneOff("Eight days, own 12", at(2024, 3, 13, 10, 0));
    ownWarning.setPriorWarningIsDefault(false);
    ownWarning.setPriorWarning(12);
    save(ownWarning);
    clsCalEvent beyondQuery = oneOff("Ten days, own 12", at(2024, 3, 15, 10, 0));
    beyondQuery.setPriorWarningIsDefault(false);
    beyondQuery.setPriorWarning(12);
    save(beyondQuery);
    clsCalEvent shortWarning = oneOff("Five days, own 2", at(2024, 3, 10, 10, 0));
    shortWarning.setPriorWarningIsDefault(false);
    shortWarning.setPriorWarning(2);
    save(shortWarning);
    save(oneOff("Three days, default", at(2024, 3, 8), true));
    save(oneOff("Four days, default", at(2024, 3, 9), true));

    list.refreshList();
    EXPECT_GE(rowOf("Eight days, own 12"), 0);
    // Beyond the nine days the default reads, within its own warning: shown too.
    EXPECT_GE(rowOf("Ten days, own 12"), 0);
    EXPECT_EQ(rowOf("Five days, own 2"), -1);
    EXPECT_GE(rowOf("Three days, default"), 0);
    EXPECT_EQ(rowOf("Four days, default"), -1);
}

TEST_F(EventListTest, AnOccurrenceOnTheLastDayOfTheWarningIsShown) {
    clsCalEvent ev = oneOff("Edge", at(2024, 3, 10, 23, 30));
    ev.setPriorWarningIsDefault(false);
    ev.setPriorWarning(5);
    save(ev);
    // The last day of the default warning, later than its first second.
    settings.setPriorWarning(12);
    save(oneOff("Last default day", at(2024, 3, 17, 10, 0)));
    save(oneOff("Day after", at(2024, 3, 18, 0, 0)));
    list.refreshList();
    const int r = rowOf("Edge");
    ASSERT_GE(r, 0);
    EXPECT_EQ(cell(r, grdWendra), "5");
    ASSERT_GE(rowOf("Last default day"), 0);
    EXPECT_EQ(cell(rowOf("Last default day"), grdWendra), "12");
    EXPECT_EQ(rowOf("Day after"), -1);
}

// ---- texts and colours of each kind of row -----------------------------------

TEST_F(EventListTest, EachKindOfRowHasItsTextsAndColours) {
    list.setShrinkPast(false);
    save(oneOff("Three back", at(2024, 3, 2, 8, 0)));
    save(oneOff("Yesterday", at(2024, 3, 4), true));
    save(oneOff("All day", at(2024, 3, 5), true));
    save(oneOff("Later today", at(2024, 3, 5, 15, 30)));
    save(oneOff("Passed today", at(2024, 3, 5, 12, 30)));
    save(oneOff("Tomorrow", at(2024, 3, 6, 9, 5)));
    save(oneOff("Fortnight", at(2024, 3, 17), true));
    list.refreshList();

    struct Expect {
        std::string desc, daysTo, time, date, day;
        ui::Colour daysFore;
        std::optional<ui::Colour> daysBack;
        ui::Colour descFore;
    };
    const std::vector<Expect> expected = {
        {"Three back", "-3", "08:00", "02-Mar-24", "Sat", 0xFFFFFF, 255, 255},
        {"Yesterday", "-1", "     ", "04-Mar-24", "Mon", 0xFFFFFF, 255, 255},
        {"Passed today", "-1h 30m", "12:30", "05-Mar-24", "Tue", 255, std::nullopt, 255},
        {"Later today", "1h 30m", "15:30", "05-Mar-24", "Tue", 0xFF0000, std::nullopt, 0xFF0000},
        {"All day", "*", "     ", "05-Mar-24", "Tue", 0xFF0000, std::nullopt, 0xFF0000},
        {"Tomorrow", "1", "09:05", "06-Mar-24", "Wed", 0, 65280, 0},
        {"Fortnight", "12", "     ", "17-Mar-24", "Sun", 0, 65280, 0},
    };
    ASSERT_EQ(bodyRows(), int(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const int r = firstRow() + int(i);
        const Expect& e = expected[i];
        SCOPED_TRACE(e.desc);
        EXPECT_EQ(cell(r, grdSubject), e.desc);
        EXPECT_EQ(cell(r, grdWendra), e.daysTo);
        EXPECT_EQ(cell(r, grdTime), e.time);
        EXPECT_EQ(cell(r, grdDate), e.date);
        EXPECT_EQ(cell(r, grdDayofWeek), e.day);
        EXPECT_EQ(cell(r, grdModified), "");
        EXPECT_EQ(fore(r, grdWendra), e.daysFore);
        EXPECT_EQ(back(r, grdWendra), e.daysBack);
        EXPECT_EQ(fore(r, grdSubject), e.descFore);
        EXPECT_EQ(back(r, grdSubject), std::nullopt);
        EXPECT_EQ(gridKeyValue(cell(r, grdKey), Tag::Desc), e.desc);
    }
    EXPECT_EQ(grid.backColour(), 0x80FFFF);
}

TEST_F(EventListTest, LongDescriptionsSayHowFarAway) {
    settings.setViewLongDesc(true);
    list.setShrinkPast(false);
    save(oneOff("Three back", at(2024, 3, 2, 8, 0)));
    save(oneOff("Yesterday", at(2024, 3, 4), true));
    save(oneOff("All day", at(2024, 3, 5), true));
    save(oneOff("Later today", at(2024, 3, 5, 16, 5)));
    save(oneOff("Passed today", at(2024, 3, 5, 13, 45)));
    save(oneOff("Tomorrow", at(2024, 3, 6, 9, 5)));
    save(oneOff("Fortnight", at(2024, 3, 17), true));
    list.refreshList();
    EXPECT_EQ(column(grdSubject),
              (std::vector<std::string>{"3 days past, Three back", "1 day past, Yesterday", "-0h 15m past Passed today",
                                        "2h 05m to Later today", "Today is All day", "Only 1 day to Tomorrow",
                                        "Only 12 days to Fortnight"}));
}

TEST_F(EventListTest, TheDayColumnIsEmptyWhileHidden) {
    settings.setViewDayOfWeek(-1);
    save(oneOff("Tomorrow", at(2024, 3, 6, 9, 5)));
    list.refreshList();
    EXPECT_EQ(cell(firstRow(), grdDayofWeek), "");
    EXPECT_EQ(grid.colWidth(grdDayofWeek), 0);
}

// ---- folding past occurrences ------------------------------------------------

TEST_F(EventListTest, PastOccurrencesFoldAtTwoHoursWithPastEventHoursTwo) {
    settings.setPastEventHours(2);
    save(oneOff("119 minutes", kNow.addMinutes(-119)));
    save(oneOff("120 minutes", kNow.addMinutes(-120)));
    save(oneOff("121 minutes", kNow.addMinutes(-121)));
    save(oneOff("90 minutes", kNow.addMinutes(-90)));
    list.refreshList();
    EXPECT_GE(rowOf("119 minutes"), 0);
    EXPECT_EQ(rowOf("120 minutes"), -1);
    EXPECT_EQ(rowOf("121 minutes"), -1);
    const int r90 = rowOf("90 minutes");
    ASSERT_GE(r90, 0);
    EXPECT_EQ(fore(r90, grdSubject), 255);
    EXPECT_EQ(list.pastCount(), 2);
    ASSERT_EQ(list.pastEventsRow(), firstRow());
    EXPECT_EQ(cell(firstRow(), grdSubject), "2 past events");

    list.setShrinkPast(false);
    list.refreshList();
    EXPECT_EQ(list.pastCount(), 0);
    EXPECT_EQ(list.pastEventsRow(), -1);
    EXPECT_GE(rowOf("121 minutes"), 0);
    EXPECT_EQ(cell(rowOf("121 minutes"), grdWendra), "-2h");
}

TEST_F(EventListTest, OnePastEventIsSingularAndSortsFirstInRedAndWhite) {
    save(oneOff("Long ago", at(2024, 3, 1, 10, 0)));
    save(oneOff("Tomorrow", at(2024, 3, 6, 10, 0)));
    list.refreshList();
    ASSERT_EQ(bodyRows(), 2);
    const int r = firstRow();
    EXPECT_EQ(cell(r, grdSubject), "1 past event");
    EXPECT_EQ(cell(r, grdWendra), "-");
    EXPECT_EQ(cell(r, grdSortKey), "0");
    for (int c : {grdKey, grdModified, grdTime, grdDate, grdDayofWeek}) EXPECT_EQ(cell(r, c), "") << c;
    EXPECT_EQ(fore(r, grdWendra), 0xFFFFFF);
    EXPECT_EQ(back(r, grdWendra), 255);
    EXPECT_EQ(fore(r, grdSubject), 255);
    EXPECT_EQ(back(r, grdSubject), std::nullopt);
    EXPECT_FALSE(list.rowOccurrence(r).has_value());
    ASSERT_EQ(list.folded().size(), 1u);
    EXPECT_EQ(gridKeyValue(list.folded()[0].key, Tag::Desc), "Long ago");
    EXPECT_EQ(list.folded()[0].occurrence.when, at(2024, 3, 1, 10, 0));
}

TEST_F(EventListTest, AnAllDayOccurrenceIsBlueAllItsDayAndFoldedTheDayAfter) {
    save(oneOff("Birthday", at(2024, 3, 5), true));
    clock.set(at(2024, 3, 5, 23, 59));
    list.refreshList();
    const int r = rowOf("Birthday");
    ASSERT_GE(r, 0);
    EXPECT_EQ(cell(r, grdWendra), "*");
    EXPECT_EQ(fore(r, grdWendra), 0xFF0000);

    clock.set(at(2024, 3, 6, 0, 1));
    list.refreshList();
    EXPECT_EQ(rowOf("Birthday"), -1);
    EXPECT_EQ(list.pastCount(), 1);
}

TEST_F(EventListTest, TheFoldedListIsRebuiltEveryTime) {
    save(daily("Daily", at(2024, 3, 1, 8, 0), at(2024, 3, 8)));
    list.refreshList();
    EXPECT_EQ(list.pastCount(), 5);  // 1 to 4 March, and today's 08:00
    list.refreshList();
    EXPECT_EQ(list.pastCount(), 5);
    EXPECT_EQ(cell(list.pastEventsRow(), grdSubject), "5 past events");
}

// ---- order -------------------------------------------------------------------

TEST_F(EventListTest, EqualTimesSortByDescriptionIgnoringCaseAndAllDayAfterTimed) {
    save(oneOff("banana", at(2024, 3, 7, 9, 0)));
    save(oneOff("All day Thursday", at(2024, 3, 7), true));
    save(oneOff("Apple", at(2024, 3, 7, 9, 0)));
    save(oneOff("cherry", at(2024, 3, 7, 9, 0)));
    save(oneOff("Late", at(2024, 3, 7, 23, 59)));
    save(oneOff("Early Friday", at(2024, 3, 8, 0, 1)));
    list.refreshList();
    EXPECT_EQ(column(grdSubject), (std::vector<std::string>{"Apple", "banana", "cherry", "Late", "All day Thursday",
                                                            "Early Friday"}));
}

TEST_F(EventListTest, ViewAllByDescriptionSortsByTheDescriptionColumn) {
    list.setViewAll(true);
    list.setViewAllByDescription(true);
    save(oneOff("zebra", at(2024, 3, 6, 9, 0)));
    save(oneOff("Mango", at(2024, 3, 7, 9, 0)));
    save(oneOff("apple", at(2024, 3, 8, 9, 0)));
    list.refreshList();
    EXPECT_EQ(column(grdSubject), (std::vector<std::string>{"apple", "Mango", "zebra"}));
}

// ---- auto-delete ---------------------------------------------------------------

TEST_F(EventListTest, AutoDeleteOneRemovesYesterdaysOccurrenceAndManualNever) {
    list.setShrinkPast(false);
    clsCalEvent one = daily("Pills", at(2024, 3, 3, 8, 0), at(2024, 3, 7));
    one.setAutoDelete("1");
    const std::string id = save(one);
    clsCalEvent manual = daily("Walk", at(2024, 3, 3, 8, 0), at(2024, 3, 7));
    save(manual);
    clsCalEvent once = oneOff("Parcel", at(2024, 3, 4, 12, 0));
    once.setAutoDelete("1");
    const std::string onceId = save(once);

    list.refreshList();
    auto datesOf = [&](std::string_view desc) {
        std::vector<std::string> out;
        for (int r = firstRow(); r < grid.rows(); ++r)
            if (gridKeyValue(cell(r, grdKey), Tag::Desc) == desc) out.push_back(cell(r, grdDate));
        return out;
    };
    EXPECT_EQ(datesOf("Pills"), (std::vector<std::string>{"05-Mar-24", "06-Mar-24", "07-Mar-24"}));
    EXPECT_EQ(datesOf("Walk"),
              (std::vector<std::string>{"03-Mar-24", "04-Mar-24", "05-Mar-24", "06-Mar-24", "07-Mar-24"}));
    EXPECT_TRUE(datesOf("Parcel").empty());

    // The store now holds the deletions: the one-off event is gone, the rule lost two days.
    clsCalEvent stored;
    EXPECT_FALSE(store.Find(stored, *clsDataQVR::toEventKey(onceId)));
    ASSERT_TRUE(store.Find(stored, *clsDataQVR::toEventKey(id)));
    EXPECT_NE(stored.ExDates().find("20240303"), std::string::npos);
    EXPECT_NE(stored.ExDates().find("20240304"), std::string::npos);
    EXPECT_EQ(stored.ExDates().find("20240305"), std::string::npos);

    // The next day yesterday's goes too; the manual rule keeps everything.
    clock.set(kNow.addDays(1));
    list.refreshList();
    EXPECT_EQ(datesOf("Pills"), (std::vector<std::string>{"06-Mar-24", "07-Mar-24"}));
    EXPECT_EQ(datesOf("Walk").size(), 5u);
}

TEST_F(EventListTest, AutoDeleteZeroTakesTodayAndOddCodesTakeNothing) {
    list.setShrinkPast(false);
    clsCalEvent zero = oneOff("Zero", at(2024, 3, 5, 9, 0));
    zero.setAutoDelete("0");
    save(zero);
    for (std::string code : {"x", "-3", ""}) {
        clsCalEvent odd = oneOff("Odd " + code, at(2024, 3, 1, 9, 0));
        odd.setAutoDelete(code);
        save(odd);
    }
    list.refreshList();
    EXPECT_EQ(rowOf("Zero"), -1);
    EXPECT_GE(rowOf("Odd x"), 0);
    EXPECT_GE(rowOf("Odd -3"), 0);
    EXPECT_GE(rowOf("Odd "), 0);
}

TEST_F(EventListTest, AFailedAutoDeleteSaveKeepsTheOccurrence) {
    list.setShrinkPast(false);
    int asked = 0;
    EventList failing{listGrid, settings, store, host, ListOptions{std::nullopt, [&](clsCalEvent& ev) {
                                                                       ++asked;
                                                                       EXPECT_EQ(ev.UpdateRequest(),
                                                                                 clsCalEvent::kRequestDeleteEvent);
                                                                       return false;
                                                                   }}};
    failing.setShrinkPast(false);
    clsCalEvent ev = oneOff("Kept", at(2024, 3, 1, 9, 0));
    ev.setAutoDelete("2");
    save(ev);
    failing.refreshList();
    EXPECT_EQ(asked, 1);
    EXPECT_GE(rowOf("Kept"), 0);
}

// ---- view all ------------------------------------------------------------------

TEST_F(EventListTest, ViewAllListsEveryEventOnceOnWhite) {
    list.setViewAll(true);
    save(daily("Daily", at(2024, 3, 1, 8, 0), at(2024, 3, 20)));
    clsCalEvent far = oneOff("Far, own warning 5", at(2024, 5, 1, 10, 0));
    far.setPriorWarningIsDefault(false);
    far.setPriorWarning(5);
    save(far);
    save(oneOff("Next year", at(2025, 6, 1), true));
    clsCalEvent old = oneOff("Old with auto-delete", at(2024, 2, 1, 10, 0));
    old.setAutoDelete("1");
    const std::string oldId = save(old);
    list.setShrinkPast(false);
    list.refreshList();

    EXPECT_EQ(grid.backColour(), 0xFFFFFF);
    EXPECT_EQ(bodyRows(), 4);
    EXPECT_GE(rowOf("Far, own warning 5"), 0);
    EXPECT_EQ(cell(rowOf("Far, own warning 5"), grdWendra), "57");
    EXPECT_GE(rowOf("Next year"), 0);
    EXPECT_EQ(cell(rowOf("Daily"), grdDate), "01-Mar-24");
    // Listing everything deletes nothing.
    clsCalEvent stored;
    EXPECT_TRUE(store.Find(stored, *clsDataQVR::toEventKey(oldId)));

    list.setViewAll(false);
    list.refreshList();
    EXPECT_EQ(grid.backColour(), 0x80FFFF);
    EXPECT_EQ(rowOf("Far, own warning 5"), -1);
}

// ---- columns ---------------------------------------------------------------------

TEST_F(EventListTest, ColumnWidthsComeFromTheSettings) {
    settings.setViewDate(-9);
    settings.setViewDayOfWeek(-1);
    settings.setViewTime(700);
    settings.setViewWendra(-9);
    list.refreshList();
    EXPECT_EQ(grid.colWidth(grdKey), 0);
    EXPECT_EQ(grid.colWidth(grdSortKey), 0);
    EXPECT_EQ(grid.colWidth(grdModified), 0);
    // Automatic: the widest text the column holds (a countdown for Days To), with its margins.
    EXPECT_EQ(grid.colWidth(grdDate), metrics.textWidth(ui::Font{}, "DD/MMM/YY") + kListCellMargin);
    EXPECT_EQ(grid.colWidth(grdDayofWeek), 0);
    EXPECT_EQ(grid.colWidth(grdTime), 700);
    EXPECT_EQ(grid.colWidth(grdWendra), metrics.textWidth(ui::Font{}, "-1h 59m") + kListCellMargin);
    EXPECT_EQ(grid.colWidth(grdSubject), 6000 - 700 - grid.colWidth(grdDate) - grid.colWidth(grdWendra));
    EXPECT_EQ(grid.colAlignment(grdWendra), ui::Alignment::CenterCenter);
    EXPECT_EQ(grid.colAlignment(grdModified), ui::Alignment::CenterCenter);
    EXPECT_EQ(grid.colAlignment(grdDate), ui::Alignment::CenterCenter);
    EXPECT_EQ(grid.colAlignment(grdDayofWeek), ui::Alignment::CenterCenter);
    EXPECT_EQ(grid.colAlignment(grdSubject), ui::Alignment::LeftCenter);
    EXPECT_EQ(grid.colAlignment(grdTime), ui::Alignment::LeftCenter);

    grid.setWidth(1500);
    list.refreshList();
    EXPECT_EQ(grid.colWidth(grdSubject), 500);
}

// What the window stores after each rebuild is the width it was given; those
// widths stay automatic, so they follow the font both ways. A width of its own
// is kept unless it is too narrow for the column's texts.
TEST_F(EventListTest, AutomaticWidthsFollowTheFontAndANarrowStoredWidthHeals) {
    const auto keepWidths = [this] {
        settings.setViewDate(grid.colWidth(grdDate));
        settings.setViewWendra(grid.colWidth(grdWendra));
        settings.setViewTime(grid.colWidth(grdTime));
        settings.setViewDayOfWeek(grid.colWidth(grdDayofWeek));
    };
    const auto fitted = [this](const char* widest, double size) {
        return metrics.textWidth(ui::Font{"Sans Serif", size}, widest) + kListCellMargin;
    };
    grid.setFont(ui::Font{"Sans Serif", 8.25});
    list.refreshList();
    for (const double size : {14.0, 20.0, 8.25, 20.0, 6.0}) {
        SCOPED_TRACE(size);
        if (size != 8.25) keepWidths();  // a font change saves nothing: the width stored lags
        grid.setFont(ui::Font{"Sans Serif", size});
        list.setColumnWidths();
        EXPECT_EQ(grid.colWidth(grdDate), fitted("28-Jan-88", size));
        EXPECT_EQ(grid.colWidth(grdWendra), fitted("-1h 59m", size));
        EXPECT_EQ(grid.colWidth(grdTime), fitted("HH:NN", size));
        EXPECT_EQ(grid.colWidth(grdDayofWeek), fitted("WEDx", size));
    }

    // A new list (a restart) with widths stored for 6 points and a 14 point font.
    keepWidths();
    settings.setViewTime(5000);  // wide enough: the user's own
    ui::Grid grid2{"msGrid"};
    grid2.setWidth(6000);
    grid2.setFont(ui::Font{"Sans Serif", 14});
    UiListGrid listGrid2{grid2, metrics};
    EventList list2(listGrid2, settings, store, host);
    list2.refreshList();
    EXPECT_EQ(grid2.colWidth(grdDate), fitted("28-Jan-88", 14));
    EXPECT_EQ(grid2.colWidth(grdWendra), fitted("-1h 59m", 14));
    EXPECT_EQ(grid2.colWidth(grdTime), 5000);
}

TEST_F(EventListTest, MergingFollowsTheSettings) {
    settings.setMergeDates(true);
    settings.setMergeDaysOfWeek(false);
    settings.setMergeWendra(true);
    save(oneOff("A", at(2024, 3, 7, 9, 0)));
    save(oneOff("B", at(2024, 3, 7, 10, 0)));
    list.refreshList();
    EXPECT_EQ(grid.mergeCells(), ui::MergeCells::Free);
    EXPECT_TRUE(grid.mergeCol(grdDate));
    EXPECT_FALSE(grid.mergeCol(grdDayofWeek));
    EXPECT_TRUE(grid.mergeCol(grdWendra));
    EXPECT_EQ(grid.mergedSpan(firstRow(), grdDate).rowCount, 2);
}

// ---- row data and selection ------------------------------------------------------

TEST_F(EventListTest, TheOccurrenceIsDataOfTheRowWhateverTheYear) {
    clock.set(at(2030, 12, 30, 9, 0));
    save(oneOff("New year 2031", at(2031, 1, 2, 10, 15)));
    save(oneOff("Old year", at(2030, 12, 31), true));
    list.refreshList();
    const int r = rowOf("New year 2031");
    ASSERT_GE(r, 0);
    EXPECT_EQ(cell(r, grdDate), "02-Jan-31");
    EXPECT_EQ(cell(r, grdWendra), "3");
    ASSERT_TRUE(list.rowOccurrence(r).has_value());
    EXPECT_EQ(list.rowOccurrence(r)->when, at(2031, 1, 2, 10, 15));
    EXPECT_FALSE(list.rowOccurrence(r)->allDay);
    EXPECT_EQ(list.rowOccurrence(rowOf("Old year"))->when, at(2030, 12, 31));
    EXPECT_TRUE(list.rowOccurrence(rowOf("Old year"))->allDay);

    // The selection is carried over a rebuild by the key, not by the date text.
    grid.setRow(r);
    const std::string key = *list.selectedKey();
    save(oneOff("Earlier", at(2030, 12, 30, 20, 0)));
    list.refreshList();
    ASSERT_EQ(grid.row(), rowOf("New year 2031"));
    EXPECT_EQ(*list.selectedKey(), key);
    EXPECT_EQ(grid.col(), grdSubject);
}

TEST_F(EventListTest, ARowWrittenAgainLosesTheColoursOfWhatItShowed) {
    list.setShrinkPast(false);
    clsCalEvent future = oneOff("Future", at(2024, 3, 9, 9, 0));
    clsCalEvent today = oneOff("Today", at(2024, 3, 5, 18, 0));
    future.generateOccurs(future.EventStart(), future.EventStart());
    future.firstOccur();
    today.generateOccurs(today.EventStart(), today.EventStart());
    today.firstOccur();
    list.initGrid();
    const int r = list.addOccurrenceRow(future, -1);
    ASSERT_EQ(back(r, grdWendra), 65280);
    EXPECT_EQ(list.addOccurrenceRow(today, r), r);
    EXPECT_EQ(cell(r, grdWendra), "4h 00m");
    EXPECT_EQ(fore(r, grdWendra), 0xFF0000);
    EXPECT_EQ(back(r, grdWendra), std::nullopt);
}

TEST_F(EventListTest, TheRebuildTellsTheWindowInOrder) {
    save(oneOff("One", at(2024, 3, 6, 9, 0)));
    list.refreshList();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"busy", "saveWindowSettings", "gridInitialised", "collectTimedRows",
                                                    "layoutForm", "gridRowChanged", "idle"}));
    EXPECT_EQ(host.statuses, (std::vector<std::string>{std::string(listtext::retrieving), "Mode: Wendra (win)"}));
    EXPECT_TRUE(grid.redraw());
}

// ---- on a grid that keeps only texts and colours, with the gadget's options --------

// The in-memory grid's part: rows of cells, colours as given (Null stored), the
// occurrence kept with the row, one sort; nothing of the display.
class MemoryGrid final : public ListGrid {
public:
    struct Row {
        std::array<std::string, kListColumns> text;
        std::array<std::optional<ui::Colour>, kListColumns> fore, back;
        std::optional<RowOccurrence> when;
    };
    int rows() const override { return int(rows_.size()); }
    void reset(int) override { rows_.clear(); }
    int appendRow() override {
        rows_.emplace_back();
        return rows() - 1;
    }
    bool removeRow(int) override { return false; }
    std::string text(int r, int c) const override { return rows_.at(std::size_t(r)).text.at(std::size_t(c)); }
    void setText(int r, int c, const std::string& t) override { rows_.at(std::size_t(r)).text.at(std::size_t(c)) = t; }
    void setColours(int r, int c, std::optional<ui::Colour> f, std::optional<ui::Colour> b) override {
        rows_.at(std::size_t(r)).fore.at(std::size_t(c)) = f;
        rows_.at(std::size_t(r)).back.at(std::size_t(c)) = b;
    }
    void resetColours(int r) override { rows_.at(std::size_t(r)).fore = {}, rows_.at(std::size_t(r)).back = {}; }
    std::optional<RowOccurrence> occurrence(int r) const override { return rows_.at(std::size_t(r)).when; }
    void setOccurrence(int r, std::optional<RowOccurrence> w) override { rows_.at(std::size_t(r)).when = w; }
    void sortRows(int col) override {
        std::stable_sort(rows_.begin(), rows_.end(),
                         [col](const Row& a, const Row& b) { return a.text[std::size_t(col)] < b.text[std::size_t(col)]; });
    }
    std::vector<Row> rows_;
};

TEST_F(EventListTest, TheRulesRunOnAGridOfTextsWithThePagesWarningAndTheStoresOwnSave) {
    MemoryGrid memory;
    ListHost none;
    EventList gadget{memory, settings, store, none, ListOptions{5, {}}};
    save(oneOff("Four days", at(2024, 3, 9, 10, 0)));
    save(oneOff("Seven days", at(2024, 3, 12, 10, 0)));
    clsCalEvent old = oneOff("Three days past", at(2024, 3, 2, 10, 0));
    old.setAutoDelete("3");
    const std::string oldId = save(old);
    save(oneOff("Last week", at(2024, 2, 27, 10, 0)));
    const int counter = settings.getUpdateVersion();

    gadget.loadReminderEvents();
    gadget.sortRows();
    ASSERT_EQ(memory.rows(), 1);
    EXPECT_EQ(memory.text(0, grdSubject), "Four days");
    EXPECT_EQ(memory.rows_[0].back[grdWendra], 65280);
    EXPECT_EQ(memory.rows_[0].back[grdSubject], std::nullopt);  // no colour given: Null
    EXPECT_EQ(gadget.pastCount(), 1);
    // Deleted through the store itself; the counter the main program moves stays.
    clsCalEvent stored;
    EXPECT_FALSE(store.Find(stored, *clsDataQVR::toEventKey(oldId)));
    EXPECT_EQ(settings.getUpdateVersion(), counter);
}

}  // namespace
