#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "DbTestSupport.h"
#include "tests/support/DamagedDatabase.h"

using wendra::DateTime;
using namespace wendra::db;
using namespace wendra::db::test;
namespace fs = std::filesystem;

namespace {

TEST(DbConnectionText, NamesTheFileInItsFolder) {
    const std::string tail = ";DBQ=WendraWin.dt";
    const std::string head = "driver=Microsoft Access Driver (*.mdb);UID=admin;FIL=MS Access;DefaultDir=";
    EXPECT_EQ(databaseFileFromConnectionText(head + "/opt/wendra" + tail), fs::path("/opt/wendra/WendraWin.dt"));
    EXPECT_EQ(databaseFileFromConnectionText(head + "/opt/wendra/" + tail), fs::path("/opt/wendra/WendraWin.dt"));
    // A folder may hold blanks, "=" and ";" without ending its value.
    EXPECT_EQ(databaseFileFromConnectionText(head + "/home/a b/x=1;y" + tail),
              fs::path("/home/a b/x=1;y/WendraWin.dt"));
    EXPECT_EQ(databaseFileFromConnectionText("dbq=data.dt;defaultdir={/srv/a;DBQ=b}"), fs::path("/srv/a;DBQ=b/data.dt"));
    EXPECT_EQ(databaseFileFromConnectionText("DefaultDir=/srv;DBQ=/elsewhere/x.dt;"), fs::path("/elsewhere/x.dt"));
    EXPECT_EQ(databaseFileFromConnectionText("DBQ=x.dt"), fs::path("x.dt"));
    EXPECT_FALSE(databaseFileFromConnectionText(head + "/opt/wendra"));
    EXPECT_FALSE(databaseFileFromConnectionText("DefaultDir=/opt;DBQ="));
    EXPECT_FALSE(databaseFileFromConnectionText(""));
}

TEST(DbConnection, OpensAnExistingFileFromTheConnectionText) {
    TempFolder folder;
    ASSERT_TRUE(createDatabaseFile(folder / kDatabaseFileName));
    Connection db;
    ASSERT_TRUE(db.open(connectionTextFor(folder.path()))) << db.lastError();
    EXPECT_TRUE(db.isOpen());
    EXPECT_EQ(db.file(), folder / kDatabaseFileName);
    auto mode = db.execute("PRAGMA journal_mode");
    ASSERT_TRUE(mode) << db.lastError();
    EXPECT_EQ(mode->value("journal_mode"), Value{std::string("wal")});
    db.close();
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(db.execute("SELECT 1"));
}

TEST(DbConnection, NeverCreatesAFile) {
    TempFolder folder;
    Connection db;
    EXPECT_FALSE(db.open(connectionTextFor(folder.path())));
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(db.lastError().empty());
    EXPECT_FALSE(db.openFile(folder / "missing" / kDatabaseFileName));
    EXPECT_TRUE(fs::is_empty(folder.path()));
    EXPECT_FALSE(db.execute("SELECT 1"));
    EXPECT_FALSE(db.beginTrans());
}

TEST(DbConnection, RefusesWhatIsNotADatabase) {
    TempFolder folder;
    {
        std::ofstream text(folder / kDatabaseFileName);
        text << "These are not the events you are looking for.\n";
    }
    Connection db;
    EXPECT_FALSE(db.open(connectionTextFor(folder.path())));
    EXPECT_FALSE(db.lastError().empty());
    fs::create_directory(folder / "folder.dt");
    EXPECT_FALSE(db.openFile(folder / "folder.dt"));
    EXPECT_FALSE(db.open("driver=x;UID=admin"));
}

TEST(DbConnection, ReopeningOneConnectionClosesTheFirstFile) {
    TempFolder folder;
    ASSERT_TRUE(createDatabaseFile(folder / "a.dt"));
    ASSERT_TRUE(createDatabaseFile(folder / "b.dt"));
    Connection db;
    ASSERT_TRUE(db.openFile(folder / "a.dt"));
    ASSERT_TRUE(db.execute("INSERT INTO XCalendar (UniqueID) VALUES ('a')"));
    ASSERT_TRUE(db.openFile(folder / "b.dt"));
    auto rs = db.execute("SELECT count(*) AS n FROM XCalendar");
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->value("n"), Value{std::int64_t{0}});
    // A failed open leaves the connection closed, not on the old file.
    EXPECT_FALSE(db.openFile(folder / "c.dt"));
    EXPECT_FALSE(db.isOpen());
}

class DbBackup : public DatabaseTest {};

TEST_F(DbBackup, CopiesWhatIsCommittedWhileTheFileIsInUse) {
    addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    const fs::path backup = folder / "WendraWin.bak_Mon";
    {
        std::ofstream old(backup);
        old << "last week's copy";
    }
    // A transaction of another connection is under way: it is not part of the copy.
    Connection other;
    ASSERT_TRUE(other.openFile(file()));
    ASSERT_TRUE(other.beginTrans());
    ASSERT_TRUE(other.execute("INSERT INTO XCalendar (UniqueID) VALUES ('phone')"));

    ASSERT_TRUE(db.backupTo(backup)) << db.lastError();
    ASSERT_TRUE(other.commitTrans());
    EXPECT_FALSE(fs::exists(folder / "WendraWin.bak_Mon.new"));

    Connection copy;
    ASSERT_TRUE(copy.openFile(backup)) << copy.lastError();
    auto events = copy.execute("SELECT * FROM Events");
    ASSERT_TRUE(events) << copy.lastError();
    EXPECT_EQ(events->recordCount(), 1u);
    EXPECT_EQ(events->value("UniDesc"), Value{std::string("61")});
    auto calendars = copy.execute("SELECT * FROM XCalendar");
    ASSERT_TRUE(calendars);
    EXPECT_EQ(calendars->recordCount(), 0u);

    EXPECT_FALSE(db.backupTo(folder / "no-such-folder" / "x.bak"));
    EXPECT_FALSE(db.lastError().empty());
}

class DbKeys : public DatabaseTest {};

TEST_F(DbKeys, AreNeverGivenTwice) {
    const auto a = addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    const auto b = addEvent("62", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    EXPECT_EQ(b, a + 1);
    run("DELETE FROM events WHERE WendraWinID =" + std::to_string(b));
    db.close();
    ASSERT_TRUE(db.openFile(file()));
    const auto c = addEvent("63", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    EXPECT_GT(c, b);
    EXPECT_EQ(run("SELECT max(WendraWinID) as m FROM Events").value("m"), Value{c});

    run("INSERT INTO XCalendar (UniqueID) VALUES ('one')");
    const auto calendar = db.lastInsertId();
    EXPECT_GT(calendar, 0);  // -1 is the local calendar and never stored
    run("DELETE * FROM XCalendar");
    run("INSERT INTO XCalendar (UniqueID) VALUES ('one')");
    EXPECT_GT(db.lastInsertId(), calendar);
}

TEST_F(DbKeys, CalendarIdentityIsRegisteredOnce) {
    run("INSERT INTO XCalendar (UniqueID) VALUES ('VCalendar File')");
    EXPECT_FALSE(db.execute("INSERT INTO XCalendar (UniqueID) VALUES ('vcalendar file')"));
    EXPECT_EQ(count("XCalendar"), 1);
}

// ---- files the program must refuse ----------------------------------------------

class DbDamagedFile : public ::testing::TestWithParam<wendra::test::DamagedDatabase> {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder.path().empty());
        wendra::test::makeDamagedDatabase(GetParam(), file());
        before = wendra::test::fileBytes(file());
    }
    fs::path file() const { return folder / kDatabaseFileName; }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder.path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder folder;
    std::string before;
};

TEST_P(DbDamagedFile, IsRefusedWithTheProgramsTablesAndLeftAsItWas) {
    Connection db;
    EXPECT_FALSE(db.open(connectionTextFor(folder.path()), schemaTables()));
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(db.lastError().empty());
    EXPECT_EQ(wendra::test::fileBytes(file()), before);
    EXPECT_EQ(files(), std::vector<std::string>{kDatabaseFileName});
    // Opened again as what it is, it still holds what it held: nothing was added.
    if (GetParam().sqlite) {
        ASSERT_TRUE(db.openFile(file())) << db.lastError();
        auto tables = db.execute("SELECT name FROM sqlite_master WHERE type = 'table' AND name <> 'sqlite_sequence'");
        ASSERT_TRUE(tables);
        EXPECT_EQ(tables->recordCount(), 1u + 4u - GetParam().dropped.size());
    } else {
        EXPECT_FALSE(db.openFile(file()));
    }
}

TEST_P(DbDamagedFile, IsNeverCopiedOverAGoodBackup) {
    const fs::path backup = folder / "WendraWin.bak_Tue";
    ASSERT_TRUE(createDatabaseFile(backup));
    const std::string good = wendra::test::fileBytes(backup);
    Connection db;
    // Opened without the checks, as far as it opens at all.
    if (db.openFile(file())) {
        EXPECT_FALSE(db.backupTo(backup, schemaTables()));
    }
    EXPECT_EQ(wendra::test::fileBytes(backup), good);
    EXPECT_FALSE(fs::exists(folder / "WendraWin.bak_Tue.new"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, DbDamagedFile, ::testing::ValuesIn(wendra::test::damagedDatabases()),
                         [](const auto& info) { return info.param.name; });

TEST(DbConnection, TheProgramsOwnFileHasEveryTable) {
    TempFolder folder;
    ASSERT_TRUE(createDatabaseFile(folder / kDatabaseFileName));
    Connection db;
    EXPECT_TRUE(db.open(connectionTextFor(folder.path()), schemaTables())) << db.lastError();
    // Names compare as SQLite's do, ignoring case.
    const std::string_view lower[] = {"events", "xdata"};
    EXPECT_TRUE(db.openFile(folder / kDatabaseFileName, lower)) << db.lastError();
    const std::string_view other[] = {"Events", "Notes"};
    EXPECT_FALSE(db.openFile(folder / kDatabaseFileName, other));
    EXPECT_NE(db.lastError().find("Notes"), std::string::npos);
}

}  // namespace
