// The main window's list drawn by Qt, offscreen, over a store with every kind of
// row: past rows folded, a passed and a coming timed row of today, an all-day
// row of today, future rows with merged dates, a changed event's "+" rows and
// the "X" rows it left. The cells show their colours, the current row's
// description keeps its mark under the selection, and a picture of the window
// is written (kept in WENDRA_GRAB_DIR when that is set).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QStyle>
#include <utility>
#include <vector>

#include "mainwindow/frmMain.h"
#include "mainwindow/qt/EventGridDelegate.h"
#include "platform/ui/qt/QtConvert.h"
#include "platform/ui/qt/QtGrab.h"
#include "tests/support/QtMainWindowRig.h"

using namespace wendra;
using wendra::test::exposed;
using wendra::test::TempFolder;

namespace {

DateTime at(int y, int m, int d, int h = 0, int mi = 0) { return DateTime::ymd(y, m, d, h, mi); }

// A window over a store of every kind of row, on Tuesday 5 March 2024 at 14:00.
struct Rig : test::QtMainWindowRig {
    std::string standupId;

    // presets: settings ("View" section) stored before the start.
    explicit Rig(std::vector<std::pair<std::string, std::string>> presets = {}) {
        preset("View", "Left", "600");
        preset("View", "Top", "600");
        preset("View", "Width", "7200");
        for (const auto& [key, value] : presets) preset("View", key, value);
        store(oneOff("Car service", at(2024, 3, 1, 8, 30)));
        store(oneOff("Book club", at(2024, 3, 4), true));
        store(oneOff("Team lunch", at(2024, 3, 5, 12, 30)));
        store(oneOff("Call the plumber", at(2024, 3, 5, 16, 45)));
        store(oneOff("Anna's birthday", at(2024, 3, 5), true));
        standupId = store(daily("Standup", at(2024, 3, 6, 9, 0), at(2024, 3, 8)));
        store(oneOff("Dentist", at(2024, 3, 6, 15, 0)));
        store(oneOff("Bins out", at(2024, 3, 7), true));
        store(oneOff("Piano lesson", at(2024, 3, 12, 17, 0)));
        startShown();
    }

    // The row showing the description with the marker.
    int rowShowing(std::string_view desc, std::string_view marker = "") const {
        for (int r = form->msGrid.fixedRows(); r < form->msGrid.rows(); ++r)
            if (form->msGrid.textMatrix(r, grdSubject) == desc && form->msGrid.textMatrix(r, grdModified) == marker)
                return r;
        return -1;
    }
};

// The colour drawn near the top left corner of a cell, clear of its text and frame.
QColor cellColour(ui::qt::QtGridView& grid, int gridRow, int col) {
    const QModelIndex index = grid.gridModel()->index(grid.gridModel()->tableRow(gridRow), col);
    const QRect rect = grid.visualRect(index);
    const QImage image = grid.viewport()->grab().toImage();
    return image.pixelColor(rect.left() + 2, rect.top() + 2);
}

TEST(ListWindowView, EveryKindOfRowIsDrawnInItsColours) {
    Rig rig;
    frmMain& f = *rig.form;
    auto& view = *rig.view;
    ASSERT_TRUE(exposed(view));

    // A new time for the standup: its rows move, the old ones are marked.
    clsCalEvent standup;
    ASSERT_TRUE(f.store()->Find(standup, *clsDataQVR::toEventKey(rig.standupId)));
    standup.setEventStart(at(2024, 3, 6, 10, 30));
    standup.setViewFromDate(at(2024, 3, 6, 10, 30));
    ASSERT_TRUE(f.store()->Save(standup, SaveMode::Always));
    f.updateList(rig.standupId);

    // The current row, as the window marks it: its description cell in &HFFFFC0,
    // and here with the whole row selected and another cell current.
    const int current = rig.rowShowing("Dentist");
    ASSERT_GE(current, 0);
    f.msGrid.setSelectionMode(ui::SelectionMode::ByRow);
    f.msGrid.setCurrentCell(current, grdModified);
    f.msGrid.setCellBackColourAt(current, grdSubject, mainwindow::qt::EventGridDelegate::kCurrentDescription);
    QApplication::processEvents();

    auto& grid = *view.grid();
    ASSERT_EQ(f.msGrid.textMatrix(1, grdSubject), "2 past events");
    EXPECT_EQ(cellColour(grid, 1, grdWendra), QColor(255, 0, 0));               // past-events row: white on red
    EXPECT_EQ(cellColour(grid, rig.rowShowing("Team lunch"), grdSubject), QColor(255, 255, 128));  // passed: red on the list
    EXPECT_EQ(f.msGrid.textMatrix(rig.rowShowing("Team lunch"), grdWendra), "-1h 30m");
    EXPECT_EQ(f.msGrid.textMatrix(rig.rowShowing("Call the plumber"), grdWendra), "2h 45m");
    EXPECT_EQ(f.msGrid.textMatrix(rig.rowShowing("Anna's birthday"), grdWendra), "*");
    EXPECT_EQ(cellColour(grid, rig.rowShowing("Piano lesson"), grdWendra), QColor(0, 255, 0));  // future: green
    EXPECT_EQ(cellColour(grid, current, grdSubject), QColor(0xC0, 0xFF, 0xFF));  // the mark stays
    EXPECT_NE(cellColour(grid, current, grdTime), QColor(255, 255, 128));        // the rest is selected
    const int plus = rig.rowShowing("Standup", "+");
    const int marked = rig.rowShowing("Standup", "X");
    ASSERT_GE(plus, 0);
    ASSERT_GE(marked, 0);
    EXPECT_EQ(cellColour(grid, plus, grdModified), QColor(0, 0, 255));  // "+" white on blue
    EXPECT_FALSE(grid.isColumnHidden(grdModified));
    EXPECT_EQ(cellColour(grid, marked, grdModified), ui::qt::toQColor(ui::colours::grayText));  // "X" on grey
    // Equal dates merge: the standup's three days each span their rows.
    EXPECT_GT(grid.rowSpan(grid.gridModel()->tableRow(plus), grdDate), 1);

    TempFolder out;
    const QString png = test::grabPath(QString::fromStdString(out.path().string()), "main_window_list.png");
    ASSERT_TRUE(ui::qt::grabToPng(view, ui::qt::fromQString(png)));
    EXPECT_FALSE(QImage(png).isNull());
}

// Every text of the view columns (Days To, Time, Date, Day) and of their headings
// fits its cell as drawn (the delegate keeps 3 pixels each side, the heading the
// style's margins), and each row is as tall as a line of the font.
void expectEveryCellWhole(ui::qt::QtGridView& grid) {
    const QFontMetrics fm(grid.font());
    const int headerMargin = grid.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid.horizontalHeader());
    auto* model = grid.gridModel();
    for (const int col : {grdWendra, grdTime, grdDate, grdDayofWeek}) {
        if (grid.isColumnHidden(col)) continue;
        const int width = grid.columnWidth(col);
        const QString heading = model->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
        EXPECT_LE(fm.horizontalAdvance(heading) + 2 * headerMargin, width) << "heading " << heading.toStdString();
        for (int r = 0; r < model->rowCount(); ++r) {
            const QString text = model->data(model->index(r, col), Qt::DisplayRole).toString();
            EXPECT_LE(fm.horizontalAdvance(text) + 6, width) << "column " << col << " " << text.toStdString();
        }
    }
    for (int r = 0; r < model->rowCount(); ++r) EXPECT_GE(grid.rowHeight(r), fm.height()) << "row " << r;
    EXPECT_GE(grid.horizontalHeader()->height(), fm.height());
}

// Widths stored by an earlier start with an 8 point font, and 14 points now: every
// heading, countdown, time, date and day is drawn whole; then fonts chosen from
// the menu resize the columns and rows at once, both ways.
TEST(ListWindowView, ColumnsAndRowsFitTheFontAtStartAndAtOnceAfterAChange) {
    Rig rig({{"FontName", "DejaVu Sans"}, {"FontSize", "14"}, {"Date", "873"}, {"Time", "485"},
             {"Wendra", "679"}, {"DayOfWeek", "-9"}});
    frmMain& f = *rig.form;
    auto& view = *rig.view;
    ASSERT_TRUE(exposed(view));
    auto& grid = *view.grid();
    ASSERT_EQ(grid.font().pointSize(), 14);
    EXPECT_EQ(f.msGrid.textMatrix(rig.rowShowing("Team lunch"), grdWendra), "-1h 30m");
    expectEveryCellWhole(grid);

    TempFolder out;
    const QString folder = QString::fromStdString(out.path().string());
    ASSERT_TRUE(ui::qt::grabToPng(view, ui::qt::fromQString(test::grabPath(folder, "main_window_14pt.png"))));

    int dateWidth = grid.columnWidth(grdDate);
    int rowHeight = grid.rowHeight(0);
    for (const double size : {20.0, 8.0}) {
        SCOPED_TRACE(size);
        rig.ui.fonts.answer(ui::Font{"DejaVu Sans", size});
        f.mnuOptions_Font.trigger();
        QApplication::processEvents();
        ASSERT_EQ(grid.font().pointSizeF(), size);
        expectEveryCellWhole(grid);
        EXPECT_EQ(grid.columnWidth(grdDate) > dateWidth, size > 14);
        EXPECT_EQ(grid.columnWidth(grdDate) < dateWidth, size < 14);
        EXPECT_EQ(grid.rowHeight(0) > rowHeight, size > 14);
        EXPECT_EQ(grid.rowHeight(0) < rowHeight, size < 14);
        dateWidth = grid.columnWidth(grdDate);
        rowHeight = grid.rowHeight(0);
    }
    ASSERT_TRUE(ui::qt::grabToPng(view, ui::qt::fromQString(test::grabPath(folder, "main_window_8pt.png"))));
}

}  // namespace
