#pragma once

// Files under the database's name that the programs must refuse, each made
// fresh at a path: a file cut to nothing, other bytes, a bare SQLite header,
// and real SQLite files that lack one or all of the program's tables.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/Schema.h"

namespace wendra::test {

struct DamagedDatabase {
    std::string name;
    // A real database file with these tables dropped; else a file of `bytes`.
    bool sqlite = false;
    std::vector<std::string> dropped;
    std::string bytes;
};

inline std::vector<DamagedDatabase> damagedDatabases() {
    std::vector<DamagedDatabase> out = {
        {"Empty", false, {}, ""},
        {"Text", false, {}, "These are not the events you are looking for.\n"},
        {"HeaderAlone", false, {}, std::string("SQLite format 3\0", 16)},
        {"NoTables", true, {"Events", "XData", "XCalendar", "SyncRecord"}, ""},
    };
    for (std::string_view table : db::schemaTables())
        out.push_back({"No" + std::string(table), true, {std::string(table)}, ""});
    return out;
}

// Writes the damaged file at path, replacing what is there.
inline void makeDamagedDatabase(const DamagedDatabase& d, const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (!d.sqlite) {
        std::ofstream(path, std::ios::binary) << d.bytes;
        return;
    }
    ASSERT_TRUE(db::createDatabaseFile(path));
    db::Connection c;
    ASSERT_TRUE(c.openFile(path)) << c.lastError();
    // A file made by hand keeps a table of its own, so the file is not empty.
    ASSERT_TRUE(c.execute("CREATE TABLE Notes (Text TEXT)")) << c.lastError();
    for (const auto& table : d.dropped) ASSERT_TRUE(c.execute("DROP TABLE " + table)) << c.lastError();
    c.close();
}

inline std::string fileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void PrintTo(const DamagedDatabase& d, std::ostream* os) { *os << d.name; }

}  // namespace wendra::test
