#pragma once

#include "storage/storage_result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A thin RAII layer over SQLite's C API: one connection, its prepared statements and its
// transactions. Nothing here throws; failures come back as StorageResult with SQLite's message.
namespace nivra {

class SqliteDatabase;

// One prepared statement. Parameters are 1-based (as in SQL's ?1), result columns 0-based.
class SqliteStatement {
public:
    enum class Step { Row, Done, Error };

    SqliteStatement() = default;
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement();

    // A failed bind is remembered and reported by the next step() or run().
    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bind(int index, int value) { return bind(index, std::int64_t{value}); }
    SqliteStatement& bind(int index, double value);
    SqliteStatement& bind(int index, std::string_view text);
    SqliteStatement& bind(int index, const char* text) {
        return bind(index, std::string_view(text));
    }
    SqliteStatement& bind(int index, const std::string& text) {
        return bind(index, std::string_view(text));
    }
    SqliteStatement& bindNull(int index);
    template <typename T> SqliteStatement& bind(int index, const std::optional<T>& value) {
        return value ? bind(index, *value) : bindNull(index);
    }

    // The next row (Row), the end (Done) or a failure (Error, with error()).
    Step step();
    // Steps to the end, then resets the statement for another use; the result of the steps.
    StorageResult run();
    // Ready to step again from the start; the bound parameters stay.
    void reset();
    // The message of the last failure of this statement.
    const std::string& error() const { return error_; }

    bool isNull(int column) const;
    std::int64_t int64(int column) const;
    double real(int column) const;
    std::string text(int column) const;
    std::optional<std::int64_t> optionalInt64(int column) const;
    std::optional<std::string> optionalText(int column) const;

private:
    friend class SqliteDatabase;
    SqliteStatement(sqlite3* db, sqlite3_stmt* statement) : db_(db), statement_(statement) {}
    void noteBind(int code);

    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
    int bindCode_ = 0;
    std::string error_;
};

// One connection to a database file, closed with the object.
class SqliteDatabase {
public:
    enum class Mode { ReadWriteCreate, ReadOnly };

    SqliteDatabase() = default;
    SqliteDatabase(SqliteDatabase&& other) noexcept;
    SqliteDatabase& operator=(SqliteDatabase&& other) noexcept;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;
    ~SqliteDatabase();

    // Opens (and with ReadWriteCreate creates) the file. Waits up to busyMilliseconds for a lock
    // another connection holds before a statement fails as busy.
    StorageResult open(const std::string& path, Mode mode, int busyMilliseconds);
    bool isOpen() const { return db_ != nullptr; }
    void close();

    // Runs one or more statements that return no rows.
    StorageResult execute(std::string_view sql);
    // Prepares one statement into out.
    StorageResult prepare(std::string_view sql, SqliteStatement& out);
    // One integer from a one-row query ("PRAGMA user_version").
    StorageResult queryInt(std::string_view sql, std::int64_t& out);

    std::int64_t lastInsertId() const;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;
    std::string lastError() const;

private:
    sqlite3* db_ = nullptr;
};

// BEGIN IMMEDIATE ... COMMIT, rolled back when the object goes without a commit. IMMEDIATE takes
// the write lock at the start, so a transaction never fails half-way because another connection
// began writing in between.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase& db) : db_(db) {}
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    StorageResult begin();
    StorageResult commit();

private:
    SqliteDatabase& db_;
    bool open_ = false;
};

} // namespace nivra
