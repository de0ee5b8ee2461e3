#include "store/clsDataQVR.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/clock/Clock.h"
#include "platform/db/AccessSql.h"
#include "platform/db/Schema.h"
#include "store/iCalData.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

constexpr std::string_view kEventColumns =
    "UniDesc,AllDayEvent,EventDate, ViewFromDate"
    ",PriorWarning, AutoDelete, iCalData, HiddenList, DescExceptions, hasExceptions"
    ",CreatorID,LastModified,Created, MSOCreated";

// The trimming of identities and keys: blanks only, as the stored ids were always
// trimmed; a TAB is part of an id.
std::string trimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return std::string(s.substr(b, e - b));
}

// A whole number of a record, whatever its size: nzInt stops at 16 bits, keys and
// calendar ids do not.
std::optional<std::int64_t> integerOf(const db::Value& v) {
    if (const auto* i = std::get_if<std::int64_t>(&v)) return *i;
    if (const auto* s = std::get_if<std::string>(&v)) return clsDataQVR::toEventKey(*s);
    return std::nullopt;
}

// The earliest date an event may carry; older rows come from damaged files.
DateTime floorTo1601(DateTime d) {
    const DateTime floor = DateTime::ymd(1601, 1, 1);
    return compareDates(d, floor) == DateOrder::Earlier ? floor : d;
}

bool isNewEvent(const clsCalEvent& ev) {
    const std::string id = trimBlanks(ev.WendraWinId());
    return id.empty() || id == "-1";
}

// The key of a stored event; nullopt for a new event or a key that is no number,
// neither of which has a row.
std::optional<EventKey> keyOf(const clsCalEvent& ev) {
    if (isNewEvent(ev)) return std::nullopt;
    return clsDataQVR::toEventKey(ev.WendraWinId());
}

std::string num(std::int64_t n) { return std::to_string(n); }

// The links' foreign ids compare exactly: the column was made to ignore case, and
// a device whose ids "ab6" and "AB6" are two events would have them taken for one.
// The first test keeps the column's index of use, the second decides.
std::string xidIs(std::string_view xid) {
    const std::string q = sqlQuote(xid);
    return "XID = " + q + " AND XID = " + q + " COLLATE BINARY";
}

bool requestsRemoval(const clsCalEvent& ev) {
    return ev.UpdateRequest() == clsCalEvent::kRequestDeleteEvent ||
           ev.UpdateRequest() == clsCalEvent::kRequestHideEvent || isNullDate(ev.ViewFromDate());
}

// The rule column of an event without its excluded dates, in the writer's own
// form, so that two columns written at different times compare as texts.
std::string rulesWithoutExDates(std::string_view storedColumn) {
    clsCalEvent parsed;
    parseICalData(parsed, storedColumn);
    return makeiCalData(parsed, false);
}

}  // namespace

// ---- options -------------------------------------------------------------------

StoreOptions StoreOptions::mainProgram(std::string programFolder, StoreHost* host, SyncItemSink* syncItems) {
    StoreOptions o;
    o.dataFolder = std::move(programFolder);
    o.host = host;
    o.syncItems = syncItems;
    return o;
}

StoreOptions StoreOptions::gadgetLibrary() {
    StoreOptions o;
    o.updateMSOCreated = false;
    return o;
}

// ---- cursor ----------------------------------------------------------------------

clsCalEvent EventCursor::current() const {
    clsCalEvent ev(clsDataQVR::kLocalCalendarId);
    clsDataQVR::eventFromRecord(ev, rows_, defaultPriorWarning_);
    return ev;
}

clsCalEvent EventCursor::GetFirstEvent() {
    if (rows_.recordCount() > 0) rows_.moveFirst();
    return current();
}

clsCalEvent EventCursor::GetNextEvent() {
    rows_.moveNext();
    return current();
}

// ---- connection, schema and SQL values ---------------------------------------------

clsDataQVR::clsDataQVR(const clsSettings& settings, StoreOptions options)
    : settings_(settings), options_(std::move(options)) {}

std::string clsDataQVR::connectionText() const {
    std::string folder = options_.dataFolder.empty() ? settings_.DataDir() : options_.dataFolder;
    // A ";" in the folder would end the value; braces keep it whole.
    if (folder.find(';') != std::string::npos && folder.find('}') == std::string::npos) folder = "{" + folder + "}";
    return "driver=Microsoft Access Driver (*.mdb)"
           ";UID=admin"
           ";FIL=MS Access"
           ";DefaultDir=" +
           folder + ";DBQ=" + db::kDatabaseFileName;
}

bool clsDataQVR::OpenData() {
    connection_.setBusyTimeout(options_.busyTimeout);
    // A file without the four tables (cut to nothing, or another file under the
    // name) is refused untouched: working on it would end in an empty store.
    return connection_.open(connectionText(), db::schemaTables());
}

bool clsDataQVR::updateTables() {
    // Decided from the table's own column list: a probe query that fails for any
    // other reason (a locked or damaged file) must not reset the codes of every
    // event. The list is read from the rows of table_info, which are fetched after
    // the connection has caught up with a change of the schema by the other program.
    const auto hasAutoDelete = [this]() -> std::optional<bool> {
        db::RecordSet rs;
        if (!openRecordset("PRAGMA table_info(Events)", &rs)) return std::nullopt;  // no table, or no answer
        for (; !rs.eof(); rs.moveNext())
            if (toUpper(nzString(rs.value("name"))) == "AUTODELETE") return true;
        return false;
    };
    const auto before = hasAutoDelete();
    if (!before) return false;
    if (*before) return true;
    // The other program may be starting too: look again under the write lock, so that
    // only one of them adds the column and gives the events their code.
    if (!beginTrans()) return false;
    const auto underLock = hasAutoDelete();
    bool ok = underLock.has_value();
    if (ok && !*underLock) {
        ok = executeSql("ALTER TABLE Events ADD COLUMN AutoDelete varchar(1)") &&
             executeSql("UPDATE Events SET AutoDelete='M'");
    }
    const bool ended = endTrans(ok);
    return ok && ended;
}

bool clsDataQVR::executeSql(std::string_view sql, db::RecordSet* rs) {
    auto result = connection_.execute(sql);
    if (!result) return false;
    if (rs) *rs = std::move(*result);
    return true;
}

bool clsDataQVR::openRecordset(std::string_view sql, db::RecordSet* rs) {
    db::RecordSet local;
    if (!executeSql(sql, &local)) return false;
    const bool hasRows = !(local.bof() && local.eof());
    if (rs) *rs = std::move(local);
    return hasRows;
}

bool clsDataQVR::beginTrans() {
    // Within a held transaction that the database has not undone by itself.
    if (held_ > 0 && connection_.inTransaction()) {
        if (!connection_.beginPart()) return false;
        ++parts_;
        return true;
    }
    return connection_.beginTrans();
}

// A commit that fails is rolled back by the connection and answered here, so that
// no operation reports a change that is not in the file.
bool clsDataQVR::endTrans(bool commit) {
    if (parts_ > 0) {
        --parts_;
        return connection_.endPart(commit);
    }
    return connection_.endTrans(commit);
}

bool clsDataQVR::holdTransaction() {
    if (held_ > 0) {
        ++held_;
        return true;
    }
    if (!connection_.isOpen() || connection_.inTransaction() || !connection_.beginTrans()) return false;
    held_ = 1;
    return true;
}

bool clsDataQVR::releaseTransaction(bool commit) {
    if (held_ == 0) return false;
    if (--held_ > 0) return true;
    // The database may have undone it by itself (a full disk): nothing is left to end.
    if (!connection_.inTransaction()) return false;
    return connection_.endTrans(commit);
}

std::string_view clsDataQVR::eventColumnList() { return kEventColumns; }

std::string clsDataQVR::sqlText(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') --end;
    return sqlQuote(text.substr(0, end));
}

std::string clsDataQVR::sqlDate(DateTime d) { return db::dateLiteral(d); }

std::string clsDataQVR::shortMonthName(int month) {
    static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12) return {};
    return kMonths[static_cast<std::size_t>(month - 1)];
}

std::optional<EventKey> clsDataQVR::toEventKey(std::string_view text) {
    const std::string t = trimBlanks(text);
    if (t.empty()) return std::nullopt;
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (*first == '+') {
        ++first;
        if (first == last || *first < '0' || *first > '9') return std::nullopt;
    }
    EventKey value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    return value;
}

// ---- saving and deleting events -------------------------------------------------------

int clsDataQVR::priorWarningValue(const clsCalEvent& ev) const {
    return ev.PriorWarningIsDefault() ? -1 : ev.PriorWarning();
}

std::string clsDataQVR::eventValues(const clsCalEvent& ev, int creator) const {
    return sqlText(toUtf8Hex(ev.Description())) + "," + sqlBool(ev.AllDayEvent()) + "," + sqlDate(ev.EventStart()) +
           "," + sqlDate(ev.ViewFromDate()) + "," + num(priorWarningValue(ev)) + "," + sqlText(ev.AutoDelete()) + "," +
           sqlQuote(makeiCalData(ev, true)) + "," + sqlQuote(ev.HiddenList()) + "," + sqlQuote(ev.DescExceptions()) +
           "," + sqlBool(ev.hasExceptions()) + "," + num(creator) + "," + sqlDate(ev.LastModified()) + "," +
           sqlDate(ev.Created()) + "," + sqlDate(ev.MSOCreated());
}

bool clsDataQVR::Save(clsCalEvent& ev, SaveMode mode) {
    ev.CalcRRuleDurations();
    if (ev.UpdateRequest() != clsCalEvent::kRequestHideEvent) ev.setViewFromDate(ev.calcNextViewDate());
    ev.CleanHiddenList();
    // Asked before any write begins, and only where an update may follow: the owner
    // may register the Outlook calendar with this store to answer, and a registration
    // inside an update that is then rolled back would leave it holding an id the
    // file does not keep.
    const bool mayUpdate = !isNewEvent(ev) || !ev.XID().empty();
    const std::optional<int> outlookCalendar = mayUpdate ? outlookCalendarOfUpdates() : std::nullopt;
    bool result = false;
    if (isNewEvent(ev) && !ev.XID().empty()) {
        // The lookup of the foreign id and the insert go under one write lock: the
        // other program saving the same foreign event meanwhile would otherwise find
        // no link either, and the id would end up linked to two events.
        const std::string previousKey = ev.WendraWinId();
        result = writeTransaction([&] {
            ev.setWendraWinId(findIdByXID(ev.XCalendarId(), ev.XID()));
            return isNewEvent(ev) ? insertRow(ev) : updateRow(ev, mode, outlookCalendar);
        });
        if (!result) ev.setWendraWinId(previousKey);
    } else {
        result = isNewEvent(ev) ? insertEvent(ev) : updateEvent(ev, mode, outlookCalendar);
    }
    // The row is written first and removed afterwards, so that its links record the
    // event's last state; the answer is then the removal's.
    if (requestsRemoval(ev)) result = DeleteEvent(ev);
    return result;
}

std::string clsDataQVR::findIdByXID(int calendarId, std::string_view xid) {
    db::RecordSet rs;
    if (!openRecordset("SELECT WendraWinId FROM XDATA WHERE " + xidIs(xid) + " AND XCalendarId=" +
                           num(calendarId) + " AND (Status=0 OR isnull(Status) )",
                       &rs))
        return {};
    return nzString(rs.value("WendraWinId"));
}

bool clsDataQVR::writeTransaction(const std::function<bool()>& work) {
    if (!beginTrans()) return false;
    const bool ok = work();
    const bool ended = endTrans(ok);
    return ok && ended;
}

bool clsDataQVR::insertEvent(clsCalEvent& ev) {
    const std::string previousKey = ev.WendraWinId();
    const bool ok = writeTransaction([&] { return insertRow(ev); });
    // A key of a row that was rolled back would make the next save an update of
    // nothing: the event stays new.
    if (!ok) ev.setWendraWinId(previousKey);
    return ok;
}

bool clsDataQVR::insertRow(clsCalEvent& ev) {
    if (isNullDate(ev.LastModified())) {
        const DateTime t = now();
        ev.setLastModified(t);
        ev.setCreated(t);
    }
    bool ok = executeSql("INSERT INTO events (" + std::string(kEventColumns) + ") VALUES (" +
                         eventValues(ev, ev.XCalendarId()) + ")");
    if (ok) {
        // The key the row was given; keys are never reused, so it names this row only.
        const std::int64_t key = connection_.lastInsertId();
        ok = key > 0;
        if (ok) ev.setWendraWinId(num(key));
    }
    if (ok && !ev.XID().empty() && ev.XCalendarId() != kLocalCalendarId) ok = insertXData(ev);
    return ok;
}

std::optional<int> clsDataQVR::outlookCalendarOfUpdates() {
    if (!options_.updateMSOCreated || !options_.host || !settings_.ModeOutlook()) return std::nullopt;
    return options_.host->OutlookCalendarId();
}

bool clsDataQVR::updateEvent(clsCalEvent& ev, SaveMode mode, std::optional<int> outlookCalendar) {
    if (!keyOf(ev)) return false;
    return writeTransaction([&] { return updateRow(ev, mode, outlookCalendar); });
}

bool clsDataQVR::updateRow(clsCalEvent& ev, SaveMode mode, std::optional<int> outlookCalendar) {
    const auto key = keyOf(ev);
    if (!key) return false;
    const std::string where = " WHERE WendraWinID=" + num(*key);

    // The stored time is read under the write lock, so the other program cannot
    // write a newer row between this test and the update. A row that is newer is
    // left as it is, and that is no failure.
    if (mode == SaveMode::UnlessStoredNewer || mode == SaveMode::IfNewer) {
        DateTime stored = DateTime::ymd(1900, 1, 1);
        db::RecordSet rs;
        if (openRecordset("SELECT LastModified FROM Events" + where, &rs)) stored = nzDate(rs.value("LastModified"));
        const std::int64_t newer = ev.LastModified().seconds() - stored.seconds();
        if (newer < (mode == SaveMode::IfNewer ? 1 : 0)) return true;
    }
    bool ok = ArchiveEvent(ev.WendraWinId(), false);
    if (ok) {
        std::string sql = "UPDATE events SET " + getEventDetail(ev) + ",LastModified=" + sqlDate(ev.LastModified());
        if (outlookCalendar && *outlookCalendar != kLocalCalendarId && *outlookCalendar == ev.XCalendarId())
            sql += ",MSOCreated=" + sqlDate(ev.Created());
        db::RecordSet rs;
        // No row changed: the event was deleted meanwhile, and the edit is not stored.
        ok = executeSql(sql + where, &rs) && rs.recordsAffected() > 0;
    }
    if (ok && ev.XCalendarId() != kLocalCalendarId) ok = UpdateAddXData(ev, std::nullopt);
    return ok;
}

std::string clsDataQVR::getEventDetail(const clsCalEvent& ev) const {
    return "UniDesc=" + sqlText(toUtf8Hex(ev.Description())) + ",AllDayEvent=" + sqlBool(ev.AllDayEvent()) +
           ",EventDate=" + sqlDate(ev.EventStart()) + ",ViewFromDate=" + sqlDate(ev.ViewFromDate()) +
           ",iCalData=" + sqlQuote(makeiCalData(ev, true)) + ",HiddenList=" + sqlQuote(ev.HiddenList()) +
           ",DescExceptions=" + sqlQuote(ev.DescExceptions()) + ",hasExceptions=" + sqlBool(ev.hasExceptions()) +
           ",PriorWarning=" + num(priorWarningValue(ev)) + ",AutoDelete=" + sqlText(ev.AutoDelete());
}

bool clsDataQVR::storeMSOCreatedTime(const clsCalEvent& ev, DateTime t) {
    const auto key = keyOf(ev);
    if (!key) return false;
    db::RecordSet rs;
    return executeSql("UPDATE events SET MSOCreated=" + sqlDate(t) + " WHERE WendraWinID=" + num(*key), &rs) &&
           rs.recordsAffected() > 0;
}

bool clsDataQVR::DeleteEvent(clsCalEvent& ev) {
    const auto key = keyOf(ev);
    if (!key) return false;
    const std::string id = num(*key);
    const int status = (ev.UpdateRequest() == clsCalEvent::kRequestDeleteEvent ||
                        ev.UpdateRequest() == clsCalEvent::kRequestDeleteOccurrence)
                           ? kLinkDeleted
                           : kLinkHidden;
    if (!beginTrans()) return false;
    bool ok = ArchiveEvent(ev.WendraWinId(), true);
    // The links stay, with their new status, so that the next synchronisation tells
    // the foreign calendar; a row or link already gone counts as removed.
    if (ok) ok = executeSql("DELETE FROM events WHERE WendraWinID =" + id);
    if (ok)
        ok = executeSql("UPDATE xdata SET Status = " + num(status) + " ,LastModified = " + sqlDate(now()) +
                        " WHERE WendraWinID =" + id);
    if (ok) ok = executeSql("DELETE * FROM SyncRecord WHERE WendraWinID =" + id);
    const bool ended = endTrans(ok);
    return ok && ended;
}

bool clsDataQVR::isDuplicate(const clsCalEvent& ev, clsCalEvent& dup, std::optional<EventKey> other) {
    // Equal rule texts only: a one-off event's empty rules are no part of a
    // repeating event's.
    const std::string rules = makeiCalData(ev, false);
    db::RecordSet rs;
    std::string sql = "SELECT * FROM Events WHERE EventDate=" + sqlDate(ev.EventStart()) +
                      " AND   UniDesc=" + sqlText(toUtf8Hex(ev.Description()));
    if (other) sql += " AND WendraWinID <> " + num(*other);
    if (!openRecordset(sql, &rs))
        return false;
    if (rulesWithoutExDates(nzString(rs.value("iCalData"))) != rules) return false;
    bool answer = eventFromRecord(dup, rs);
    rs.moveNext();
    // Two stored events of the same day and text are never taken for one.
    if (!rs.eof()) answer = false;
    return answer;
}

bool clsDataQVR::ArchiveEvent(std::string_view, bool) { return true; }

bool clsDataQVR::eventFromRecord(clsCalEvent& ev, const db::RecordSet& rs, int defaultPriorWarning) {
    ev = clsCalEvent(kLocalCalendarId);
    if (rs.bof() || rs.eof()) return false;
    ev.setDescription(fromUtf8Hex(nzString(rs.value("UniDesc"))));
    ev.setEventStart(floorTo1601(nzDate(rs.value("EventDate"))));
    ev.setAllDayEvent(nzBool(rs.value("AllDayEvent")));
    ev.setViewFromDate(floorTo1601(nzDate(rs.value("ViewFromDate"))));
    const int priorWarning = nzInt(rs.value("PriorWarning"), -1);
    ev.setPriorWarningIsDefault(priorWarning == -1);
    ev.setPriorWarning(priorWarning == -1 ? defaultPriorWarning : priorWarning);
    ev.setAutoDelete(nzString(rs.value("AutoDelete")));
    ev.setWendraWinId(nzString(rs.value("WendraWinID")));
    ev.setCreated(nzDate(rs.value("Created")));
    ev.setMSOCreated(nzDate(rs.value("MSOCreated")));
    ev.setLastModified(nzDate(rs.value("LastModified")));
    ev.setHiddenList(nzString(rs.value("HiddenList")));
    ev.setDescExceptions(nzString(rs.value("DescExceptions")));
    parseICalData(ev, nzString(rs.value("iCalData")));
    ev.setHasExceptions(nzBool(rs.value("hasExceptions")));
    ev.setIsRecurring(ev.RRulesCount() > 0);
    return true;
}

bool clsDataQVR::eventFromRecord(clsCalEvent& ev, const db::RecordSet& rs) const {
    return eventFromRecord(ev, rs, settings_.PriorWarning());
}

// ---- event queries and cursors ------------------------------------------------------

std::optional<EventCursor> clsDataQVR::eventQuery(const std::string& sql) {
    db::RecordSet rs;
    if (!executeSql(sql, &rs)) return std::nullopt;
    // The default is read once a query: it is the same for every row of one list.
    return EventCursor(std::move(rs), settings_.PriorWarning());
}

std::optional<EventCursor> clsDataQVR::reminderEvents(int daysAhead) {
    std::string sql = "SELECT * FROM events";
    if (daysAhead < maxInteger()) sql += " WHERE ViewFromDate <= " + sqlDate(today().addDays(daysAhead));
    // The key orders events of the same date, so a list comes out the same every time.
    sql += " ORDER BY eventdate, WendraWinID";
    return eventQuery(sql);
}

std::optional<EventCursor> clsDataQVR::syncEvents() {
    return eventQuery("SELECT * FROM Events ORDER BY eventdate, WendraWinID");
}

int clsDataQVR::longestPriorWarning() {
    db::RecordSet rs;
    if (!openRecordset("SELECT max(PriorWarning) AS Longest FROM Events", &rs)) return 0;
    return std::max(0, nzInt(rs.value("Longest"), 0));
}

bool clsDataQVR::SelectReminderEvents(int daysAhead) {
    events_ = reminderEvents(daysAhead);
    return events_ && !events_->EndOfEvents();
}

bool clsDataQVR::SelectSyncEvents() {
    events_ = syncEvents();
    return events_.has_value();
}

std::optional<clsCalEvent> clsDataQVR::GetFirstEvent() {
    if (!events_) return std::nullopt;
    return events_->GetFirstEvent();
}

std::optional<clsCalEvent> clsDataQVR::GetNextEvent() {
    if (!events_) return std::nullopt;
    return events_->GetNextEvent();
}

bool clsDataQVR::EndOfEvents() const { return !events_ || events_->EndOfEvents(); }

void clsDataQVR::closeEvents() { events_.reset(); }

bool clsDataQVR::Find(clsCalEvent& ev, int calendarId, std::string_view id) {
    if (calendarId == kLocalCalendarId) {
        const auto key = toEventKey(id);
        return key && Find(ev, *key);
    }
    db::RecordSet rs;
    // More than one live link to the foreign id makes the subquery, and so the
    // statement, fail: such an id names no one event.
    if (!openRecordset("SELECT * FROM events WHERE WendraWinID=(SELECT WendraWinID FROM XData WHERE " +
                           xidIs(id) + " AND XCalendarId=" + num(calendarId) + " AND (Status=0 OR isnull(Status) ))",
                       &rs))
        return false;
    return eventFromRecord(ev, rs);
}

bool clsDataQVR::Find(clsCalEvent& ev, EventKey key) {
    db::RecordSet rs;
    if (!openRecordset("SELECT * FROM events WHERE WendraWinID=" + num(key), &rs)) return false;
    return eventFromRecord(ev, rs);
}

// ---- foreign calendars -------------------------------------------------------------------

int clsDataQVR::RegisterXCalendar(std::string& name) {
    std::string identity = trimBlanks(name);
    if (identity.empty()) identity = std::string(kUnnamedCalendar);
    name = identity;
    const std::string where = " WHERE UniqueID = " + sqlQuote(identity);
    const auto lookUp = [&]() -> int {
        db::RecordSet rs;
        if (!openRecordset("SELECT * FROM XCalendar" + where, &rs)) return 0;
        const auto id = integerOf(rs.value("XCalendarID"));
        return id && *id > 0 && *id <= INT32_MAX ? static_cast<int>(*id) : 0;
    };
    if (const int id = lookUp()) return id;
    // The insert fails when the other program registered the same identity since the
    // lookup (the identity is unique); the second lookup then finds its row.
    executeSql("INSERT INTO XCalendar (UniqueID) VALUES (" + sqlQuote(identity) + ")");
    return lookUp();
}

bool clsDataQVR::hasXData(int calendarId) {
    return openRecordset("SELECT * FROM XData WHERE XCalendarId = " + num(calendarId));
}

std::optional<clsDataQVR::LinkRow> clsDataQVR::findLink(std::optional<EventKey> key, int calendarId,
                                                        std::string_view xid) {
    std::string sql = "SELECT rowid AS LinkRow, * FROM XData WHERE XCalendarId = " + num(calendarId);
    sql += key ? " AND WendraWinId = " + num(*key) : " AND " + xidIs(xid);
    // A foreign id may be held by a live link and by stale ones of events deleted
    // here: the live link names the event, then the newest.
    db::RecordSet rs;
    if (!openRecordset(sql + " ORDER BY (Status = 0 OR isnull(Status)) DESC, rowid DESC", &rs)) return std::nullopt;
    const auto rowid = integerOf(rs.value("LinkRow"));
    if (!rowid) return std::nullopt;
    LinkRow link;
    link.rowid = *rowid;
    link.status = nzInt(rs.value("Status"), kLinkLive);
    link.key = integerOf(rs.value("WendraWinId"));
    return link;
}

int clsDataQVR::getXDataStatus(std::optional<EventKey>& key, int calendarId, std::string_view xid) {
    const auto link = findLink(key, calendarId, xid);
    if (!link) return kNoLink;
    if (!key) key = link->key;
    return link->status;
}

int clsDataQVR::getXDataStatus(std::string& key, int calendarId, std::string_view xid) {
    std::optional<EventKey> k;
    if (!trimBlanks(key).empty()) {
        k = toEventKey(key);
        if (!k) return kNoLink;
    }
    const bool byForeignId = !k;
    const int status = getXDataStatus(k, calendarId, xid);
    if (byForeignId && status != kNoLink) key = k ? num(*k) : std::string();
    return status;
}

bool clsDataQVR::UpdateAddXData(clsCalEvent& ev, std::optional<int> status) {
    // A new event is linked by its foreign id; a key that is no number links nothing.
    std::optional<EventKey> key;
    if (!isNewEvent(ev)) {
        key = toEventKey(ev.WendraWinId());
        if (!key) return false;
    }
    const auto link = findLink(key, ev.XCalendarId(), ev.XID());
    if (!link) return insertXData(ev);
    if (!key) ev.setWendraWinId(link->key ? num(*link->key) : std::string());
    return updateXData(ev, status, link->rowid, key.has_value());
}

bool clsDataQVR::insertXData(const clsCalEvent& ev) {
    const auto key = keyOf(ev);
    if (!key) return false;
    return executeSql("INSERT INTO XData (XCalendarID, XID, WendraWinID, Status, LastModified, SyncFound) VALUES (" +
                      num(ev.XCalendarId()) + "," + sqlQuote(ev.XID()) + "," + num(*key) + ",0," +
                      sqlDate(ev.LastModified()) + "," + sqlBool(true) + ")");
}

bool clsDataQVR::updateXData(const clsCalEvent& ev, std::optional<int> status, std::int64_t rowid,
                             bool foundByKey) {
    std::string sql = "UPDATE XData SET LastModified = " + sqlDate(ev.LastModified()) + ", SyncFound = " + sqlBool(true);
    // A link found by its event records the event's current foreign id, which may
    // have changed since the link was written.
    if (foundByKey && !ev.XID().empty()) sql += ", XID = " + sqlQuote(ev.XID());
    if (ev.UpdateRequest() == clsCalEvent::kRequestHideEvent) sql += ", Status = " + num(kLinkHidden);
    else if (status) sql += ", Status = " + num(*status);
    // The row that was found, and no other: an update by foreign id could reach a
    // stale link of another event and make it live again.
    db::RecordSet rs;
    return executeSql(sql + " WHERE rowid = " + num(rowid), &rs) && rs.recordsAffected() > 0;
}

bool clsDataQVR::setSyncFound(int calendarId, bool found, std::optional<EventKey> key) {
    std::string sql = "UPDATE XData SET SyncFound = " + sqlBool(found) + " WHERE XCalendarID = " + num(calendarId);
    if (key) sql += " AND WendraWinId = " + num(*key);
    return executeSql(sql);
}

bool clsDataQVR::setSyncFoundByXID(int calendarId, std::string_view xid) {
    return executeSql("UPDATE XData SET SyncFound = " + sqlBool(true) + " WHERE XCalendarID = " + num(calendarId) +
                      " AND " + xidIs(xid));
}

std::string clsDataQVR::getXID(int calendarId, EventKey key) {
    db::RecordSet rs;
    if (!openRecordset("SELECT XID FROM XData WHERE XCalendarID = " + num(calendarId) + " AND WendraWinID = " +
                           num(key) + " AND (Status = 0 OR isnull(Status) )",
                       &rs))
        return {};
    return nzString(rs.value("XID"));
}

bool clsDataQVR::addSyncRecord(int calendarId, clsCalEvent& ev, bool confirmed) {
    const auto key = keyOf(ev);
    if (!key) return false;
    if (isNullDate(ev.LastModified())) {
        const DateTime t = now();
        ev.setLastModified(t);
        ev.setCreated(t);
    }
    const std::string copy = " WHERE WendraWinId = " + num(*key) + "   AND XCalendarId = " + num(calendarId);
    if (!beginTrans()) return false;
    // The old copy goes only together with the new one going in: one copy per event
    // and calendar, and the older copy stays when the new one cannot be written.
    bool ok = executeSql("DELETE * FROM SyncRecord" + copy);
    if (ok)
        ok = executeSql("INSERT INTO SyncRecord ( SyncConfirmed,  WendraWinId,  XCalendarId, " +
                        std::string(kEventColumns) + ") VALUES (" + sqlBool(confirmed) + "," + num(*key) + "," +
                        num(calendarId) + "," + eventValues(ev, calendarId) + ")");
    const bool ended = endTrans(ok);
    return ok && ended;
}

bool clsDataQVR::confirmSyncRecord(const clsCalEvent& ev) {
    const auto key = keyOf(ev);
    if (!key) return false;
    const std::string copy = " WHERE WendraWinId = " + num(*key) + "   AND XCalendarId = " + num(ev.XCalendarId());
    if (!beginTrans()) return false;
    // The confirmed copy is the merge's base: it is replaced only by a copy waiting
    // for confirmation. Confirming twice keeps the base.
    bool ok = true;
    const bool waiting = openRecordset("SELECT * FROM SyncRecord" + copy + "   AND SyncConfirmed = " + sqlBool(false));
    if (waiting) {
        ok = executeSql("DELETE * FROM SyncRecord" + copy + "   AND SyncConfirmed = " + sqlBool(true)) &&
             executeSql("UPDATE SyncRecord SET SyncConfirmed = " + sqlBool(true) + copy);
    } else {
        ok = openRecordset("SELECT * FROM SyncRecord" + copy + "   AND SyncConfirmed = " + sqlBool(true));
    }
    const bool ended = endTrans(ok);
    return ok && ended;
}

bool clsDataQVR::getSyncRecord(clsCalEvent& ev, int calendarId, EventKey key) {
    ev = clsCalEvent(kLocalCalendarId);
    db::RecordSet rs;
    if (!openRecordset("SELECT * FROM SyncRecord WHERE XCalendarId = " + num(calendarId) +
                           " AND WendraWinId = " + num(key),
                       &rs))
        return false;
    return eventFromRecord(ev, rs);
}

bool clsDataQVR::DeleteSyncEvents(int calendarId) {
    db::RecordSet links;
    if (!executeSql("SELECT * FROM XData WHERE XCalendarId = " + num(calendarId) +
                        "   AND SyncFound = " + sqlBool(false),
                    &links))
        return false;
    bool allSaved = true;
    // The links were read into memory: each save below runs statements and
    // transactions of its own meanwhile.
    for (; !links.eof(); links.moveNext()) {
        const auto key = integerOf(links.value("WendraWinId"));
        clsCalEvent ev(kLocalCalendarId);
        // Links of events deleted here find nothing and are passed over.
        if (!key || !Find(ev, *key)) continue;
        ev.setUpdateRequest(settings_.DeleteSetting() != 0 ? clsCalEvent::kRequestDeleteEvent
                                                           : clsCalEvent::kRequestHideEvent);
        if (!options_.host) continue;
        if (options_.host->doSave(ev, SaveMode::Always, false) == SaveResult::StoreFailed) allSaved = false;
        options_.host->ListShowDeleted(ev.WendraWinId());
    }
    return allSaved;
}

bool clsDataQVR::SelectNewToMobile(int calendarId) {
    db::RecordSet rs;
    // A link without an event key would make NOT IN answer no row at all.
    if (!executeSql("SELECT * FROM Events WHERE WendraWinId NOT IN (SELECT WendraWinID FROM XData    WHERE "
                    "XCalendarId = " +
                        num(calendarId) + " AND NOT isnull(WendraWinID)) ORDER BY eventdate, WendraWinID",
                    &rs))
        return false;
    const int defaultPriorWarning = settings_.PriorWarning();
    for (; !rs.eof(); rs.moveNext()) {
        clsCalEvent ev(kLocalCalendarId);
        eventFromRecord(ev, rs, defaultPriorWarning);
        const std::string& key = ev.WendraWinId();
        const std::string request =
            tagText(Tag::Req) + "Add" + tagText(Tag::End) + tagText(Tag::Id) + key + tagText(Tag::End) + ev.GridKey();
        if (options_.syncItems) options_.syncItems->addSyncItem(request, key);
    }
    return true;
}

}  // namespace wendra
