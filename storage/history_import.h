#pragma once

#include "model/run_kind.h"
#include "storage/history_database.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nivra {

struct ImportOptions {
    std::optional<int> counter;  // data files do not say which counter made them
    std::optional<RunKind> kind; // instead of the kind the file's assay configuration names
};

struct ImportOutcome {
    enum class Status {
        Imported,   // a new run, runId
        Duplicate,  // the same content is in the history already, as run runId
        Unreadable, // refused (not readable, not a data file, damaged): reason
        NotWritten  // read, but the history could not be written: reason
    };
    Status status = Status::Unreadable;
    std::int64_t runId = 0;
    std::string reason;
};

// Imports one data file as a run with source 'import'. Its start is the time stamp of its
// "Start Time: " header line (the file's modification time when it has none), its end that of an
// "End Time: " (reason 'time') or "STOP TIME: " line (reason 'stop'); without one the end is not
// known and the run counts as 'interrupted'.
ImportOutcome importDataFile(HistoryDatabase& db, const std::string& path,
                             const ImportOptions& options);

// The data files a path names: the path itself when it is a file, every entry ending in .dax
// below it (in name order) when it is a folder, whatever its type, so that the import can tell
// why a FIFO, a dangling link or a loop of links is refused. Folders that cannot be read are
// listed in problems as "path: reason".
std::vector<std::string> dataFilesAt(const std::string& path, std::vector<std::string>& problems);

} // namespace nivra
