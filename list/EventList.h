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
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "list/ListGrid.h"
#include "platform/clock/DateTime.h"
#include "store/clsCalEvent.h"

namespace wendra {

class clsDataQVR;
class clsSettings;

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
    // The rows only a window shows: the heading row (when the settings ask for it)
    // and the placeholder "No events within N days" in a list without rows. The
    // gadget's page writes its own heading and its own line for an empty list.
    bool windowRows = true;
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

// Where a rebuild's rows go when they are collected rather than written to the
// grid (collectRows): an owner that shows a few of them keeps those few.
class ListRows {
public:
    virtual ~ListRows() = default;
    // Asked first for every row, in the order the walk meets them (the past-events
    // row last): false leaves the row's other cells unmade.
    virtual bool wants(std::string_view sortKey) = 0;
    // The row of the key last answered true.
    virtual void add(RowCells&& cells) = 0;
    // About how many rows are still to come: an owner that keeps them all makes
    // room at once.
    virtual void expect(std::size_t) {}
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

    // The rows a rebuild makes (the walk with its folding and auto-deletes, and the
    // past-events row), handed to `rows` unordered; the grid is left alone.
    void collectRows(ListRows& rows);

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
    // setRowCells and the colours of the row's kind.
    int writeRow(RowCells&& cells, int row = -1);
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
    // Its sort key alone.
    std::string sortKeyFor(const clsCalEvent& ev) const;
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
    RowCells cellsFor(const clsCalEvent& ev, std::string sortKey) const;
    // The settings a piece of work reads once, for its length.
    class WorkScope;
    // The walk's rows and the past-events row, offered to `rows`.
    void gatherRows(ListRows& rows);
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
    ListRows* collecting_ = nullptr;  // a rebuild's rows, before they are ordered

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

// The occurrence a row key names ("<Occr>": "yyyymmdd" for an all-day one at
// 00:00 of its day, "yyyymmddThhmmss" for a timed one); nullopt when the key holds
// no readable date. The row's date cell is never read back: its two-digit year
// puts 2030 in 1930.
std::optional<RowOccurrence> keyRowOccurrence(std::string_view key);

// The description a row key names: the occurrence's own text, else the event's.
std::string rowKeyDescription(std::string_view key);

}  // namespace wendra
