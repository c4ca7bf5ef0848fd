#pragma once

#include "storage/storage_result.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The run history speaks SQL to either an SQLite file or a PostgreSQL server. A SqlConnection is
// one connection to either; the history's queries are written once against it. Statements use
// SQLite's numbered parameters (?1, ?2 ...); the server's connection turns them into its own.
namespace nivra {

// A parameter: NULL, an integer, a real or a text.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;

inline SqlValue sqlValue(const std::optional<std::string>& text) {
    return text ? SqlValue(*text) : SqlValue();
}
inline SqlValue sqlValue(const std::optional<int>& number) {
    return number ? SqlValue(std::int64_t{*number}) : SqlValue();
}
inline SqlValue sqlValue(const std::optional<std::int64_t>& number) {
    return number ? SqlValue(*number) : SqlValue();
}
inline SqlValue sqlValue(const std::optional<double>& number) {
    return number ? SqlValue(*number) : SqlValue();
}

// One row of a query's result; columns count from 0.
class SqlRow {
public:
    virtual ~SqlRow() = default;
    virtual bool isNull(int column) const = 0;
    virtual std::int64_t int64(int column) const = 0;
    virtual double real(int column) const = 0;
    virtual std::string text(int column) const = 0;

    std::optional<std::int64_t> optionalInt64(int column) const {
        return isNull(column) ? std::nullopt : std::optional(int64(column));
    }
    std::optional<double> optionalReal(int column) const {
        return isNull(column) ? std::nullopt : std::optional(real(column));
    }
    std::optional<std::string> optionalText(int column) const {
        return isNull(column) ? std::nullopt : std::optional(text(column));
    }
};

enum class SqlDialect { Sqlite, Postgres };

class SqlConnection {
public:
    using RowHandler = std::function<void(const SqlRow&)>;

    virtual ~SqlConnection() = default;
    virtual SqlDialect dialect() const = 0;
    // Runs a script of statements without parameters or results (a schema step).
    virtual StorageResult execute(std::string_view script) = 0;
    // Runs a script of statements without parameters as one transaction: all or nothing. A
    // server gets it in one round trip.
    virtual StorageResult executeAtomically(const std::string& script) = 0;
    // Runs one statement with its parameters; onRow (may be empty) sees every row it returns.
    virtual StorageResult query(std::string_view sql, const std::vector<SqlValue>& params,
                                const RowHandler& onRow = {}) = 0;
    // A write transaction: begin, then commit or roll back.
    virtual StorageResult begin() = 0;
    // A transaction that only reads: it sees one state of the history and takes no write lock.
    virtual StorageResult beginRead() = 0;
    virtual StorageResult commit() = 0;
    virtual void rollback() = 0;
    // Whether the connection still works; a server's connection that broke is opened again by
    // the next open, not silently behind the caller's back.
    virtual bool isBroken() const { return false; }
};

// A transaction rolled back when the object goes without a commit.
class SqlTransaction {
public:
    explicit SqlTransaction(SqlConnection& db) : db_(db) {}
    ~SqlTransaction() {
        if (open_)
            db_.rollback();
    }
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    StorageResult begin() {
        auto result = db_.begin();
        open_ = result.ok();
        return result;
    }
    StorageResult beginRead() {
        auto result = db_.beginRead();
        open_ = result.ok();
        return result;
    }
    StorageResult commit() {
        auto result = db_.commit();
        open_ = false;
        if (!result)
            db_.rollback();
        return result;
    }

private:
    SqlConnection& db_;
    bool open_ = false;
};

} // namespace nivra
