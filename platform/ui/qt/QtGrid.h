#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <memory>

#include "platform/ui/Grid.h"

// The grid model drawn by a QTableView: cell colours, the fixed heading row as the
// table's header (so it never scrolls), zero-width columns hidden, equal cells of
// merging columns drawn as one (in the rows in view), column alignment, the current cell and top row in
// both directions, and nothing redrawn while the grid's redraw is off.
namespace wendra::ui::qt {

class QtGridModel final : public QAbstractTableModel {
public:
    explicit QtGridModel(Grid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The first fixed row is the header; every other row is a table row.
    int headerRows() const { return header_; }
    int gridRow(int tableRow) const { return tableRow + header_; }
    int tableRow(int gridRow) const { return gridRow - header_; }

    void reshape();       // rows, columns or the header changed
    void cellsChanged();  // texts, colours or alignment changed

private:
    Grid& grid_;
    int rows_ = 0;
    int cols_ = 0;
    int header_ = 0;
};

class QtGridView final : public QTableView {
public:
    explicit QtGridView(Grid& grid, QWidget* parent = nullptr);
    ~QtGridView() override;

    Grid& grid() const { return grid_; }
    QtGridModel* gridModel() const { return model_.get(); }
    // Applies what changed (GridChange bits), everything by default.
    void sync(unsigned changes = GridEverything);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyLayout();
    void applySelection();
    void applyAppearance();
    void applySpans();
    Grid& grid_;
    std::unique_ptr<QtGridModel> model_;
    Subscription subscription_;
    bool applying_ = false;
};

}  // namespace wendra::ui::qt
