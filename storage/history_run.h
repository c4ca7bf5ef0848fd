#pragma once

#include "model/assay_config.h"
#include "model/counter_config.h"
#include "model/run_kind.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rows of the run history: one run with its configurations, its points and header lines.
namespace nivra {

// How a run ended: still going on ("running"), after its total time ("time"), stopped by the
// operator ("stop"), or never recorded as ended because its program went away ("interrupted").
enum class RunEnd { Running, Time, Stop, Interrupted };
const char* runEndName(RunEnd end);
std::optional<RunEnd> parseRunEnd(std::string_view text);

// Where a run came from: recorded as it ran, or imported from a data file.
enum class RunSource { Run, Import };

struct HistoryRun {
    std::int64_t id = 0;
    std::optional<int> counter; // unknown for an import without a counter number
    RunKind kind = RunKind::Sample;
    std::int64_t startEpoch = 0;        // seconds since 1970-01-01 UTC
    std::string startTime;              // the same instant, ISO 8601 local time with offset
    std::optional<std::string> endTime; // ISO 8601; none while running or when not known
    RunEnd endReason = RunEnd::Running;
    std::int64_t points = 0;      // points not deleted
    std::int64_t totalCounts = 0; // their sum
    std::optional<std::string> dataFile;
    RunSource source = RunSource::Run;
    std::optional<std::string> contentHash; // SHA-256 of the data file imported or last saved
    CounterConfig counterConfig = CounterConfig::defaults();
    AssayConfig assayConfig = AssayConfig::defaults();
    // The machine and the start directory that recorded the run (none for older runs).
    std::optional<std::string> host;
    std::optional<std::string> startDirectory;
    // The key its recording program gave the run: writes sent again are matched by it.
    std::optional<std::string> runKey;
    // Seconds since the epoch of the last sign of life of the program recording a running run.
    std::optional<std::int64_t> heartbeatEpoch;

    // The time the points cover: points × dwell, in hours.
    double countingHours() const;
    // Total counts over the counting time; 0 when there is no counting time.
    double countsPerHour() const;
};

struct HistoryPoint {
    int number = 0; // from 1, in the order the points closed
    std::int32_t count = 0;
    bool deleted = false;
};

// A run with everything needed to rebuild its record.
struct HistoryRunDetail {
    HistoryRun run;
    std::vector<HistoryPoint> points; // in number order, deleted ones included
    std::vector<std::string> headerLines;
};

// Which runs a query returns. Dates are local calendar dates "YYYY-MM-DD" of the start, both
// inclusive.
struct RunFilter {
    std::optional<int> counter;
    std::optional<RunKind> kind;
    std::optional<std::string> since;
    std::optional<std::string> until;
    std::optional<std::int64_t> firstId; // id range, both inclusive
    std::optional<std::int64_t> lastId;
    bool oldestFirst = false; // newest first otherwise
};

} // namespace nivra
