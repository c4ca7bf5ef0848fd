#pragma once

#include "base/start_directory.h"
#include "storage/history_database.h"
#include "storage/storage_result.h"

#include <optional>
#include <string>
#include <utility>

// Where the run history of a start directory lives: the environment variable NIVRA_HISTORY, or
// else the key LOCATION in section [HISTORY] of history_config.pfx in the start directory, names
// it. A value starting with postgresql:// or postgres:// is a server's connection URI, anything
// else the path of an SQLite file (relative to the start directory). Without either it is
// history.sqlite in the start directory.
namespace nivra {

inline constexpr const char* kHistoryEnvironment = "NIVRA_HISTORY";
inline constexpr const char* kHistoryConfigFile = "history_config.pfx";
inline constexpr const char* kHistorySection = "HISTORY";
inline constexpr const char* kHistoryLocationKey = "LOCATION";
// The local spool: the writes a server did not take, until it takes them.
inline constexpr const char* kHistorySpoolFile = "history_spool.sqlite";

// The location named for the start directory. Fails when history_config.pfx cannot be read or
// holds a password (passwords belong in ~/.pgpass or PGPASSWORD, not in a file others read).
// The one place that decides where the history lives: whoever records or reads runs is handed
// its result.
StorageResult historyLocation(const StartDirectory& start, std::string& location);

// A resolved location as it is handed on: where the history is, or why it could not be named
// (then location is empty and writes fail with that reason), and the start directory it was
// resolved for (recorded with each run and home of the local spool; none for a location named
// directly).
struct HistoryLocation {
    HistoryLocation() = default;
    // A location known to the caller: a server's URI or an SQLite file's path.
    HistoryLocation(std::string where) : location(std::move(where)) {}

    std::string location;
    std::string problem;
    std::optional<StartDirectory> startDirectory;
};

// historyLocation's answer as a HistoryLocation.
HistoryLocation resolveHistoryLocation(const StartDirectory& start);

// Opens the history at a resolved location (its problem, when it could not be named, is the
// failure). A server's history first gets the runs the local spool of the location's start
// directory holds (what cannot be sent stays there for the next time).
StorageResult openHistory(const HistoryLocation& where, HistoryDatabase& db,
                          HistoryDatabase::Access access);

// history.sqlite in the start directory: the history when nothing names another, and the one
// that history migrate copies from unless told otherwise.
std::string defaultHistoryFile(const StartDirectory& start);

// The spool file in the start directory.
std::string historySpoolPath(const StartDirectory& start);

// The location as messages show it: a URI without its password.
std::string shownLocation(const std::string& location);

// Whether a URI carries a password (user:password@ or password=).
bool locationHasPassword(const std::string& location);

// Opens the start directory's history. A server's history first gets the runs the local spool
// holds (what cannot be sent stays there for the next time).
StorageResult openStartDirectoryHistory(const StartDirectory& start, HistoryDatabase& db,
                                        HistoryDatabase::Access access);

// This machine's host name ("" when the system does not tell).
std::string localHostName();

} // namespace nivra
