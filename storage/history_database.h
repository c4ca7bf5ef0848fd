#pragma once

#include "storage/history_run.h"
#include "storage/sqlite_database.h"
#include "storage/storage_result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nivra {

// The run history: every run and every imported data file, with its points, in the SQLite file
// history.sqlite in the start directory. The file is a journal that several programs (the window,
// nivra-cli runs) write at once: WAL mode lets readers go on while one writes, each write is one
// short transaction, and a program waits briefly for another's write lock instead of failing.
//
// Opening brings the file to the current schema, one migration step per version recorded in
// PRAGMA user_version, and marks the runs still 'running' whose program is gone as 'interrupted'.
// Every operation returns a StorageResult; none throws.
class HistoryDatabase {
public:
    static constexpr int kSchemaVersion = 1;
    static constexpr const char* kFileName = "history.sqlite";

    enum class Access {
        Create,  // create the file when it does not exist (the programs that record runs)
        Existing // only an existing file (the commands that read the history)
    };

    // history.sqlite in the start directory.
    static std::string defaultPath();

    StorageResult open(const std::string& path, Access access = Access::Create);
    bool isOpen() const { return db_.isOpen(); }
    int schemaVersion() const { return schemaVersion_; }

    // --- Recording a run ----------------------------------------------------------------------

    // Inserts run (its id is set). A run recorded live is owned by this process until it ends,
    // so that the next opener can tell whether its program is still there.
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
    // Marks the point with this number deleted and takes it out of the totals. Marking a point
    // that is already deleted changes nothing.
    StorageResult markPointDeleted(std::int64_t runId, int number);
    StorageResult setKind(std::int64_t runId, RunKind kind);

    // --- Imports ------------------------------------------------------------------------------

    // Inserts an imported run with its points and lines, unless a run with the same content hash
    // exists: then nothing is written and duplicateOf names that run.
    StorageResult importRun(HistoryRunDetail& detail, std::optional<std::int64_t>& duplicateOf);

    // --- Queries ------------------------------------------------------------------------------

    StorageResult listRuns(const RunFilter& filter, std::vector<HistoryRun>& runs);
    // The run with its points and header lines; found is false when there is no such run.
    StorageResult loadRun(std::int64_t runId, HistoryRunDetail& detail, bool& found);

private:
    StorageResult configure();
    StorageResult migrate();
    StorageResult markInterruptedRuns();

    SqliteDatabase db_;
    int schemaVersion_ = 0;
};

} // namespace nivra
