#pragma once

#include "model/assay_config.h"
#include "model/counter_config.h"
#include "model/run_kind.h"
#include "storage/history_database.h"
#include "storage/history_run.h"
#include "storage/storage_result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace nivra {

// Records one run in the run history as it goes: the run when it starts, each point as its dwell
// closes, header lines, the end, the data file it is saved to, points deleted afterwards.
//
// The history is a journal, never in the way of the run: every call returns at once with the
// outcome of its write, and a failure is reported once through the reporter given at
// construction ("Run history not written: <reason>"). What could not be written is kept and
// written with the next call that succeeds, so a history file that was locked or full for a
// while still ends up with the whole run.
//
// The calls may come from different threads (the run's thread, the window's); they are
// serialised.
class RunRecorder {
public:
    using Reporter = std::function<void(const std::string& message)>;
    static constexpr const char* kReportPrefix = "Run history not written: ";

    // Records into the history file at path (created when needed).
    RunRecorder(std::string path, Reporter reporter);
    ~RunRecorder();
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    StorageResult started(int counter, const CounterConfig& counterConfig,
                          const AssayConfig& assayConfig, RunKind kind, std::int64_t startEpoch);
    // A point closed. number counts from 1; a number not above the last one recorded (a caller
    // counting the points its record holds after deletions) is taken as the next one.
    StorageResult pointClosed(int number, std::int32_t count);
    StorageResult headerLinesChanged(const std::vector<std::string>& lines);
    StorageResult ended(RunEnd reason, std::int64_t endEpoch);
    // The run's record was saved to path, kept as an absolute path (the file's content is
    // digested, so that importing the same file later is recognised as this run).
    StorageResult dataFileSaved(const std::string& path);
    // The point shown to the operator as number (1-based among the points the record still
    // holds) was deleted.
    StorageResult pointDeleted(int number);

    // The run's id in the history, 0 while it is not recorded.
    std::int64_t runId() const;

private:
    StorageResult sync();
    StorageResult writePending();

    mutable std::mutex mutex_;
    const std::string path_;
    Reporter reporter_;
    bool reported_ = false;
    std::unique_ptr<HistoryDatabase> db_;

    bool started_ = false;
    HistoryRun run_;
    std::vector<std::pair<int, std::int32_t>> points_; // every point closed, in order
    std::size_t pointsWritten_ = 0;
    std::vector<int> livePoints_; // numbers of the points the record still holds
    std::vector<int> deletesPending_;
    std::vector<std::string> headerLines_;
    bool headerLinesPending_ = false;
    bool endPending_ = false;
    std::int64_t endEpoch_ = 0;
    bool dataFilePending_ = false;
    std::string dataFile_;
    std::string dataFileHash_;
};

} // namespace nivra
