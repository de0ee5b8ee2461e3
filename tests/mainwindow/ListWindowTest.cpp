// The main window's list: built at start-up from the window's own store, its
// auto-deletions saved through doSave, its requests telling the window (status
// panel, hourglass, grid handlers), the view fields read at each request, and
// updates held back while a refresh is pending.
#include <gtest/gtest.h>

#include <string>

#include "mainwindow/frmMain.h"
#include "tests/support/MainWindowRig.h"

using namespace wendra;

namespace {

DateTime at(int y, int m, int d, int h = 0, int mi = 0) { return DateTime::ymd(y, m, d, h, mi); }

class ListWindowTest : public ::testing::Test, protected test::MainWindowRig {};

TEST_F(ListWindowTest, TheStartUpListsTheStoreWithPastOccurrencesFolded) {
    store(oneOff("Dentist", at(2024, 3, 7, 9, 30)));
    store(oneOff("Last week", at(2024, 2, 27, 9, 30)));
    frmMain& f = start();
    EXPECT_TRUE(f.shrinkPast);
    ASSERT_EQ(f.msGrid.rows(), 3);
    EXPECT_EQ(f.msGrid.textMatrix(0, grdSubject), "Description");
    EXPECT_EQ(f.msGrid.textMatrix(1, grdSubject), "1 past event");
    EXPECT_EQ(f.msGrid.textMatrix(2, grdSubject), "Dentist");
    EXPECT_EQ(f.msGrid.textMatrix(2, grdWendra), "2");
    ASSERT_TRUE(f.rowOccurrence(2).has_value());
    EXPECT_EQ(f.rowOccurrence(2)->when, at(2024, 3, 7, 9, 30));
    EXPECT_EQ(f.StatusBar1.text(1), "Mode: Wendra (win)");
    EXPECT_EQ(f.mousePointer(), ui::MousePointer::Default);
    EXPECT_FALSE(f.listBusy());

    f.expandPastRows(true);
    EXPECT_FALSE(f.shrinkPast);
    EXPECT_EQ(rowsOf("Last week").size(), 1u);
}

TEST_F(ListWindowTest, AutoDeleteSavesThroughDoSaveAndMovesTheUpdateCounter) {
    clsCalEvent ev = oneOff("Yesterday's parcel", at(2024, 3, 4, 12, 0));
    ev.setAutoDelete("1");
    const std::string id = store(ev);
    frmMain& f = start();
    EXPECT_TRUE(rowsOf("Yesterday's parcel").empty());
    EXPECT_EQ(f.settings()->getUpdateVersion(), 1);
    clsCalEvent gone;
    EXPECT_FALSE(f.store()->Find(gone, *clsDataQVR::toEventKey(id)));
}

TEST_F(ListWindowTest, AnUpdateShowsTheEventAndPutsTheStatusAndPointerBack) {
    frmMain& f = start();
    f.StatusBar1.setText(1, "Editing: Lunch");
    bool busyInside = false;
    ui::MousePointer pointerInside = ui::MousePointer::Default;
    std::string statusInside;
    f.msGrid.onLeaveCell = [&] {
        busyInside = f.listBusy();
        pointerInside = f.mousePointer();
        statusInside = f.StatusBar1.text(1);
    };
    clsCalEvent ev = oneOff("Lunch", at(2024, 3, 6, 12, 0));
    ASSERT_TRUE(f.store()->Save(ev, SaveMode::Always));
    f.updateList(ev.WendraWinId());
    EXPECT_TRUE(busyInside);
    EXPECT_EQ(pointerInside, ui::MousePointer::Hourglass);
    EXPECT_EQ(statusInside, "Updating list...");
    ASSERT_EQ(rowsOf("Lunch").size(), 1u);
    EXPECT_EQ(f.msGrid.textMatrix(rowsOf("Lunch")[0], grdModified), "+");
    EXPECT_EQ(f.StatusBar1.text(1), "Editing: Lunch");
    EXPECT_EQ(f.mousePointer(), ui::MousePointer::Default);
    EXPECT_FALSE(f.listBusy());
    EXPECT_EQ(f.selectedKey().empty(), f.msGrid.row() < 0);

    // The store's host call marks the rows of a deleted event.
    ASSERT_TRUE(f.store()->DeleteEvent(ev));
    static_cast<StoreHost&>(f).ListShowDeleted(ev.WendraWinId());
    EXPECT_EQ(f.msGrid.textMatrix(rowsOf("Lunch")[0], grdModified), "X");
}

TEST_F(ListWindowTest, UpdatesWaitWhileARefreshIsPending) {
    frmMain& f = start();
    clsCalEvent ev = oneOff("Call", at(2024, 3, 6, 12, 0));
    ASSERT_TRUE(f.store()->Save(ev, SaveMode::Always));
    f.refreshPending = true;
    f.updateList(ev.WendraWinId());
    EXPECT_TRUE(rowsOf("Call").empty());
    f.refreshPending = false;
    f.refreshList();
    EXPECT_EQ(rowsOf("Call").size(), 1u);
}

TEST_F(ListWindowTest, TheViewFieldsAreReadAtEachRequest) {
    store(oneOff("Far off", at(2024, 9, 1, 10, 0)));
    frmMain& f = start();
    EXPECT_TRUE(rowsOf("Far off").empty());
    f.viewAll = true;
    f.refreshList();
    EXPECT_EQ(f.msGrid.backColour(), 0xFFFFFF);
    EXPECT_EQ(rowsOf("Far off").size(), 1u);
    f.viewAll = false;
    f.refreshList();
    EXPECT_EQ(f.msGrid.backColour(), 0x80FFFF);
    EXPECT_TRUE(rowsOf("Far off").empty());
}

TEST_F(ListWindowTest, TheSelectionIsCarriedOverARebuild) {
    store(oneOff("B", at(2024, 3, 8, 10, 0)));
    frmMain& f = start();
    f.msGrid.setRow(rowsOf("B").at(0));
    const std::string key = f.selectedKey();
    clsCalEvent a = oneOff("A", at(2024, 3, 7, 10, 0));
    ASSERT_TRUE(f.store()->Save(a, SaveMode::Always));
    f.refreshList();
    EXPECT_EQ(f.msGrid.row(), rowsOf("B").at(0));
    EXPECT_EQ(f.selectedKey(), key);
    EXPECT_EQ(f.msGrid.col(), grdSubject);
}

}  // namespace
