#include "mainwindow/qt/EventGridDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "list/EventList.h"
#include "platform/ui/qt/QtConvert.h"

namespace wendra::mainwindow::qt {

EventGridDelegate::EventGridDelegate(const ui::Grid& grid, const ui::qt::QtGridModel& model, QObject* parent)
    : QStyledItemDelegate(parent), grid_(grid), model_(model) {}

void EventGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int r = model_.gridRow(index.row());
    const int c = index.column();
    const bool current = r == grid_.row() && c == grid_.col();

    bool selected = false;
    if (grid_.highlight() == ui::Highlight::Always ||
        (grid_.highlight() == ui::Highlight::WithFocus && (option.state & QStyle::State_HasFocus))) {
        const bool byRow = grid_.selectionMode() == ui::SelectionMode::ByRow;
        const int r0 = std::min(grid_.row(), grid_.rowSel());
        const int r1 = std::max(grid_.row(), grid_.rowSel());
        const int c0 = byRow ? 0 : std::min(grid_.col(), grid_.colSel());
        const int c1 = byRow ? grid_.cols() - 1 : std::max(grid_.col(), grid_.colSel());
        selected = !current && r >= r0 && r <= r1 && c >= c0 && c <= c1;
    }
    // The current row's mark is the point of the colour: no selection hides it.
    const std::optional<ui::Colour> own = grid_.cellBackColourAt(r, c);
    if (own && *own == kCurrentDescription) selected = false;

    // System colours (the grey behind an "X") are the desktop's, not the grid's own
    // palette, which carries the list's colours.
    const QPalette pal = QApplication::palette();
    const QColor back = ui::qt::toQColor(selected ? grid_.backColourSel() : grid_.effectiveBackColour(r, c), pal);
    const QColor fore = ui::qt::toQColor(selected ? grid_.foreColourSel() : grid_.effectiveForeColour(r, c), pal);

    painter->save();
    painter->fillRect(option.rect, back);
    painter->setClipRect(option.rect);
    QFont font = option.font;
    const QString text = index.data(Qt::DisplayRole).toString();
    auto align = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    if (c == grdModified && (text == "X" || text == "+")) {
        font.setBold(true);
        align = Qt::AlignCenter;
    }
    painter->setFont(font);
    painter->setPen(fore);
    const QRect textRect = option.rect.adjusted(3, 0, -3, 0);
    // A text wider than its cell keeps its start in view: a countdown's sign matters.
    if (QFontMetrics(font).horizontalAdvance(text) > textRect.width())
        align = (align & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
    painter->drawText(textRect, int(align), text);
    if (current) {
        QPen pen(fore);
        pen.setStyle(Qt::DotLine);
        painter->setPen(pen);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

void attachEventGridDelegate(ui::qt::QtGridView& view) {
    QAbstractItemDelegate* previous = view.itemDelegate();
    view.setItemDelegate(new EventGridDelegate(view.grid(), *view.gridModel(), &view));
    // The view no longer uses its own; it was the view's child.
    if (previous != nullptr && previous->parent() == &view) delete previous;
    view.viewport()->update();
}

}  // namespace wendra::mainwindow::qt
