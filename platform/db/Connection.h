#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/db/RecordSet.h"

struct sqlite3;
struct sqlite3_stmt;

namespace wendra::db {

// The database file a connection text names: its DBQ, in the folder of its DefaultDir
// unless DBQ is itself an absolute path. Keys compare ignoring case; a value may be
// wrapped in braces, and a ";" inside a value stays part of it unless a new key follows.
// nullopt when the text names no file.
std::optional<std::filesystem::path> databaseFileFromConnectionText(std::string_view text);

// One connection to the program's SQLite database file.
//
// The main program and the gadget library open the same file at once, so the file is
// kept in WAL mode, every statement waits a while for the other's lock (the busy
// time-out) and transactions take the write lock when they begin (BEGIN IMMEDIATE), so
// that one never fails half-way for want of it.
//
// No member throws: each answers success or an empty result, and lastError() then
// tells why (it is empty after a call that succeeded).
class Connection {
public:
    static constexpr std::chrono::milliseconds kDefaultBusyTimeout{10000};

    Connection();
    ~Connection();
    Connection(Connection&&) noexcept;
    Connection& operator=(Connection&&) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the file the connection text names. The file must exist and be a database:
    // a connection never creates one. A file that is empty or no database, or that
    // lacks one of the required tables, is refused before anything is written to it
    // (an empty file would otherwise become an empty database).
    bool open(std::string_view connectionText, std::span<const std::string_view> requiredTables = {});
    bool openFile(const std::filesystem::path& file, std::span<const std::string_view> requiredTables = {});
    // Rolls back an open transaction, then closes. Safe to call when not open.
    void close();
    bool isOpen() const { return db_ != nullptr; }
    const std::filesystem::path& file() const { return file_; }

    // Runs one statement of the desktop dialect (see AccessSql.h). The answer holds the
    // rows it returned (none for a statement that returns none); nullopt when it failed.
    // Transaction statements are refused here: use the members below.
    std::optional<RecordSet> execute(std::string_view sql);

    // BEGIN IMMEDIATE; false when a transaction is open already or the write lock
    // could not be had within the busy time-out.
    bool beginTrans();
    // Commits; when the commit fails the transaction is rolled back and the answer is false.
    bool commitTrans();
    // Rolls back; true when nothing of the transaction remains.
    bool rollbackTrans();
    // commitTrans() when commit is true, else rollbackTrans().
    bool endTrans(bool commit) { return commit ? commitTrans() : rollbackTrans(); }
    bool inTransaction() const { return inTransaction_; }
    // Inside an open transaction: a part of it that its end keeps or undoes on its
    // own (a savepoint), while the rest of the transaction stands. Parts nest. False
    // outside a transaction; an undone part is false when the database had to undo
    // the whole transaction instead (it is closed then).
    bool beginPart();
    bool endPart(bool keep);

    // Writes a consistent copy of the whole database to file, replacing that file. A copy
    // of WendraWin.dt alone may miss what still waits in its WAL beside it. The copy
    // replaces the file only when it holds the required tables, so a good backup is
    // never given up for a copy that could not be opened.
    bool backupTo(const std::filesystem::path& file, std::span<const std::string_view> requiredTables = {});

    // The key the last successful INSERT of this connection was given.
    std::int64_t lastInsertId() const;

    void setBusyTimeout(std::chrono::milliseconds timeout);

    const std::string& lastError() const { return lastError_; }

private:
    bool fail(std::string message);
    bool failWithDatabaseError(std::string_view what);
    bool runPlain(const char* sql);

    struct Closer {
        void operator()(sqlite3* db) const;
    };
    struct Finalizer {
        void operator()(sqlite3_stmt* s) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;
    // The statement prepared for a translated text, taken again for the next statement
    // of the same text: the store runs a few shapes of statement thousands of times in
    // a synchronisation, and preparing each afresh was a fifth of its work.
    Statement prepared(const std::string& sql, const char** tail);
    void keep(std::string sql, Statement statement);
    std::unordered_map<std::string, Statement> statements_;
    std::unique_ptr<sqlite3, Closer> db_;
    std::filesystem::path file_;
    std::chrono::milliseconds busyTimeout_ = kDefaultBusyTimeout;
    bool inTransaction_ = false;
    std::string lastError_;
};

// A statement to run on a connection, as a command object of its own: several may be
// made and run one after another on one connection while record sets are being read.
class Command {
public:
    Command(Connection& connection, std::string text) : connection_(connection), text_(std::move(text)) {}

    const std::string& text() const { return text_; }
    std::optional<RecordSet> execute() { return connection_.execute(text_); }
    bool run() { return execute().has_value(); }

private:
    Connection& connection_;
    std::string text_;
};

}  // namespace wendra::db
