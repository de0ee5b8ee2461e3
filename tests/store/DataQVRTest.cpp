// The store over a real database file: what it writes is read back through the
// store and, where the form on disk matters, straight from the file.
#include <gtest/gtest.h>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"
#include <sqlite3.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock/FakeClock.h"
#include "platform/db/Connection.h"
#include "platform/db/Schema.h"
#include "platform/settings/MemorySettingsStore.h"
#include "store/clsDataQVR.h"
#include "store/modFuncs.h"

using namespace wendra;
namespace fs = std::filesystem;

namespace {

DateTime d(int y, int m, int day, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, m, day, h, mi, s); }

const DateTime kNow = d(2024, 3, 5, 14, 7, 9);

// Quotes of both kinds, the date delimiter, a flag word, a TAB, a statement end
// and a comment start: every one of them means something to the SQL dialect.
const std::string kAwkward = "Mum's \"big\" day #1 True; it''s\t* -- done";

using wendra::test::TempFolder;

clsCalEvent oneOff(std::string description, DateTime start, bool allDay = false) {
    clsCalEvent ev;
    ev.setDescription(std::move(description));
    ev.setEventStart(start);
    ev.setAllDayEvent(allDay);
    ev.setLastModified(kNow);
    return ev;
}

clsCalEvent weekly(std::string description, DateTime start, DateTime until) {
    clsCalEvent ev = oneOff(std::move(description), start, true);
    clsCalRRule& r = ev.addRRule();
    r.setFrequency(clsCalRRule::kWeekly);
    r.setDurationUntil(until, true);
    ev.setIsRecurring(true);
    return ev;
}

// The main window as the store sees it: saves through the same store and notes
// what it was asked.
class RecordingHost final : public StoreHost {
public:
    SaveResult doSave(clsCalEvent& ev, SaveMode mode, bool) override {
        requests.push_back(ev.UpdateRequest());
        modes.push_back(mode);
        return store != nullptr && store->Save(ev, SaveMode::Always) ? SaveResult::Saved : SaveResult::StoreFailed;
    }
    void ListShowDeleted(const std::string& id) override { shown.push_back(id); }
    std::optional<int> OutlookCalendarId() override {
        if (whileAsked) whileAsked();
        return outlookCalendar;
    }

    clsDataQVR* store = nullptr;
    std::optional<int> outlookCalendar;
    std::function<void()> whileAsked;
    std::vector<int> requests;
    std::vector<SaveMode> modes;
    std::vector<std::string> shown;
};

class RecordingSink final : public SyncItemSink {
public:
    void addSyncItem(const std::string& item, const std::string& key) override { items.emplace_back(item, key); }
    std::vector<std::pair<std::string, std::string>> items;
};

std::vector<std::string> descriptions(EventCursor cursor) {
    std::vector<std::string> out;
    for (clsCalEvent ev = cursor.GetFirstEvent(); !cursor.EndOfEvents(); ev = cursor.GetNextEvent())
        out.push_back(ev.Description());
    return out;
}

class StoreFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder.path().empty());
        std::string error;
        ASSERT_TRUE(db::createDatabaseFile(file(), &error)) << error;
        ASSERT_TRUE(store.OpenData()) << store.lastError();
        ASSERT_TRUE(raw.openFile(file())) << raw.lastError();
        host.store = &store;
        store.setHost(&host);
    }

    fs::path file() const { return folder.path() / db::kDatabaseFileName; }

    db::RecordSet run(std::string_view sql) {
        auto rs = raw.execute(sql);
        EXPECT_TRUE(rs.has_value()) << sql << "\n" << raw.lastError();
        return rs.value_or(db::RecordSet{});
    }
    db::Value cell(std::string_view sql, std::string_view field) { return run(sql).value(field); }
    std::int64_t count(std::string_view table, std::string_view where = "") {
        std::string sql = "SELECT count(*) AS n FROM " + std::string(table);
        if (!where.empty()) sql += " WHERE " + std::string(where);
        const auto v = cell(sql, "n");
        const auto* n = std::get_if<std::int64_t>(&v);
        return n ? *n : -1;
    }

    EventKey saved(clsCalEvent& ev) {
        EXPECT_TRUE(store.Save(ev, SaveMode::Always)) << store.lastError();
        return clsDataQVR::toEventKey(ev.WendraWinId()).value_or(0);
    }
    // An event of a foreign calendar, stored with its live link.
    EventKey linked(std::string description, DateTime start, int calendar, std::string xid) {
        clsCalEvent ev = oneOff(std::move(description), start);
        ev.setXCalendarId(calendar);
        ev.setXID(std::move(xid));
        return saved(ev);
    }
    int calendar(std::string name) { return store.RegisterXCalendar(name); }
    clsCalEvent found(EventKey key) {
        clsCalEvent ev;
        EXPECT_TRUE(store.Find(ev, key)) << key;
        return ev;
    }

    FakeClock clock{kNow};
    ClockOverride useClock{clock};
    TempFolder folder;
    settings::MemorySettingsStore settingsStore;
    clsSettings settings{settingsStore, folder.path().string()};
    clsDataQVR store{settings, StoreOptions::mainProgram(folder.path().string())};
    RecordingHost host;
    db::Connection raw;
};

// ---- opening ------------------------------------------------------------------------

TEST(StoreOpen, AMissingFileFailsAndNoneIsMade) {
    TempFolder folder;
    settings::MemorySettingsStore backing;
    clsSettings settings(backing, folder.path().string());
    clsDataQVR store(settings, StoreOptions::mainProgram(folder.path().string()));
    EXPECT_FALSE(store.OpenData());
    EXPECT_FALSE(store.isOpen());
    EXPECT_FALSE(fs::exists(folder.path() / db::kDatabaseFileName));
    // Nothing runs on a store that is not open, and nothing pretends to.
    clsCalEvent ev = oneOff("x", kNow);
    EXPECT_FALSE(store.Save(ev, SaveMode::Always));
    std::string name = "device";
    EXPECT_EQ(store.RegisterXCalendar(name), 0);
    EXPECT_FALSE(store.SelectReminderEvents(maxInteger()));
    EXPECT_FALSE(store.GetFirstEvent().has_value());
    EXPECT_TRUE(store.EndOfEvents());
}

TEST(StoreOpen, TheGadgetLibraryOpensTheFileOfTheDataDirSetting) {
    TempFolder data, library;
    ASSERT_TRUE(db::createDatabaseFile(data.path() / db::kDatabaseFileName));
    settings::MemorySettingsStore backing;
    clsSettings settings(backing, library.path().string());
    // Before the main program recorded its folder, DataDir is the library's own.
    clsDataQVR before(settings, StoreOptions::gadgetLibrary());
    EXPECT_FALSE(before.OpenData());
    ASSERT_TRUE(settings.setDataDir(data.path().string()));
    clsDataQVR after(settings, StoreOptions::gadgetLibrary());
    EXPECT_TRUE(after.OpenData()) << after.lastError();
    EXPECT_EQ(after.connection().file(), data.path() / db::kDatabaseFileName);
}

TEST(StoreOpen, AFolderHoldingASemicolonIsOpened) {
    TempFolder parent;
    const fs::path folder = parent.path() / "a;DBQ=b";
    fs::create_directory(folder);
    ASSERT_TRUE(db::createDatabaseFile(folder / db::kDatabaseFileName));
    settings::MemorySettingsStore backing;
    clsSettings settings(backing, folder.string());
    clsDataQVR store(settings, StoreOptions::mainProgram(folder.string()));
    EXPECT_TRUE(store.OpenData()) << store.connectionText() << "\n" << store.lastError();
}

// ---- SQL values -------------------------------------------------------------------------

TEST(StoreValues, LiteralsAndKeys) {
    EXPECT_EQ(clsDataQVR::sqlDate(d(2024, 3, 5, 14, 7, 9)), "#5 Mar 2024 14:07:09#");
    EXPECT_EQ(clsDataQVR::sqlDate(d(2024, 1, 1)), "#1 Jan 2024 00:00:00#");
    EXPECT_EQ(clsDataQVR::sqlText("  Mum's day  "), "'  Mum''s day'");
    EXPECT_EQ(clsDataQVR::shortMonthName(12), "Dec");
    EXPECT_EQ(clsDataQVR::shortMonthName(13), "");

    EXPECT_EQ(clsDataQVR::toEventKey(" 42 "), 42);
    EXPECT_EQ(clsDataQVR::toEventKey("+7"), 7);
    EXPECT_EQ(clsDataQVR::toEventKey("-1"), -1);
    for (const char* text : {"", "  ", "abc", "1 OR 1=1", "4.0", "12abc", "+-3", "+", "-", "0x10",
                             "99999999999999999999"})
        EXPECT_FALSE(clsDataQVR::toEventKey(text).has_value()) << text;
}

// ---- texts and rows ---------------------------------------------------------------------

TEST_F(StoreFile, TextsComeBackAsTyped) {
    clsCalEvent ev = weekly(kAwkward, d(2024, 3, 1), d(2024, 6, 28));
    ev.setDescExceptions("\t20240308000000=" + kAwkward + "\t");
    ev.setHasExceptions(true);
    ev.setHiddenList("20240315");
    ev.setExDates("20240322");
    ev.setRDates("20240402");
    ev.setAutoDelete("3");
    ev.setPriorWarningIsDefault(false);
    ev.setPriorWarning(7);
    const EventKey key = saved(ev);
    ASSERT_GT(key, 0);

    clsCalEvent back;
    ASSERT_TRUE(store.Find(back, clsDataQVR::kLocalCalendarId, " " + std::to_string(key) + " "));
    EXPECT_EQ(back.Description(), kAwkward);
    EXPECT_EQ(back.DescExceptions(), ev.DescExceptions());
    EXPECT_TRUE(back.hasExceptions());
    EXPECT_EQ(back.HiddenList(), "20240315");
    EXPECT_EQ(back.ExDates(), "20240322");
    EXPECT_EQ(back.RDates(), "20240402");
    EXPECT_EQ(back.AutoDelete(), "3");
    EXPECT_FALSE(back.PriorWarningIsDefault());
    EXPECT_EQ(back.PriorWarning(), 7);
    EXPECT_TRUE(back.AllDayEvent());
    EXPECT_EQ(back.EventStart(), d(2024, 3, 1));
    EXPECT_EQ(back.ViewFromDate(), ev.ViewFromDate());
    EXPECT_EQ(back.LastModified(), kNow);
    EXPECT_EQ(back.Created(), ev.Created());
    ASSERT_EQ(back.RRulesCount(), 1);
    EXPECT_TRUE(back.IsRecurring());
    EXPECT_EQ(back.RRule(1)->Frequency(), clsCalRRule::kWeekly);
    EXPECT_EQ(back.RRule(1)->DurationUntil(), d(2024, 6, 28));
    EXPECT_EQ(back.WendraWinId(), std::to_string(key));

    // On disk: the description as UTF-8 hex, the per-occurrence text as it was typed.
    const auto row = run("SELECT * FROM Events WHERE WendraWinID = " + std::to_string(key));
    EXPECT_EQ(row.value("UniDesc"), db::Value{toUtf8Hex(kAwkward)});
    EXPECT_EQ(row.value("DescExceptions"), db::Value{ev.DescExceptions()});
}

TEST_F(StoreFile, ADescriptionBeginningWithU_FEFFComesBackWhole) {
    const std::string text = "\xEF\xBB\xBFNote from a file";
    clsCalEvent ev = oneOff(text, d(2024, 4, 2, 9));
    const EventKey key = saved(ev);
    EXPECT_EQ(found(key).Description(), text);
    clsCalEvent dup;
    EXPECT_TRUE(store.isDuplicate(oneOff(text, d(2024, 4, 2, 9)), dup));
    EXPECT_FALSE(store.isDuplicate(oneOff("Note from a file", d(2024, 4, 2, 9)), dup));
}

TEST_F(StoreFile, ForeignIdsAndCalendarNamesComeBackAsTyped) {
    std::string name = "  " + kAwkward + "  ";
    const int cal = store.RegisterXCalendar(name);
    ASSERT_GT(cal, 0);
    EXPECT_EQ(name, kAwkward);
    EXPECT_EQ(cell("SELECT UniqueID FROM XCalendar", "UniqueID"), db::Value{kAwkward});

    const EventKey key = linked("linked", d(2024, 4, 1, 9), cal, kAwkward);
    clsCalEvent back;
    ASSERT_TRUE(store.Find(back, cal, kAwkward));
    EXPECT_EQ(back.WendraWinId(), std::to_string(key));
    EXPECT_EQ(store.getXID(cal, key), kAwkward);
    EXPECT_EQ(cell("SELECT XID FROM XData", "XID"), db::Value{kAwkward});
}

TEST_F(StoreFile, RowsReadBackWithTheirFloorsAndTheCurrentDefaultWarning) {
    run("INSERT INTO Events (UniDesc, EventDate, ViewFromDate, PriorWarning) VALUES ('41', #1 Jun 1500 10:00:00#, "
        "#1 Jun 1500 10:00:00#, -1)");
    const EventKey old = raw.lastInsertId();
    run("INSERT INTO Events (UniDesc, PriorWarning) VALUES ('42', 5)");
    const EventKey bare = raw.lastInsertId();

    ASSERT_TRUE(settings.setPriorWarning(12));
    clsCalEvent a = found(old);
    EXPECT_EQ(a.Description(), "A");
    EXPECT_EQ(a.EventStart(), d(1601, 1, 1));
    EXPECT_EQ(a.ViewFromDate(), d(1601, 1, 1));
    EXPECT_TRUE(a.PriorWarningIsDefault());
    EXPECT_EQ(a.PriorWarning(), 12);

    clsCalEvent b = found(bare);
    EXPECT_EQ(b.EventStart(), d(1900, 1, 1));
    EXPECT_EQ(b.LastModified(), d(1900, 1, 1));
    EXPECT_FALSE(b.PriorWarningIsDefault());
    EXPECT_EQ(b.PriorWarning(), 5);
    EXPECT_FALSE(b.IsRecurring());

    // Day counts far beyond any date (a foreign or damaged file) saturate.
    run("INSERT INTO Events (UniDesc, EventDate, ViewFromDate, LastModified, PriorWarning) VALUES ('43', 1e300, "
        "-1e300, 9223372036854775807, 99999)");
    clsCalEvent c = found(raw.lastInsertId());
    EXPECT_EQ(c.EventStart(), DateTime::maxValue());
    EXPECT_EQ(c.ViewFromDate(), d(1601, 1, 1));
    EXPECT_EQ(c.LastModified(), DateTime::maxValue());
    EXPECT_TRUE(c.PriorWarningIsDefault());
}

// ---- schema ----------------------------------------------------------------------------------

constexpr const char* kEventsWithoutAutoDelete =
    "CREATE TABLE Events (WendraWinID INTEGER PRIMARY KEY AUTOINCREMENT, UniDesc TEXT, AllDayEvent BOOLEAN, "
    "EventDate DATETIME, ViewFromDate DATETIME, PriorWarning INTEGER, iCalData TEXT, HiddenList TEXT, "
    "DescExceptions TEXT, hasExceptions BOOLEAN, CreatorID INTEGER, LastModified DATETIME, Created DATETIME, "
    "MSOCreated DATETIME)";

TEST_F(StoreFile, AFileWithoutAutoDeleteGetsItWithManualCodesOnce) {
    run("DROP TABLE Events");
    run(kEventsWithoutAutoDelete);
    run("INSERT INTO Events (UniDesc, EventDate) VALUES ('41', #1 May 2024 00:00:00#)");
    run("INSERT INTO Events (UniDesc, EventDate) VALUES ('42', #2 May 2024 00:00:00#)");

    EXPECT_TRUE(store.updateTables()) << store.lastError();
    EXPECT_EQ(count("Events", "AutoDelete = 'M'"), 2);
    EXPECT_EQ(found(1).AutoDelete(), "M");

    // A file that has the column keeps every code.
    run("UPDATE Events SET AutoDelete = '3' WHERE UniDesc = '42'");
    EXPECT_TRUE(store.updateTables());
    EXPECT_EQ(count("Events", "AutoDelete = '3'"), 1);
    EXPECT_EQ(count("Events", "AutoDelete = 'M'"), 1);
}

TEST_F(StoreFile, AnOddTableThatHasTheColumnKeepsItsCodes) {
    // A query on the description would fail here; the column list still says the
    // column is there, so no code is reset.
    run("DROP TABLE Events");
    run("CREATE TABLE Events (WendraWinID INTEGER PRIMARY KEY AUTOINCREMENT, EventDate DATETIME, autodelete "
        "VARCHAR(1))");
    run("INSERT INTO Events (AutoDelete) VALUES ('3')");
    EXPECT_TRUE(store.updateTables());
    EXPECT_EQ(count("Events", "AutoDelete = '3'"), 1);

    // Without a table there is nothing to bring up to date.
    run("DROP TABLE Events");
    EXPECT_FALSE(store.updateTables());
}

// ---- saving -----------------------------------------------------------------------------------

TEST_F(StoreFile, ADamagedRuleColumnIsStoredTheSameAtEverySave) {
    run("INSERT INTO Events (UniDesc, AllDayEvent, EventDate, ViewFromDate, PriorWarning, AutoDelete, iCalData, "
        "LastModified) VALUES ('41', True, #4 Mar 2024 00:00:00#, #4 Mar 2024 00:00:00#, -1, 'M', "
        "'<R=<><#=R><F=2><D=MO<F=3><U=20240630>', #1 Mar 2024 00:00:00#)");
    const EventKey key = 1;
    std::vector<std::string> columns;
    for (int save = 0; save < 3; ++save) {
        clsCalEvent ev = found(key);
        ASSERT_TRUE(store.Save(ev, SaveMode::Always)) << store.lastError();
        columns.push_back(nzString(cell("SELECT iCalData FROM Events WHERE WendraWinID = 1", "iCalData")));
    }
    EXPECT_EQ(columns[0], "<#=R><F=2><U=20240630><D=MOF=3>");
    EXPECT_EQ(columns[1], columns[0]);
    EXPECT_EQ(columns[2], columns[0]);
}

TEST_F(StoreFile, SaveModesCompareModificationTimes) {
    clsCalEvent ev = oneOff("first", d(2024, 4, 1, 9));
    const EventKey key = saved(ev);

    clsCalEvent same = ev;
    same.setDescription("same time");
    EXPECT_TRUE(store.Save(same, SaveMode::IfNewer));  // skipped, and that is no failure
    EXPECT_EQ(found(key).Description(), "first");
    EXPECT_TRUE(store.Save(same, SaveMode::UnlessStoredNewer));
    EXPECT_EQ(found(key).Description(), "same time");

    clsCalEvent older = ev;
    older.setDescription("older");
    older.setLastModified(kNow.addSeconds(-60));
    EXPECT_TRUE(store.Save(older, SaveMode::UnlessStoredNewer));
    EXPECT_EQ(found(key).Description(), "same time");
    EXPECT_TRUE(store.Save(older, SaveMode::Always));
    EXPECT_EQ(found(key).Description(), "older");

    clsCalEvent newer = ev;
    newer.setDescription("newer");
    newer.setLastModified(kNow.addSeconds(1));
    EXPECT_TRUE(store.Save(newer, SaveMode::IfNewer));
    EXPECT_EQ(found(key).Description(), "newer");
    EXPECT_EQ(count("Events"), 1);
}

TEST_F(StoreFile, SavesThatRemoveTheRowMarkTheLinks) {
    const int cal = calendar("device");
    // A new event asked to be deleted is written and removed again.
    clsCalEvent gone = oneOff("gone", d(2024, 4, 1));
    gone.setXCalendarId(cal);
    gone.setXID("g");
    gone.setUpdateRequest(clsCalEvent::kRequestDeleteEvent);
    EXPECT_TRUE(store.Save(gone, SaveMode::Always));
    EXPECT_EQ(count("Events"), 0);
    EXPECT_EQ(count("XData", "XID = 'g' AND Status = 1"), 1);

    // Its only occurrence removed: nothing is left to show.
    const EventKey a = linked("a", d(2024, 4, 2), cal, "a");
    clsCalEvent ev = found(a);
    ev.setXCalendarId(cal);
    ev.setXID("a");
    ev.MarkDelete(false, d(2024, 4, 2), false);
    ASSERT_TRUE(store.addSyncRecord(cal, ev, true));
    EXPECT_TRUE(store.Save(ev, SaveMode::Always));
    EXPECT_EQ(count("Events"), 0);
    EXPECT_EQ(count("XData", "XID = 'a' AND Status = 1"), 1);
    EXPECT_EQ(count("SyncRecord"), 0);

    // Hidden: the link records it as hidden, whatever it was before.
    const EventKey h = linked("h", d(2024, 4, 3), cal, "h");
    clsCalEvent hide = found(h);
    hide.setXCalendarId(cal);
    hide.setXID("h");
    hide.setUpdateRequest(clsCalEvent::kRequestHideEvent);
    EXPECT_TRUE(store.Save(hide, SaveMode::Always));
    EXPECT_EQ(count("XData", "XID = 'h' AND Status = 2"), 1);
    clsCalEvent none;
    EXPECT_FALSE(store.Find(none, cal, "h"));
}

TEST_F(StoreFile, AnEventWhoseForeignIdIsLinkedUpdatesThatEvent) {
    const int cal = calendar("device");
    const EventKey key = linked("first", d(2024, 4, 1, 9), cal, "dev-1");
    clsCalEvent again = oneOff("from the device", d(2024, 4, 1, 9));
    again.setXCalendarId(cal);
    again.setXID("dev-1");
    EXPECT_EQ(saved(again), key);
    EXPECT_EQ(count("Events"), 1);
    EXPECT_EQ(count("XData"), 1);
    EXPECT_EQ(found(key).Description(), "from the device");
    // Foreign ids compare exactly: one that differs in case alone is another event.
    clsCalEvent other = oneOff("another", d(2024, 4, 1, 9));
    other.setXCalendarId(cal);
    other.setXID("DEV-1");
    EXPECT_NE(saved(other), key);
    EXPECT_EQ(count("Events"), 2);
    EXPECT_EQ(found(key).Description(), "from the device");
}

TEST_F(StoreFile, UpdatingAnEventThatIsGoneFails) {
    clsCalEvent ev = oneOff("here", d(2024, 4, 1));
    const EventKey key = saved(ev);
    run("DELETE FROM Events WHERE WendraWinID = " + std::to_string(key));
    ev.setDescription("edited meanwhile");
    EXPECT_FALSE(store.Save(ev, SaveMode::Always));
    EXPECT_FALSE(store.Save(ev, SaveMode::UnlessStoredNewer));
    EXPECT_FALSE(store.storeMSOCreatedTime(ev, kNow));
    EXPECT_EQ(count("Events"), 0);
}

TEST_F(StoreFile, AFailedCommitIsAFailedSaveAndTheEventStaysNew) {
    // A deferred constraint is checked at the commit: the commit itself fails.
    ASSERT_TRUE(store.connection().execute("PRAGMA foreign_keys = ON"));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other,
                           "CREATE TABLE Parent (id INTEGER PRIMARY KEY);"
                           "CREATE TABLE Child (parent INTEGER REFERENCES Parent (id) DEFERRABLE INITIALLY DEFERRED);"
                           "CREATE TRIGGER Orphan AFTER INSERT ON Events BEGIN INSERT INTO Child VALUES (7); END;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);

    clsCalEvent ev = oneOff("never stored", d(2024, 4, 1));
    EXPECT_FALSE(store.Save(ev, SaveMode::Always));
    EXPECT_EQ(ev.WendraWinId(), "");
    EXPECT_EQ(count("Events"), 0);

    ASSERT_EQ(sqlite3_exec(other, "DROP TRIGGER Orphan", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    EXPECT_GT(saved(ev), 0);
    EXPECT_EQ(count("Events"), 1);
}

TEST_F(StoreFile, AFailedStatementUndoesTheWholeInsert) {
    const int cal = calendar("device");
    run("DROP TABLE XData");
    clsCalEvent ev = oneOff("with link", d(2024, 4, 1));
    ev.setXCalendarId(cal);
    ev.setXID("x");
    EXPECT_FALSE(store.Save(ev, SaveMode::Always));
    EXPECT_EQ(ev.WendraWinId(), "");
    EXPECT_EQ(count("Events"), 0);
}

TEST_F(StoreFile, AHeldTransactionWritesAtItsOutermostEndAndAFailedSaveInItUndoesOnlyItself) {
    const int cal = calendar("device");
    ASSERT_TRUE(store.holdTransaction());
    ASSERT_TRUE(store.holdTransaction());
    clsCalEvent kept = oneOff("kept", d(2024, 4, 1));
    EXPECT_GT(saved(kept), 0);
    ASSERT_TRUE(store.connection().execute("DROP TABLE XData"));
    clsCalEvent lost = oneOff("with link", d(2024, 4, 2));
    lost.setXCalendarId(cal);
    lost.setXID("x");
    EXPECT_FALSE(store.Save(lost, SaveMode::Always));
    EXPECT_EQ(lost.WendraWinId(), "");
    EXPECT_TRUE(store.releaseTransaction(true));
    EXPECT_EQ(count("Events"), 0) << "written only when the outermost hold ends";
    EXPECT_TRUE(store.releaseTransaction(true));
    EXPECT_EQ(count("Events"), 1);
    EXPECT_EQ(count("Events", "WendraWinID = " + kept.WendraWinId()), 1);
    EXPECT_FALSE(store.releaseTransaction(true));
}

TEST_F(StoreFile, DuplicatesNeedEqualRules) {
    clsCalEvent stored = weekly("Dentist", d(2024, 4, 1), d(2024, 12, 30));
    stored.setExDates("20240408");
    const EventKey key = saved(stored);

    // A one-off of the same day and text is not the repeating event.
    clsCalEvent single = oneOff("Dentist", d(2024, 4, 1), true);
    clsCalEvent dup;
    EXPECT_FALSE(store.isDuplicate(single, dup));
    // The same rules are, excluded dates aside.
    clsCalEvent same = weekly("Dentist", d(2024, 4, 1), d(2024, 12, 30));
    ASSERT_TRUE(store.isDuplicate(same, dup));
    EXPECT_EQ(dup.WendraWinId(), std::to_string(key));
    clsCalEvent otherRule = weekly("Dentist", d(2024, 4, 1), d(2024, 12, 23));
    EXPECT_FALSE(store.isDuplicate(otherRule, dup));

    // Two stored events of one day and text are never taken for one.
    clsCalEvent twin = weekly("Dentist", d(2024, 4, 1), d(2024, 12, 30));
    const EventKey twinKey = saved(twin);
    EXPECT_FALSE(store.isDuplicate(same, dup));
    // Unless one of them asks about the others.
    ASSERT_TRUE(store.isDuplicate(same, dup, key));
    EXPECT_EQ(dup.WendraWinId(), std::to_string(twinKey));
}

// ---- queries and cursors ------------------------------------------------------------------------

TEST_F(StoreFile, AnEmptyStoreAndAMissingQuery) {
    EXPECT_FALSE(store.GetFirstEvent().has_value());
    EXPECT_TRUE(store.EndOfEvents());
    EXPECT_FALSE(store.SelectReminderEvents(maxInteger()));
    const auto first = store.GetFirstEvent();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->WendraWinId(), "");
    EXPECT_TRUE(store.EndOfEvents());
    EXPECT_TRUE(store.SelectSyncEvents());
    store.closeEvents();
    EXPECT_TRUE(store.EndOfEvents());
}

TEST_F(StoreFile, RemindersComeByViewDateLimitInOrderOfTheirDate) {
    clsCalEvent later = oneOff("in ten days", d(2024, 3, 15), true);
    clsCalEvent past = oneOff("three days ago", d(2024, 3, 2), true);
    clsCalEvent soon = oneOff("tomorrow", d(2024, 3, 6, 10));
    clsCalEvent todayLater = oneOff("today 18:00", d(2024, 3, 5, 18));
    for (clsCalEvent* ev : {&later, &past, &soon, &todayLater}) saved(*ev);

    auto all = store.reminderEvents(maxInteger());
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(descriptions(*all),
              (std::vector<std::string>{"three days ago", "today 18:00", "tomorrow", "in ten days"}));
    // The limit is today at midnight plus the days.
    EXPECT_EQ(descriptions(*store.reminderEvents(0)), (std::vector<std::string>{"three days ago"}));
    EXPECT_EQ(descriptions(*store.reminderEvents(10)).size(), 4u);

    // The cursor kept in the store walks the same way.
    ASSERT_TRUE(store.SelectReminderEvents(1));
    std::vector<std::string> walked;
    for (auto ev = store.GetFirstEvent(); !store.EndOfEvents(); ev = store.GetNextEvent())
        walked.push_back(ev->Description());
    EXPECT_EQ(walked, (std::vector<std::string>{"three days ago", "today 18:00"}));
    EXPECT_EQ(store.GetNextEvent()->WendraWinId(), "");
}

TEST_F(StoreFile, FindAndSaveDuringAWalk) {
    for (int i = 1; i <= 3; ++i) {
        clsCalEvent ev = oneOff("event " + std::to_string(i), d(2024, 4, i));
        saved(ev);
    }
    ASSERT_TRUE(store.SelectReminderEvents(maxInteger()));
    auto own = store.syncEvents();
    ASSERT_TRUE(own.has_value());

    std::vector<std::string> walked;
    for (auto ev = store.GetFirstEvent(); !store.EndOfEvents(); ev = store.GetNextEvent()) {
        walked.push_back(ev->Description());
        // Look another event up and change it, add one, and walk a second cursor a step.
        clsCalEvent other = found(3);
        other.setDescription("changed during the walk");
        other.setLastModified(other.LastModified().addSeconds(1));
        EXPECT_TRUE(store.Save(other, SaveMode::Always));
        clsCalEvent added = oneOff("added during the walk", d(2024, 5, 1));
        saved(added);
        own->GetNextEvent();
    }
    // The walk saw the rows as its query found them.
    EXPECT_EQ(walked, (std::vector<std::string>{"event 1", "event 2", "event 3"}));
    EXPECT_EQ(count("Events"), 6);
    EXPECT_EQ(descriptions(*store.syncEvents()).size(), 6u);
}

TEST_F(StoreFile, FindByForeignIdFindsOnlyOneLiveLink) {
    const int cal = calendar("device");
    const EventKey key = linked("linked", d(2024, 4, 1), cal, "x1");
    clsCalEvent ev;
    EXPECT_TRUE(store.Find(ev, cal, "x1"));
    for (const char* status : {"1", "2"}) {
        run(std::string("UPDATE XData SET Status = ") + status);
        EXPECT_FALSE(store.Find(ev, cal, "x1")) << status;
    }
    run("UPDATE XData SET Status = NULL");
    EXPECT_TRUE(store.Find(ev, cal, "x1"));
    EXPECT_FALSE(store.Find(ev, cal + 1, "x1"));

    // A foreign id linked live to two events names no one event.
    linked("second", d(2024, 4, 2), cal, "x2");
    run("UPDATE XData SET XID = 'x1'");
    EXPECT_FALSE(store.Find(ev, cal, "x1"));
    EXPECT_EQ(ev.WendraWinId(), std::to_string(key));  // the last event found
}

TEST_F(StoreFile, IdsThatAreNoNumberFindNothing) {
    clsCalEvent ev = oneOff("kept", d(2024, 4, 1));
    const EventKey key = saved(ev);
    clsCalEvent untouched = oneOff("untouched", d(2024, 1, 1));
    const std::vector<std::string> ids = {"1 OR 1=1", std::to_string(key) + ";DELETE FROM Events", "abc", ""};
    for (const std::string& id : ids) {
        EXPECT_FALSE(store.Find(untouched, clsDataQVR::kLocalCalendarId, id)) << id;
        std::string keyText = id;
        if (!id.empty()) {
            EXPECT_EQ(store.getXDataStatus(keyText, 5, "x"), clsDataQVR::kNoLink) << id;
        }
    }
    EXPECT_EQ(untouched.Description(), "untouched");
    EXPECT_EQ(count("Events"), 1);
    EXPECT_FALSE(store.Find(untouched, key + 1));
}

// ---- foreign calendars ----------------------------------------------------------------------------

TEST_F(StoreFile, CalendarsAreRegisteredOnce) {
    std::string blank = "   ";
    const int id = store.RegisterXCalendar(blank);
    EXPECT_GT(id, 0);
    EXPECT_EQ(blank, "VCalendar File");
    std::string again = "vcalendar file";
    EXPECT_EQ(store.RegisterXCalendar(again), id);
    std::string other = "device";
    EXPECT_NE(store.RegisterXCalendar(other), id);
    EXPECT_EQ(count("XCalendar"), 2);
}

TEST_F(StoreFile, ACalendarThatCannotBeReadBackIsZeroAndInsertedOnce) {
    // A table without its id column: the insert works, the lookup never finds an id.
    run("DROP TABLE XCalendar");
    run("CREATE TABLE XCalendar (UniqueID TEXT)");
    std::string name = "device";
    EXPECT_EQ(store.RegisterXCalendar(name), 0);
    EXPECT_EQ(count("XCalendar"), 1);
}

TEST_F(StoreFile, LinkStatusByKeyOrForeignId) {
    const int cal = calendar("device");
    const EventKey key = linked("linked", d(2024, 4, 1), cal, "x1");
    EXPECT_TRUE(store.hasXData(cal));
    EXPECT_FALSE(store.hasXData(cal + 1));

    std::string byXid;
    run("UPDATE XData SET Status = NULL");
    EXPECT_EQ(store.getXDataStatus(byXid, cal, "x1"), clsDataQVR::kLinkLive);
    EXPECT_EQ(byXid, std::to_string(key));
    std::optional<EventKey> k = key;
    run("UPDATE XData SET Status = 2");
    EXPECT_EQ(store.getXDataStatus(k, cal, "ignored"), clsDataQVR::kLinkHidden);
    std::optional<EventKey> none;
    EXPECT_EQ(store.getXDataStatus(none, cal, "x9"), clsDataQVR::kNoLink);
    EXPECT_FALSE(none.has_value());
    // Only live links have a foreign id.
    EXPECT_EQ(store.getXID(cal, key), "");
}

TEST_F(StoreFile, ALinkUpdateWritesTheLinkThatWasFound) {
    const int cal = calendar("device");
    const EventKey two = linked("two", d(2024, 4, 2), cal, "x");
    const EventKey three = linked("three", d(2024, 4, 3), cal, "y");
    run("UPDATE XData SET Status = 1 WHERE WendraWinID = " + std::to_string(two));  // deleted here

    // Three's foreign id changed to the one two's stale link still holds.
    clsCalEvent ev = found(three);
    ev.setXCalendarId(cal);
    ev.setXID("x");
    EXPECT_TRUE(store.UpdateAddXData(ev, clsDataQVR::kLinkLive));
    EXPECT_EQ(count("XData", "WendraWinID = " + std::to_string(two) + " AND Status = 1 AND XID = 'x'"), 1);
    EXPECT_EQ(count("XData", "WendraWinID = " + std::to_string(three) + " AND Status = 0 AND XID = 'x'"), 1);
    EXPECT_EQ(store.getXID(cal, three), "x");
    clsCalEvent byXid;
    ASSERT_TRUE(store.Find(byXid, cal, "x"));
    EXPECT_EQ(byXid.Description(), "three");

    // Found by foreign id, the event takes the linked key; a hidden event's link says so.
    clsCalEvent fromDevice = oneOff("device copy", d(2024, 4, 3));
    fromDevice.setXCalendarId(cal);
    fromDevice.setXID("x");
    fromDevice.setUpdateRequest(clsCalEvent::kRequestHideEvent);
    EXPECT_TRUE(store.UpdateAddXData(fromDevice, clsDataQVR::kLinkLive));
    EXPECT_EQ(fromDevice.WendraWinId(), std::to_string(three));
    EXPECT_EQ(count("XData", "WendraWinID = " + std::to_string(three) + " AND Status = 2"), 1);
    EXPECT_EQ(count("XData"), 2);
}

TEST_F(StoreFile, SyncCopiesAreReplacedAndConfirmedOnce) {
    const int cal = calendar("device");
    clsCalEvent ev = found(linked("base", d(2024, 4, 1), cal, "x"));
    ev.setXCalendarId(cal);
    ev.setXID("x");
    EXPECT_FALSE(store.confirmSyncRecord(ev));  // no copy to confirm

    ASSERT_TRUE(store.addSyncRecord(cal, ev, false));
    ev.setDescription("sent");
    ASSERT_TRUE(store.addSyncRecord(cal, ev, false));
    EXPECT_EQ(count("SyncRecord"), 1);
    EXPECT_EQ(count("SyncRecord", "CreatorID = " + std::to_string(cal)), 1);

    EXPECT_TRUE(store.confirmSyncRecord(ev));
    EXPECT_EQ(count("SyncRecord", "SyncConfirmed = True"), 1);
    // Confirmed twice, the base stays.
    EXPECT_TRUE(store.confirmSyncRecord(ev));
    EXPECT_EQ(count("SyncRecord", "SyncConfirmed = True"), 1);
    clsCalEvent base;
    ASSERT_TRUE(store.getSyncRecord(base, cal, clsDataQVR::toEventKey(ev.WendraWinId()).value()));
    EXPECT_EQ(base.Description(), "sent");
    EXPECT_FALSE(store.getSyncRecord(base, cal + 1, 1));
    EXPECT_EQ(base.Description(), "");

    // Deleting the event takes its copies with it.
    EXPECT_TRUE(store.DeleteEvent(ev));
    EXPECT_EQ(count("SyncRecord"), 0);
}

TEST_F(StoreFile, EventsTheDeviceNoLongerListsAreHiddenThroughTheHost) {
    const int cal = calendar("device");
    const EventKey kept = linked("kept", d(2024, 4, 1), cal, "k");
    const EventKey dropped = linked("dropped", d(2024, 4, 2), cal, "d");
    const EventKey deletedHere = linked("deleted here", d(2024, 4, 3), cal, "g");
    clsCalEvent g = found(deletedHere);
    ASSERT_TRUE(store.DeleteEvent(g));

    // A full synchronisation that lists every linked event changes nothing.
    ASSERT_TRUE(store.setSyncFound(cal, false));
    ASSERT_TRUE(store.setSyncFound(cal, true, kept));
    ASSERT_TRUE(store.setSyncFound(cal, true, dropped));
    EXPECT_TRUE(store.DeleteSyncEvents(cal));
    EXPECT_TRUE(host.requests.empty());

    ASSERT_TRUE(store.setSyncFound(cal, false));
    ASSERT_TRUE(store.setSyncFound(cal, true, kept));
    EXPECT_TRUE(store.DeleteSyncEvents(cal));
    EXPECT_EQ(host.requests, (std::vector<int>{clsCalEvent::kRequestHideEvent}));
    EXPECT_EQ(host.modes, (std::vector<SaveMode>{SaveMode::Always}));
    EXPECT_EQ(host.shown, (std::vector<std::string>{std::to_string(dropped)}));
    EXPECT_EQ(count("Events"), 1);
    EXPECT_EQ(count("XData", "XID = 'd' AND Status = 2"), 1);
}

TEST_F(StoreFile, WithoutAHostSyncDeletionsOnlyMark) {
    const int cal = calendar("device");
    linked("dropped", d(2024, 4, 2), cal, "d");
    ASSERT_TRUE(store.setSyncFound(cal, false));
    clsDataQVR library(settings, StoreOptions::gadgetLibrary());
    ASSERT_TRUE(settings.setDataDir(folder.path().string()));
    ASSERT_TRUE(library.OpenData());
    EXPECT_TRUE(library.DeleteSyncEvents(cal));
    EXPECT_EQ(count("Events"), 1);
    EXPECT_TRUE(host.requests.empty());
}

TEST_F(StoreFile, NewToMobileQueuesUnlinkedEventsByDate) {
    const int cal = calendar("device");
    const EventKey gone = linked("deleted link", d(2024, 4, 1), cal, "a");
    run("UPDATE XData SET Status = 1 WHERE WendraWinID = " + std::to_string(gone));
    clsCalEvent late = oneOff("late", d(2024, 6, 1));
    clsCalEvent early = oneOff("early", d(2024, 5, 1));
    const EventKey lateKey = saved(late), earlyKey = saved(early);
    const int other = calendar("other device");
    const EventKey elsewhere = linked("linked elsewhere", d(2024, 4, 15), other, "b");

    RecordingSink sink;
    store.setSyncItemSink(&sink);
    ASSERT_TRUE(store.SelectNewToMobile(cal));
    ASSERT_EQ(sink.items.size(), 3u);
    EXPECT_EQ(sink.items[0].second, std::to_string(elsewhere));
    EXPECT_EQ(sink.items[1].second, std::to_string(earlyKey));
    EXPECT_EQ(sink.items[2].second, std::to_string(lateKey));
    const std::string prefix = "</Req>Add</><Id>" + std::to_string(earlyKey) + "</>";
    EXPECT_EQ(sink.items[1].first.substr(0, prefix.size()), prefix);
    EXPECT_EQ(gridKeyValue(sink.items[1].first.substr(prefix.size()), Tag::Desc), "early");

    // The program's own queue takes them while a synchronisation runs.
    ProgramState state;
    state.gSyncItems.emplace();
    ProgramStateSyncItems queue(state);
    store.setSyncItemSink(&queue);
    ASSERT_TRUE(store.SelectNewToMobile(cal));
    EXPECT_EQ(state.gSyncItems->size(), 3u);
}

// ---- the two deliverables ------------------------------------------------------------------------

TEST_F(StoreFile, OnlyTheMainProgramRecordsTheOutlookCreationTimeOnUpdate) {
    ASSERT_TRUE(settings.setModeOutlook(true));
    const int outlook = calendar("outlook key");
    host.outlookCalendar = outlook;
    clsCalEvent ev = oneOff("in Outlook", d(2024, 4, 1, 9));
    ev.setXCalendarId(outlook);
    ev.setXID("entry");
    ev.setCreated(d(2024, 2, 2, 2, 2, 2));
    const EventKey key = saved(ev);
    EXPECT_TRUE(isNullDate(found(key).MSOCreated()));  // an insert writes the event's own value

    // The library's store, even with a host, leaves the column alone...
    ASSERT_TRUE(settings.setDataDir(folder.path().string()));
    StoreOptions libraryOptions = StoreOptions::gadgetLibrary();
    libraryOptions.host = &host;
    clsDataQVR library(settings, libraryOptions);
    ASSERT_TRUE(library.OpenData());
    ev.setDescription("from the library");
    EXPECT_TRUE(library.Save(ev, SaveMode::Always));
    EXPECT_TRUE(isNullDate(found(key).MSOCreated()));
    // ...and writes the dates the main program reads.
    EXPECT_EQ(found(key).EventStart(), d(2024, 4, 1, 9));
    EXPECT_EQ(found(key).Description(), "from the library");

    EXPECT_TRUE(store.Save(ev, SaveMode::Always));
    EXPECT_EQ(found(key).MSOCreated(), d(2024, 2, 2, 2, 2, 2));

    // A local event is no Outlook event, also while the binding answers the local id.
    host.outlookCalendar = clsDataQVR::kLocalCalendarId;
    clsCalEvent local = oneOff("local", d(2024, 4, 2));
    const EventKey localKey = saved(local);
    EXPECT_TRUE(store.Save(local, SaveMode::Always));
    EXPECT_TRUE(isNullDate(found(localKey).MSOCreated()));
}

TEST_F(StoreFile, TheOutlookCalendarIsAskedForBeforeAnUpdateBegins) {
    ASSERT_TRUE(settings.setModeOutlook(true));
    clsCalEvent ev = oneOff("deleted meanwhile", d(2024, 4, 1, 9));
    const EventKey key = saved(ev);
    // The binding registers its calendar the first time it is asked, and keeps the id.
    host.whileAsked = [&] {
        if (!host.outlookCalendar) host.outlookCalendar = calendar("outlook key");
    };
    run("DELETE FROM Events WHERE WendraWinID = " + std::to_string(key));
    EXPECT_FALSE(store.Save(ev, SaveMode::Always));
    // The update was rolled back; the registration stands, so no other calendar
    // can be given the id the binding holds.
    ASSERT_TRUE(host.outlookCalendar.has_value());
    EXPECT_NE(calendar("device"), *host.outlookCalendar);
    EXPECT_EQ(calendar("outlook key"), *host.outlookCalendar);
}

// ---- two programs on one file ---------------------------------------------------------------------

struct WriterResult {
    int stored = 0;
    int failed = 0;
    std::vector<EventKey> keys;
};

void writeEvents(const fs::path& folder, const std::string& tag, int rounds, std::atomic<bool>& go,
                 WriterResult& result) {
    settings::MemorySettingsStore backing;
    clsSettings settings(backing, folder.string());
    clsDataQVR store(settings, StoreOptions::mainProgram(folder.string()));
    if (!store.OpenData()) {
        result.failed = rounds;
        return;
    }
    while (!go.load()) std::this_thread::yield();
    for (int i = 0; i < rounds; ++i) {
        clsCalEvent ev = oneOff(tag + " " + std::to_string(i), d(2024, 4, 1 + i % 28, 9));
        bool ok = store.Save(ev, SaveMode::Always);
        if (ok) {
            ev.setDescription(tag + " edited " + std::to_string(i));
            ok = store.Save(ev, SaveMode::Always);
        }
        ok ? ++result.stored : ++result.failed;
        if (ok) result.keys.push_back(clsDataQVR::toEventKey(ev.WendraWinId()).value_or(0));
    }
}

TEST_F(StoreFile, TwoStoresWritingAtOnceLoseNoWrite) {
    constexpr int kRounds = 40;
    std::atomic<bool> go{false};
    WriterResult a, b;
    std::thread ta(writeEvents, folder.path(), "main", kRounds, std::ref(go), std::ref(a));
    std::thread tb(writeEvents, folder.path(), "gadget", kRounds, std::ref(go), std::ref(b));
    go = true;
    ta.join();
    tb.join();

    EXPECT_EQ(a.stored, kRounds);
    EXPECT_EQ(b.stored, kRounds);
    EXPECT_EQ(count("Events"), 2 * kRounds);
    EXPECT_EQ(count("Events", "UniDesc LIKE '" + toUtf8Hex("main edited").substr(0, 20) + "%'"), kRounds);
    for (const auto& r : {a, b})
        for (EventKey key : r.keys) EXPECT_NE(found(key).Description().find(" edited "), std::string::npos) << key;
}

// A store of its own in a forked process: the other program on the same file.
int saveInChild(const fs::path& folder, const std::function<int(clsDataQVR&)>& body) {
    settings::MemorySettingsStore backing;
    clsSettings settings(backing, folder.string());
    clsDataQVR store(settings, StoreOptions::mainProgram(folder.string()));
    if (!store.OpenData()) return 90;
    return body(store);
}

clsCalEvent foreignEvent(std::string description, int calendar, std::string xid) {
    clsCalEvent ev = oneOff(std::move(description), d(2024, 4, 1, 9));
    ev.setXCalendarId(calendar);
    ev.setXID(std::move(xid));
    return ev;
}

TEST_F(StoreFile, AForeignEventSavedWhileAnotherProgramLinksItIsLinkedOnce) {
    const int cal = calendar("phone");
    // The child is started while this process holds no lock: a forked process
    // inherits SQLite's record of the locks its parent holds.
    wendra::test::Gate gate;
    wendra::test::ChildProcess child([&] {
        return saveInChild(folder.path(), [&](clsDataQVR& own) {
            clsCalEvent ev = foreignEvent("from the phone", cal, "phone-7");
            gate.readyAndWait();
            return own.Save(ev, SaveMode::Always) ? 0 : 1;
        });
    });
    ASSERT_TRUE(child.started());
    gate.awaitReady(1);

    // The other program is saving the same foreign event: its row and link are
    // written, its transaction not yet committed.
    db::Connection other;
    ASSERT_TRUE(other.openFile(file()));
    ASSERT_TRUE(other.beginTrans());
    ASSERT_TRUE(other.execute("INSERT INTO Events (UniDesc, EventDate, ViewFromDate, PriorWarning, AutoDelete, "
                              "CreatorID, LastModified) VALUES ('41', #1 Apr 2024 09:00:00#, #1 Apr 2024 09:00:00#, "
                              "-1, 'M', " + std::to_string(cal) + ", #5 Mar 2024 14:00:00#)"));
    const auto stored = other.lastInsertId();
    ASSERT_TRUE(other.execute("INSERT INTO XData (XCalendarID, XID, WendraWinID, Status, LastModified, SyncFound) "
                              "VALUES (" + std::to_string(cal) + ", 'phone-7', " + std::to_string(stored) +
                              ", 0, #5 Mar 2024 14:00:00#, True)"));
    gate.open(1);
    // Time for the child to reach the lock; a child that looked the id up before
    // waiting for the lock would find no link and insert a second event.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(other.commitTrans());
    EXPECT_EQ(child.wait(), 0);

    EXPECT_EQ(count("Events"), 1);
    EXPECT_EQ(count("XData", "XID = 'phone-7'"), 1);
    EXPECT_EQ(found(stored).Description(), "from the phone");
}

TEST_F(StoreFile, AStoreThatCannotGetTheLockReportsNothingStored) {
    StoreOptions quick = StoreOptions::mainProgram(folder.path().string());
    quick.busyTimeout = std::chrono::milliseconds(100);
    clsDataQVR impatient(settings, quick);
    ASSERT_TRUE(impatient.OpenData());
    clsCalEvent existing = oneOff("existing", d(2024, 4, 1));
    const EventKey key = saved(existing);

    ASSERT_TRUE(raw.beginTrans());  // the other program holds the write lock
    clsCalEvent ev = oneOff("waiting", d(2024, 4, 2));
    EXPECT_FALSE(impatient.Save(ev, SaveMode::Always));
    EXPECT_EQ(ev.WendraWinId(), "");
    existing.setDescription("edited");
    EXPECT_FALSE(impatient.Save(existing, SaveMode::Always));
    EXPECT_FALSE(impatient.DeleteEvent(existing));
    ASSERT_TRUE(raw.rollbackTrans());

    EXPECT_EQ(count("Events"), 1);
    EXPECT_EQ(found(key).Description(), "existing");
    EXPECT_TRUE(impatient.Save(ev, SaveMode::Always));
    EXPECT_EQ(count("Events"), 2);
}

}  // namespace
