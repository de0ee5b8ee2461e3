#pragma once

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace wendra::db {

// The name of the program's database file in its data folder.
inline constexpr const char* kDatabaseFileName = "WendraWin.dt";

// The tables every database file of the program holds. A file without one of them
// is not the program's database: the programs refuse it rather than work on it.
inline constexpr std::array<std::string_view, 4> kSchemaTables = {"Events", "XData", "XCalendar", "SyncRecord"};
inline std::span<const std::string_view> schemaTables() { return kSchemaTables; }

// The statements that make an empty database file of the program (data/db/WendraWin.sql).
std::string_view schemaText();

// Makes a new, empty database file with the program's schema. It never replaces a
// file: when one exists at that path it answers false and leaves it as it is. The
// file appears whole or not at all (it is built under a temporary name beside it).
// For the build step and for tests; the programs themselves only open a file.
bool createDatabaseFile(const std::filesystem::path& file, std::string* error = nullptr);

}  // namespace wendra::db
