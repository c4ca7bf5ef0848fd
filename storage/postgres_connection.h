#pragma once

#include "storage/postgres_database.h"
#include "storage/sql_connection.h"

#include <map>
#include <string>

namespace nivra {

// The history's SQL on a PostgreSQL server.
class PostgresConnection final : public SqlConnection {
public:
    StorageResult open(const std::string& uri, int connectTimeoutSeconds);

    SqlDialect dialect() const override { return SqlDialect::Postgres; }
    StorageResult execute(std::string_view script) override;
    StorageResult executeAtomically(const std::string& script) override;
    StorageResult query(std::string_view sql, const std::vector<SqlValue>& params,
                        const RowHandler& onRow) override;
    StorageResult begin() override;
    StorageResult beginRead() override;
    StorageResult commit() override;
    void rollback() override;
    bool isBroken() const override { return db_.isBroken(); }

    // SQLite's numbered parameters (?1) as the server's ($1); quoted text is left alone.
    static std::string serverParameters(std::string_view sql);

private:
    PostgresDatabase db_;
    std::map<std::string, std::string, std::less<>> translated_;
};

} // namespace nivra
