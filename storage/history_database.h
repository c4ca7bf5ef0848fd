#pragma once

#include "storage/history_run.h"
#include "storage/history_schema.h"
#include "storage/sql_connection.h"
#include "storage/storage_result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nivra {

// The run history: every run and every imported data file, with its points. It lives either in
// an SQLite file (history.sqlite in the start directory unless another is named) or on a
// PostgreSQL server that the PCs of a laboratory share, named by a connection URI.
//
// An SQLite file is a journal that several programs (the window, nivra-cli runs) write at once:
// WAL mode lets readers go on while one writes, each write is one short transaction, and a
// program waits briefly for another's write lock instead of failing.
//
// Opening brings the history to the current schema, one step per version, and marks the runs
// still 'running' whose heartbeat is older than kLeaseSeconds 'interrupted': the program
// recording a run renews its heartbeat at least every kHeartbeatSeconds, wherever it runs.
// Every operation returns a StorageResult; none throws.
class HistoryDatabase {
public:
    static constexpr int kSchemaVersion = kHistorySchemaVersion;
    static constexpr const char* kFileName = "history.sqlite";
    static constexpr std::int64_t kHeartbeatSeconds = 10;
    static constexpr std::int64_t kLeaseSeconds = 60;

    // Seconds since the epoch; the heartbeats' time.
    using Clock = std::function<std::int64_t()>;

    enum class Access {
        Create,  // create the file when it does not exist (the programs that record runs)
        Existing // only an existing file (the commands that read the history)
    };

    HistoryDatabase();
    ~HistoryDatabase();
    HistoryDatabase(HistoryDatabase&&) noexcept;
    HistoryDatabase& operator=(HistoryDatabase&&) noexcept;

    // Whether a location names a server (a postgresql:// or postgres:// URI) and not a file.
    static bool isServerLocation(const std::string& location);

    // The clock of the heartbeats and of the lease check; set before open.
    void setClock(Clock clock) { clock_ = std::move(clock); }

    // Opens the history at location: a server's URI or an SQLite file's path.
    StorageResult open(const std::string& location, Access access = Access::Create);
    bool isOpen() const { return db_ != nullptr; }
    bool isServer() const;
    // Whether the connection to a server was lost (never for a file).
    bool isBroken() const;
    int schemaVersion() const { return schemaVersion_; }

    // --- Recording a run ----------------------------------------------------------------------

    // Inserts run (its id is set). A running run gets a heartbeat now unless it carries one.
    StorageResult insertRun(HistoryRun& run);
    // Inserts points (number, count) of a run and adds them to its totals, in one transaction.
    StorageResult appendPoints(std::int64_t runId,
                               const std::vector<std::pair<int, std::int32_t>>& points);
    // Replaces the run's header lines.
    StorageResult setHeaderLines(std::int64_t runId, const std::vector<std::string>& lines);
    // Records the end of a run (end time as seconds since the epoch).
    StorageResult endRun(std::int64_t runId, RunEnd reason, std::int64_t endEpoch);
    // Records the file the run was saved to and the digest of its content (may be empty).
    StorageResult setDataFile(std::int64_t runId, const std::string& path,
                              const std::string& contentHash);
    // Records the class limit the run is judged against (none: no limit), typed after its start.
    StorageResult setClassLimit(std::int64_t runId, std::optional<double> limit);
    // Marks the point with this number deleted and takes it out of the totals. Marking a point
    // that is already deleted changes nothing.
    StorageResult markPointDeleted(std::int64_t runId, int number);
    StorageResult setKind(std::int64_t runId, RunKind kind);
    // The recording program is still there. A run another program took for interrupted (its
    // heartbeats could not reach the history for a while) is running again.
    StorageResult renewHeartbeat(std::int64_t runId);
    // Marks the running runs whose heartbeat is older than the lease 'interrupted'.
    StorageResult markInterruptedRuns();

    // --- Runs copied from elsewhere -----------------------------------------------------------

    // Brings what detail holds into the history: the run with the same key (or else the same
    // content hash) gets the points it lacks, the deletions, header lines, end and data file of
    // detail; without such a run detail is inserted. Whatever is copied how often, every point
    // is in the history once. id is the run's id; added tells whether it was inserted.
    StorageResult mergeRun(const HistoryRunDetail& detail, std::int64_t& id, bool& added);
    // Removes a run with its points and header lines.
    StorageResult deleteRun(std::int64_t runId);

    // --- Imports ------------------------------------------------------------------------------

    // Inserts an imported run with its points and lines, unless a run with the same content hash
    // exists: then nothing is written and duplicateOf names that run.
    StorageResult importRun(HistoryRunDetail& detail, std::optional<std::int64_t>& duplicateOf);

    // --- Queries ------------------------------------------------------------------------------

    StorageResult listRuns(const RunFilter& filter, std::vector<HistoryRun>& runs);
    // The run with its points and header lines; found is false when there is no such run.
    StorageResult loadRun(std::int64_t runId, HistoryRunDetail& detail, bool& found);

private:
    StorageResult openOnce(const std::string& location);
    StorageResult migrate();
    std::int64_t now() const;

    std::unique_ptr<SqlConnection> db_;
    int schemaVersion_ = 0;
    Clock clock_;
};

} // namespace nivra
