#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/db/AccessSql.h"
#include "platform/db/Connection.h"
#include "platform/db/Schema.h"
#include "tests/support/TempFolder.h"

namespace wendra::db::test {

using wendra::test::TempFolder;

// A text literal as the store writes it: single quotes, each apostrophe doubled.
inline std::string textLiteral(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

inline std::string connectionTextFor(const std::filesystem::path& folder) {
    return "driver=Microsoft Access Driver (*.mdb);UID=admin;FIL=MS Access;DefaultDir=" + folder.string() +
           ";DBQ=WendraWin.dt";
}

// The column list of every INSERT of an event row, blanks as the store writes it.
inline constexpr std::string_view kEventColumns =
    "UniDesc,AllDayEvent,EventDate, ViewFromDate,PriorWarning, AutoDelete, iCalData, HiddenList, DescExceptions, "
    "hasExceptions,CreatorID,LastModified,Created, MSOCreated";

// A fresh database file in a temporary folder, opened.
class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder.path().empty());
        std::string error;
        ASSERT_TRUE(createDatabaseFile(file(), &error)) << error;
        ASSERT_TRUE(db.open(connectionTextFor(folder.path()))) << db.lastError();
    }

    std::filesystem::path file() const { return folder / kDatabaseFileName; }

    // Runs a statement that must succeed.
    RecordSet run(std::string_view sql) {
        auto rs = db.execute(sql);
        EXPECT_TRUE(rs.has_value()) << sql << "\n" << db.lastError();
        return rs.value_or(RecordSet{});
    }

    std::int64_t count(std::string_view table, std::string_view where = "") {
        std::string sql = "SELECT count(*) AS n FROM " + std::string(table);
        if (!where.empty()) sql += " WHERE " + std::string(where);
        const auto v = run(sql).value("n");
        const auto* n = std::get_if<std::int64_t>(&v);
        return n ? *n : -1;
    }

    // Inserts an event row the way the store does and answers its key (0 on failure).
    std::int64_t addEvent(std::string_view description, DateTime eventDate, DateTime viewFrom,
                          std::int64_t creator = -1) {
        const std::string sql = "INSERT INTO events (" + std::string(kEventColumns) + ") VALUES (" +
                                textLiteral(description) + ",True," + dateLiteral(eventDate) + "," + dateLiteral(viewFrom) +
                                ",-1," + textLiteral("M") + "," + textLiteral("RRULE:FREQ=YEARLY") + ",'','',False," +
                                std::to_string(creator) + "," + dateLiteral(DateTime::ymd(2024, 2, 1, 8, 30)) + "," +
                                dateLiteral(DateTime::ymd(2024, 1, 31, 23, 59, 58)) + "," + dateLiteral(DateTime()) +
                                ")";
        if (!db.execute(sql)) return 0;
        return db.lastInsertId();
    }

    TempFolder folder;
    Connection db;
};

}  // namespace wendra::db::test
