#include "storage/sqlite_database.h"

#include <sqlite3.h>

#include <utility>

namespace nivra {

// --- SqliteStatement ----------------------------------------------------------------------------

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), statement_(std::exchange(other.statement_, nullptr)),
      bindCode_(other.bindCode_), error_(std::move(other.error_)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(statement_);
        db_ = std::exchange(other.db_, nullptr);
        statement_ = std::exchange(other.statement_, nullptr);
        bindCode_ = other.bindCode_;
        error_ = std::move(other.error_);
    }
    return *this;
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

void SqliteStatement::noteBind(int code) {
    if (code != SQLITE_OK && bindCode_ == SQLITE_OK) {
        bindCode_ = code;
        error_ = sqlite3_errstr(code);
    }
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value) {
    noteBind(sqlite3_bind_int64(statement_, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, double value) {
    noteBind(sqlite3_bind_double(statement_, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text) {
    noteBind(sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                                 SQLITE_UTF8));
    return *this;
}

SqliteStatement& SqliteStatement::bindNull(int index) {
    noteBind(sqlite3_bind_null(statement_, index));
    return *this;
}

SqliteStatement::Step SqliteStatement::step() {
    if (!statement_) {
        error_ = "statement not prepared";
        return Step::Error;
    }
    if (bindCode_ != SQLITE_OK)
        return Step::Error;
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW)
        return Step::Row;
    if (code == SQLITE_DONE)
        return Step::Done;
    error_ = sqlite3_errmsg(db_);
    return Step::Error;
}

StorageResult SqliteStatement::run() {
    Step result;
    while ((result = step()) == Step::Row) {
    }
    const std::string error = error_;
    reset();
    return result == Step::Done ? StorageResult() : StorageResult::failure(error);
}

void SqliteStatement::reset() {
    if (statement_)
        sqlite3_reset(statement_);
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::int64_t SqliteStatement::int64(int column) const {
    return sqlite3_column_int64(statement_, column);
}

double SqliteStatement::real(int column) const {
    return sqlite3_column_double(statement_, column);
}

std::string SqliteStatement::text(int column) const {
    const auto* bytes = sqlite3_column_text(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size))
                 : std::string();
}

std::optional<std::int64_t> SqliteStatement::optionalInt64(int column) const {
    if (isNull(column))
        return std::nullopt;
    return int64(column);
}

std::optional<std::string> SqliteStatement::optionalText(int column) const {
    if (isNull(column))
        return std::nullopt;
    return text(column);
}

// --- SqliteDatabase -----------------------------------------------------------------------------

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)) {}

SqliteDatabase& SqliteDatabase::operator=(SqliteDatabase&& other) noexcept {
    if (this != &other) {
        close();
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

SqliteDatabase::~SqliteDatabase() {
    close();
}

void SqliteDatabase::close() {
    // sqlite3_close_v2 finishes the close once the last statement of the connection is gone.
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

StorageResult SqliteDatabase::open(const std::string& path, Mode mode, int busyMilliseconds) {
    close();
    const int flags = (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY
                                              : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                      SQLITE_OPEN_NOMUTEX;
    sqlite3* db = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (code != SQLITE_OK) {
        std::string reason = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
        sqlite3_close_v2(db);
        return StorageResult::failure(reason + " (" + path + ")");
    }
    db_ = db;
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, busyMilliseconds);
    return {};
}

StorageResult SqliteDatabase::execute(std::string_view sql) {
    if (!db_)
        return StorageResult::failure("database not open");
    const std::string text(sql);
    char* message = nullptr;
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) == SQLITE_OK)
        return {};
    std::string reason = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return StorageResult::failure(reason);
}

StorageResult SqliteDatabase::prepare(std::string_view sql, SqliteStatement& out) {
    if (!db_)
        return StorageResult::failure("database not open");
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(statement);
        return StorageResult::failure(sqlite3_errmsg(db_));
    }
    out = SqliteStatement(db_, statement);
    return {};
}

StorageResult SqliteDatabase::queryInt(std::string_view sql, std::int64_t& out) {
    SqliteStatement statement;
    if (auto prepared = prepare(sql, statement); !prepared)
        return prepared;
    switch (statement.step()) {
    case SqliteStatement::Step::Row:
        out = statement.int64(0);
        return {};
    case SqliteStatement::Step::Done:
        return StorageResult::failure("no result");
    case SqliteStatement::Step::Error:
        break;
    }
    return StorageResult::failure(statement.error());
}

std::int64_t SqliteDatabase::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

int SqliteDatabase::changes() const {
    return sqlite3_changes(db_);
}

std::string SqliteDatabase::lastError() const {
    return db_ ? sqlite3_errmsg(db_) : "database not open";
}

// --- SqliteTransaction --------------------------------------------------------------------------

SqliteTransaction::~SqliteTransaction() {
    if (open_)
        db_.execute("ROLLBACK");
}

StorageResult SqliteTransaction::begin() {
    auto result = db_.execute("BEGIN IMMEDIATE");
    open_ = result.ok();
    return result;
}

StorageResult SqliteTransaction::commit() {
    auto result = db_.execute("COMMIT");
    if (result)
        open_ = false;
    return result;
}

} // namespace nivra
