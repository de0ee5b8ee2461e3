#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "DbTestSupport.h"

using wendra::DateTime;
using namespace wendra::db;
using namespace wendra::db::test;
namespace fs = std::filesystem;

namespace {

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class DbSchema : public DatabaseTest {};

TEST_F(DbSchema, HoldsEveryColumnTheStoreWrites) {
    const std::string values = "'61',False,#1 May 2024 00:00:00#,#1 Jan 2024 00:00:00#,-1,'M','','','',False,3,"
                               "#1 Jan 2024 00:00:00#,#1 Jan 2024 00:00:00#,#30 Dec 1899 00:00:00#";
    run("INSERT INTO events (" + std::string(kEventColumns) + ") VALUES (" + values + ")");
    run("INSERT INTO SyncRecord ( SyncConfirmed,  WendraWinId,  XCalendarId, " + std::string(kEventColumns) +
        ") VALUES (True,1,3," + values + ")");
    run("INSERT INTO XCalendar (UniqueID) VALUES ('phone')");
    run("INSERT INTO XData (XCalendarID, XID, WendraWinID, Status, LastModified, SyncFound) VALUES (1,'x',1,0,"
        "#1 Jan 2024 00:00:00#,True)");

    for (const char* table : {"Events", "SyncRecord"}) {
        const RecordSet rs = run("SELECT * FROM " + std::string(table));
        for (const char* column : {"UniDesc", "AllDayEvent", "EventDate", "ViewFromDate", "PriorWarning", "AutoDelete",
                                   "iCalData", "HiddenList", "DescExceptions", "hasExceptions", "CreatorID",
                                   "LastModified", "Created", "MSOCreated", "WendraWinID"}) {
            EXPECT_TRUE(rs.hasField(column)) << table << "." << column;
        }
    }
    EXPECT_EQ(run("SELECT * FROM SyncRecord").value("SyncConfirmed"), Value{true});
    EXPECT_EQ(run("SELECT * FROM XData").value("SyncFound"), Value{true});
    EXPECT_EQ(run("SELECT * FROM XData").value("LastModified"), Value{DateTime::ymd(2024, 1, 1)});
}

TEST(DbSchemaFile, IsNeverReplaced) {
    TempFolder folder;
    const fs::path file = folder / kDatabaseFileName;
    {
        std::ofstream out(file);
        out << "the user's data";
    }
    std::string error;
    EXPECT_FALSE(createDatabaseFile(file, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(contentOf(file), "the user's data");
    // Nothing of the attempt is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);

    EXPECT_FALSE(createDatabaseFile(folder / "no-such-folder" / kDatabaseFileName, &error));
}

TEST(DbSchemaFile, IsOneWholeFile) {
    TempFolder folder;
    const fs::path file = folder / kDatabaseFileName;
    ASSERT_TRUE(createDatabaseFile(file));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
    // An SQLite file, so the sqlite3 tool reads it.
    EXPECT_EQ(contentOf(file).substr(0, 16), std::string("SQLite format 3\0", 16));
}

TEST(DbSchemaFile, BuildStepMakesTheFileOnceAndThenKeepsIt) {
    TempFolder folder;
    const fs::path file = folder / kDatabaseFileName;
    const std::string command = std::string(WENDRA_MAKE_DATABASE) + " '" + file.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    {
        Connection db;
        ASSERT_TRUE(db.openFile(file)) << db.lastError();
        ASSERT_TRUE(db.execute("INSERT INTO XCalendar (UniqueID) VALUES ('kept')"));
    }
    ASSERT_EQ(std::system(command.c_str()), 0);
    Connection db;
    ASSERT_TRUE(db.openFile(file));
    auto rs = db.execute("SELECT * FROM XCalendar");
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->value("UniqueID"), Value{std::string("kept")});
}

}  // namespace
