#pragma once

#include "storage/sql_connection.h"

#include <cstdint>
#include <string>

// The run history's tables and the steps that bring a history to them, the same for an SQLite
// file and a PostgreSQL server. Every difference between the two lies in this file's functions:
// the column types of the schema steps, where the version is kept, and the lock that lets one
// program at a time change the schema of a shared server.
namespace nivra {

inline constexpr int kHistorySchemaVersion = 3;

// The statements of the step from version fromVersion to fromVersion + 1.
std::string historySchemaStep(SqlDialect dialect, int fromVersion);

// The version, read without a lock; fails when a server has no history yet.
StorageResult readSchemaVersion(SqlConnection& db, std::int64_t& version);
// Inside a write transaction: waits until no other program changes the schema (a server's
// advisory lock; SQLite's write lock already does this), then reads the version.
StorageResult lockAndReadSchemaVersion(SqlConnection& db, std::int64_t& version);
// Inside the same transaction: records the version reached.
StorageResult writeSchemaVersion(SqlConnection& db, std::int64_t version);

} // namespace nivra
