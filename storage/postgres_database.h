#pragma once

#include "storage/storage_result.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct pg_conn;
struct pg_result;

// A thin RAII layer over libpq, PostgreSQL's C API: one connection and the results of its
// commands. Nothing here throws; failures come back as StorageResult with the server's message.
namespace nivra {

// The result of one command, cleared with the object. Values come as text.
class PostgresResult {
public:
    PostgresResult() = default;
    explicit PostgresResult(pg_result* result);

    int rows() const;
    bool isNull(int row, int column) const;
    // The value as text; "" for NULL.
    const char* value(int row, int column) const;

private:
    struct Clear {
        void operator()(pg_result* result) const;
    };
    std::unique_ptr<pg_result, Clear> result_;
};

// One connection to a server, closed with the object.
class PostgresDatabase {
public:
    // A parameter as libpq takes it: its text (none for NULL) and its type's oid (0: the server
    // decides from where it is used).
    struct Param {
        std::optional<std::string> text;
        unsigned type = 0;
    };

    PostgresDatabase() = default;
    PostgresDatabase(PostgresDatabase&&) noexcept = default;
    PostgresDatabase& operator=(PostgresDatabase&&) noexcept = default;
    ~PostgresDatabase();

    // Connects with a libpq connection URI (postgresql://...). A password comes from libpq's own
    // places (~/.pgpass, PGPASSWORD). A server that does not answer fails the connection after
    // connectTimeoutSeconds unless the URI names its own connect_timeout.
    StorageResult open(const std::string& uri, int connectTimeoutSeconds);
    bool isOpen() const { return conn_ != nullptr; }
    // Whether the connection to the server was lost.
    bool isBroken() const;
    void close();

    // Runs a script of commands without parameters.
    StorageResult execute(const std::string& script);
    // Runs one command with parameters ($1, $2 ...); out holds its rows.
    StorageResult run(const std::string& sql, const std::vector<Param>& params,
                      PostgresResult& out);

private:
    struct Finish {
        void operator()(pg_conn* conn) const;
    };
    StorageResult check(pg_result* raw, PostgresResult& out);

    std::unique_ptr<pg_conn, Finish> conn_;
};

} // namespace nivra
