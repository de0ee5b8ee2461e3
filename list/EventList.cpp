#include "list/EventList.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>

#include "list/Countdown.h"
#include "platform/clock/Clock.h"
#include "platform/clock/Names.h"
#include "platform/text/Text.h"
#include "store/clsCalRRule.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

constexpr std::string_view kMarkerSample = "****";
constexpr std::array<std::string_view, 5> kHeadings = {"Days To", "Description", "Time", "Date", "Day"};

// Calendar days from one date to another's, negative into the past.
std::int64_t daysBetween(DateTime from, DateTime to) { return to.dayNumber() - from.dayNumber(); }

// The names of the months and weekdays in the user's language, read once for each
// language the names are asked in: every row takes two of them.
struct DayNames {
    std::string language;
    std::array<std::string, 12> months;
    std::array<std::string, 7> weekdays;
};
const DayNames& dayNames() {
    static DayNames names{"(not read)", {}, {}};
    const char* current = std::setlocale(LC_TIME, nullptr);
    const std::string_view language = current != nullptr ? current : "";
    if (names.language != language) {
        names.language = language;
        for (int m = 1; m <= 12; ++m) names.months[std::size_t(m - 1)] = monthName(m, true);
        for (int d = 1; d <= 7; ++d) names.weekdays[std::size_t(d - 1)] = weekdayName(d, true);
    }
    return names;
}
const std::string& monthAbbrev(int month) { return dayNames().months[std::size_t(std::clamp(month, 1, 12) - 1)]; }
const std::string& weekdayAbbrev(int weekday) {
    return dayNames().weekdays[std::size_t(std::clamp(weekday, 1, 7) - 1)];
}

std::string dateText(DateTime d) {
    return twoDigits(d.day()) + "-" + monthAbbrev(d.month()) + "-" + twoDigits(d.year() % 100);
}

// The order texts of the sort key: four-digit years so that every row sorts by time.
std::string sortStamp(DateTime d, bool withTime) {
    std::string s = padZeros(d.year(), 4) + twoDigits(d.month()) + twoDigits(d.day());
    if (withTime) s += twoDigits(d.hour()) + twoDigits(d.minute()) + twoDigits(d.second());
    return s;
}

bool sameEvent(const std::optional<long long>& a, const std::optional<long long>& b) { return a && b && *a == *b; }

// Saves and restores the status text around a piece of work.
class StatusScope {
public:
    StatusScope(ListHost& host, std::string_view text) : host_(host), saved_(host.statusText()) {
        host_.setStatusText(std::string(text));
    }
    ~StatusScope() { host_.setStatusText(saved_); }
    StatusScope(const StatusScope&) = delete;
    StatusScope& operator=(const StatusScope&) = delete;

private:
    ListHost& host_;
    std::string saved_;
};

// Switches the grid's redraw off and puts the previous state back.
class RedrawOff {
public:
    explicit RedrawOff(ListGrid& grid) : grid_(grid), was_(grid.redraw()) { grid_.setRedraw(false); }
    ~RedrawOff() { grid_.setRedraw(was_); }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    ListGrid& grid_;
    bool was_;
};

// Shows the hourglass for the outermost piece of work only.
class BusyScope {
public:
    BusyScope(ListHost& host, int& depth) : host_(host), depth_(depth) {
        if (depth_++ == 0) host_.setBusy(true);
    }
    ~BusyScope() {
        if (--depth_ == 0) host_.setBusy(false);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    ListHost& host_;
    int& depth_;
};

}  // namespace

// ---- texts -----------------------------------------------------------------

namespace listtext {
std::string noEvents(int days) { return "No events within " + std::to_string(days) + " days"; }
std::string pastEvents(int count) { return std::to_string(count) + (count == 1 ? " past event" : " past events"); }
}  // namespace listtext

std::optional<long long> keyEventId(std::string_view key) {
    const auto id = clsDataQVR::toEventKey(gridKeyValue(key, Tag::Id));
    if (!id) return std::nullopt;
    return static_cast<long long>(*id);
}

std::string rowKeyDescription(std::string_view key) {
    std::string text = gridKeyValue(key, Tag::OcDesc);
    if (text.empty()) text = gridKeyValue(key, Tag::Desc);
    return text;
}

std::optional<RowOccurrence> keyRowOccurrence(std::string_view key) {
    const std::string occr = gridKeyValue(key, Tag::Occr);
    if (occr.empty()) return std::nullopt;
    const auto when = parseICalDateTime(occr);
    if (!when) return std::nullopt;
    const bool allDay = occr.find('T') == std::string::npos;
    return RowOccurrence{allDay ? when->date() : *when, allDay};
}

// ---- the list ----------------------------------------------------------------

// The rows of one changed event while its occurrences are placed.
struct EventList::ChangedEvent {
    struct Shown {
        int row;
        std::optional<RowOccurrence> occurrence;
        bool marked;
        bool written;
    };
    std::optional<long long> id;
    std::vector<Shown> rows;
};

EventList::EventList(ListGrid& grid, const clsSettings& settings, clsDataQVR& store, ListHost& host,
                     ListOptions options)
    : grid_(grid), settings_(settings), store_(store), host_(host), options_(std::move(options)) {}

int EventList::defaultPriorWarning() const {
    if (work_) return work_->priorWarning;
    return std::max(0, options_.defaultPriorWarning.value_or(settings_.PriorWarning()));
}

int EventList::priorWarningOf(const clsCalEvent& ev) const {
    if (ev.PriorWarningIsDefault() || ev.PriorWarning() < 0) return defaultPriorWarning();
    return ev.PriorWarning();
}

// ---- requests and their guard ----------------------------------------------

void EventList::refreshList() { submit({Request::Kind::Refresh, {}}); }

void EventList::updateList(const std::string& id) {
    if (host_.refreshPending()) return;
    submit({Request::Kind::Update, id});
}

void EventList::ListShowDeleted(const std::string& id) { submit({Request::Kind::ShowDeleted, id}); }

void EventList::submit(Request request) {
    if (busy_) {
        // The running request takes it when it ends; the same request twice shows
        // the same state twice, so it waits once.
        if (std::find(queue_.begin(), queue_.end(), request) == queue_.end()) queue_.push_back(std::move(request));
        return;
    }
    busy_ = true;
    struct Clear {
        EventList& list;
        ~Clear() { list.busy_ = false; }
    } clear{*this};
    run(request);
    while (!queue_.empty()) {
        const Request next = queue_.front();
        queue_.pop_front();
        run(next);
    }
}

std::int64_t EventList::pastEventHours() const {
    if (work_) return work_->pastHours;
    return std::max<std::int64_t>(0, settings_.PastEventHours());
}

class EventList::WorkScope {
public:
    // The settings read afresh each time (another process may change them) are read
    // once a piece of work: every row asks for them, and each read is a file read.
    explicit WorkScope(EventList& list) : list_(list) {
        list_.work_.reset();
        list_.work_ = WorkSettings{list_.defaultPriorWarning(), list_.pastEventHours()};
    }
    ~WorkScope() { list_.work_.reset(); }
    WorkScope(const WorkScope&) = delete;
    WorkScope& operator=(const WorkScope&) = delete;

private:
    EventList& list_;
};

void EventList::run(const Request& request) {
    const WorkScope work(*this);
    switch (request.kind) {
        case Request::Kind::Refresh: rebuild(); break;
        case Request::Kind::Update: update(request.id); break;
        case Request::Kind::ShowDeleted: showDeleted(request.id); break;
    }
}

// ---- full rebuild ------------------------------------------------------------

void EventList::rebuild() {
    BusyScope busy(host_, workDepth_);
    host_.saveWindowSettings();
    int top = -1;
    std::string key;
    if (grid_.rows() > 0) {
        top = grid_.topRow();
        if (grid_.currentRow() >= 0) key = grid_.text(grid_.currentRow(), grdKey);
    }
    {
        RedrawOff off(grid_);
        folded_.clear();
        initGrid();
        const bool headings = options_.windowRows && settings_.ViewHeadings();
        if (headings) addHeadingRow();
        // The rows are gathered, put in order and then written, so the grid's own
        // sort finds them in order.
        struct Every final : ListRows {
            std::vector<RowCells> rows;
            bool wants(std::string_view) override { return true; }
            void add(RowCells&& cells) override { rows.push_back(std::move(cells)); }
            void expect(std::size_t more) override { rows.reserve(rows.size() + more); }
        } every;
        gatherRows(every);
        std::vector<RowCells>& rows = every.rows;
        const auto col = std::size_t(sortColumn());
        // Compared once folded to lower case, so that the sort compares bytes.
        std::vector<std::string> folded(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) folded[i] = lowerAscii(rows[i].text[col]);
        std::vector<std::size_t> order(rows.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            const int c = folded[a].compare(folded[b]);
            return c != 0 ? c < 0 : compareNoCase(rows[a].text[grdKey], rows[b].text[grdKey]) < 0;
        });
        // Each row's texts go over to the grid and its sort text goes, so the list
        // is never held twice.
        for (std::size_t i : order) {
            std::string().swap(folded[i]);
            writeRow(std::move(rows[i]));
        }
        std::vector<RowCells>().swap(rows);
        if (headings) {
            // The placeholder stays only when nothing else came.
            if (grid_.rows() - grid_.fixedRows() > 1) grid_.removeRow(1);
        } else if (options_.windowRows && grid_.rows() == 0) {
            grid_.setText(grid_.appendRow(), grdSubject, listtext::noEvents(settings_.PriorWarning()));
        }
        applyMergeSettings();
        host_.collectTimedRows();
        host_.layoutForm();
    }
    reselectRow(key, top);
    grid_.setCurrentCol(grdSubject);
    // The rows are new even where the current row kept its index: the commands and
    // the current row's mark follow it again.
    host_.gridRowChanged();
}

void EventList::gatherRows(ListRows& rows) {
    collecting_ = &rows;
    struct Reset {
        ListRows*& p;
        ~Reset() { p = nullptr; }
    } reset{collecting_};
    loadReminderEvents();
    if (pastCount() > 0) {
        RowCells cells = pastEventsCells(pastCount());
        if (rows.wants(cells.text[grdSortKey])) rows.add(std::move(cells));
    }
}

void EventList::collectRows(ListRows& rows) {
    const WorkScope work(*this);
    folded_.clear();
    gatherRows(rows);
}

void EventList::initGrid() {
    grid_.setBackColour(viewAll_ ? listcolours::viewAllBackground : listcolours::background);
    grid_.reset(kListColumns);
    setColumnWidths();
    setColumnAlignments();
    host_.gridInitialised();
}

void EventList::addHeadingRow() {
    const int r = grid_.appendRow();
    for (int c = grdWendra; c <= grdDayofWeek; ++c) grid_.setText(r, c, std::string(kHeadings[std::size_t(c - grdWendra)]));
    grid_.setText(grid_.appendRow(), grdSubject, listtext::noEvents(settings_.PriorWarning()));
    grid_.setFixedRows(1);
}

std::string EventList::noEventsText() const { return "\t\t\t\t" + listtext::noEvents(settings_.PriorWarning()); }

void EventList::loadReminderEvents() {
    StatusScope status(host_, listtext::retrieving);
    // Every event that can come into view: an event with a longer warning of its
    // own than the default is due sooner, and a view date later on the last day is
    // still on that day (the store compares with the day's start); the walk below
    // leaves out what is not due.
    int days = maxInteger();
    if (!viewAll_) days = std::max({defaultPriorWarning(), 9, store_.longestPriorWarning()}) + 1;
    auto cursor = store_.reminderEvents(days);
    if (!cursor) return;
    // Room for the rows a rebuild gathers, at once rather than doubling from one
    // row (each doubling copies every row into fresh memory): a few rows an event
    // is the usual; a room never filled costs no memory, as its pages stay untouched.
    if (collecting_ != nullptr) collecting_->expect(std::size_t(cursor->count()) * 8);
    for (clsCalEvent ev = cursor->GetFirstEvent(); !cursor->EndOfEvents(); ev = cursor->GetNextEvent())
        addEventOccurrences(ev);
}

void EventList::addEventOccurrences(clsCalEvent& ev) {
    const DateTime day = today();
    const DateTime from = ev.ViewFromDate().isNull() ? day : ev.ViewFromDate();
    DateTime to = day.addDays(priorWarningOf(ev));
    // A changed event not due yet still shows its next occurrence, marked "+", so
    // that the user sees the save took; the next rebuild leaves it out again.
    const bool nextOnly = from.date() > to && !viewAll_ && ev.Modified() && changed_ != nullptr;
    if (from.date() > to && !viewAll_ && !nextOnly) return;
    if (nextOnly) {
        // Reduced to that one occurrence for the walk; this copy is never saved.
        to = from;
        ev.setEventStart(ev.ViewFromDate());
        ev.setIsRecurring(false);
    }
    if (viewAll_) {
        // One row an event, at its view date; the window reaches that date even
        // when it lies beyond the prior warning.
        ev.setIsRecurring(false);
        ev.setEventStart(ev.ViewFromDate());
        ev.setHiddenList({});
        ev.setExDates({});
        if (from.date() > to) to = from;
    }
    RedrawOff off(grid_);
    ev.generateOccurs(from, to);
    for (ev.firstOccur(); !ev.endOfOccurs(); ev.nextOccur()) {
        // The reduced copy is not the event: nothing of it deletes itself.
        if (!viewAll_ && !nextOnly && autoDeleteOccurrence(ev)) continue;
        if (ev.Modified() && changed_ != nullptr)
            placeChangedOccurrence(ev, nextOnly);
        else
            addOccurrenceRow(ev, -1);
        if (viewAll_) break;
    }
}

// A changed event's occurrences are placed by the same rules as a rebuild's, so
// an update shows what a rebuild of the same store shows, but for the next
// occurrence of a changed event not due yet.
EventList::Placement EventList::placementOf(const clsCalEvent& ev) const {
    const DateTime d = ev.OccurDate();
    const DateTime present = now();
    const std::int64_t days = daysBetween(present, d);
    // An all-day occurrence counts as not passed all its day.
    const std::int64_t minutes = ev.AllDayOccur() ? 1 : minuteBoundaries(present, d);
    const std::int64_t pastHours = pastEventHours();
    if (shrinkPast_ && !(minutes > -60 * pastHours && days >= 0)) return Placement::Fold;
    if (days > 0 && days > priorWarningOf(ev) && !viewAll_) return Placement::Drop;
    return Placement::Row;
}

std::string EventList::sortKeyFor(const clsCalEvent& ev) const {
    const DateTime d = ev.OccurDate();
    std::string key = ev.AllDayOccur() ? sortStamp(d, false) + "999999" : sortStamp(d, true);
    key += ev.OccurDesc();
    key += '\t';
    return key;
}

RowCells EventList::cellsFor(const clsCalEvent& ev) const { return cellsFor(ev, sortKeyFor(ev)); }

RowCells EventList::cellsFor(const clsCalEvent& ev, std::string sortKey) const {
    RowCells cells;
    const DateTime d = ev.OccurDate();
    const bool allDay = ev.AllDayOccur();
    const std::string desc = ev.OccurDesc();
    auto& t = cells.text;
    t[grdKey] = ev.GridKey();
    t[grdSortKey] = std::move(sortKey);
    t[grdModified] = ev.Modified() ? "+" : "";
    t[grdTime] = allDay ? "     " : formatTimeHM(d);
    t[grdDate] = dateText(d);
    t[grdDayofWeek] = settings_.ViewDayOfWeek() != -1 ? weekdayAbbrev(d.weekday()) : "";
    cells.occurrence = {d, allDay};

    const std::int64_t days = daysBetween(today(), d);
    std::string daysTo;
    std::string longDesc;
    if (days < 0) {
        daysTo = std::to_string(days);
        longDesc = days == -1 ? "1 day past, " + desc : std::to_string(-days) + " days past, " + desc;
        cells.kind = RowCells::Kind::Past;
    } else if (days == 0 && allDay) {
        daysTo = "*";
        longDesc = "Today is " + desc;
        cells.kind = RowCells::Kind::TodayPending;
    } else if (days == 0) {
        daysTo = countdown::formatTimeTo(now(), d);
        const bool passed = countdown::isPassed(daysTo);
        longDesc = countdown::longDescription(daysTo, desc);
        cells.kind = passed ? RowCells::Kind::TodayPassed : RowCells::Kind::TodayPending;
    } else {
        daysTo = std::to_string(days);
        longDesc = "Only " + std::to_string(days) + (days == 1 ? " day" : " days") + " to " + desc;
        cells.kind = RowCells::Kind::Future;
    }
    t[grdWendra] = daysTo;
    t[grdSubject] = settings_.ViewLongDesc() ? longDesc : desc;
    return cells;
}

int EventList::addOccurrenceRow(clsCalEvent& ev, int row) {
    switch (placementOf(ev)) {
        case Placement::Fold: fold(ev); return -1;
        case Placement::Drop: return -1;
        case Placement::Row: break;
    }
    if (row < 0 && collecting_ != nullptr) {
        std::string key = sortKeyFor(ev);
        if (collecting_->wants(key)) collecting_->add(cellsFor(ev, std::move(key)));
        return -1;
    }
    return writeRow(cellsFor(ev), row);
}

int EventList::writeRow(RowCells&& cells, int row) {
    const RowCells::Kind kind = cells.kind;
    const int r = setRowCells(std::move(cells), row);
    colourRow(r, kind);
    return r;
}

int EventList::setRowCells(const RowCells& cells, int row) { return setRowCells(RowCells(cells), row); }

int EventList::setRowCells(RowCells&& cells, int row) {
    if (row < 0) row = grid_.appendRow();
    // A row written again shows nothing of what it showed before.
    grid_.resetColours(row);
    const bool keyed = !cells.text[grdKey].empty();
    const bool changed = cells.text[grdModified] == "+";
    for (int c = 0; c < kListColumns; ++c) grid_.takeText(row, c, std::move(cells.text[std::size_t(c)]));
    if (!keyed)
        grid_.setOccurrence(row, std::nullopt);
    else
        grid_.setOccurrence(row, cells.occurrence);
    if (changed) {
        grid_.setColours(row, grdModified, listcolours::white, listcolours::blue);
        widenMarkerColumn();
    }
    setColumnAlignments();
    return row;
}

void EventList::colourRow(int row, RowCells::Kind kind) {
    using K = RowCells::Kind;
    switch (kind) {
        case K::Past:
            grid_.setColours(row, grdWendra, listcolours::white, listcolours::red);
            grid_.setColours(row, grdSubject, listcolours::red, std::nullopt);
            break;
        case K::TodayPending:
            grid_.setColours(row, grdWendra, listcolours::blue, std::nullopt);
            grid_.setColours(row, grdSubject, listcolours::blue, std::nullopt);
            break;
        case K::TodayPassed:
            grid_.setColours(row, grdWendra, listcolours::red, std::nullopt);
            grid_.setColours(row, grdSubject, listcolours::red, std::nullopt);
            break;
        case K::Future:
            grid_.setColours(row, grdWendra, listcolours::black, listcolours::green);
            grid_.setColours(row, grdSubject, listcolours::black, std::nullopt);
            break;
    }
}

void EventList::widenMarkerColumn() { grid_.setColWidth(grdModified, grid_.textWidth(kMarkerSample)); }

RowCells EventList::pastEventsCells(int count) {
    RowCells cells;
    cells.text[grdSortKey] = "0";
    cells.text[grdWendra] = "-";
    cells.text[grdSubject] = listtext::pastEvents(count);
    cells.kind = RowCells::Kind::Past;  // white on red, and a red text
    return cells;
}

int EventList::addPastEventsRow(int count, int row) {
    const RowCells cells = pastEventsCells(count);
    const int r = setRowCells(cells, row);
    colourRow(r, cells.kind);
    return r;
}

void EventList::fold(const clsCalEvent& ev) {
    folded_.push_back({ev.WendraWinId(), {ev.OccurDate(), ev.AllDayOccur()}, ev.GridKey()});
}

bool EventList::autoDeleteOccurrence(clsCalEvent& ev) {
    if (ev.AutoDelete() == "M") return false;
    // Only a count of days deletes; anything else (a negative count among it,
    // which would reach into the future) deletes nothing.
    const int n = toIntOrDefault(ev.AutoDelete(), -1);
    if (n < 0) return false;
    if (daysBetween(now(), ev.OccurDate()) > -n) return false;
    const bool whole = ev.endOfOccurs() || !ev.IsRecurring();
    ev.MarkDelete(whole, ev.OccurDate(), ev.AllDayOccur());
    return options_.saveDeletion ? options_.saveDeletion(ev) : store_.Save(ev, SaveMode::Always);
}

// ---- columns, order and merging ------------------------------------------------

void EventList::setColumnWidths() {
    grid_.setColWidth(grdKey, 0);
    grid_.setColWidth(grdSortKey, 0);
    grid_.setColWidth(grdModified, 0);
    applyColumnSettings();
    int rest = grid_.width();
    for (int c : {grdWendra, grdTime, grdDate, grdDayofWeek}) rest -= grid_.colWidth(c);
    grid_.setColWidth(grdSubject, rest < 300 ? 500 : rest);
    grid_.repaint();
}

void EventList::applyColumnSettings() {
    struct Column {
        int col;
        std::int32_t setting;
        std::string_view sample;
    };
    const Column columns[] = {{grdDate, settings_.ViewDate(), "DD/MMM/YY"},
                              {grdDayofWeek, settings_.ViewDayOfWeek(), "WEDx"},
                              {grdTime, settings_.ViewTime(), "HH:NN"},
                              {grdWendra, settings_.ViewWendra(), "DAYS TO"}};
    for (const auto& c : columns) {
        // An automatic column (-9) fits its texts in the font of now. So does a
        // stored width too narrow for them (an automatic width kept from a smaller
        // font), and one this list found automatic before, while what is stored is
        // what it saw then or the width it gave (which the window stores): so the
        // widths follow a font change at once, either way, and after a restart.
        const int fit = std::max(fittedWidth(c.col), grid_.textWidth(c.sample) + kListCellMargin);
        AutomaticWidth& last = automaticWidths_[std::size_t(c.col)];
        const bool kept = last.automatic && (c.setting == last.setting || c.setting == last.width);
        const bool automatic = c.setting == -9 || (c.setting > 0 && (c.setting <= fit || kept));
        int width = 0;
        if (automatic)
            width = fit;
        else if (c.setting > 0)
            width = c.setting;  // -1 hides the column, and so does a damaged negative value
        last.setting = c.setting;
        last.automatic = automatic;
        last.width = width;
        grid_.setColWidth(c.col, width);
    }
}

int EventList::fittedWidth(int col) const {
    std::vector<std::string> texts;
    if (col >= grdWendra && col <= grdDayofWeek) texts.emplace_back(kHeadings[std::size_t(col - grdWendra)]);
    switch (col) {
        case grdWendra:
            // Countdowns of a day either way, the longest day counts, the marks.
            for (const std::int64_t minutes : {24 * 60 - 1, -(2 * 60 - 1), -59, -(24 * 60 - 1), 0})
                texts.push_back(countdown::countdownText(minutes));
            texts.insert(texts.end(), {"-99999", "99999", "*", "-"});
            break;
        case grdTime: texts.insert(texts.end(), {"00:00", "23:59"}); break;
        case grdDate:
            for (int m = 1; m <= 12; ++m) texts.push_back(dateText(DateTime::ymd(2088, m, 28)));
            break;
        case grdDayofWeek:
            for (int d = 1; d <= 7; ++d) texts.push_back(weekdayAbbrev(d));
            break;
        default: break;
    }
    int widest = 0;
    for (const std::string& t : texts) widest = std::max(widest, grid_.textWidth(t));
    return widest + kListCellMargin;
}

void EventList::setColumnAlignments() {
    for (int c : {grdModified, grdWendra, grdDate, grdDayofWeek}) grid_.setColAlignment(c, ui::Alignment::CenterCenter);
    for (int c : {grdSubject, grdTime}) grid_.setColAlignment(c, ui::Alignment::LeftCenter);
}

int EventList::sortColumn() const { return viewAllByDescription_ ? grdSubject : grdSortKey; }

void EventList::sortRows() {
    if (grid_.rows() > 0) grid_.sortRows(sortColumn());
}

void EventList::applyMergeSettings() {
    sortRows();
    grid_.setMergeFree();
    grid_.setMergeCol(grdDate, settings_.MergeDates());
    grid_.setMergeCol(grdDayofWeek, settings_.MergeDaysOfWeek());
    grid_.setMergeCol(grdWendra, settings_.MergeWendra());
}

// ---- incremental update ------------------------------------------------------

void EventList::update(const std::string& id) {
    BusyScope busy(host_, workDepth_);
    StatusScope status(host_, listtext::updating);
    int top = -1;
    std::string key;
    if (grid_.rows() > 0) {
        top = grid_.topRow();
        if (grid_.currentRow() >= 0) key = grid_.text(grid_.currentRow(), grdKey);
    }
    host_.gridLeaveCell();
    {
        RedrawOff off(grid_);
        clsCalEvent ev;
        if (store_.Find(ev, store_.CalendarId(), id)) {
            const clsCalRRule* first = ev.RRule(1);
            const bool dense = first != nullptr &&
                               (first->Frequency() == clsCalRRule::kWeekly || first->Frequency() == clsCalRRule::kDaily);
            if (ev.IsRecurring() && settings_.PriorWarning() > 365 && dense)
                rebuild();  // hundreds of rows: a rebuild is cheaper
            else
                addChangedEvent(std::move(ev));
        } else {
            highlightEventRows(id);
        }
        if (settings_.MergeDates()) grid_.setMergeCol(grdDate, true);
        if (settings_.MergeDaysOfWeek()) grid_.setMergeCol(grdDayofWeek, true);
        if (settings_.MergeWendra()) grid_.setMergeCol(grdWendra, true);
        removePlaceholder();
        // The rows written go where a rebuild would put them.
        sortRows();
        host_.collectTimedRows();
    }
    grid_.repaint();
    host_.gridRowChanged();
    host_.layoutForm();
    reselectRow(key, top);
}

void EventList::addChangedEvent(clsCalEvent ev) {
    ev.setModified(true);
    RedrawOff off(grid_);
    ChangedEvent changed;
    changed.id = clsDataQVR::toEventKey(ev.WendraWinId());
    for (int r = grid_.fixedRows(); r < grid_.rows(); ++r) {
        if (sameEvent(keyEventId(grid_.text(r, grdKey)), changed.id))
            changed.rows.push_back({r, grid_.occurrence(r), isMarked(r), false});
    }
    // The event's folded occurrences are folded again as its walk meets them;
    // those it no longer meets are gone.
    const int before = pastCount();
    dropFolded(ev.WendraWinId());
    changed_ = &changed;
    struct Reset {
        ChangedEvent*& p;
        ~Reset() { p = nullptr; }
    } reset{changed_};
    addEventOccurrences(ev);
    // Every row of the event that this walk did not write shows what no longer is.
    for (const auto& shown : changed.rows)
        if (!shown.written && !shown.marked) markRow(shown.row);
    if (pastCount() != before) showPastCount();
}

void EventList::placeChangedOccurrence(clsCalEvent& ev, bool beyondWindow) {
    ChangedEvent& changed = *changed_;
    const RowOccurrence occurrence{ev.OccurDate(), ev.AllDayOccur()};
    switch (placementOf(ev)) {
        case Placement::Fold: fold(ev); return;
        case Placement::Drop:
            if (!beyondWindow) return;
            break;
        case Placement::Row: break;
    }
    const RowCells cells = cellsFor(ev);
    // The row that shows this occurrence already: a live one before a marked one.
    ChangedEvent::Shown* target = nullptr;
    for (auto& shown : changed.rows) {
        if (shown.written || shown.occurrence != occurrence) continue;
        if (!shown.marked) {
            target = &shown;
            break;
        }
        if (target == nullptr) target = &shown;
    }
    if (target != nullptr) {
        if (!target->marked && rowsSame(target->row, cells)) {
            target->written = true;  // it shows this occurrence as it is
            return;
        }
        setRowCells(cells, target->row);
        colourRow(target->row, cells.kind);
        target->written = true;
        target->marked = false;
        return;
    }
    const int r = setRowCells(cells, -1);
    colourRow(r, cells.kind);
    changed.rows.push_back({r, occurrence, false, true});
}

bool EventList::rowsSame(int row, const RowCells& cells) const {
    for (int c = 0; c < kListColumns; ++c) {
        if (c == grdModified) continue;
        if (grid_.text(row, c) != cells.text[std::size_t(c)]) return false;
    }
    return true;
}

void EventList::highlightEventRows(const std::string& id) {
    RedrawOff off(grid_);
    const auto key = clsDataQVR::toEventKey(id);
    for (int r = grid_.fixedRows(); r < grid_.rows(); ++r) {
        if (!isMarked(r) && sameEvent(keyEventId(grid_.text(r, grdKey)), key)) markRow(r);
    }
    if (dropFolded(id) > 0) showPastCount();
}

int EventList::dropFolded(const std::string& id) {
    const auto key = clsDataQVR::toEventKey(id);
    return static_cast<int>(
        std::erase_if(folded_, [&](const FoldedOccurrence& f) { return sameEvent(clsDataQVR::toEventKey(f.id), key); }));
}

void EventList::markRow(int row) {
    grid_.setText(row, grdModified, "X");
    widenMarkerColumn();
    grid_.setColours(row, grdModified, listcolours::white, listcolours::markerBack);
    for (int c = 0; c < kListColumns; ++c) {
        if (c != grdModified && !grid_.mergeCol(c)) grid_.setColours(row, c, listcolours::markedText, std::nullopt);
    }
}

// The past-events row follows the folded count: rewritten, or gone with the
// last folded occurrence, as a rebuild would show it.
void EventList::showPastCount() {
    const int r = pastEventsRow();
    if (pastCount() > 0) {
        addPastEventsRow(pastCount(), r);
        return;
    }
    if (r < 0) return;
    if (!options_.windowRows || grid_.rows() - grid_.fixedRows() > 1) {
        grid_.removeRow(r);
        return;
    }
    RowCells placeholder;
    placeholder.text[grdSubject] = listtext::noEvents(settings_.PriorWarning());
    setRowCells(placeholder, r);
}

int EventList::pastEventsRow() const {
    auto isPast = [&](int r) { return grid_.text(r, grdKey).empty() && grid_.text(r, grdSortKey) == "0"; };
    const int first = grid_.fixedRows();
    if (first < grid_.rows() && isPast(first)) return first;
    for (int r = first + 1; r < grid_.rows(); ++r)
        if (isPast(r)) return r;
    return -1;
}

bool EventList::isPlaceholderRow(int row) const {
    return row >= grid_.fixedRows() && row < grid_.rows() && grid_.text(row, grdKey).empty() &&
           grid_.text(row, grdSortKey).empty() && startsWith(grid_.text(row, grdSubject), "No events");
}

bool EventList::isOccurrenceRow(int row) const { return grid_.occurrence(row).has_value(); }

void EventList::removePlaceholder() {
    int placeholder = -1;
    bool live = false;
    for (int r = grid_.fixedRows(); r < grid_.rows(); ++r) {
        if (isPlaceholderRow(r))
            placeholder = r;
        else if (!isMarked(r))
            live = true;
    }
    if (live) {
        if (placeholder >= 0) grid_.removeRow(placeholder);
        return;
    }
    // Rows marked "X" alone show nothing that is: the list says so, as a rebuild would.
    if (placeholder < 0 && options_.windowRows) {
        RowCells cells;
        cells.text[grdSubject] = listtext::noEvents(settings_.PriorWarning());
        setRowCells(cells, -1);
    }
}

void EventList::showDeleted(const std::string& id) {
    StatusScope status(host_, listtext::updating);
    BusyScope busy(host_, workDepth_);
    {
        RedrawOff off(grid_);
        highlightEventRows(id);
    }
    grid_.repaint();
}

std::string EventList::rowKeyValue(int row) const { return rowKeyDescription(grid_.text(row, grdKey)); }

// ---- selection -----------------------------------------------------------------

std::optional<std::string> EventList::selectedKey() const {
    const int r = grid_.currentRow();
    if (r < 0) return std::nullopt;
    return grid_.text(r, grdKey);
}

void EventList::reselectRow(const std::string& key, int topRow) {
    const auto when = parseICalDateTime(gridKeyValue(key, Tag::Occr));
    if (!when) return;
    {
        const DateTime day = when->date();
        const std::string id = gridKeyValue(key, Tag::Id);
        // The same occurrence still live, else a live row of the event on that
        // day, else a marked one.
        int best = -1;
        int bestRank = 0;
        for (int r = grid_.fixedRows(); r < grid_.rows() && bestRank < 3; ++r) {
            const auto o = grid_.occurrence(r);
            if (!o || o->when.date() != day) continue;
            const std::string rowKey = grid_.text(r, grdKey);
            if (gridKeyValue(rowKey, Tag::Id) != id) continue;
            const int rank = isMarked(r) ? 1 : (rowKey == key ? 3 : 2);
            if (rank > bestRank) {
                best = r;
                bestRank = rank;
            }
        }
        if (best >= 0) grid_.setCurrentRow(best);
    }
    if (topRow >= 0 && topRow <= grid_.currentRow()) grid_.setTopRow(topRow);
}

}  // namespace wendra
