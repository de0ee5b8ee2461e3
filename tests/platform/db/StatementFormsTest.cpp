// Every statement form the store writes, run against a real file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DbTestSupport.h"

using wendra::DateTime;
using namespace wendra::db;
using namespace wendra::db::test;

namespace {

class DbStatements : public DatabaseTest {
protected:
    void addLink(std::int64_t calendar, std::string_view xid, std::int64_t event, std::string_view status) {
        run("INSERT INTO XData (XCalendarID, XID, WendraWinID, Status, LastModified, SyncFound) VALUES (" +
            std::to_string(calendar) + "," + textLiteral(xid) + "," + std::to_string(event) + "," + std::string(status) +
            "," + dateLiteral(DateTime::ymd(2024, 5, 1)) + ",True)");
    }

    std::vector<std::int64_t> keysOf(RecordSet rs, std::string_view field = "WendraWinID") {
        std::vector<std::int64_t> keys;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) keys.push_back(std::get<std::int64_t>(rs.value(field)));
        return keys;
    }
};

TEST_F(DbStatements, EventRowComesBackWithItsKinds) {
    const std::int64_t id = addEvent("4D756D", DateTime::ymd(2024, 3, 5, 14, 7, 9), DateTime::ymd(2024, 2, 20));
    ASSERT_GT(id, 0) << db.lastError();

    RecordSet rs = run("SELECT * FROM events WHERE WendraWinID=" + std::to_string(id));
    ASSERT_EQ(rs.recordCount(), 1u);
    EXPECT_EQ(rs.value("WendraWinID"), Value{id});
    EXPECT_EQ(rs.value("UniDesc"), Value{std::string("4D756D")});
    EXPECT_EQ(rs.value("AllDayEvent"), Value{true});
    EXPECT_EQ(rs.value("hasExceptions"), Value{false});
    EXPECT_EQ(rs.value("EventDate"), Value{DateTime::ymd(2024, 3, 5, 14, 7, 9)});
    EXPECT_EQ(rs.value("ViewFromDate"), Value{DateTime::ymd(2024, 2, 20)});
    EXPECT_EQ(rs.value("Created"), Value{DateTime::ymd(2024, 1, 31, 23, 59, 58)});
    EXPECT_EQ(rs.value("MSOCreated"), Value{DateTime()});
    EXPECT_EQ(rs.value("PriorWarning"), Value{std::int64_t{-1}});
    EXPECT_EQ(rs.value("CreatorID"), Value{std::int64_t{-1}});
    EXPECT_EQ(rs.value("AutoDelete"), Value{std::string("M")});
    EXPECT_EQ(rs.value("HiddenList"), Value{std::string()});

    // The file keeps the readable text form, so the sqlite3 tool shows the same dates.
    RecordSet raw = run("SELECT EventDate || '' AS t FROM Events");
    EXPECT_EQ(raw.value("t"), Value{std::string("2024-03-05 14:07:09")});
}

TEST_F(DbStatements, FieldNamesIgnoreCaseAndMissingOnesAreNotInvented) {
    addEvent("41", DateTime::ymd(2024, 1, 1), DateTime::ymd(2024, 1, 1));
    RecordSet rs = run("SELECT * FROM EVENTS");
    EXPECT_EQ(rs.field("wendrawinid"), rs.field("WendraWinID"));
    EXPECT_EQ(rs.value("UNIDESC"), Value{std::string("41")});
    EXPECT_TRUE(rs.hasField("alldayevent"));
    EXPECT_FALSE(rs.hasField("Description"));
    EXPECT_FALSE(rs.field("Description").has_value());
    EXPECT_TRUE(isNull(rs.value("Description")));
}

TEST_F(DbStatements, EmptyResultIsAtBothEndsAndStillNamesItsColumns) {
    RecordSet rs = run("SELECT * FROM Events WHERE UniDesc = 'x'");
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.recordCount(), 0u);
    EXPECT_TRUE(rs.hasField("AutoDelete"));
    EXPECT_FALSE(rs.field("AutoDelete").has_value());
    rs.moveFirst();
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
}

TEST_F(DbStatements, WalkInEventDateOrderAndBackToTheFirst) {
    const auto a = addEvent("61", DateTime::ymd(2024, 6, 1), DateTime::ymd(2024, 1, 5));
    const auto b = addEvent("62", DateTime::ymd(999, 6, 1), DateTime::ymd(2024, 1, 9));
    const auto c = addEvent("63", DateTime::ymd(2023, 12, 31, 23, 59, 59), DateTime::ymd(2024, 1, 1));

    RecordSet rs = run("SELECT * FROM events ORDER BY eventdate");
    EXPECT_FALSE(rs.bof());
    std::vector<std::int64_t> seen;
    while (!rs.eof()) {
        seen.push_back(std::get<std::int64_t>(rs.value("WendraWinID")));
        rs.moveNext();
    }
    EXPECT_EQ(seen, (std::vector<std::int64_t>{b, c, a}));
    EXPECT_FALSE(rs.field("WendraWinID").has_value());
    rs.moveNext();  // past the end stays at the end
    EXPECT_TRUE(rs.eof());
    rs.moveFirst();
    EXPECT_EQ(rs.value("WendraWinID"), Value{b});
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
}

TEST_F(DbStatements, DateLiteralsCompareAsDatesToTheSecond) {
    const auto a = addEvent("61", DateTime::ymd(2024, 6, 1), DateTime::ymd(2024, 3, 5, 0, 0, 0));
    const auto b = addEvent("62", DateTime::ymd(2024, 6, 2), DateTime::ymd(2024, 3, 5, 0, 0, 1));
    addEvent("63", DateTime::ymd(2024, 6, 3), DateTime::ymd(2025, 1, 1));

    EXPECT_EQ(keysOf(run("SELECT * FROM events WHERE ViewFromDate <= #5 Mar 2024 00:00:00# ORDER BY eventdate")),
              (std::vector<std::int64_t>{a}));
    EXPECT_EQ(keysOf(run("SELECT * FROM events WHERE ViewFromDate <= #5 Mar 2024 00:00:01# ORDER BY eventdate")),
              (std::vector<std::int64_t>{a, b}));
    EXPECT_EQ(keysOf(run("SELECT * FROM Events WHERE EventDate=#2 Jun 2024 00:00:00# AND   UniDesc='62'")),
              (std::vector<std::int64_t>{b}));
}

TEST_F(DbStatements, TextRoundTripsUnchanged) {
    const std::vector<std::string> texts = {
        "Mum's birthday",
        "say \"hi\" and ''twice''",
        "#5 Mar 2024 00:00:00#",
        "True",
        "False * DELETE * FROM Events",
        "a\tb\tc",
        "x'; DROP TABLE Events; --",
        "isnull(Status) (SELECT 1) ? :a @b $c",
        "line one\nline two\r\n",
        "Grüße 🎂",
        "   leading and trailing   ",
        "",
    };
    for (const std::string& text : texts) {
        const std::string insert = "INSERT INTO XCalendar (UniqueID) VALUES (" + textLiteral(text) + ")";
        ASSERT_TRUE(db.execute(insert)) << text << ": " << db.lastError();
        RecordSet rs = run("SELECT * FROM XCalendar WHERE XCalendarID = " + std::to_string(db.lastInsertId()));
        EXPECT_EQ(rs.value("UniqueID"), Value{text});
        // And found again by the same literal.
        EXPECT_EQ(run("SELECT * FROM XCalendar WHERE UniqueID = " + textLiteral(text)).recordCount(), 1u) << text;
    }
    EXPECT_EQ(count("XCalendar"), static_cast<std::int64_t>(texts.size()));
    EXPECT_EQ(count("Events"), 0);  // still there

    // The dialect's double-quoted text, with a doubled double quote inside.
    run("UPDATE XCalendar SET UniqueID = \"a \"\"b\"\" 'c'\" WHERE UniqueID = 'True'");
    EXPECT_EQ(count("XCalendar", "UniqueID = 'a \"b\" ''c'''"), 1);
}

TEST_F(DbStatements, ForeignIdsCompareIgnoringCaseAndDescriptionsDoNot) {
    addLink(3, "AbC-1", 10, "0");
    run("INSERT INTO XCalendar (UniqueID) VALUES ('VCalendar File')");
    EXPECT_EQ(count("XData", "XID = 'abc-1'"), 1);
    EXPECT_EQ(count("XData", "XID = 'ABC-1'"), 1);
    EXPECT_EQ(count("XCalendar", "UniqueID = 'vcalendar FILE'"), 1);
    // Hex descriptions are matched exactly: another text is another event.
    addEvent("6D756D", DateTime::ymd(2024, 1, 1), DateTime::ymd(2024, 1, 1));
    EXPECT_EQ(count("Events", "UniDesc = '6D756D'"), 1);
    EXPECT_EQ(count("Events", "UniDesc = '4D756D'"), 0);
}

TEST_F(DbStatements, IsNullFindsLiveLinks) {
    addLink(3, "a", 1, "0");
    addLink(3, "a", 2, "Null");
    addLink(3, "a", 3, "1");
    addLink(3, "a", 4, "2");
    addLink(4, "a", 5, "0");
    EXPECT_EQ(keysOf(run("SELECT WendraWinId FROM XDATA WHERE XID='a' AND XCalendarId=3 AND (Status=0 OR "
                         "isnull(Status) ) ORDER BY WendraWinId"),
                     "WendraWinId"),
              (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(count("XData", "isnull(Status)"), 1);
    EXPECT_EQ(count("XData", "NOT isnull ( Status ) AND isnull((SELECT Status FROM XData WHERE WendraWinID = 2))"), 4);
}

TEST_F(DbStatements, ScalarSubqueryFindsTheOneLinkedEvent) {
    const auto id = addEvent("61", DateTime::ymd(2024, 1, 1), DateTime::ymd(2024, 1, 1));
    addEvent("62", DateTime::ymd(2024, 1, 2), DateTime::ymd(2024, 1, 2));
    addLink(3, "X1", id, "0");
    addLink(3, "X2", id, "1");
    const std::string find = "SELECT * FROM events WHERE WendraWinID=(SELECT WendraWinID FROM XData WHERE XID = ";
    const std::string live = " AND XCalendarId=3 AND (Status=0 OR isnull(Status) ))";
    EXPECT_EQ(keysOf(run(find + "'x1'" + live)), (std::vector<std::int64_t>{id}));
    EXPECT_EQ(run(find + "'X2'" + live).recordCount(), 0u);  // no live link: nothing, but no failure
    EXPECT_EQ(run(find + "'none'" + live).recordCount(), 0u);
}

TEST_F(DbStatements, ScalarSubqueryMatchingTwoRowsFails) {
    const auto a = addEvent("61", DateTime::ymd(2024, 1, 1), DateTime::ymd(2024, 1, 1));
    const auto b = addEvent("62", DateTime::ymd(2024, 1, 2), DateTime::ymd(2024, 1, 2));
    addLink(3, "dup", a, "0");
    addLink(3, "DUP", b, "Null");
    const auto rs = db.execute(
        "SELECT * FROM events WHERE WendraWinID=(SELECT WendraWinID FROM XData WHERE XID = 'dup' AND XCalendarId=3 "
        "AND (Status=0 OR isnull(Status) ))");
    EXPECT_FALSE(rs.has_value());
    EXPECT_NE(db.lastError().find(kTooManyRowsMessage), std::string::npos) << db.lastError();
    // The same check guards a write: nothing is changed.
    EXPECT_FALSE(db.execute("UPDATE events SET UniDesc = '00' WHERE WendraWinID = (SELECT WendraWinID FROM XData)"));
    EXPECT_EQ(count("Events", "UniDesc = '00'"), 0);
    // A subquery of one row, and one that counts, still work.
    EXPECT_EQ(count("Events", "WendraWinID = (SELECT max(WendraWinID) FROM XData)"), 1);
    EXPECT_EQ(count("Events", "2 = (SELECT count(*) FROM XData WHERE XID = 'dup')"), 2);
}

TEST_F(DbStatements, NotInSubqueryListsEventsWithoutAnyLinkInDateOrder) {
    const auto a = addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    const auto b = addEvent("62", DateTime::ymd(2024, 4, 1), DateTime::ymd(2024, 1, 1));
    const auto c = addEvent("63", DateTime::ymd(2024, 3, 1), DateTime::ymd(2024, 1, 1));
    const auto d = addEvent("64", DateTime::ymd(2024, 2, 1), DateTime::ymd(2024, 1, 1));
    addLink(7, "x", a, "0");
    addLink(7, "y", c, "2");
    addLink(8, "z", d, "0");
    EXPECT_EQ(keysOf(run("SELECT * FROM Events WHERE WendraWinId NOT IN (SELECT WendraWinID FROM XData    WHERE "
                         "XCalendarId = 7) ORDER BY eventdate")),
              (std::vector<std::int64_t>{d, b}));
}

TEST_F(DbStatements, MaxAsNamesTheNewKey) {
    addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    const auto second = addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    RecordSet rs = run("SELECT max(WendraWinID) as aWendraWinID FROM EVENTS WHERE UniDesc='61' AND EventDate = "
                       "#1 May 2024 00:00:00#");
    EXPECT_EQ(rs.value("awendrawinid"), Value{second});
    RecordSet none = run("SELECT max(WendraWinID) as aWendraWinID FROM EVENTS WHERE UniDesc='99'");
    ASSERT_EQ(none.recordCount(), 1u);
    EXPECT_TRUE(isNull(none.value("aWendraWinID")));
}

TEST_F(DbStatements, UpdatesAndDeletesCountTheRowsTheyTouch) {
    const auto id = addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    addLink(3, "x", id, "0");
    run("INSERT INTO SyncRecord ( SyncConfirmed,  WendraWinId,  XCalendarId, " + std::string(kEventColumns) +
        ") VALUES (False," + std::to_string(id) + ",3,'61',False,#1 May 2024 00:00:00#,#1 Jan 2024 00:00:00#,-1,'M',"
        "'','','',False,3,#1 Jan 2024 00:00:00#,#1 Jan 2024 00:00:00#,#30 Dec 1899 00:00:00#)");

    EXPECT_EQ(run("UPDATE events SET MSOCreated=#2 Feb 2024 10:00:00# WHERE WendraWinID=" + std::to_string(id))
                  .recordsAffected(),
              1);
    EXPECT_EQ(run("UPDATE events SET MSOCreated=#2 Feb 2024 10:00:00# WHERE WendraWinID=999").recordsAffected(), 0);
    EXPECT_EQ(run("UPDATE SyncRecord SET SyncConfirmed = True WHERE WendraWinId = " + std::to_string(id) +
                  "   AND XCalendarId = 3")
                  .recordsAffected(),
              1);
    EXPECT_EQ(count("SyncRecord", "SyncConfirmed = True"), 1);
    EXPECT_EQ(run("SELECT * FROM SyncRecord").value("SyncConfirmed"), Value{true});

    EXPECT_EQ(run("DELETE FROM events WHERE WendraWinID =" + std::to_string(id)).recordsAffected(), 1);
    EXPECT_EQ(run("UPDATE xdata SET Status = 1 ,LastModified = #3 Feb 2024 11:00:00# WHERE WendraWinID =" +
                  std::to_string(id))
                  .recordsAffected(),
              1);
    EXPECT_EQ(run("DELETE * FROM SyncRecord WHERE WendraWinID =" + std::to_string(id)).recordsAffected(), 1);
    EXPECT_EQ(run("DELETE * FROM SyncRecord WHERE WendraWinID =" + std::to_string(id)).recordsAffected(), 0);
    EXPECT_EQ(run("SELECT * FROM XData").value("LastModified"), Value{DateTime::ymd(2024, 2, 3, 11)});
    EXPECT_EQ(run("SELECT 1 AS one").recordsAffected(), 0);
}

TEST_F(DbStatements, FlagsAreWrittenAsWordsAndMatchedAsWords) {
    addLink(3, "a", 1, "0");
    addLink(3, "b", 2, "0");
    run("UPDATE XData SET SyncFound = False WHERE XCalendarID = 3");
    run("UPDATE XData SET SyncFound = True WHERE XCalendarID = 3 AND WendraWinId = 2");
    EXPECT_EQ(keysOf(run("SELECT * FROM XData WHERE XCalendarId = 3   AND SyncFound = False")),
              (std::vector<std::int64_t>{1}));
}

TEST_F(DbStatements, SchemaUpgradeStatementsRun) {
    // A file of an older version had no AutoDelete column.
    run("ALTER TABLE Events DROP COLUMN AutoDelete");
    addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));  // fails: no such column
    EXPECT_EQ(count("Events"), 0);
    run("INSERT INTO Events (UniDesc) VALUES ('61')");
    EXPECT_FALSE(run("SELECT * FROM Events WHERE UniDesc = 'x'").hasField("AutoDelete"));
    run("ALTER TABLE Events ADD COLUMN AutoDelete varchar(1)");
    run("UPDATE Events SET AutoDelete='M'");
    EXPECT_EQ(run("SELECT * FROM Events").value("autodelete"), Value{std::string("M")});
}

TEST_F(DbStatements, SecondStatementIsRefusedAndNothingRuns) {
    addEvent("61", DateTime::ymd(2024, 5, 1), DateTime::ymd(2024, 1, 1));
    EXPECT_FALSE(db.execute("DELETE FROM Events; DELETE FROM XData"));
    EXPECT_FALSE(db.lastError().empty());
    EXPECT_FALSE(db.execute("DELETE FROM Events WHERE UniDesc = '61'; DROP TABLE Events"));
    EXPECT_FALSE(db.execute("DELETE FROM Events WHERE UniDesc = '61' -- trailing words"));
    EXPECT_EQ(count("Events"), 1);
    EXPECT_TRUE(db.execute("DELETE FROM Events WHERE UniDesc = '61';"));
    EXPECT_EQ(count("Events"), 0);
}

TEST_F(DbStatements, FailuresAnswerEmptyAndSayWhy) {
    EXPECT_FALSE(db.execute("SELECT * FROM NoSuchTable"));
    EXPECT_NE(db.lastError().find("NoSuchTable"), std::string::npos) << db.lastError();
    EXPECT_FALSE(db.execute("SELECT * FROM Events WHERE EventDate = #31 Feb 2024#"));
    EXPECT_NE(db.lastError().find("31 Feb 2024"), std::string::npos) << db.lastError();
    EXPECT_FALSE(db.execute("BEGIN"));
    EXPECT_FALSE(db.execute("COMMIT"));
    EXPECT_TRUE(db.execute("SELECT 1"));
    EXPECT_TRUE(db.lastError().empty());
}

}  // namespace
