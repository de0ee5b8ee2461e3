// createHTML over a real store: the fragment byte for byte (golden files, one row
// a line), and what building it does to the store and the settings.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "gadget/HtmlFragment.h"
#include "gadget/WendraGadget.h"
#include "gadget/clsGrid.h"
#include "list/EventList.h"
#include "store/modFuncs.h"
#include "tests/support/FileText.h"
#include "tests/support/GadgetRig.h"

namespace wendra::test {
namespace {

namespace fs = std::filesystem;

const DateTime kNow = DateTime::ymd(2026, 3, 11, 10, 0);  // a Wednesday
DateTime day(int offset, int hour = -1, int minute = 0) {
    const DateTime d = kNow.date().addDays(offset);
    return hour < 0 ? d : d.addSeconds(hour * 3600 + minute * 60);
}

// The golden file of a case holds the fragment with a line break after each row.
// WENDRA_UPDATE_GOLDEN=1 writes them anew (to be read through before committing).
void expectGolden(const std::string& name, const std::string& fragment) {
    const std::string lined = replaceAll(fragment, "</tr>", "</tr>\n");
    const fs::path file = fs::path(WENDRA_GOLDEN_DIR) / (name + ".html");
    if (std::getenv("WENDRA_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(file, std::ios::binary) << lined;
        return;
    }
    EXPECT_EQ(fileText(file), lined) << name;
}

TEST(GadgetFragment, AnEmptyStoreInEachIconState) {
    GadgetRig rig(kNow);
    // The empty list names the settings' prior warning (30), not the page's days.
    expectGolden("empty_folded", rig.html(7, 10, false, 0));
    expectGolden("empty_expanded", rig.html(7, 10, true, 0));
    expectGolden("empty_top_row_2", rig.html(7, 10, false, 2));
}

TEST(GadgetFragment, PastOccurrencesFoldedAndExpanded) {
    GadgetRig rig(kNow);
    rig.save(oneOff("Dentist", day(-2), true));
    // With every occurrence folded, the folded row still tells how many.
    expectGolden("past_all_folded", rig.html(30, 10, false, 0));
    rig.save(oneOff("Birthday", day(3), true));
    expectGolden("past_one_shrunk", rig.html(30, 10, false, 0));
    expectGolden("past_one_expanded", rig.html(30, 10, true, 0));
    rig.save(oneOff("Meeting", day(-1, 15)));
    expectGolden("past_two_shrunk", rig.html(30, 10, false, 0));
    expectGolden("past_two_expanded", rig.html(30, 10, true, 0));
}

TEST(GadgetFragment, PagingAtItsEdges) {
    GadgetRig rig(kNow);
    for (int i = 1; i <= 5; ++i) rig.save(oneOff("P" + std::to_string(i), day(i), true));
    expectGolden("paging_all", rig.html(30, -1, false, 0));
    expectGolden("paging_no_rows", rig.html(30, 0, false, 0));
    expectGolden("paging_last_page", rig.html(30, 2, false, 3));
    expectGolden("paging_past_the_end", rig.html(30, 2, false, 7));
    // Pages that the page's 16-bit arithmetic used to overflow on, and a top row
    // before the first, which counts as the first.
    EXPECT_EQ(rig.html(30, 32000, false, 32000), rig.html(30, 2, false, 7));
    EXPECT_EQ(rig.html(30, 32767, false, 2), rig.html(30, -1, false, 2));
    EXPECT_EQ(rig.html(30, 2, false, -3), rig.html(30, 2, false, 0));
    EXPECT_EQ(rig.html(30, 2, false, -32768), rig.html(30, 2, false, 0));
}

// The page makes only the rows up to its last; they are those of the whole list
// in the order of the grid's sort (refreshList ends with it), on every page: rows
// of one time and one text (and of that text in another case), an all-day row
// after the timed ones of its day, folded or shown past occurrences.
TEST(GadgetFragment, EachPageShowsTheRowsOfTheWholeListInTheGridsOrder) {
    GadgetRig rig(kNow);
    for (const char* desc : {"Same", "Same", "same", "Same"}) rig.save(oneOff(desc, day(1, 9)));
    rig.save(oneOff("Same", day(1), true));
    rig.save(weekly("Standup", day(-8, 9)));
    rig.save(oneOff("Old", day(-3), true));
    for (int i = 2; i <= 12; ++i) rig.save(oneOff("Later " + std::to_string(i % 3), day(i / 2, 8)));
    auto wholeList = [&](std::int16_t maxRows, bool expand, std::int16_t top) {
        clsGrid grid;
        GadgetListGrid listGrid(grid);
        ListHost noWindow;
        EventList list(listGrid, rig.settings, rig.store, noWindow, ListOptions{30, {}, false});
        list.setShrinkPast(!expand);
        list.refreshList();
        return createTable(grid, FragmentPage{maxRows, top, !expand, list.pastCount(), rig.settings.PriorWarning()});
    };
    for (const bool expand : {false, true}) {
        for (const auto& [maxRows, top] : std::vector<std::pair<std::int16_t, std::int16_t>>{
                 {10, 0}, {3, 0}, {3, 2}, {4, 5}, {1, 17}, {-1, 0}, {-1, 7}, {5, 30}, {0, 2}}) {
            EXPECT_EQ(rig.html(30, maxRows, expand, top), wholeList(maxRows, expand, top))
                << maxRows << " rows from " << top << (expand ? ", expanded" : "");
        }
    }
}

TEST(GadgetFragment, EveryKindOfRowWithItsColours) {
    GadgetRig rig(kNow);
    rig.save(oneOff("Meeting", day(-1, 15)));     // yesterday: white on red, red text
    rig.save(oneOff("Holiday", day(0), true));    // today, all day: "*" in blue
    rig.save(oneOff("Dentist", day(0, 14, 30)));  // today, to come: the countdown in blue
    rig.save(oneOff("Standup", day(0, 9)));       // today, an hour past: red
    rig.save(oneOff("Birthday", day(3), true));   // to come: black on green, black text
    expectGolden("row_kinds", rig.html(30, -1, true, 0));
}

TEST(GadgetFragment, UsersTextsAreEscapedWhereTheyLand) {
    GadgetRig rig(kNow);
    rig.save(oneOff("Say \"hi\" & 'bye'", day(1), true));
    rig.save(oneOff("C:\\temp\\<b>", day(2, 8, 15)));
    rig.save(oneOff("50% off\nnow", day(3), true));
    rig.save(oneOff("&#39;);alert(1);//", day(4), true));
    rig.save(oneOff("</td></tr></table><script>alert(1)</script>", day(5), true));
    rig.save(oneOff("Lines\xE2\x80\xA8" "and\xE2\x80\xA9" "paragraphs", day(6), true));  // U+2028, U+2029
    expectGolden("escaped_texts", rig.html(30, -1, false, 0));
}

TEST(GadgetFragment, AnOccurrenceIn2031KeepsItsCenturyAndItsText) {
    GadgetRig rig(DateTime::ymd(2031, 3, 10, 10, 0));
    rig.save(oneOff("Conference", DateTime::ymd(2031, 3, 15, 14, 30)));
    rig.save(oneOff("Launch", DateTime::ymd(2031, 3, 17), true));
    expectGolden("year_2031", rig.html(30, -1, false, 0));
}

TEST(GadgetFragment, AutoDeleteFromTheLibraryLeavesTheUpdateCounterAlone) {
    GadgetRig rig(kNow);
    rig.settings.incrementUpdateVersion();
    const std::int16_t version = rig.settings.getUpdateVersion();
    clsCalEvent gone = oneOff("Old news", day(-3), true);
    gone.setAutoDelete("3");
    const std::string goneId = rig.save(gone);
    clsCalEvent kept = oneOff("Still here", day(-2), true);
    kept.setAutoDelete("3");
    const std::string keptId = rig.save(kept);

    const std::string html = rig.html(30, -1, true, 0);
    EXPECT_EQ(html.find("Old news"), std::string::npos);
    EXPECT_NE(html.find("Still here"), std::string::npos);
    EXPECT_FALSE(rig.found(goneId).has_value());  // the main program no longer finds it
    EXPECT_TRUE(rig.found(keptId).has_value());
    EXPECT_EQ(rig.settings.getUpdateVersion(), version);
}

TEST(GadgetFragment, EventsOfTheDefaultWarningAreListedWithinThePagesDays) {
    GadgetRig rig(kNow);
    rig.settings.setPriorWarning(30);
    struct Case {
        const char* desc;
        int offset;
        int ownWarning;  // -1: the default
        bool listed;
    };
    const std::vector<Case> cases{
        {"Default in 4 days", 4, -1, true},
        {"Default in 5 days", 5, -1, true},
        {"Default in 6 days", 6, -1, false},
        {"Own 10 in 8 days", 8, 10, true},
        {"Own 2 in 3 days", 3, 2, false},
    };
    for (const Case& c : cases) {
        clsCalEvent ev = oneOff(c.desc, day(c.offset), true);
        if (c.ownWarning >= 0) {
            ev.setPriorWarning(c.ownWarning);
            ev.setPriorWarningIsDefault(false);
        }
        rig.save(ev);
    }
    const std::string html = rig.html(5, -1, false, 0);
    for (const Case& c : cases) EXPECT_EQ(html.find(c.desc) != std::string::npos, c.listed) << c.desc;
}

}  // namespace
}  // namespace wendra::test
