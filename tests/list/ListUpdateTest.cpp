// The incremental update of the reminder list over a real store file: a changed
// event's rows written where a rebuild would put them, its stale rows marked,
// the folded count kept in step, the selection kept, and the one guard that
// queues requests arriving while another runs.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "list/EventList.h"
#include "tests/support/ListRig.h"

using namespace wendra;
using test::oneOff;
using test::repeating;

namespace {

DateTime at(int y, int m, int d, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, m, d, h, mi, s); }

// Tuesday 5 March 2024, 14:00.
const DateTime kNow = at(2024, 3, 5, 14, 0);

// A row as the user sees it, and as the tests compare it.
struct Row {
    std::vector<std::string> text;
    std::vector<std::optional<ui::Colour>> fore, back;
    bool operator==(const Row&) const = default;
};

Row rowAt(const ui::Grid& g, int r) {
    Row row;
    for (int c = 0; c < g.cols(); ++c) {
        row.text.push_back(g.textMatrix(r, c));
        row.fore.push_back(g.cellForeColourAt(r, c));
        row.back.push_back(g.cellBackColourAt(r, c));
    }
    return row;
}

std::vector<Row> rows(const ui::Grid& g) {
    std::vector<Row> out;
    for (int r = 0; r < g.rows(); ++r) out.push_back(rowAt(g, r));
    return out;
}

// The texts of the rows that are not marked "X", the marker left out: what a
// rebuild of the same store shows.
std::vector<std::vector<std::string>> liveTexts(const ui::Grid& g) {
    std::vector<std::vector<std::string>> out;
    for (int r = g.fixedRows(); r < g.rows(); ++r) {
        if (g.textMatrix(r, grdModified) == "X") continue;
        std::vector<std::string> t;
        for (int c = 0; c < g.cols(); ++c)
            if (c != grdModified) t.push_back(g.textMatrix(r, c));
        out.push_back(std::move(t));
    }
    return out;
}

class ListUpdateTest : public ::testing::Test, protected test::ListRig {
protected:
    ListUpdateTest() : ListRig(kNow) {}

    // What a rebuild of the same store shows now.
    std::vector<std::vector<std::string>> rebuiltTexts() {
        ui::Grid fresh{"fresh"};
        fresh.setWidth(grid.width());
        rebuildInto(fresh, list);
        return liveTexts(fresh);
    }
};

// ---- a changed event -------------------------------------------------------------

TEST_F(ListUpdateTest, ANewTimeMovesTheRowsAndMarksTheOldOnesLeavingOthersAlone) {
    clsCalEvent standup = repeating("Standup", at(2024, 3, 6, 9, 0), at(2024, 3, 8));
    const std::string id = save(standup);
    clsCalEvent lunch = oneOff("Lunch", at(2024, 3, 6, 12, 0));
    save(lunch);
    clsCalEvent review = oneOff("Review", at(2024, 3, 7, 10, 0));
    save(review);
    list.refreshList();
    const Row lunchBefore = rowAt(grid, rowsOf("Lunch").at(0));
    const Row reviewBefore = rowAt(grid, rowsOf("Review").at(0));

    clsCalEvent moved = stored(id);
    moved.setEventStart(at(2024, 3, 6, 13, 0));
    moved.setViewFromDate(at(2024, 3, 6, 13, 0));
    save(moved);
    list.updateList(id);

    std::vector<std::string> order;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r)
        order.push_back(cell(r, grdModified) + " " + cell(r, grdDate).substr(0, 2) + " " + cell(r, grdTime) + " " +
                        cell(r, grdSubject));
    EXPECT_EQ(order, (std::vector<std::string>{"X 06 09:00 Standup", " 06 12:00 Lunch", "+ 06 13:00 Standup",
                                               "X 07 09:00 Standup", " 07 10:00 Review", "+ 07 13:00 Standup",
                                               "X 08 09:00 Standup", "+ 08 13:00 Standup"}));
    EXPECT_EQ(rowAt(grid, rowsOf("Lunch").at(0)), lunchBefore);
    EXPECT_EQ(rowAt(grid, rowsOf("Review").at(0)), reviewBefore);

    // A marked row: a white "X" on grey, its unmerged texts in &HC0C0; the merged
    // columns (days to, date, day) keep their colours.
    const int marked = grid.fixedRows();
    EXPECT_EQ(grid.cellForeColourAt(marked, grdModified), 0xFFFFFF);
    EXPECT_EQ(grid.cellBackColourAt(marked, grdModified), ui::colours::grayText);
    for (int c : {grdKey, grdSortKey, grdSubject, grdTime}) EXPECT_EQ(grid.cellForeColourAt(marked, c), 0xC0C0) << c;
    EXPECT_EQ(grid.cellForeColourAt(marked, grdWendra), 0);
    EXPECT_EQ(grid.cellBackColourAt(marked, grdWendra), 65280);
    EXPECT_GT(grid.colWidth(grdModified), 0);
    // The new rows: "+" white on blue, and the texts a rebuild gives.
    const int plus = grid.fixedRows() + 2;
    EXPECT_EQ(grid.cellForeColourAt(plus, grdModified), 0xFFFFFF);
    EXPECT_EQ(grid.cellBackColourAt(plus, grdModified), 0xFF0000);
    EXPECT_EQ(liveTexts(grid), rebuiltTexts());
}

TEST_F(ListUpdateTest, RowsThatStillShowTheirOccurrenceAreNotRewritten) {
    clsCalEvent walk = repeating("Walk", at(2024, 3, 6, 7, 0), at(2024, 3, 7));
    const std::string id = save(walk);
    list.refreshList();
    const std::vector<int> before = rowsOf("Walk");
    ASSERT_EQ(before.size(), 2u);

    clsCalEvent longer = stored(id);
    longer.RRule(1)->setDurationUntil(at(2024, 3, 9), true);
    save(longer);
    list.updateList(id);
    const std::vector<int> after = rowsOf("Walk");
    ASSERT_EQ(after.size(), 4u);
    std::vector<std::string> markers;
    for (int r : after) markers.push_back(cell(r, grdModified));
    EXPECT_EQ(markers, (std::vector<std::string>{"", "", "+", "+"}));
    EXPECT_EQ(liveTexts(grid), rebuiltTexts());
}

TEST_F(ListUpdateTest, AnOccurrenceMarkedAndBackIsShownLiveOnItsOldRow) {
    clsCalEvent ev = repeating("Swim", at(2024, 3, 6, 9, 0), at(2024, 3, 7));
    const std::string id = save(ev);
    list.refreshList();
    clsCalEvent later = stored(id);
    later.setEventStart(at(2024, 3, 6, 10, 0));
    later.setViewFromDate(at(2024, 3, 6, 10, 0));
    save(later);
    list.updateList(id);
    clsCalEvent back = stored(id);
    back.setEventStart(at(2024, 3, 6, 9, 0));
    back.setViewFromDate(at(2024, 3, 6, 9, 0));
    save(back);
    list.updateList(id);

    std::vector<std::string> shown;
    for (int r : rowsOf("Swim")) shown.push_back(cell(r, grdModified) + cell(r, grdTime));
    EXPECT_EQ(shown, (std::vector<std::string>{"+09:00", "X10:00", "+09:00", "X10:00"}));
    // The row written again shows none of the grey of its mark.
    EXPECT_EQ(grid.cellForeColourAt(rowsOf("Swim")[0], grdSubject), 0);
}

TEST_F(ListUpdateTest, AChangedEventNotDueYetShowsItsNextOccurrenceMarkedPlusUntilTheNextRebuild) {
    struct Case {
        const char* desc;
        DateTime start;
        int warning;  // -1: the default of 30 days
        bool weekly;
        bool shownBefore;  // saved first on 8 March, in its window, and shown
        const char* dateCell;
        const char* daysTo;
    };
    const Case cases[] = {
        {"One-off in 2099", at(2099, 12, 9, 10, 0), -1, false, false, "09-Dec-99", "27672"},
        {"Weekly from April", at(2024, 4, 20, 10, 0), 5, true, false, "20-Apr-24", "46"},
        {"Moved to April", at(2024, 4, 20, 10, 0), 5, false, true, "20-Apr-24", "46"},
    };
    clsCalEvent lunch = oneOff("Lunch", at(2024, 3, 6, 12, 0));
    save(lunch);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.desc);
        clsCalEvent ev = c.weekly ? repeating(c.desc, c.start, at(2024, 6, 1), clsCalRRule::kWeekly)
                                  : oneOff(c.desc, c.shownBefore ? at(2024, 3, 8, 10, 0) : c.start);
        if (c.warning >= 0) {
            ev.setPriorWarningIsDefault(false);
            ev.setPriorWarning(c.warning);
        }
        const std::string id = save(ev);
        list.refreshList();
        EXPECT_EQ(rowsOf(c.desc).size(), c.shownBefore ? 1u : 0u);
        if (c.shownBefore) {
            clsCalEvent moved = stored(id);
            moved.setEventStart(c.start);
            moved.setViewFromDate(c.start);
            save(moved);
        }
        list.updateList(id);

        // Its next occurrence alone, with how far away it is; a row it had before is marked.
        std::vector<std::string> shown;
        for (int r : rowsOf(c.desc)) shown.push_back(cell(r, grdModified) + " " + cell(r, grdDate));
        std::vector<std::string> expected;
        if (c.shownBefore) expected.push_back("X 08-Mar-24");
        expected.push_back(std::string("+ ") + c.dateCell);
        ASSERT_EQ(shown, expected);
        const int r = rowsOf(c.desc).back();
        EXPECT_EQ(cell(r, grdWendra), c.daysTo);
        EXPECT_EQ(grid.cellForeColourAt(r, grdModified), 0xFFFFFF);
        EXPECT_EQ(grid.cellBackColourAt(r, grdModified), 0xFF0000);
        EXPECT_EQ(grid.cellBackColourAt(r, grdWendra), 65280);
        // The reduced copy is not what is stored.
        EXPECT_EQ(stored(id).IsRecurring(), c.weekly);
        // Everything else as a rebuild shows it; the rebuild itself leaves the row out.
        auto live = liveTexts(grid);
        std::erase_if(live, [&](const auto& t) { return gridKeyValue(t[grdKey], Tag::Desc) == c.desc; });
        EXPECT_EQ(live, rebuiltTexts());
        list.refreshList();
        EXPECT_TRUE(rowsOf(c.desc).empty());
    }
}

TEST_F(ListUpdateTest, AChangedEventsPastOccurrenceIsDeletedAsARebuildDeletesIt) {
    list.refreshList();
    clsCalEvent old = oneOff("Old", at(2024, 3, 2, 10, 0));
    old.setAutoDelete("1");
    const std::string id = save(old);
    list.updateList(id);
    EXPECT_TRUE(rowsOf("Old").empty());
    EXPECT_EQ(list.pastCount(), 0);
    clsCalEvent gone;
    EXPECT_FALSE(store.Find(gone, *clsDataQVR::toEventKey(id)));
}

TEST_F(ListUpdateTest, ANewEventTakesThePlaceholdersPlaceAndALaterOneGoesLast) {
    for (bool headings : {true, false}) {
        SCOPED_TRACE(headings);
        settings.setViewHeadings(headings);
        list.refreshList();
        ASSERT_EQ(grid.rows() - grid.fixedRows(), 1);
        ASSERT_TRUE(list.isPlaceholderRow(grid.fixedRows()));

        clsCalEvent first = oneOff(headings ? "First" : "First again", at(2024, 3, 8, 9, 0));
        list.updateList(save(first));
        ASSERT_EQ(grid.rows() - grid.fixedRows(), 1);
        EXPECT_EQ(cell(grid.fixedRows(), grdSubject), headings ? "First" : "First again");

        clsCalEvent last = oneOff(headings ? "Last" : "Last again", at(2024, 3, 30, 9, 0));
        list.updateList(save(last));
        EXPECT_EQ(cell(grid.rows() - 1, grdSubject), headings ? "Last" : "Last again");
        EXPECT_EQ(cell(grid.rows() - 1, grdModified), "+");
        ASSERT_TRUE(store.DeleteEvent(first));
        ASSERT_TRUE(store.DeleteEvent(last));
        for (int r = grid.fixedRows(); r < grid.rows(); ++r) EXPECT_FALSE(list.isPlaceholderRow(r)) << r;
    }
}

TEST_F(ListUpdateTest, TheSelectionStaysOnItsOccurrenceWhenARowGoesInAbove) {
    clsCalEvent a = oneOff("A", at(2024, 3, 7, 10, 0));
    save(a);
    clsCalEvent b = oneOff("B", at(2024, 3, 8, 10, 0));
    save(b);
    list.refreshList();
    grid.setRow(rowsOf("B").at(0));
    grid.setTopRow(1);
    const int before = grid.row();
    const std::string key = *list.selectedKey();

    clsCalEvent c = oneOff("C", at(2024, 3, 6, 10, 0));
    list.updateList(save(c));
    EXPECT_EQ(grid.row(), before + 1);
    EXPECT_EQ(*list.selectedKey(), key);
    EXPECT_EQ(grid.topRow(), 1);
}

TEST_F(ListUpdateTest, TheUpdateTellsTheWindowAndKeepsTheStatusText) {
    clsCalEvent a = oneOff("A", at(2024, 3, 7, 10, 0));
    const std::string id = save(a);
    list.refreshList();
    host.calls.clear();
    host.statuses.clear();
    list.updateList(id);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"busy", "gridLeaveCell", "collectTimedRows", "gridRowChanged", "layoutForm", "idle"}));
    EXPECT_EQ(host.statuses, (std::vector<std::string>{"Updating list...", "Mode: Wendra (win)"}));
    EXPECT_FALSE(list.listBusy());
    EXPECT_TRUE(grid.redraw());
}

// ---- rows that no longer show anything ----------------------------------------------

TEST_F(ListUpdateTest, AnEventWhoseOccurrencesAllFoldHasItsOldRowsMarked) {
    clsCalEvent older = oneOff("Morning meeting", at(2024, 3, 5, 11, 0));
    save(older);  // folded: three hours past
    clsCalEvent ev = oneOff("Call", at(2024, 3, 5, 16, 0));
    const std::string id = save(ev);
    list.refreshList();
    ASSERT_EQ(list.pastCount(), 1);
    ASSERT_EQ(rowsOf("Call").size(), 1u);

    clsCalEvent earlier = stored(id);
    earlier.setEventStart(at(2024, 3, 5, 8, 0));
    earlier.setViewFromDate(at(2024, 3, 5, 8, 0));
    save(earlier);
    list.updateList(id);
    // Earlier than a folded occurrence, so folded too; its old row tells it is gone.
    EXPECT_EQ(list.pastCount(), 2);
    EXPECT_EQ(cell(list.pastEventsRow(), grdSubject), "2 past events");
    ASSERT_EQ(rowsOf("Call").size(), 1u);
    EXPECT_EQ(cell(rowsOf("Call")[0], grdModified), "X");
    EXPECT_EQ(liveTexts(grid), rebuiltTexts());
}

TEST_F(ListUpdateTest, ADeletedEventsRowsAreMarked) {
    clsCalEvent ev = repeating("Gone", at(2024, 3, 6, 9, 0), at(2024, 3, 7));
    const std::string id = save(ev);
    list.refreshList();
    ASSERT_TRUE(store.DeleteEvent(ev));
    list.updateList(id);
    for (int r : rowsOf("Gone")) EXPECT_EQ(cell(r, grdModified), "X");
    EXPECT_EQ(rowsOf("Gone").size(), 2u);
}

// ---- the folded occurrences -----------------------------------------------------------

class FoldedIds : public ListUpdateTest {
protected:
    // Twelve events, so that the keys 2 and 12 both exist: 2 repeats daily from
    // 1 March (five folded occurrences), 12 is one past one, the rest are ahead.
    void SetUp() override {
        ListUpdateTest::SetUp();
        for (int i = 1; i <= 12; ++i) {
            clsCalEvent ev = i == 2    ? repeating("Two", at(2024, 3, 1, 9, 0), at(2024, 3, 8))
                             : i == 12 ? oneOff("Twelve", at(2024, 3, 4, 9, 0))
                                       : oneOff("Ahead " + std::to_string(i), at(2024, 3, 10, 8, i));
            ids.push_back(save(ev));
        }
        ASSERT_EQ(ids[1], "2");
        ASSERT_EQ(ids[11], "12");
        list.refreshList();
        ASSERT_EQ(list.pastCount(), 6);
    }
    std::vector<std::string> ids;
};

TEST_F(FoldedIds, DeletingAnEventTakesExactlyItsFoldedOccurrencesOffTheCount) {
    clsCalEvent two = stored("2");
    ASSERT_TRUE(store.DeleteEvent(two));
    list.updateList("2");
    EXPECT_EQ(list.pastCount(), 1);
    EXPECT_EQ(cell(list.pastEventsRow(), grdSubject), "1 past event");
    for (int r : rowsOf("Two")) EXPECT_EQ(cell(r, grdModified), "X");

    list.ListShowDeleted("12");
    EXPECT_EQ(list.pastCount(), 0);
    EXPECT_EQ(list.pastEventsRow(), -1);
}

TEST_F(FoldedIds, EditsKeepTheCountAndADeleteAfterEditsTakesTheRest) {
    for (int round = 0; round < 3; ++round) {
        clsCalEvent two = stored("2");
        two.setDescription("Two, edit " + std::to_string(round));
        save(two);
        list.updateList("2");
        EXPECT_EQ(list.pastCount(), 6) << round;
    }
    // An earlier time: every past occurrence is still earlier than a folded one.
    clsCalEvent two = stored("2");
    two.setEventStart(at(2024, 3, 1, 8, 0));
    two.setViewFromDate(at(2024, 3, 1, 8, 0));
    save(two);
    list.updateList("2");
    EXPECT_EQ(list.pastCount(), 6);
    EXPECT_EQ(liveTexts(grid), rebuiltTexts());

    ASSERT_TRUE(store.DeleteEvent(two));
    list.updateList("2");
    EXPECT_EQ(list.pastCount(), 1);
    ASSERT_EQ(list.folded().size(), 1u);
    EXPECT_EQ(list.folded()[0].id, "12");
}

TEST_F(FoldedIds, ThePastEventsRowIsFoundWhereverTheOrderPutIt) {
    list.setViewAll(true);
    list.setViewAllByDescription(true);
    clsCalEvent first = oneOff("0 first by name", at(2024, 3, 20, 9, 0));
    save(first);
    list.refreshList();
    // By description the count row ("2 past events") sorts after "0 first by name".
    ASSERT_EQ(list.pastCount(), 2);
    ASSERT_EQ(cell(grid.fixedRows(), grdSubject), "0 first by name");
    ASSERT_EQ(list.pastEventsRow(), grid.fixedRows() + 1);
    clsCalEvent twelve = stored("12");
    ASSERT_TRUE(store.DeleteEvent(twelve));
    list.updateList("12");
    EXPECT_EQ(cell(grid.fixedRows(), grdSubject), "0 first by name");
    EXPECT_EQ(cell(list.pastEventsRow(), grdSubject), "1 past event");
}

// ---- ListShowDeleted ---------------------------------------------------------------------

TEST_F(ListUpdateTest, ShowingAnEventWithoutRowsDeletedChangesOnlyTheStatusForTheCall) {
    clsCalEvent a = oneOff("A", at(2024, 3, 7, 10, 0));
    save(a);
    list.refreshList();
    const std::vector<Row> before = rows(grid);
    host.statuses.clear();
    list.ListShowDeleted("999");
    EXPECT_EQ(rows(grid), before);
    EXPECT_EQ(host.statuses, (std::vector<std::string>{"Updating list...", "Mode: Wendra (win)"}));
}

TEST_F(ListUpdateTest, ShowDeletedMarksEveryRowOfTheEventAndNoOther) {
    clsCalEvent a = repeating("A", at(2024, 3, 6, 10, 0), at(2024, 3, 8));
    const std::string id = save(a);
    clsCalEvent b = oneOff("B", at(2024, 3, 7, 11, 0));
    save(b);
    list.refreshList();
    list.ListShowDeleted(id);
    for (int r : rowsOf("A")) EXPECT_EQ(cell(r, grdModified), "X");
    EXPECT_EQ(cell(rowsOf("B").at(0), grdModified), "");
    EXPECT_EQ(rowsOf("A").size(), 3u);
}

// ---- the guard and its queue ---------------------------------------------------------------

TEST_F(ListUpdateTest, ASecondSaveDuringAnUpdateIsQueuedAndShownAfterIt) {
    list.refreshList();
    clsCalEvent a = oneOff("A", at(2024, 3, 7, 10, 0));
    const std::string idA = save(a);
    clsCalEvent b = oneOff("B", at(2024, 3, 6, 10, 0));
    const std::string idB = save(b);
    bool busyInside = false;
    host.onLeaveCell = [&] {
        busyInside = list.listBusy();
        list.updateList(idB);
        // Queued: nothing of B yet.
        EXPECT_TRUE(rowsOf("B").empty());
    };
    list.updateList(idA);
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(list.listBusy());
    EXPECT_EQ(rowsOf("A").size(), 1u);
    EXPECT_EQ(rowsOf("B").size(), 1u);
    EXPECT_LT(rowsOf("B")[0], rowsOf("A")[0]);
}

TEST_F(ListUpdateTest, RequestsDuringARebuildWaitForItsEnd) {
    std::string keepIdFor;
    std::vector<std::string> order;
    EventList* self = nullptr;
    // Auto-delete saves in the middle of the rebuild; the save asks for all three requests.
    std::function<bool(clsCalEvent&)> during = [&](clsCalEvent& ev) {
        order.push_back("delete " + ev.Description());
        self->ListShowDeleted(keepIdFor);
        self->updateList(keepIdFor);
        self->refreshList();
        return store.Save(ev, SaveMode::Always);
    };
    clsCalEvent old = oneOff("Old", at(2024, 3, 1, 10, 0));
    old.setAutoDelete("1");
    save(old);
    clsCalEvent keep = oneOff("Keep", at(2024, 3, 7, 10, 0));
    const std::string keepId = save(keep);
    keepIdFor = keepId;
    host.onLeaveCell = [&] {
        order.push_back("update runs");
        EXPECT_EQ(cell(rowsOf("Keep").at(0), grdModified), "X");  // shown deleted first
    };
    EventList reentrant{listGrid, settings, store, host, ListOptions{std::nullopt, during}};
    self = &reentrant;
    reentrant.setShrinkPast(false);
    reentrant.refreshList();
    EXPECT_EQ(order, (std::vector<std::string>{"delete Old", "update runs"}));
    EXPECT_FALSE(reentrant.listBusy());
    // The queued rebuild ran last: Keep shows unmarked, without the "+" of the update.
    ASSERT_EQ(rowsOf("Keep").size(), 1u);
    EXPECT_EQ(cell(rowsOf("Keep")[0], grdModified), "");
    EXPECT_TRUE(rowsOf("Old").empty());
}

TEST_F(ListUpdateTest, NothingIsUpdatedWhileARefreshIsPending) {
    list.refreshList();
    clsCalEvent a = oneOff("A", at(2024, 3, 7, 10, 0));
    const std::string id = save(a);
    host.pending = true;
    list.updateList(id);
    EXPECT_TRUE(rowsOf("A").empty());
    host.pending = false;
    list.updateList(id);
    EXPECT_EQ(rowsOf("A").size(), 1u);
}

TEST_F(ListUpdateTest, DenseRulesWithALongDefaultWarningAreRebuiltInstead) {
    settings.setPriorWarning(400);
    clsCalEvent weekly = repeating("Weekly", at(2024, 3, 6, 9, 0), at(2024, 4, 30), clsCalRRule::kWeekly);
    const std::string weeklyId = save(weekly);
    clsCalEvent monthly = repeating("Monthly", at(2024, 3, 6, 9, 0), at(2024, 6, 30), clsCalRRule::kMonthly);
    const std::string monthlyId = save(monthly);
    list.refreshList();
    // A new time for each: the weekly rule's rows are built again from the store,
    // the monthly one's are updated in place.
    for (const std::string& id : {weeklyId, monthlyId}) {
        clsCalEvent ev = stored(id);
        ev.setEventStart(at(2024, 3, 6, 10, 0));
        ev.setViewFromDate(at(2024, 3, 6, 10, 0));
        save(ev);
        list.updateList(id);
    }
    std::vector<std::string> weeklyMarks, monthlyMarks;
    for (int r : rowsOf("Weekly")) weeklyMarks.push_back(cell(r, grdModified));
    for (int r : rowsOf("Monthly")) monthlyMarks.push_back(cell(r, grdModified));
    EXPECT_EQ(weeklyMarks, std::vector<std::string>(8, ""));
    EXPECT_EQ(monthlyMarks, (std::vector<std::string>{"X", "+", "X", "+", "X", "+", "X", "+"}));
}

}  // namespace
