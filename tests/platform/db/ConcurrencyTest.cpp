// The main program and the gadget library write the same file at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "DbTestSupport.h"

using wendra::DateTime;
using namespace wendra::db;
using namespace wendra::db::test;
using namespace std::chrono_literals;

namespace {

class DbConcurrency : public DatabaseTest {};

struct WriterResult {
    int reportedStored = 0;
    int reportedFailed = 0;
    std::string firstError;
};

// Writes rounds of an event and its link, alternately in a transaction and as single
// statements, all marked with the writer's calendar id.
void writeRounds(const std::filesystem::path& file, int calendar, int rounds, std::atomic<bool>& go,
                 WriterResult& result) {
    Connection c;
    if (!c.openFile(file)) {
        result.firstError = c.lastError();
        result.reportedFailed = rounds;
        return;
    }
    while (!go.load()) std::this_thread::yield();
    const std::string cal = std::to_string(calendar);
    for (int i = 0; i < rounds; ++i) {
        const std::string insert = "INSERT INTO events (UniDesc, EventDate, CreatorID) VALUES ('" + std::to_string(i) +
                                   "', #1 Jan 2024 00:00:00#, " + cal + ")";
        bool ok = false;
        if (i % 2 == 0) {
            ok = c.beginTrans() && c.execute(insert).has_value() &&
                 c.execute("INSERT INTO XData (XCalendarID, XID, WendraWinID, Status, SyncFound) VALUES (" + cal +
                           ", 'x', " + std::to_string(c.lastInsertId()) + ", 0, True)")
                     .has_value();
            if (c.inTransaction()) ok = c.endTrans(ok) && ok;
        } else {
            ok = c.execute(insert).has_value() &&
                 c.execute("INSERT INTO XData (XCalendarID, XID, WendraWinID, Status, SyncFound) VALUES (" + cal +
                           ", 'x', " + std::to_string(c.lastInsertId()) + ", 0, True)")
                     .has_value();
        }
        if (ok) {
            ++result.reportedStored;
        } else {
            ++result.reportedFailed;
            if (result.firstError.empty()) result.firstError = c.lastError();
        }
    }
}

TEST_F(DbConcurrency, TwoConnectionsWritingAtOnceLoseNoWrite) {
    constexpr int kRounds = 120;
    std::atomic<bool> go{false};
    WriterResult a, b;
    std::thread ta(writeRounds, file(), 101, kRounds, std::ref(go), std::ref(a));
    std::thread tb(writeRounds, file(), 102, kRounds, std::ref(go), std::ref(b));
    go = true;
    ta.join();
    tb.join();

    // With the busy time-out every write waits its turn, so all of them are stored...
    EXPECT_EQ(a.reportedStored, kRounds) << a.firstError;
    EXPECT_EQ(b.reportedStored, kRounds) << b.firstError;
    // ...and each one reported stored is there, with its link.
    EXPECT_EQ(count("Events", "CreatorID = 101"), a.reportedStored);
    EXPECT_EQ(count("Events", "CreatorID = 102"), b.reportedStored);
    EXPECT_EQ(count("XData", "XCalendarID = 101 AND WendraWinID IN (SELECT WendraWinID FROM Events WHERE "
                             "CreatorID = 101)"),
              a.reportedStored);
    EXPECT_EQ(count("XData", "XCalendarID = 102 AND WendraWinID IN (SELECT WendraWinID FROM Events WHERE "
                             "CreatorID = 102)"),
              b.reportedStored);
    // No key was handed out twice.
    EXPECT_EQ(count("Events"), 2 * kRounds);
    EXPECT_EQ(run("SELECT count(DISTINCT WendraWinID) AS n FROM Events").value("n"), Value{std::int64_t{2 * kRounds}});
}

TEST_F(DbConcurrency, WriteThatCannotGetTheLockIsReportedAsFailed) {
    Connection other;
    ASSERT_TRUE(other.openFile(file()));
    other.setBusyTimeout(50ms);

    ASSERT_TRUE(db.beginTrans());
    addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));

    EXPECT_FALSE(other.execute("INSERT INTO XCalendar (UniqueID) VALUES ('phone')"));
    EXPECT_NE(other.lastError().find("locked"), std::string::npos) << other.lastError();
    EXPECT_FALSE(other.beginTrans());
    EXPECT_FALSE(other.inTransaction());
    // Reading goes on meanwhile, and sees only what was committed.
    auto seen = other.execute("SELECT count(*) AS n FROM Events");
    ASSERT_TRUE(seen) << other.lastError();
    EXPECT_EQ(seen->value("n"), Value{std::int64_t{0}});

    ASSERT_TRUE(db.commitTrans());
    EXPECT_EQ(count("XCalendar"), 0);  // the refused write did not happen later behind the caller's back
    EXPECT_TRUE(other.execute("INSERT INTO XCalendar (UniqueID) VALUES ('phone')")) << other.lastError();
    EXPECT_EQ(count("XCalendar"), 1);
}

}  // namespace

TEST_F(DbConcurrency, ColumnsFollowASchemaChangeMadeByAnotherConnection) {
    run("CREATE TABLE Probe (a INTEGER, b INTEGER)");
    run("INSERT INTO Probe (a, b) VALUES (1, 2)");
    ASSERT_TRUE(run("SELECT * FROM Probe").hasField("b"));  // this connection now knows the old table
    Connection other;
    ASSERT_TRUE(other.openFile(file())) << other.lastError();
    ASSERT_TRUE(other.execute("ALTER TABLE Probe ADD COLUMN c INTEGER")) << other.lastError();
    const RecordSet rs = run("SELECT * FROM Probe");
    EXPECT_TRUE(rs.hasField("c"));
    EXPECT_TRUE(wendra::db::isNull(rs.value("c")));
    EXPECT_EQ(std::get<std::int64_t>(rs.value("b")), 2);
}
