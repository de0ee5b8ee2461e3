#pragma once

// The reminder list: the rows that the main window's grid and the gadget
// library's in-memory grid show. The rules that turn stored events into rows
// (texts, colours, folding, auto-delete, order) are written once here against a
// small grid interface, ListGrid; each owner adapts its own grid to it and
// states its few differences in ListOptions.
//
// The list keeps the occurrence of every row as data of the row, so nothing
// ever reads a date back from the "dd-mmm-yy" text (which reads 2030 as 1930).

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock/DateTime.h"
#include "platform/ui/Colour.h"
#include "platform/ui/Grid.h"
#include "platform/ui/Services.h"
#include "store/clsCalEvent.h"

namespace wendra {

class clsDataQVR;
class clsSettings;

// Column numbers of the list grid (the gadget library publishes them as eGridCol).
enum GridCol : int {
    grdKey = 0,
    grdSortKey = 1,
    grdModified = 2,
    grdWendra = 3,
    grdSubject = 4,
    grdTime = 5,
    grdDate = 6,
    grdDayofWeek = 7,
};
inline constexpr int kListColumns = 8;
// Room for a cell's margins beside its text (twips), in the grid and in its heading.
inline constexpr int kListCellMargin = 150;

// Colours the list writes (&HBBGGRR).
namespace listcolours {
inline constexpr ui::Colour background = 0x80FFFF;     // light yellow
inline constexpr ui::Colour viewAllBackground = 0xFFFFFF;
inline constexpr ui::Colour white = 0xFFFFFF;
inline constexpr ui::Colour red = 255;
inline constexpr ui::Colour blue = 0xFF0000;
inline constexpr ui::Colour black = 0;
inline constexpr ui::Colour green = 65280;
inline constexpr ui::Colour markedText = 0xC0C0;        // texts of a row marked "X"
inline constexpr ui::Colour markerBack = ui::colours::grayText;  // &H80000011 behind the "X"
}  // namespace listcolours

// The occurrence a row shows.
struct RowOccurrence {
    DateTime when;
    bool allDay = false;
    bool operator==(const RowOccurrence&) const = default;
};

// What the list rules need of a grid. Rows count from 0 and include the fixed
// heading row. The display members have defaults that do nothing, for a grid
// that only keeps texts and colours.
class ListGrid {
public:
    virtual ~ListGrid() = default;

    // ---- rows and cells ----
    virtual int rows() const = 0;
    // No rows, `cols` columns, no fixed rows.
    virtual void reset(int cols) = 0;
    // Appends an empty row; answers its index.
    virtual int appendRow() = 0;
    // The main grid refuses to remove its last non-fixed row; the rules never ask that.
    virtual bool removeRow(int row) = 0;
    virtual std::string text(int row, int col) const = 0;
    virtual void setText(int row, int col, const std::string& text) = 0;
    // The same, handing the text over (a rebuild writes thousands of them).
    virtual void takeText(int row, int col, std::string&& text) { setText(row, col, text); }
    // nullopt is "no colour given": the main grid leaves the cell's colour as it
    // is, the in-memory grid stores Null.
    virtual void setColours(int row, int col, std::optional<ui::Colour> fore, std::optional<ui::Colour> back) = 0;
    // Every cell of the row back to the grid's own colours.
    virtual void resetColours(int row) = 0;
    virtual std::optional<RowOccurrence> occurrence(int row) const = 0;
    virtual void setOccurrence(int row, std::optional<RowOccurrence> when) = 0;
    // Orders the non-fixed rows ascending by the texts of one column.
    virtual void sortRows(int col) = 0;

    // ---- display ----
    virtual int fixedRows() const { return 0; }
    virtual void setFixedRows(int) {}
    virtual void setBackColour(ui::Colour) {}
    virtual bool mergeCol(int) const { return false; }
    virtual void setMergeCol(int, bool) {}
    virtual void setMergeFree() {}
    virtual int width() const { return 0; }  // twips
    virtual int textWidth(std::string_view) const { return 0; }
    virtual int colWidth(int) const { return 0; }
    virtual void setColWidth(int, int) {}
    virtual void setColAlignment(int, ui::Alignment) {}
    virtual bool redraw() const { return true; }
    virtual void setRedraw(bool) {}
    virtual void repaint() {}
    virtual int currentRow() const { return -1; }
    virtual void setCurrentRow(int) {}
    virtual void setCurrentCol(int) {}
    virtual int topRow() const { return 0; }
    virtual bool setTopRow(int) { return false; }
};

// The main window's grid model as a ListGrid. The occurrence is kept in the
// row's data; the order is the rows' sort column ignoring case, equal texts by
// their row key, so a rebuild and an update give the same order.
class UiListGrid final : public ListGrid {
public:
    // Texts are measured in the grid's font, or in `font()` while the grid has none.
    UiListGrid(ui::Grid& grid, const ui::TextMetrics& metrics, std::function<ui::Font()> font = {})
        : grid_(grid), metrics_(metrics), font_(std::move(font)) {}

    int rows() const override { return grid_.rows(); }
    void reset(int cols) override;
    int appendRow() override;
    bool removeRow(int row) override { return grid_.removeItem(row); }
    std::string text(int row, int col) const override { return grid_.textMatrix(row, col); }
    void setText(int row, int col, const std::string& text) override { grid_.setTextMatrix(row, col, text); }
    void takeText(int row, int col, std::string&& text) override { grid_.setTextMatrix(row, col, std::move(text)); }
    void setColours(int row, int col, std::optional<ui::Colour> fore, std::optional<ui::Colour> back) override;
    void resetColours(int row) override;
    std::optional<RowOccurrence> occurrence(int row) const override;
    void setOccurrence(int row, std::optional<RowOccurrence> when) override;
    void sortRows(int col) override;

    int fixedRows() const override { return grid_.fixedRows(); }
    void setFixedRows(int n) override { grid_.setFixedRows(n); }
    void setBackColour(ui::Colour c) override { grid_.setBackColour(c); }
    bool mergeCol(int col) const override { return grid_.mergeCol(col); }
    void setMergeCol(int col, bool on) override { grid_.setMergeCol(col, on); }
    void setMergeFree() override { grid_.setMergeCells(ui::MergeCells::Free); }
    int width() const override { return grid_.width(); }
    int textWidth(std::string_view text) const override;
    int colWidth(int col) const override { return grid_.colWidth(col); }
    void setColWidth(int col, int twips) override { grid_.setColWidth(col, twips); }
    void setColAlignment(int col, ui::Alignment a) override {
        grid_.setColAlignment(col, a);
        grid_.setFixedAlignment(col, a);
    }
    bool redraw() const override { return grid_.redraw(); }
    void setRedraw(bool on) override { grid_.setRedraw(on); }
    void repaint() override { grid_.refresh(); }
    int currentRow() const override { return grid_.row(); }
    void setCurrentRow(int row) override { grid_.setRow(row); }
    void setCurrentCol(int col) override { grid_.setCol(col); }
    int topRow() const override { return grid_.topRow(); }
    bool setTopRow(int row) override { return grid_.setTopRow(row); }

    ui::Grid& grid() { return grid_; }

private:
    ui::Grid& grid_;
    const ui::TextMetrics& metrics_;
    std::function<ui::Font()> font_;
};

// What the list asks of the window that shows it, around its own work. The
// defaults do nothing: the gadget library has no window.
class ListHost {
public:
    virtual ~ListHost() = default;
    virtual void saveWindowSettings() {}
    // The grid was emptied and set up again for a rebuild.
    virtual void gridInitialised() {}
    virtual void layoutForm() {}
    // The countdown rows are found again after every change of the rows.
    virtual void collectTimedRows() {}
    // The grid's handlers: command states for the current row, and leaving the cell.
    virtual void gridRowChanged() {}
    virtual void gridLeaveCell() {}
    virtual std::string statusText() const { return {}; }
    virtual void setStatusText(const std::string&) {}
    // The hourglass while the list works.
    virtual void setBusy(bool) {}
    // While set (an Outlook calendar not yet linked), updates of single events wait
    // for the full rebuild that follows.
    virtual bool refreshPending() const { return false; }
};

// The differences between the two owners of the list.
struct ListOptions {
    // The prior warning of events that take the default: nullopt reads the
    // settings' PriorWarning (the main window); the gadget passes the page's days.
    std::optional<int> defaultPriorWarning;
    // Writes an event that auto-delete marked; true when it was written. Empty:
    // the store's Save with mode 2 (the gadget). The main window saves through doSave.
    std::function<bool(clsCalEvent&)> saveDeletion;
};

// One folded past occurrence: the folded count is the number of these.
struct FoldedOccurrence {
    std::string id;
    RowOccurrence occurrence;
    std::string key;
};

// The eight texts of a row and the colours its kind takes.
struct RowCells {
    enum class Kind { Past, TodayPending, TodayPassed, Future };
    std::array<std::string, kListColumns> text;
    Kind kind = Kind::Future;
    RowOccurrence occurrence;
};

// Texts of the rows that are not occurrences.
namespace listtext {
inline constexpr std::string_view retrieving = "Retrieving events from Wendra (win)....";
inline constexpr std::string_view updating = "Updating list...";
std::string noEvents(int days);      // "No events within N days"
std::string pastEvents(int count);   // "N past events", "1 past event"
}  // namespace listtext

class EventList {
public:
    // The grid, settings, store and host must outlive the list.
    EventList(ListGrid& grid, const clsSettings& settings, clsDataQVR& store, ListHost& host,
              ListOptions options = {});
    EventList(const EventList&) = delete;
    EventList& operator=(const EventList&) = delete;

    // ---- view state ----
    bool viewAll() const { return viewAll_; }
    void setViewAll(bool on) { viewAll_ = on; }
    bool viewAllByDescription() const { return viewAllByDescription_; }
    void setViewAllByDescription(bool on) { viewAllByDescription_ = on; }
    bool shrinkPast() const { return shrinkPast_; }
    void setShrinkPast(bool on) { shrinkPast_ = on; }

    // ---- the three requests ----
    // Each runs at once, or, when one of them is running, after it ends (in the
    // order they came, each request once).
    void refreshList();
    void updateList(const std::string& id);
    void ListShowDeleted(const std::string& id);
    // A request is running (the minute tick leaves the rows alone meanwhile).
    bool listBusy() const { return busy_; }

    // ---- selection ----
    // The key of the current row; nullopt without one.
    std::optional<std::string> selectedKey() const;
    // Selects the row showing the occurrence a remembered key names.
    void reselectRow(const std::string& key, int topRow);

    // ---- rows (the steps of the requests, public for the owners and tests) ----
    void initGrid();
    void addHeadingRow();
    std::string noEventsText() const;  // four TABs and the placeholder text
    // Reads the due events and writes their rows (unsorted).
    void loadReminderEvents();
    void addEventOccurrences(clsCalEvent& ev);
    // Formats the event's current occurrence into `row` (-1 appends) or folds it;
    // the row written, or -1 when it was folded or left out (or, in a rebuild, is
    // held back to be written in order).
    int addOccurrenceRow(clsCalEvent& ev, int row);
    // The row's cells and occurrence; -1 appends. The row written.
    int setRowCells(const RowCells& cells, int row);
    int setRowCells(RowCells&& cells, int row);
    // The past-events row for the count, written at `row` or appended (-1).
    int addPastEventsRow(int count, int row = -1);
    // True when the occurrence was deleted (and saved).
    bool autoDeleteOccurrence(clsCalEvent& ev);
    void setColumnWidths();
    void setColumnAlignments();
    void applyColumnSettings();
    // The width in twips that shows every text a view column can hold (heading,
    // widest date, weekday, time or countdown) whole, in the grid's font.
    int fittedWidth(int col) const;
    void applyMergeSettings();
    void sortRows();
    int sortColumn() const;
    static RowCells pastEventsCells(int count);
    // Writes the rows of a changed event in place, marks what it no longer shows.
    void addChangedEvent(clsCalEvent ev);
    // Marks every row of the event with "X" and drops its folded occurrences.
    void highlightEventRows(const std::string& id);
    void markRow(int row);
    std::string rowKeyValue(int row) const;
    // Removes the placeholder when other rows are there, and brings it back when
    // only rows marked "X" are left.
    void removePlaceholder();

    // ---- what the rows are ----
    int pastCount() const { return static_cast<int>(folded_.size()); }
    const std::vector<FoldedOccurrence>& folded() const { return folded_; }
    int pastEventsRow() const;  // -1 without one
    bool isPlaceholderRow(int row) const;
    bool isOccurrenceRow(int row) const;
    bool isMarked(int row) const { return grid_.text(row, grdModified) == "X"; }
    std::optional<RowOccurrence> rowOccurrence(int row) const { return grid_.occurrence(row); }
    // The cells the event's current occurrence shows, whether or not it gets a row.
    RowCells cellsFor(const clsCalEvent& ev) const;
    int defaultPriorWarning() const;
    std::int64_t pastEventHours() const;
    int priorWarningOf(const clsCalEvent& ev) const;

private:
    struct Request {
        enum class Kind { Refresh, Update, ShowDeleted } kind;
        std::string id;
        bool operator==(const Request&) const = default;
    };
    struct ChangedEvent;
    enum class Placement { Row, Fold, Drop };

    void submit(Request request);
    void run(const Request& request);
    void rebuild();
    void update(const std::string& id);
    void showDeleted(const std::string& id);

    Placement placementOf(const clsCalEvent& ev) const;
    void colourRow(int row, RowCells::Kind kind);
    // beyondWindow: the event's next occurrence, shown although it is not due yet.
    void placeChangedOccurrence(clsCalEvent& ev, bool beyondWindow);
    void fold(const clsCalEvent& ev);
    int dropFolded(const std::string& id);
    void showPastCount();
    bool rowsSame(int row, const RowCells& cells) const;
    void widenMarkerColumn();

    ListGrid& grid_;
    const clsSettings& settings_;
    clsDataQVR& store_;
    ListHost& host_;
    ListOptions options_;

    bool viewAll_ = false;
    bool viewAllByDescription_ = false;
    bool shrinkPast_ = true;
    std::vector<FoldedOccurrence> folded_;
    ChangedEvent* changed_ = nullptr;        // the changed event being placed
    std::vector<RowCells>* pending_ = nullptr;  // a rebuild's rows, before they are ordered

    bool busy_ = false;
    int workDepth_ = 0;  // nested pieces of work show one hourglass
    std::deque<Request> queue_;
    // What the list last decided for each view column: automatic or not, from
    // which stored value, and the width it gave.
    struct AutomaticWidth {
        bool automatic = false;
        std::int32_t setting = 0;
        int width = 0;
    };
    std::array<AutomaticWidth, kListColumns> automaticWidths_{};
    struct WorkSettings {
        int priorWarning;
        std::int64_t pastHours;
    };
    std::optional<WorkSettings> work_;  // while a request runs
};

// The event id a row key names, as the store keys events: nullopt for a key
// without a whole-number id.
std::optional<long long> keyEventId(std::string_view key);

}  // namespace wendra
