#include <gtest/gtest.h>
#include <sqlite3.h>

#include "DbTestSupport.h"

using wendra::DateTime;
using namespace wendra::db;
using namespace wendra::db::test;

namespace {

class DbTransactions : public DatabaseTest {};

TEST_F(DbTransactions, RollbackUndoesEveryStatement) {
    const auto kept = addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    run("INSERT INTO XCalendar (UniqueID) VALUES ('phone')");

    ASSERT_TRUE(db.beginTrans()) << db.lastError();
    EXPECT_TRUE(db.inTransaction());
    EXPECT_GT(addEvent("62", DateTime::ymd(2024, 6, 1), DateTime::ymd(2024, 1, 1)), 0);
    run("UPDATE events SET UniDesc='00' WHERE WendraWinID=" + std::to_string(kept));
    run("DELETE * FROM XCalendar");
    run("INSERT INTO XData (XCalendarID, XID, WendraWinID, Status, LastModified, SyncFound) VALUES (1,'x'," +
        std::to_string(kept) + ",0,#1 Jan 2024 00:00:00#,True)");
    EXPECT_FALSE(db.execute("INSERT INTO NoSuchTable VALUES (1)"));  // a failed statement on the way
    ASSERT_TRUE(db.endTrans(false)) << db.lastError();
    EXPECT_FALSE(db.inTransaction());

    EXPECT_EQ(count("Events"), 1);
    EXPECT_EQ(count("Events", "UniDesc = '61'"), 1);
    EXPECT_EQ(count("XCalendar"), 1);
    EXPECT_EQ(count("XData"), 0);
}

TEST_F(DbTransactions, CommitIsSeenByAnotherConnection) {
    Connection other;
    ASSERT_TRUE(other.openFile(file())) << other.lastError();
    ASSERT_TRUE(db.beginTrans());
    addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    // Not before the commit...
    auto before = other.execute("SELECT count(*) AS n FROM Events");
    ASSERT_TRUE(before) << other.lastError();
    EXPECT_EQ(before->value("n"), Value{std::int64_t{0}});
    ASSERT_TRUE(db.endTrans(true)) << db.lastError();
    // ...and after it.
    auto after = other.execute("SELECT count(*) AS n FROM Events");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->value("n"), Value{std::int64_t{1}});
}

TEST_F(DbTransactions, FailedCommitIsReportedAndLeavesNothingBehind) {
    // A deferred constraint is checked only at the commit, so the commit itself fails.
    run("PRAGMA foreign_keys = ON");
    run("CREATE TABLE Parent (id INTEGER PRIMARY KEY)");
    run("CREATE TABLE Child (parent INTEGER REFERENCES Parent (id) DEFERRABLE INITIALLY DEFERRED)");

    ASSERT_TRUE(db.beginTrans());
    run("INSERT INTO Child (parent) VALUES (7)");
    addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    EXPECT_FALSE(db.commitTrans());
    EXPECT_FALSE(db.lastError().empty());
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(count("Child"), 0);
    EXPECT_EQ(count("Events"), 0);

    // The connection is usable again.
    ASSERT_TRUE(db.beginTrans()) << db.lastError();
    run("INSERT INTO Parent (id) VALUES (7)");
    run("INSERT INTO Child (parent) VALUES (7)");
    EXPECT_TRUE(db.commitTrans()) << db.lastError();
    EXPECT_EQ(count("Child"), 1);
}

TEST_F(DbTransactions, OneTransactionAtATime) {
    EXPECT_FALSE(db.commitTrans());
    EXPECT_FALSE(db.rollbackTrans());
    ASSERT_TRUE(db.beginTrans());
    EXPECT_FALSE(db.beginTrans());
    EXPECT_TRUE(db.inTransaction());
    EXPECT_FALSE(db.execute("COMMIT"));
    EXPECT_FALSE(db.execute("rollback"));
    EXPECT_FALSE(db.execute("SAVEPOINT a"));
    EXPECT_TRUE(db.inTransaction());
    EXPECT_TRUE(db.commitTrans());
    EXPECT_FALSE(db.commitTrans());
}

TEST_F(DbTransactions, APartIsKeptOrUndoneAloneWhileTheTransactionStands) {
    EXPECT_FALSE(db.beginPart()) << "no part outside a transaction";
    ASSERT_TRUE(db.beginTrans());
    addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    ASSERT_TRUE(db.beginPart()) << db.lastError();
    addEvent("62", DateTime::ymd(2024, 5, 2), DateTime::ymd(2024, 1, 1));
    ASSERT_TRUE(db.beginPart());  // parts nest
    addEvent("63", DateTime::ymd(2024, 5, 3), DateTime::ymd(2024, 1, 1));
    EXPECT_TRUE(db.endPart(false));
    EXPECT_TRUE(db.endPart(true));
    ASSERT_TRUE(db.beginPart());
    addEvent("64", DateTime::ymd(2024, 5, 4), DateTime::ymd(2024, 1, 1));
    EXPECT_TRUE(db.endPart(false));
    EXPECT_TRUE(db.inTransaction());
    ASSERT_TRUE(db.commitTrans()) << db.lastError();
    EXPECT_EQ(count("Events"), 2);
    EXPECT_EQ(count("Events", "UniDesc = '62'"), 1);
    EXPECT_FALSE(db.endPart(true));

    // Undone by the database itself (as after a full disk), a transaction takes no
    // part more: one would begin and commit a transaction of its own.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &other), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, "CREATE TRIGGER Undo AFTER INSERT ON Events WHEN NEW.UniDesc = '66' "
                                  "BEGIN SELECT RAISE(ROLLBACK, 'undone'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    ASSERT_TRUE(db.beginTrans());
    addEvent("65", DateTime::ymd(2024, 5, 5), DateTime::ymd(2024, 1, 1));
    EXPECT_EQ(addEvent("66", DateTime::ymd(2024, 5, 6), DateTime::ymd(2024, 1, 1)), 0);
    EXPECT_FALSE(db.beginPart());
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(count("Events"), 2);
}

TEST_F(DbTransactions, ClosingWithAnOpenTransactionRollsItBack) {
    ASSERT_TRUE(db.beginTrans());
    addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    db.close();
    EXPECT_FALSE(db.inTransaction());
    ASSERT_TRUE(db.openFile(file()));
    EXPECT_EQ(count("Events"), 0);
}

}  // namespace
