#include "platform/ui/qt/QtGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "platform/ui/qt/QtConvert.h"

namespace wendra::ui::qt {

namespace {
constexpr int kDefaultColumnTwips = 960;

// Draws a cell as the grid control does: its own colours, the selection highlighted
// except the current cell, which keeps its colours inside a focus frame.
class GridDelegate final : public QStyledItemDelegate {
public:
    GridDelegate(const Grid& grid, const QtGridModel& model, QObject* parent)
        : QStyledItemDelegate(parent), grid_(grid), model_(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int r = model_.gridRow(index.row());
        const int c = index.column();
        const bool current = r == grid_.row() && c == grid_.col();
        bool selected = false;
        if (grid_.highlight() == Highlight::Always ||
            (grid_.highlight() == Highlight::WithFocus && (option.state & QStyle::State_HasFocus))) {
            const int r0 = std::min(grid_.row(), grid_.rowSel());
            const int r1 = std::max(grid_.row(), grid_.rowSel());
            const int c0 = grid_.selectionMode() == SelectionMode::ByRow ? 0 : std::min(grid_.col(), grid_.colSel());
            const int c1 = grid_.selectionMode() == SelectionMode::ByRow ? grid_.cols() - 1 : std::max(grid_.col(), grid_.colSel());
            selected = !current && r >= r0 && r <= r1 && c >= c0 && c <= c1;
        }
        const QPalette& pal = option.palette;
        const QColor back = toQColor(selected ? grid_.backColourSel() : grid_.effectiveBackColour(r, c), pal);
        const QColor fore = toQColor(selected ? grid_.foreColourSel() : grid_.effectiveForeColour(r, c), pal);
        painter->save();
        painter->fillRect(option.rect, back);
        painter->setPen(fore);
        painter->setFont(option.font);
        const QString text = index.data(Qt::DisplayRole).toString();
        const auto align = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
        painter->setClipRect(option.rect);
        painter->drawText(option.rect.adjusted(3, 0, -3, 0), int(align), text);
        if (current) {
            QPen pen(fore);
            pen.setStyle(Qt::DotLine);
            painter->setPen(pen);
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

private:
    const Grid& grid_;
    const QtGridModel& model_;
};
}  // namespace

// ---- model -----------------------------------------------------------------

QtGridModel::QtGridModel(Grid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {
    header_ = grid.fixedRows() > 0 ? 1 : 0;
    rows_ = std::max(0, grid.rows() - header_);
    cols_ = grid.cols();
}

int QtGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int QtGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant QtGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
    const int r = gridRow(index.row());
    const int c = index.column();
    switch (role) {
        case Qt::DisplayRole: return toQString(grid_.textMatrix(r, c));
        case Qt::ForegroundRole: return toQColor(grid_.effectiveForeColour(r, c));
        case Qt::BackgroundRole: return toQColor(grid_.effectiveBackColour(r, c));
        case Qt::TextAlignmentRole: {
            const Alignment a = grid_.isFixed(r, c) ? grid_.fixedAlignment(c) : grid_.colAlignment(c);
            return int(toQtAlignment(a, toQString(grid_.textMatrix(r, c))));
        }
        case Qt::FontRole:
            if (grid_.font()) return toQFont(*grid_.font());
            return {};
        default: return {};
    }
}

QVariant QtGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || header_ == 0 || section < 0 || section >= cols_) return {};
    switch (role) {
        case Qt::DisplayRole: return toQString(grid_.textMatrix(0, section));
        case Qt::TextAlignmentRole:
            return int(toQtAlignment(grid_.fixedAlignment(section), toQString(grid_.textMatrix(0, section))));
        case Qt::ForegroundRole: return toQColor(grid_.effectiveForeColour(0, section));
        case Qt::BackgroundRole: return toQColor(grid_.effectiveBackColour(0, section));
        case Qt::FontRole:
            if (grid_.font()) return toQFont(*grid_.font());
            return {};
        default: return {};
    }
}

Qt::ItemFlags QtGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void QtGridModel::reshape() {
    beginResetModel();
    header_ = grid_.fixedRows() > 0 ? 1 : 0;
    rows_ = std::max(0, grid_.rows() - header_);
    cols_ = grid_.cols();
    endResetModel();
}

void QtGridModel::cellsChanged() {
    if (rows_ > 0 && cols_ > 0) Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
    if (cols_ > 0) Q_EMIT headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
}

// ---- view ------------------------------------------------------------------

QtGridView::QtGridView(Grid& grid, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(std::make_unique<QtGridModel>(grid)) {
    setModel(model_.get());
    setItemDelegate(new GridDelegate(grid_, *model_, this));
    setSelectionMode(QAbstractItemView::NoSelection);  // the delegate draws the grid's own selection
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setStretchLastSection(false);
    QObject::connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (!index.isValid()) return;
        guarded("grid click", [&] { grid_.click(model_->gridRow(index.row()), index.column()); });
    });
    QObject::connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex&) {
        guarded("grid double click", [this] { grid_.dblClick(); });
    });
    QObject::connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (applying_) return;
        grid_.topRowFromView(model_->gridRow(value));
        applySpans();
    });
    subscription_ = grid.subscribe([this] { sync(grid_.changes()); });
    sync();
}

QtGridView::~QtGridView() {
    subscription_.reset();
    setModel(nullptr);
}

void QtGridView::sync(unsigned changes) {
    if (applying_) return;
    applying_ = true;
    const bool header = (grid_.fixedRows() > 0 ? 1 : 0) != model_->headerRows();
    if ((changes & GridStructure) || header) {
        model_->reshape();
        changes |= GridLayout | GridSelection;
    } else if (changes & (GridCells | GridLayout)) {
        model_->cellsChanged();
    }
    if (changes & (GridLayout | GridStructure)) applyLayout();
    if (changes & GridAppearance) applyAppearance();
    const int top = verticalScrollBar()->value();
    if (changes & GridSelection) applySelection();
    // Last, for the rows in view once the view has its size and top row.
    if ((changes & (GridCells | GridLayout | GridStructure | GridAppearance)) || verticalScrollBar()->value() != top)
        applySpans();
    viewport()->update();
    horizontalHeader()->viewport()->update();
    applying_ = false;
}

void QtGridView::applyLayout() {
    horizontalHeader()->setVisible(model_->headerRows() > 0);
    for (int c = 0; c < grid_.cols(); ++c) {
        const int w = grid_.colWidth(c);
        setColumnHidden(c, w == 0);
        if (w != 0) setColumnWidth(c, twipsToPixelsX(w < 0 ? kDefaultColumnTwips : w, this));
    }
    // Every row has the default height but those given their own: the screen's
    // resolution is looked up once, not once a row.
    const int defaultTwips = grid_.defaultRowHeight();
    const int defaultPixels = std::max(1, twipsToPixelsY(defaultTwips, this));
    verticalHeader()->setDefaultSectionSize(defaultPixels);
    for (int r = model_->headerRows(); r < grid_.rows(); ++r) {
        const int twips = grid_.rowHeight(r);
        const int h = twips == defaultTwips ? defaultPixels : std::max(1, twipsToPixelsY(twips, this));
        if (rowHeight(model_->tableRow(r)) != h) setRowHeight(model_->tableRow(r), h);
    }
    if (model_->headerRows() > 0) horizontalHeader()->setFixedHeight(std::max(1, twipsToPixelsY(grid_.rowHeight(0), this)));
}

// Only the rows in view, and a page above and below, are merged: the spans are
// found again as the view scrolls or grows, so a change of a cell costs the rows
// shown, not the whole list (a minute's countdowns write a cell a row).
void QtGridView::applySpans() {
    clearSpans();
    if (grid_.mergeCells() == MergeCells::Never || model_->rowCount() == 0) return;
    const int page = std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
    const int top = std::max(0, verticalScrollBar()->value());
    const int from = model_->gridRow(std::max(0, top - page));
    const int to = model_->gridRow(std::min(model_->rowCount() - 1, top + 2 * page));
    for (int c = 0; c < grid_.cols(); ++c) {
        if (!grid_.mergeCol(c)) continue;
        for (int r = from; r <= to;) {
            const MergeSpan span = grid_.mergedSpan(r, c);
            const int first = std::max(span.firstRow, model_->headerRows());
            const int count = span.firstRow + span.rowCount - first;
            if (count > 1) setSpan(model_->tableRow(first), c, count, 1);
            r = first + std::max(1, count);
        }
    }
}

void QtGridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (!applying_) applySpans();
}

void QtGridView::applyAppearance() {
    QPalette p = palette();
    p.setColor(QPalette::Base, toQColor(grid_.backColour(), QApplication::palette()));
    p.setColor(QPalette::Text, toQColor(grid_.foreColour(), QApplication::palette()));
    setPalette(p);
    if (grid_.font()) setFont(toQFont(*grid_.font()));
    setEnabled(grid_.enabled());
    setVisible(grid_.visible());
    if (!grid_.toolTip().empty()) setToolTip(toQString(grid_.toolTip()));
    if (grid_.hasGeometry()) {
        const QRect r = toPixels(grid_.geometry(), this);
        if (geometry() != r) setGeometry(r);
    }
}

void QtGridView::applySelection() {
    const int r = model_->tableRow(grid_.row());
    if (r >= 0 && r < model_->rowCount() && grid_.col() >= 0) {
        selectionModel()->setCurrentIndex(model_->index(r, grid_.col()), QItemSelectionModel::NoUpdate);
    } else {
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    const int top = model_->tableRow(grid_.topRow());
    if (top >= 0 && top < model_->rowCount()) verticalScrollBar()->setValue(top);
}

void QtGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (applying_ || !current.isValid()) return;
    guarded("grid cell", [&] { grid_.setCurrentCell(model_->gridRow(current.row()), current.column()); });
}

void QtGridView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    guarded("grid focus", [this] { grid_.gotFocus(); });
}

void QtGridView::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    guarded("grid focus", [this] { grid_.lostFocus(); });
}

}  // namespace wendra::ui::qt
