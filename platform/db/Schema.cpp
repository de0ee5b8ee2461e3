#include "platform/db/Schema.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>

namespace wendra::db {

namespace fs = std::filesystem;

namespace {

bool fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

// Runs the schema on a new file at path; false with the reason otherwise.
bool buildAt(const fs::path& path, std::string& why) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, Closer> db(raw);
    if (rc != SQLITE_OK) {
        why = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
        return false;
    }
    const std::string sql(schemaText());
    char* message = nullptr;
    const char* steps[] = {"BEGIN", sql.c_str(), "COMMIT", "PRAGMA journal_mode=WAL"};
    for (const char* step : steps) {
        if (sqlite3_exec(raw, step, nullptr, nullptr, &message) != SQLITE_OK) {
            why = message ? message : sqlite3_errmsg(raw);
            sqlite3_free(message);
            return false;
        }
    }
    // Closing the last connection folds the WAL back into the file and removes it, so
    // the one file is the whole database.
    if (sqlite3_close_v2(db.release()) != SQLITE_OK) {
        why = "cannot close the new database";
        return false;
    }
    return true;
}

}  // namespace

bool createDatabaseFile(const fs::path& file, std::string* error) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(file, ec))) return fail(error, file.string() + " exists already");
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");

    std::string pattern = (folder / ("." + file.filename().string() + ".new-XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return fail(error, "cannot make a file in " + folder.string() + ": " + std::strerror(errno));
    // mkstemp makes the file for its owner only; give it the modes any new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    const fs::path temporary(pattern);

    std::string why;
    bool ok = buildAt(temporary, why);
    // A hard link, unlike a rename, refuses to replace a file that appeared meanwhile.
    if (ok && ::link(temporary.c_str(), file.c_str()) != 0) {
        why = errno == EEXIST ? file.string() + " exists already" : std::string(std::strerror(errno));
        ok = false;
    }
    fs::remove(temporary, ec);
    for (const char* suffix : {"-wal", "-shm", "-journal"}) fs::remove(temporary.string() + suffix, ec);
    if (!ok) return fail(error, "cannot make " + file.string() + ": " + why);
    return true;
}

}  // namespace wendra::db
