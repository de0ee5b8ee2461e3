#pragma once

#include <QStyledItemDelegate>

#include "platform/ui/Grid.h"
#include "platform/ui/qt/QtGrid.h"

// How the main window's list draws its cells: each cell in its own colours, the
// grid's selection highlighted, and on top of the grid view's own drawing:
// - the current row's description cell, which the window paints &HFFFFC0, keeps
//   that colour under the selection, so the current row always shows;
// - the markers of column 2 ("+" written for a changed event, "X" for a row whose
//   occurrence is gone) drawn bold and centred on their colours;
// - merged cells (the grid view spans equal cells of a merging column) drawn as
//   one cell with their text in the middle of the whole span;
// - a text wider than its cell shown from its start (a countdown keeps its "-").
namespace wendra::mainwindow::qt {

class EventGridDelegate final : public QStyledItemDelegate {
public:
    EventGridDelegate(const ui::Grid& grid, const ui::qt::QtGridModel& model, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The back colour the window gives the current row's description cell.
    static constexpr ui::Colour kCurrentDescription = 0xFFFFC0;

private:
    const ui::Grid& grid_;
    const ui::qt::QtGridModel& model_;
};

// Gives the grid view the list's delegate in place of its own.
void attachEventGridDelegate(ui::qt::QtGridView& view);

}  // namespace wendra::mainwindow::qt
