#include "platform/db/Connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <system_error>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/db/AccessSql.h"
#include "platform/text/Text.h"

namespace wendra::db {

namespace fs = std::filesystem;

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Whether text at i reads like the start of a new attribute: a key of letters, digits,
// blanks or "_", then "=".
bool keyFollows(std::string_view text, std::size_t i) {
    std::size_t j = i;
    while (j < text.size() && isSpace(text[j])) ++j;
    const std::size_t start = j;
    while (j < text.size() && (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '_' || text[j] == ' '))
        ++j;
    return j > start && j < text.size() && text[j] == '=';
}

std::vector<std::pair<std::string, std::string>> attributesOf(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ';' || isSpace(text[i]))) ++i;
        const std::size_t eq = text.find('=', i);
        if (i >= text.size() || eq == std::string_view::npos) break;
        std::string key(trimmed(text.substr(i, eq - i)));
        i = eq + 1;
        std::string value;
        if (i < text.size() && text[i] == '{') {
            const std::size_t close = text.find('}', i + 1);
            const std::size_t end = close == std::string_view::npos ? text.size() : close;
            value = std::string(text.substr(i + 1, end - i - 1));
            i = text.find(';', end);
            if (i == std::string_view::npos) i = text.size();
        } else {
            std::size_t end = i;
            while (end < text.size() && !(text[end] == ';' && keyFollows(text, end + 1))) ++end;
            value = std::string(text.substr(i, end - i));
            // A final ";" ends the text, it is not part of the last value.
            if (end == text.size() && !value.empty() && value.back() == ';') value.pop_back();
            i = end;
        }
        out.emplace_back(std::move(key), std::move(value));
    }
    return out;
}

void tooManyRows(sqlite3_context* context, int, sqlite3_value**) {
    sqlite3_result_error(context, kTooManyRowsMessage, -1);
}

enum class ColumnKind { Plain, Boolean, DateTime };

ColumnKind kindOf(const char* declared) {
    if (declared == nullptr) return ColumnKind::Plain;
    std::string up;
    for (const char* p = declared; *p; ++p) up += upperAscii(*p);
    if (up.find("BOOL") != std::string::npos || up == "BIT" || up == "YESNO") return ColumnKind::Boolean;
    if (up.find("DATE") != std::string::npos || up.find("TIME") != std::string::npos) return ColumnKind::DateTime;
    return ColumnKind::Plain;
}

Value readColumn(sqlite3_stmt* stmt, int i, ColumnKind kind) {
    switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_NULL:
            return Value{};
        case SQLITE_INTEGER: {
            const std::int64_t n = sqlite3_column_int64(stmt, i);
            if (kind == ColumnKind::Boolean) return Value{n != 0};
            return Value{n};
        }
        case SQLITE_FLOAT:
            return Value{sqlite3_column_double(stmt, i)};
        default: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            std::string text(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, i)));
            if (kind == ColumnKind::DateTime)
                if (const auto d = DateTime::fromIsoText(text)) return Value{*d};
            return Value{std::move(text)};
        }
    }
}

int bindValue(sqlite3_stmt* stmt, int index, const Value& v) {
    return std::visit(
        [&](const auto& x) -> int {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return sqlite3_bind_null(stmt, index);
            } else if constexpr (std::is_same_v<T, bool>) {
                return sqlite3_bind_int(stmt, index, x ? 1 : 0);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return sqlite3_bind_int64(stmt, index, x);
            } else if constexpr (std::is_same_v<T, double>) {
                return sqlite3_bind_double(stmt, index, x);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return sqlite3_bind_text64(stmt, index, x.data(), x.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            } else {
                const std::string text = x.isoText();
                return sqlite3_bind_text64(stmt, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            }
        },
        v);
}

std::string firstWord(std::string_view sql) {
    std::size_t i = 0;
    while (i < sql.size() && (isSpace(sql[i]) || sql[i] == '(')) ++i;
    std::string word;
    while (i < sql.size() && std::isalpha(static_cast<unsigned char>(sql[i]))) word += upperAscii(sql[i++]);
    return word;
}

bool controlsTransactions(std::string_view sql) {
    const std::string w = firstWord(sql);
    return w == "BEGIN" || w == "COMMIT" || w == "END" || w == "ROLLBACK" || w == "SAVEPOINT" || w == "RELEASE";
}

// What every SQLite database file begins with.
constexpr std::string_view kFileHeader{"SQLite format 3\0", 16};

// Whether the file begins as a database does. SQLite takes an empty file for an
// empty database and writes one into it at the first change, so a file cut to
// nothing must be turned away before SQLite sees it.
bool looksLikeDatabase(const fs::path& file, std::string& why) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (f == nullptr) {
        why = "cannot read " + file.string();
        return false;
    }
    char head[16] = {};
    const std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    if (n == 0) {
        why = file.string() + " is empty";
        return false;
    }
    if (n < sizeof head || std::string_view(head, n) != kFileHeader) {
        why = file.string() + " is no database";
        return false;
    }
    return true;
}

// The first required table the database lacks, or nullopt when it has them all
// (names compare ignoring case, as SQLite's do). A failed read names the first.
std::optional<std::string> missingTable(sqlite3* db, std::span<const std::string_view> required, std::string& why) {
    if (required.empty()) return std::nullopt;
    std::vector<std::string> present;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table'", -1, &raw, nullptr) !=
        SQLITE_OK) {
        why = sqlite3_errmsg(db);
        return std::string(required.front());
    }
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
        present.emplace_back(name ? name : "");
    }
    sqlite3_finalize(raw);
    if (rc != SQLITE_DONE) {
        why = sqlite3_errmsg(db);
        return std::string(required.front());
    }
    for (std::string_view table : required) {
        const bool found = std::any_of(present.begin(), present.end(),
                                       [&](const std::string& p) { return equalsNoCase(p, table); });
        if (!found) {
            why = "it has no table " + std::string(table);
            return std::string(table);
        }
    }
    return std::nullopt;
}

// Enough for every shape of statement the store runs; past it the cache starts afresh.
constexpr std::size_t kCachedStatements = 64;

}  // namespace

std::optional<fs::path> databaseFileFromConnectionText(std::string_view text) {
    std::string folder, name;
    for (const auto& [key, value] : attributesOf(text)) {
        if (equalsNoCase(key, "DefaultDir")) folder = value;
        else if (equalsNoCase(key, "DBQ")) name = value;
    }
    if (name.empty()) return std::nullopt;
    const fs::path file(name);
    if (file.is_absolute() || folder.empty()) return file;
    return fs::path(folder) / file;
}

void Connection::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }
void Connection::Finalizer::operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }

Connection::Statement Connection::prepared(const std::string& sql, const char** tail) {
    if (const auto it = statements_.find(sql); it != statements_.end()) {
        Statement statement = std::move(it->second);
        statements_.erase(it);
        *tail = nullptr;
        return statement;
    }
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_.get(), sql.c_str(), static_cast<int>(sql.size()), &raw, tail) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return nullptr;
    }
    return Statement(raw);
}

void Connection::keep(std::string sql, Statement statement) {
    // Reset, its values unbound: it holds no lock and no text of the last run.
    sqlite3_reset(statement.get());
    sqlite3_clear_bindings(statement.get());
    if (statements_.size() >= kCachedStatements) statements_.clear();
    statements_.emplace(std::move(sql), std::move(statement));
}

Connection::Connection() = default;
Connection::~Connection() { close(); }
Connection::Connection(Connection&&) noexcept = default;
Connection& Connection::operator=(Connection&&) noexcept = default;

bool Connection::fail(std::string message) {
    lastError_ = std::move(message);
    return false;
}

bool Connection::failWithDatabaseError(std::string_view what) {
    std::string message(what);
    if (db_) message += std::string(": ") + sqlite3_errmsg(db_.get());
    return fail(std::move(message));
}

bool Connection::runPlain(const char* sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db_.get(), sql, nullptr, nullptr, &message);
    if (rc == SQLITE_OK) return true;
    std::string text = std::string(sql) + " failed: " + (message ? message : sqlite3_errstr(rc));
    sqlite3_free(message);
    return fail(std::move(text));
}

bool Connection::open(std::string_view connectionText, std::span<const std::string_view> requiredTables) {
    lastError_.clear();
    const auto file = databaseFileFromConnectionText(connectionText);
    if (!file) {
        close();
        return fail("the connection text names no database file");
    }
    return openFile(*file, requiredTables);
}

bool Connection::openFile(const fs::path& file, std::span<const std::string_view> requiredTables) {
    close();
    lastError_.clear();
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return fail("no database file " + file.string());
    std::string why;
    if (!looksLikeDatabase(file, why)) return fail(why);

    sqlite3* raw = nullptr;
    // Without SQLITE_OPEN_CREATE a missing file (removed since the check) fails here too.
    const int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, Closer> db(raw);
    if (rc != SQLITE_OK) {
        return fail("cannot open " + file.string() + ": " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, static_cast<int>(busyTimeout_.count()));
    if (sqlite3_create_function_v2(raw, kTooManyRowsFunction, 0, SQLITE_UTF8, nullptr, tooManyRows, nullptr, nullptr,
                                   nullptr) != SQLITE_OK) {
        return fail(std::string("cannot prepare the connection: ") + sqlite3_errmsg(raw));
    }
    // The tables are looked for before the journal mode is set, which writes to the file.
    if (missingTable(raw, requiredTables, why)) return fail(file.string() + " is not the program's database: " + why);
    // Reading the journal mode is also the first read of the file, so a file that is not
    // a database fails here rather than at the first statement.
    // A file still in the older journal mode can only change while no one else has it
    // open; it then works on in that mode, with the same locking and time-out.
    char* message = nullptr;
    const int walRc = sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, &message);
    if (walRc != SQLITE_OK && (walRc & 0xff) != SQLITE_BUSY) {
        std::string text = file.string() + " is not a usable database: " + (message ? message : sqlite3_errmsg(raw));
        sqlite3_free(message);
        return fail(std::move(text));
    }
    sqlite3_free(message);
    db_ = std::move(db);
    file_ = file;
    return true;
}

void Connection::close() {
    statements_.clear();
    if (db_ && !sqlite3_get_autocommit(db_.get())) sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    db_.reset();
    file_.clear();
    inTransaction_ = false;
}

std::optional<RecordSet> Connection::execute(std::string_view sql) {
    lastError_.clear();
    if (!db_) {
        fail("the database is not open");
        return std::nullopt;
    }
    std::string error;
    auto statement = translateAccessSql(sql, error);
    if (!statement) {
        fail(std::move(error));
        return std::nullopt;
    }
    if (controlsTransactions(statement->sql)) {
        fail("transactions are begun and ended through the connection, not by a statement");
        return std::nullopt;
    }
    sqlite3* db = db_.get();
    // SQLite undoes the whole transaction by itself after some failures (a full disk, an
    // I/O error). Running on would commit each later statement on its own and make the
    // final commit of the caller's transaction a lie.
    if (inTransaction_ && sqlite3_get_autocommit(db)) {
        fail("the transaction was rolled back by the database; end it before running more statements");
        return std::nullopt;
    }

    const char* tail = nullptr;
    Statement stmt = prepared(statement->sql, &tail);
    if (!stmt) {
        failWithDatabaseError("the statement is not valid");
        return std::nullopt;
    }
    sqlite3_stmt* raw = stmt.get();
    for (const char* p = tail; p && *p; ++p) {
        if (!isSpace(*p)) {
            fail("only one statement can be run at a time");
            return std::nullopt;
        }
    }
    if (sqlite3_bind_parameter_count(raw) != static_cast<int>(statement->parameters.size())) {
        fail("the statement's literals do not match its parameters");
        return std::nullopt;
    }
    for (std::size_t i = 0; i < statement->parameters.size(); ++i) {
        if (bindValue(raw, static_cast<int>(i + 1), statement->parameters[i]) != SQLITE_OK) {
            failWithDatabaseError("cannot bind a literal");
            return std::nullopt;
        }
    }

    // The columns are read after the first step: a schema change by another
    // connection makes SQLite prepare the statement again inside that step, and
    // names taken before it would describe the old table.
    const sqlite3_int64 changesBefore = sqlite3_total_changes64(db);
    std::vector<std::string> names;
    std::vector<ColumnKind> kinds;
    int columns = -1;
    std::vector<std::vector<Value>> rows;
    for (;;) {
        const int rc = sqlite3_step(raw);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
            failWithDatabaseError("the statement failed");
            return std::nullopt;
        }
        if (columns < 0) {
            columns = sqlite3_column_count(raw);
            for (int c = 0; c < columns; ++c) {
                const char* name = sqlite3_column_name(raw, c);
                names.emplace_back(name ? name : "");
                kinds.push_back(kindOf(sqlite3_column_decltype(raw, c)));
            }
        }
        if (rc == SQLITE_DONE) break;
        std::vector<Value> row;
        row.reserve(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c) row.push_back(readColumn(raw, c, kinds[static_cast<std::size_t>(c)]));
        rows.push_back(std::move(row));
    }
    const std::int64_t affected = sqlite3_total_changes64(db) != changesBefore ? sqlite3_changes64(db) : 0;
    keep(std::move(statement->sql), std::move(stmt));
    return RecordSet(std::move(names), std::move(rows), affected);
}

bool Connection::beginTrans() {
    lastError_.clear();
    if (!db_) return fail("the database is not open");
    if (inTransaction_) return fail("a transaction is open already");
    if (!runPlain("BEGIN IMMEDIATE")) return false;
    inTransaction_ = true;
    return true;
}

bool Connection::commitTrans() {
    lastError_.clear();
    if (!db_ || !inTransaction_) return fail("no transaction is open");
    sqlite3* db = db_.get();
    inTransaction_ = false;
    if (sqlite3_get_autocommit(db)) return fail("the transaction was rolled back by the database");
    if (runPlain("COMMIT")) return true;
    // A commit that fails (a deferred constraint, a lock, a full disk) may leave the
    // transaction open: undo it, so that the answer "not stored" is true.
    const std::string why = lastError_;
    if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    inTransaction_ = !sqlite3_get_autocommit(db);
    return fail("the transaction was rolled back, " + why);
}

bool Connection::rollbackTrans() {
    lastError_.clear();
    if (!db_ || !inTransaction_) return fail("no transaction is open");
    sqlite3* db = db_.get();
    if (sqlite3_get_autocommit(db)) {
        inTransaction_ = false;  // the database undid it already
        return true;
    }
    const bool ok = runPlain("ROLLBACK");
    inTransaction_ = !sqlite3_get_autocommit(db);
    return ok;
}

bool Connection::beginPart() {
    lastError_.clear();
    if (!db_ || !inTransaction_) return fail("no transaction is open");
    // Outside a transaction a savepoint begins one, and its release would commit it alone.
    if (sqlite3_get_autocommit(db_.get())) {
        inTransaction_ = false;
        return fail("the transaction was rolled back by the database");
    }
    return runPlain("SAVEPOINT wendra_part");
}

bool Connection::endPart(bool keep) {
    lastError_.clear();
    if (!db_ || !inTransaction_) return fail("no transaction is open");
    sqlite3* db = db_.get();
    if (sqlite3_get_autocommit(db)) {
        inTransaction_ = false;
        return fail("the transaction was rolled back by the database");
    }
    // The innermost part of that name: ROLLBACK TO keeps it open, so it is released after.
    const bool ok = keep ? runPlain("RELEASE wendra_part")
                         : runPlain("ROLLBACK TO wendra_part") && runPlain("RELEASE wendra_part");
    inTransaction_ = !sqlite3_get_autocommit(db);
    return ok && inTransaction_;
}

bool Connection::backupTo(const fs::path& file, std::span<const std::string_view> requiredTables) {
    lastError_.clear();
    if (!db_) return fail("the database is not open");
    fs::path temporary = file;
    temporary += ".new";
    std::error_code ec;
    fs::remove(temporary, ec);

    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(temporary.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, Closer> copy(raw);
    if (rc != SQLITE_OK) return fail("cannot make " + temporary.string());
    // One step copies every page under one read of the source, so the copy is of one
    // moment even while the other program writes.
    sqlite3_backup* backup = sqlite3_backup_init(raw, "main", db_.get(), "main");
    bool ok = backup != nullptr && sqlite3_backup_step(backup, -1) == SQLITE_DONE;
    if (backup != nullptr && sqlite3_backup_finish(backup) != SQLITE_OK) ok = false;
    std::string why = sqlite3_errmsg(raw);
    if (ok && missingTable(raw, requiredTables, why)) ok = false;
    if (ok && sqlite3_close_v2(copy.release()) != SQLITE_OK) ok = false;
    copy.reset();
    if (ok) fs::rename(temporary, file, ec);
    if (!ok || ec) {
        fs::remove(temporary, ec);
        return fail("cannot back up to " + file.string() + ": " + (ok ? ec.message() : why));
    }
    return true;
}

std::int64_t Connection::lastInsertId() const { return db_ ? sqlite3_last_insert_rowid(db_.get()) : 0; }

void Connection::setBusyTimeout(std::chrono::milliseconds timeout) {
    busyTimeout_ = timeout;
    if (db_) sqlite3_busy_timeout(db_.get(), static_cast<int>(timeout.count()));
}

}  // namespace wendra::db
