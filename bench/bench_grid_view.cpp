// The list grid's view over a list of 22,000 rows (what 10,000 typical events
// give), shown offscreen: one cell written, as each of the minute's countdowns
// is written, and the whole grid drawn again, as after a rebuild with redraw off.
// Each write or redraw brings the view up to date with the grid, merged cells
// included.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>

#include "platform/ui/Grid.h"
#include "platform/ui/qt/QtGrid.h"

namespace wendra {
namespace {

constexpr int kRows = 22000;

// A heading and rows as the list writes them: ten to a date, the date and day
// columns merging.
void fill(ui::Grid& grid) {
    grid.setCols(8);
    grid.addItem("\t\t\tDays To\tDescription\tTime\tDate\tDay");
    grid.setFixedRows(1);
    for (int r = 0; r < kRows; ++r) {
        const std::string day = std::to_string(r / 10);
        grid.addItem("<Desc>Event " + std::to_string(r) + "</><Id>" + std::to_string(r) + "</>\t" + day + "\t\t" +
                     day + "\tEvent " + std::to_string(r) + "\t10:00\t" + day + "-Dec-26\tWed");
    }
    for (int c : {0, 1, 2}) grid.setColWidth(c, 0);
    grid.setMergeCells(ui::MergeCells::Free);
    for (int c : {3, 6, 7}) grid.setMergeCol(c, true);
}

struct ShownGrid {
    ShownGrid() {
        fill(grid);
        view.resize(400, 600);
        view.show();
        QApplication::processEvents();
    }
    ui::Grid grid{"msGrid"};
    ui::qt::QtGridView view{grid};
};

QApplication& application() {
    static int argc = 1;
    static char name[] = "bench_grid_view";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

void BM_GridViewCellWritten(benchmark::State& state) {
    application();
    ShownGrid shown;
    int i = 0;
    for (auto _ : state) {
        // A countdown of a row in view.
        shown.grid.setTextMatrix(1 + i % 20, 3, (i / 20) % 2 != 0 ? "2h 15m" : "2h 14m");
        ++i;
    }
}

void BM_GridViewRedrawnWhole(benchmark::State& state) {
    application();
    ShownGrid shown;
    for (auto _ : state) shown.grid.refresh();
}

BENCHMARK(BM_GridViewCellWritten)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridViewRedrawnWhole)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wendra
