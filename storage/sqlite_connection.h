#pragma once

#include "storage/sql_connection.h"
#include "storage/sqlite_database.h"

#include <map>
#include <string>

namespace nivra {

// The history's SQL on an SQLite file. Statements are prepared once and kept for the life of the
// connection, since a run repeats the same few statements for every point.
class SqliteConnection final : public SqlConnection {
public:
    // Opens (and creates) the file; busyMilliseconds as for SqliteDatabase::open.
    StorageResult open(const std::string& path, int busyMilliseconds);

    SqlDialect dialect() const override { return SqlDialect::Sqlite; }
    StorageResult execute(std::string_view script) override;
    StorageResult executeAtomically(const std::string& script) override;
    StorageResult query(std::string_view sql, const std::vector<SqlValue>& params,
                        const RowHandler& onRow) override;
    StorageResult begin() override;
    StorageResult beginRead() override;
    StorageResult commit() override;
    void rollback() override;

private:
    // Statements go before the database: they must be finished first.
    SqliteDatabase db_;
    std::map<std::string, SqliteStatement, std::less<>> statements_;
};

} // namespace nivra
