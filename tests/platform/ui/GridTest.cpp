#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Grid.h"

using namespace wendra::ui;

namespace {
// A grid shaped like the event list: eight columns, a heading row.
struct ListGrid : Grid {
    ListGrid() : Grid("msGrid", 0, 8) {
        addItem("\t\t\tDays To\tDescription\tTime\tDate\tDay");
        setFixedRows(1);
    }
};

std::vector<std::string> column(const Grid& g, int col) {
    std::vector<std::string> out;
    for (int r = 0; r < g.rows(); ++r) out.push_back(g.textMatrix(r, col));
    return out;
}
}  // namespace

TEST(UiGrid, AddItemSplitsAtTabsAndInsertsWhereAsked) {
    ListGrid g;
    g.addItem("k1\ts1\t\t12\tDentist\t09:00\t05-Mar-24\tTue\textra piece");
    g.addItem("\t\t\t\tNo events within 30 days");
    g.addItem("k0", 1);
    ASSERT_EQ(g.rows(), 4);
    EXPECT_EQ(g.textMatrix(1, 0), "k0");
    EXPECT_EQ(g.textMatrix(2, 4), "Dentist");
    EXPECT_EQ(g.textMatrix(2, 7), "Tue");
    EXPECT_EQ(g.textMatrix(3, 4), "No events within 30 days");
    EXPECT_EQ(g.textMatrix(3, 5), "");
    EXPECT_FALSE(g.addItem("x", 9));
    EXPECT_EQ(g.textMatrix(9, 0), "");
    EXPECT_FALSE(g.setTextMatrix(0, 8, "x"));
}

TEST(UiGrid, KeepsItsLastScrollingRowAndItsFixedRows) {
    ListGrid g;
    g.addItem("\t\t\t\tNo events within 30 days");
    EXPECT_FALSE(g.removeItem(1));  // the placeholder stays when nothing else was added
    g.addItem("k1");
    EXPECT_FALSE(g.removeItem(0));
    EXPECT_TRUE(g.removeItem(1));
    EXPECT_EQ(g.textMatrix(1, 0), "k1");
    Grid plain("g", 1, 3);
    EXPECT_FALSE(plain.removeItem(0));
    EXPECT_TRUE(plain.setRows(0));  // only removing a row is refused, not emptying the grid
    EXPECT_EQ(plain.row(), -1);
}

TEST(UiGrid, EqualAdjacentCellsMergeInMergingColumnsOnly) {
    ListGrid g;
    for (const char* date : {"05-Mar-24", "05-Mar-24", "06-Mar-24", "05-Mar-24"}) {
        g.addItem(std::string("\t\t\t1\tx\t\t") + date + "\tTue");
    }
    g.setMergeCol(6, true);
    EXPECT_EQ(g.mergedSpan(1, 6), (MergeSpan{1, 1}));  // merging is off until the grid allows it
    g.setMergeCells(MergeCells::Free);
    EXPECT_EQ(g.mergedSpan(1, 6), (MergeSpan{1, 2}));
    EXPECT_EQ(g.mergedSpan(2, 6), (MergeSpan{1, 2}));
    EXPECT_EQ(g.mergedSpan(3, 6), (MergeSpan{3, 1}));
    EXPECT_EQ(g.mergedSpan(4, 6), (MergeSpan{4, 1}));  // equal but not adjacent
    EXPECT_EQ(g.mergedSpan(2, 7), (MergeSpan{2, 1}));  // equal texts, column not merging
    g.setMergeCol(7, true);
    EXPECT_EQ(g.mergedSpan(2, 7), (MergeSpan{1, 4}));
    // A heading never merges with the rows under it, even with the same text.
    g.setTextMatrix(0, 7, "Tue");
    EXPECT_EQ(g.mergedSpan(0, 7), (MergeSpan{0, 1}));
    EXPECT_EQ(g.mergedSpan(1, 7), (MergeSpan{1, 4}));
}

TEST(UiGrid, SortIsStableIgnoresCaseAndCarriesEachRowWhole) {
    ListGrid g;
    const char* keys[] = {"b", "A", "a", "B", "c"};
    for (int i = 0; i < 5; ++i) {
        g.addItem(std::string("row") + std::to_string(i) + "\t" + keys[i]);
        g.setRowData(g.rows() - 1, i);
        g.setCellForeColourAt(g.rows() - 1, 3, 0x0000FF * (i + 1));
    }
    ASSERT_TRUE(g.sort(1, GridSort::TextNoCaseAscending));
    EXPECT_EQ(column(g, 0), (std::vector<std::string>{"", "row1", "row2", "row0", "row3", "row4"}));
    EXPECT_EQ(g.rowData(1), 1);
    EXPECT_EQ(g.cellForeColourAt(3, 3), 0x0000FF);  // row0's colour moved with it
    EXPECT_EQ(g.textMatrix(0, 3), "Days To");       // the heading stays on top
    g.sort(1, GridSort::TextNoCaseDescending);
    EXPECT_EQ(column(g, 0), (std::vector<std::string>{"", "row4", "row0", "row3", "row1", "row2"}));
    g.sort(1, GridSort::TextAscending);  // by character code: capitals first
    EXPECT_EQ(column(g, 1), (std::vector<std::string>{"", "A", "B", "a", "b", "c"}));
    EXPECT_FALSE(g.sort(8, GridSort::TextAscending));
}

TEST(UiGrid, SortSelectionSortsOnlyTheSelectedRowsByTheCurrentColumn) {
    Grid g("g", 0, 2);
    for (const char* k : {"d", "c", "b", "a"}) g.addItem(std::string("x\t") + k);
    g.setCurrentCell(1, 1);
    g.setRowSel(3);
    g.sortSelection(GridSort::TextNoCaseAscending);
    EXPECT_EQ(column(g, 1), (std::vector<std::string>{"d", "a", "b", "c"}));
}

TEST(UiGrid, CellsShowTheirOwnColoursOrTheGrids) {
    ListGrid g;
    g.addItem("k\ts");
    g.setBackColour(0x80FFFF);
    EXPECT_EQ(g.effectiveBackColour(1, 4), 0x80FFFF);
    EXPECT_EQ(g.effectiveBackColour(0, 4), g.backColourFixed());
    g.setCellBackColourAt(1, 3, colours::red);
    g.setCellForeColourAt(1, 3, colours::white);
    EXPECT_EQ(g.effectiveBackColour(1, 3), colours::red);
    EXPECT_EQ(g.effectiveForeColour(1, 3), colours::white);
    g.setCellBackColourAt(1, 3, std::nullopt);
    EXPECT_EQ(g.effectiveBackColour(1, 3), 0x80FFFF);

    // A row's texts and colours are kept together: writing one cell, longer or
    // shorter, leaves its neighbours as they were; so do more or fewer columns.
    g.setCellBackColourAt(1, 5, colours::grayText);
    g.setTextMatrix(1, 4, "a description longer than the rest");
    g.setTextMatrix(1, 0, "");
    g.setTextMatrix(1, 7, "Tue");
    EXPECT_EQ((std::vector<std::string>{g.textMatrix(1, 0), g.textMatrix(1, 1), g.textMatrix(1, 4), g.textMatrix(1, 7)}),
              (std::vector<std::string>{"", "s", "a description longer than the rest", "Tue"}));
    EXPECT_EQ(g.cellBackColourAt(1, 5), colours::grayText);
    EXPECT_EQ(g.cellForeColourAt(1, 3), colours::white);
    g.setCols(10);
    EXPECT_EQ(g.textMatrix(1, 7), "Tue");
    EXPECT_EQ(g.textMatrix(1, 9), "");
    EXPECT_EQ(g.cellBackColourAt(1, 5), colours::grayText);
    g.setCols(5);
    EXPECT_EQ(g.textMatrix(1, 4), "a description longer than the rest");
    EXPECT_EQ(g.cellForeColourAt(1, 3), colours::white);
    EXPECT_TRUE(g.clearRowColours(1));
    EXPECT_EQ(g.cellForeColourAt(1, 3), std::nullopt);
    EXPECT_EQ(g.textMatrix(1, 1), "s");
    g.clear();
    EXPECT_EQ(g.cellForeColourAt(1, 3), std::nullopt);
    EXPECT_EQ(g.textMatrix(1, 0), "");
}

TEST(UiGrid, CurrentCellColoursReachTheSelectionOnlyWithRepeatFill) {
    Grid g("g", 3, 3);
    g.setCurrentCell(0, 0);
    g.setRowSel(2);
    g.setColSel(1);
    g.setCellBackColour(colours::blue);
    EXPECT_EQ(g.cellBackColourAt(0, 0), colours::blue);
    EXPECT_EQ(g.cellBackColourAt(1, 1), std::nullopt);
    g.setFillStyle(FillStyle::Repeat);
    g.setCellBackColour(colours::green);
    EXPECT_EQ(g.cellBackColourAt(2, 1), colours::green);
    EXPECT_EQ(g.cellBackColourAt(2, 2), std::nullopt);
}

TEST(UiGrid, MovingTheCurrentCellRunsLeaveEnterAndRowColChange) {
    ListGrid g;
    g.addItem("a");
    g.addItem("b");
    std::vector<std::string> events;
    g.onLeaveCell = [&] { events.push_back("leave " + std::to_string(g.row()) + "," + std::to_string(g.col())); };
    g.onEnterCell = [&] { events.push_back("enter " + std::to_string(g.row()) + "," + std::to_string(g.col())); };
    g.onRowColChange = [&] { events.push_back("change"); };
    ASSERT_TRUE(g.setRow(1));
    events.clear();
    g.setCol(4);
    g.setRow(2);
    g.setRow(2);  // the same cell: nothing runs
    EXPECT_FALSE(g.setRow(3));
    EXPECT_EQ(events, (std::vector<std::string>{"leave 1,0", "enter 1,4", "change", "leave 1,4", "enter 2,4", "change"}));
    events.clear();
    g.click(0, 4);  // the heading row can be current
    EXPECT_EQ(g.row(), 0);
    EXPECT_EQ(events.size(), 3u);
}

TEST(UiGrid, ShrinkingKeepsTheCurrentCellInside) {
    Grid g("g", 5, 4);
    g.setCurrentCell(4, 3);
    g.setRowSel(4);
    g.removeItem(4);
    EXPECT_EQ(g.row(), 3);
    g.setCols(2);
    EXPECT_EQ(g.col(), 1);
    EXPECT_EQ(g.colWidth(3), 0);
    g.setRows(0);
    EXPECT_EQ(g.row(), -1);
    EXPECT_EQ(g.text(), "");
    g.addItem("x");
    EXPECT_EQ(g.row(), 0);
}

TEST(UiGrid, TopRowMustBeAScrollingRow) {
    ListGrid g;
    g.addItem("a");
    g.addItem("b");
    EXPECT_FALSE(g.setTopRow(0));
    EXPECT_FALSE(g.setTopRow(3));
    EXPECT_TRUE(g.setTopRow(2));
    EXPECT_EQ(g.topRow(), 2);
    g.removeItem(2);
    EXPECT_EQ(g.topRow(), 1);
}

TEST(UiGrid, LayoutMembersKeepTheirValues) {
    Grid g("g", 2, 3);
    EXPECT_EQ(g.colWidth(0), -1);
    g.setColWidth(0, 0);
    g.setColAlignment(2, Alignment::CenterCenter);
    g.setDefaultRowHeight(300);
    g.setRowHeight(1, 500);
    EXPECT_EQ(g.colWidth(0), 0);
    EXPECT_EQ(g.colAlignment(2), Alignment::CenterCenter);
    EXPECT_EQ(g.colAlignment(1), Alignment::General);
    EXPECT_EQ(g.rowHeight(0), 300);
    EXPECT_EQ(g.rowHeight(1), 500);
    EXPECT_FALSE(g.setColWidth(3, 100));
    EXPECT_FALSE(g.setColWidth(1, -5));
}

TEST(UiGrid, RedrawOffCollectsChangesIntoOneNotification) {
    ListGrid g;
    std::vector<unsigned> heard;
    auto sub = g.subscribe([&] { heard.push_back(g.changes()); });
    {
        RedrawSuspender off(g);
        g.addItem("a\tz");
        g.addItem("b\ty");
        g.setTextMatrix(1, 4, "Dentist");
        g.sort(1, GridSort::TextNoCaseAscending);
        {
            RedrawSuspender nested(g);  // puts back "off", not "on"
            g.setColWidth(0, 0);
        }
        EXPECT_FALSE(g.redraw());
        EXPECT_TRUE(heard.empty());
    }
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0] & GridStructure, unsigned(GridStructure));
    EXPECT_EQ(heard[0] & GridCells, unsigned(GridCells));
    EXPECT_EQ(heard[0] & GridLayout, unsigned(GridLayout));
    EXPECT_EQ(g.textMatrix(2, 0), "a");  // the sort moved it
    g.setTextMatrix(2, 4, "Dentist");   // unchanged: nothing to draw
    g.setTextMatrix(2, 4, "Doctor");
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1], unsigned(GridCells));
    g.setRedraw(false);
    g.setRedraw(true);  // nothing pending: nothing to tell
    g.refresh();
    EXPECT_EQ(heard.back(), unsigned(GridEverything));
    EXPECT_EQ(heard.size(), 3u);
}
