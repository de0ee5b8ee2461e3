// The main window's layout arithmetic, its window settings kept and read back, the
// column and merge entries of the View menu and the past-events switch.
#include <gtest/gtest.h>

#include <string>

#include "mainwindow/frmMain.h"
#include "store/DefaultFont.h"
#include "tests/support/MainWindowRig.h"

using namespace wendra;

namespace {

// A started main window over an empty store on Wednesday 6 March 2024 at noon;
// settings may be preset before start().
struct Rig : test::MainWindowRig {
    Rig() : MainWindowRig(DateTime::ymd(2024, 3, 6, 12, 0)) {}
};

// The grid as the arithmetic sees it: rows of one height and the view columns' widths.
void shape(frmMain& f, int rows, int rowHeight, int daysTo, int time, int date, int day) {
    f.msGrid.setFixedRows(0);
    f.msGrid.setRows(rows);
    f.msGrid.setDefaultRowHeight(rowHeight);
    f.msGrid.setColWidth(grdModified, 0);
    f.msGrid.setColWidth(grdWendra, daysTo);
    f.msGrid.setColWidth(grdTime, time);
    f.msGrid.setColWidth(grdDate, date);
    f.msGrid.setColWidth(grdDayofWeek, day);
}

// ---- layout ------------------------------------------------------------------------------

TEST(MainLayout, TheWindowFollowsTheRowsAndTheDescriptionTakesTheRestOfTheWidth) {
    Rig rig;
    frmMain& f = rig.start();
    f.setGeometry({1000, 1000, 6000, 3000});
    shape(f, 5, 240, 800, 600, 900, 500);
    f.layoutForm();
    // Toolbar 390 and status bar 315 twips high, as designed; no banner.
    EXPECT_EQ(f.msGrid.geometry(), (ui::Geometry{0, 390, 5900, 5 * 240 + 70}));
    EXPECT_EQ(f.height(), 315 + 770 + 390 + 1270);
    EXPECT_EQ(f.msGrid.colWidth(4), 5900 - 800 - 600 - 900 - 500 - 90);
    EXPECT_EQ(f.top(), 1000);  // it fits: the top stays

    // Without rows the grid is its border alone.
    f.msGrid.setRows(0);
    f.layoutForm();
    EXPECT_EQ(f.msGrid.height(), 70);
    EXPECT_EQ(f.height(), 315 + 770 + 390 + 70);
}

TEST(MainLayout, AListTallerThanTheScreenScrollsAndTheDescriptionMakesRoomForTheBar) {
    Rig rig;
    frmMain& f = rig.start();
    rig.ui.placement.setScreen(28800, 6000);
    f.setGeometry({0, 3000, 6000, 3000});
    shape(f, 30, 240, 800, 600, 900, 500);
    f.layoutForm();
    const int grid = 6000 - 315 - 390 - 0 - 2000;
    EXPECT_EQ(f.msGrid.height(), grid);
    EXPECT_EQ(f.msGrid.colWidth(4), 5900 - 2800 - 341);
    EXPECT_EQ(f.height(), 315 + 770 + 390 + grid);
    // The window would run off the bottom: it is centred on the screen's height.
    EXPECT_EQ(f.top(), (6000 - f.height()) / 2);

    // Exactly at the limit the rows still fit.
    shape(f, 16, 245, 800, 600, 900, 500);  // 3920 + 70 = 3990, below 6000 - 2000
    f.layoutForm();
    EXPECT_EQ(f.msGrid.height(), 3990);
    EXPECT_EQ(f.msGrid.colWidth(4), 5900 - 2800 - 90);
}

TEST(MainLayout, AWindowTallerThanTheScreenStandsAtTheTop) {
    Rig rig;
    frmMain& f = rig.start();
    f.setGeometry({0, 800, 6000, 3000});
    shape(f, 3, 240, 800, 600, 900, 500);
    f.lblError.setHeight(3000);  // a long message: a tall banner
    rig.ui.placement.setScreen(28800, 4000);
    f.showError("A message of many lines");
    EXPECT_EQ(f.msGrid.height(), 3 * 240 + 70);  // within the screen less 2000: not cut
    EXPECT_GT(f.height(), 4000);
    EXPECT_EQ(f.top(), 0);
}

TEST(MainLayout, HiddenColumnsGiveTheDescriptionTheWholeWidthAndANarrowWindowStillShowsSome) {
    Rig rig;
    frmMain& f = rig.start();
    f.setGeometry({0, 0, 6000, 3000});
    shape(f, 4, 240, 0, 0, 0, 0);
    f.layoutForm();
    EXPECT_EQ(f.msGrid.colWidth(4), 5900 - 90);

    f.setGeometry({0, 0, 1000, 3000});
    shape(f, 4, 240, 800, 600, 900, 500);
    f.layoutForm();
    EXPECT_EQ(f.msGrid.colWidth(4), 100);
}

TEST(MainLayout, TheBannerSitsUnderTheToolbarAcrossTheGrid) {
    Rig rig;
    frmMain& f = rig.start();
    f.setGeometry({0, 0, 7000, 3000});
    shape(f, 2, 240, 800, 600, 900, 500);
    f.showError("Something went wrong");
    const int banner = f.lblError.height() + 200;
    EXPECT_EQ(f.frameError.top(), 390 - 52);
    EXPECT_EQ(f.frameError.width(), 6900);
    EXPECT_EQ(f.lblError.width(), 6900 - f.lblError.left() - 300);
    EXPECT_EQ(f.cmdErrorClose.top(), 100);
    EXPECT_EQ(f.cmdErrorClose.left(), f.frameError.left() + 6900 - f.cmdErrorClose.width());
    EXPECT_EQ(f.msGrid.top(), 390 + banner);
    EXPECT_EQ(f.height(), 315 + 770 + 390 + banner + 2 * 240 + 70);
}

TEST(MainLayout, NothingMovesWhileTheWindowIsMinimizedOrMaximized) {
    Rig rig;
    frmMain& f = rig.start();
    f.setGeometry({0, 0, 6000, 3000});
    shape(f, 3, 240, 800, 600, 900, 500);
    f.layoutForm();
    const ui::Geometry window = f.geometry();
    const ui::Geometry grid = f.msGrid.geometry();
    for (auto state : {ui::WindowState::Minimized, ui::WindowState::Maximized}) {
        f.setWindowState(state);
        f.msGrid.setRows(12);
        f.layoutForm();
        EXPECT_EQ(f.geometry(), window);
        EXPECT_EQ(f.msGrid.geometry(), grid);
        f.setWindowState(ui::WindowState::Normal);  // the resize lays it out again
        EXPECT_EQ(f.msGrid.height(), 12 * 240 + 70);
        f.msGrid.setRows(3);
        f.layoutForm();
    }
}

TEST(MainLayout, TheMinimalDisplayIsTheCaptionAloneAsWideAsItsTextWithinBounds) {
    Rig rig;
    rig.preset("View", "Width", "6000");
    frmMain& f = rig.start();
    const ui::Font captionFont{std::string(kDefaultFontName), 10, true, false};
    f.state().gMinimalDisplay = true;

    f.setCaption("2h 05m-Dentist");
    f.nextEventDescription = "Dentist";
    f.layoutForm();
    EXPECT_EQ(f.height(), 0);
    EXPECT_EQ(f.width(), rig.ui.metrics.textWidth(captionFont, "2h 05m-Dentist") + 1600);
    EXPECT_TRUE(f.state().gMiniLayoutDone);

    // The same description is not laid out again, whatever the caption says now.
    const int w = f.width();
    f.setCaption("1h 59m-Dentist with a much longer caption");
    f.layoutForm();
    EXPECT_EQ(f.width(), w);

    // A long description: 5500 at most.
    f.setCaption("0h 30m-The annual general meeting of the allotment society");
    f.nextEventDescription = "The annual general meeting of the allotment society";
    f.layoutForm();
    EXPECT_EQ(f.width(), 5500);

    // Never wider than the normal window: with a stored width of 3000 the width stays.
    f.settings()->setWidth(3000);
    f.setWidth(2800);
    f.nextEventDescription = "Quiz night";
    f.setCaption("5h 00m-Quiz night at the Crown and Anchor");
    f.layoutForm();
    EXPECT_EQ(f.width(), 2800);

    // Back to normal: the flag is cleared and the height follows the rows again.
    f.state().gMinimalDisplay = false;
    f.layoutForm();
    EXPECT_FALSE(f.state().gMiniLayoutDone);
    EXPECT_GT(f.height(), 770);
}

// A larger font widens the other columns; the description gets what is left, so a
// window never sized by the user widens by what it lost (within the screen), and one
// the user sized keeps its width.
TEST(MainLayout, ALargerFontWidensAWindowOfTheDesignedWidthSoTheDescriptionKeepsItsWidth) {
    struct Case {
        int width, size, screen;
        bool kept;  // the description's width
    };
    for (const Case c : {Case{6000, 14, 28800, true}, Case{6010, 20, 28800, true}, Case{7000, 14, 28800, false},
                         Case{6000, 6, 28800, false}, Case{6000, 14, 7500, false}}) {
        SCOPED_TRACE(std::to_string(c.width) + " " + std::to_string(c.size) + " " + std::to_string(c.screen));
        Rig rig;
        rig.preset("View", "Width", std::to_string(c.width));
        rig.preset("View", "Left", "3000");
        frmMain& f = rig.start();
        rig.ui.placement.setScreen(c.screen, 11520);
        const int description = f.msGrid.colWidth(grdSubject);
        const int others = f.msGrid.width() - description;
        rig.ui.fonts.answer(ui::Font{"DejaVu Sans", static_cast<double>(c.size)});
        f.mnuOptions_Font.trigger();
        EXPECT_EQ(f.msGrid.colWidth(grdSubject) == description, c.kept);
        const int grown = f.msGrid.width() - f.msGrid.colWidth(grdSubject) - others;
        const bool narrow = c.screen < 28800;
        EXPECT_EQ(f.width(), narrow ? c.screen : c.width + (c.kept ? grown : 0));
        EXPECT_EQ(f.left(), narrow ? 0 : 3000);
    }
}

// ---- window settings -------------------------------------------------------------------

TEST(MainWindowSettings, GeometryFontAndMarksComeBackAtTheNextStart) {
    Rig rig;
    frmMain& f = rig.start();
    f.move(1500, 1200);
    f.setWidth(7000);
    f.msGrid.setFont(ui::Font{"DejaVu Sans", 10.4, true, true});
    f.mnuView_Date.setChecked(false);
    f.mnuView_Wendra.setChecked(true);
    f.mnuView_LongDescription.setChecked(false);
    f.mnuMerge_Dates.setChecked(false);
    f.mnuMerge_Wendra.setChecked(true);
    rig.close();

    EXPECT_EQ(rig.stored("View", "FontSize"), "10");  // whole points
    EXPECT_EQ(rig.stored("View", "Date"), "-1");
    frmMain& again = rig.start();
    EXPECT_EQ(again.left(), 1500);
    EXPECT_EQ(again.top(), 1200);
    EXPECT_EQ(again.width(), 7000);
    EXPECT_EQ(again.font(), (ui::Font{"DejaVu Sans", 10, true, true}));
    EXPECT_EQ(again.msGrid.font(), (ui::Font{"DejaVu Sans", 10, true, true}));
    EXPECT_FALSE(again.mnuView_Date.checked());
    EXPECT_TRUE(again.mnuView_Wendra.checked());
    EXPECT_TRUE(again.mnuView_Time.checked());
    EXPECT_FALSE(again.mnuView_LongDescription.checked());
    EXPECT_FALSE(again.mnuMerge_Dates.checked());
    EXPECT_TRUE(again.mnuMerge_Wendra.checked());
    EXPECT_EQ(again.msGrid.colWidth(6), 0);
}

TEST(MainWindowSettings, StoredPlacesOffTheScreenAreBroughtBack) {
    {
        Rig rig;
        rig.preset("View", "Top", "-200");
        rig.preset("View", "Left", "300");
        rig.preset("View", "Width", "500");
        frmMain& f = rig.start();
        EXPECT_EQ(f.top(), 0);
        EXPECT_EQ(f.left(), 300);
        EXPECT_EQ(f.width(), 1000);
    }
    {
        // Beyond the right edge less 500: centred on the 28800 x 16200 screen.
        Rig rig;
        rig.preset("View", "Top", "100");
        rig.preset("View", "Left", "28400");
        rig.preset("View", "Width", "6000");
        frmMain& f = rig.start();
        EXPECT_EQ(f.left(), (28800 - 6000) / 2);
        EXPECT_GT(f.top(), 100);
    }
    {
        // The bottom edge likewise; exactly 500 above it still counts as on the screen.
        Rig rig;
        rig.preset("View", "Top", "15700");
        rig.preset("View", "Left", "200");
        frmMain& f = rig.start();
        EXPECT_EQ(f.left(), 200);
        rig.close();
        rig.preset("View", "Top", "15701");
        frmMain& g = rig.start();
        EXPECT_EQ(g.left(), (28800 - g.width()) / 2);
    }
}

TEST(MainWindowSettings, AMinimizedWindowKeepsItsPlaceAndTheMinimalDisplayItsWidth) {
    Rig rig;
    frmMain& f = rig.start();
    f.move(2000, 2000);
    f.setWidth(6500);
    f.saveWindowSettings();
    f.setWindowState(ui::WindowState::Minimized);
    f.move(-32000, -32000);
    f.msGrid.setFont(ui::Font{"Serif", 12, false, false});
    f.saveWindowSettings();
    EXPECT_EQ(rig.stored("View", "Left"), "2000");
    EXPECT_EQ(rig.stored("View", "Top"), "2000");
    EXPECT_EQ(rig.stored("View", "FontName"), "Serif");  // the font is saved all the same

    f.setWindowState(ui::WindowState::Normal);
    f.state().gMinimalDisplay = true;
    f.setGeometry({2100, 2200, 3000, 0});
    f.saveWindowSettings();
    EXPECT_EQ(rig.stored("View", "Left"), "2100");
    EXPECT_EQ(rig.stored("View", "Width"), "6500");
}

// ---- view menu --------------------------------------------------------------------------

TEST(MainViewMenu, AColumnSwitchedOnTakesItsSampleWidthAndKeepsIt) {
    Rig rig;
    rig.preset("View", "Time", "-1");
    frmMain& f = rig.start();
    EXPECT_FALSE(f.mnuView_Time.checked());
    EXPECT_EQ(f.msGrid.colWidth(5), 0);

    EXPECT_TRUE(f.mnuView_Time.trigger());
    EXPECT_TRUE(f.mnuView_Time.checked());
    // Switched on: automatic, and the rebuild's save did not turn that into its old width 0.
    EXPECT_EQ(rig.stored("View", "Time"), "-9");
    const int sample = rig.ui.metrics.textWidth(f.font(), "HH:NN") + kListCellMargin;
    EXPECT_EQ(f.msGrid.colWidth(5), sample);
    // The next save stores the width it was given.
    f.saveWindowSettings();
    EXPECT_EQ(rig.stored("View", "Time"), std::to_string(sample));

    EXPECT_TRUE(f.mnuView_Time.trigger());
    EXPECT_FALSE(f.mnuView_Time.checked());
    EXPECT_EQ(rig.stored("View", "Time"), "-1");
    EXPECT_EQ(f.msGrid.colWidth(5), 0);
}

TEST(MainViewMenu, AZeroWidthStoredUnderATickHealsToTheSampleWidth) {
    Rig rig;
    rig.preset("View", "Date", "0");  // what the old save left behind
    frmMain& f = rig.start();
    EXPECT_TRUE(f.mnuView_Date.checked());
    EXPECT_EQ(f.msGrid.colWidth(6), rig.ui.metrics.textWidth(f.font(), "DD/MMM/YY") + kListCellMargin);
    f.saveWindowSettings();
    EXPECT_EQ(rig.stored("View", "Date"), std::to_string(f.msGrid.colWidth(6)));
}

TEST(MainViewMenu, EachEntryFlipsItsMarkStoresItAndRebuildsTheList) {
    Rig rig;
    frmMain& f = rig.start();
    ASSERT_EQ(f.msGrid.fixedRows(), 1);

    f.mnuView_Headings.trigger();
    EXPECT_FALSE(f.mnuView_Headings.checked());
    EXPECT_EQ(rig.stored("View", "Headings"), "False");
    ASSERT_EQ(f.msGrid.rows(), 1);  // the placeholder alone
    EXPECT_EQ(f.msGrid.fixedRows(), 0);
    EXPECT_EQ(f.msGrid.textMatrix(0, 4), "No events within 30 days");
    f.mnuView_Headings.trigger();
    EXPECT_EQ(rig.stored("View", "Headings"), "True");
    EXPECT_EQ(f.msGrid.textMatrix(0, 4), "Description");

    f.mnuView_Date.trigger();
    EXPECT_EQ(rig.stored("View", "Date"), "-1");
    EXPECT_EQ(f.msGrid.colWidth(6), 0);
    f.mnuView_Wendra.trigger();  // shown by default
    EXPECT_FALSE(f.mnuView_Wendra.checked());
    EXPECT_EQ(f.msGrid.colWidth(3), 0);
    f.mnuView_Wendra.trigger();
    EXPECT_TRUE(f.mnuView_Wendra.checked());
    EXPECT_EQ(rig.stored("View", "Wendra"), "-9");
    EXPECT_EQ(f.msGrid.colWidth(3), rig.ui.metrics.textWidth(f.font(), "-1h 59m") + kListCellMargin);

    const bool longDescription = f.mnuView_LongDescription.checked();
    f.mnuView_LongDescription.trigger();
    EXPECT_EQ(rig.stored("View", "LongDescription"), longDescription ? "False" : "True");
    f.mnuMerge_Dates.trigger();
    EXPECT_EQ(rig.stored("View", "MergeDates"), "False");
    f.mnuMerge_Wendra.trigger();
    EXPECT_EQ(rig.stored("View", "MergeWendra"), "False");

    // A row the list did not make is gone after a rebuild.
    f.msGrid.addItem("\t\t\t\tleft over");
    f.mnuMerge_Wendra.trigger();
    EXPECT_EQ(f.msGrid.rows(), 2);
    EXPECT_EQ(rig.stored("View", "MergeWendra"), "True");
}

TEST(MainViewMenu, ThePastEventsSwitchTogglesTheMenuAndTheButtonPair) {
    Rig rig;
    frmMain& f = rig.start();
    ui::Command& expand = *f.Toolbar1.button("toolbarExpand");
    ui::Command& shrink = *f.Toolbar1.button("toolbarShrink");
    // The start folds past events.
    EXPECT_TRUE(f.shrinkPast);
    EXPECT_EQ(f.mnuShrinkPastEvents.caption(), "Expand past events");
    EXPECT_TRUE(shrink.checked());
    EXPECT_FALSE(expand.checked());

    f.msGrid.addItem("\t\t\t\tleft over");
    f.mnuShrinkPastEvents.trigger();
    EXPECT_FALSE(f.shrinkPast);
    EXPECT_EQ(f.mnuShrinkPastEvents.caption(), "Shrink past events");
    EXPECT_TRUE(expand.checked());
    EXPECT_FALSE(shrink.checked());
    EXPECT_EQ(shrink.style(), ui::CommandStyle::ButtonGroup);
    EXPECT_EQ(f.msGrid.rows(), 2);  // rebuilt

    f.mnuShrinkPastEvents.trigger();
    EXPECT_TRUE(f.shrinkPast);
    EXPECT_TRUE(shrink.checked());
    EXPECT_FALSE(expand.checked());

    // Unfolding without a rebuild leaves the rows as they are.
    f.msGrid.addItem("\t\t\t\tleft over");
    f.expandPastRows(false);
    EXPECT_EQ(f.msGrid.rows(), 3);
    EXPECT_FALSE(f.shrinkPast);
}

TEST(MainViewMenu, TheListIsLightYellowAndWhiteWhileListingAll) {
    Rig rig;
    frmMain& f = rig.start();
    EXPECT_EQ(f.msGrid.backColour(), 0x80FFFF);
    EXPECT_EQ(f.msGrid.cols(), 8);
    for (int col : {0, 1, 2}) EXPECT_EQ(f.msGrid.colWidth(col), 0);
    EXPECT_EQ(f.msGrid.colAlignment(3), ui::Alignment::CenterCenter);
    EXPECT_EQ(f.msGrid.colAlignment(4), ui::Alignment::LeftCenter);
    f.viewAll = true;
    f.refreshList();
    EXPECT_EQ(f.msGrid.backColour(), ui::colours::white);
}

}  // namespace
