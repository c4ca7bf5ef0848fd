#pragma once

#include "model/assay_config.h"
#include "model/counter_config.h"
#include "model/run_kind.h"
#include "storage/history_database.h"
#include "storage/history_location.h"
#include "storage/history_run.h"
#include "storage/storage_result.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nivra {

// Records one run in the run history as it goes: the run when it starts, each point as its dwell
// closes, header lines, the end, the data file it is saved to, points deleted afterwards. While
// the run goes on, its heartbeat is renewed every HistoryDatabase::kHeartbeatSeconds, so that
// programs elsewhere can tell it from a run whose program went away.
//
// The history is a journal, never in the way of the run: every call returns at once with the
// outcome of its write. What could not be written is kept and written with the next call that
// succeeds, so a history that was locked or full for a while still ends up with the whole run; a
// failure is reported once through the reporter given at construction ("Run history not written:
// <reason>").
//
// A history on a server that cannot be reached or refuses a write is not waited for: the run is
// held in the local spool (history_spool.sqlite) and sent to the server, once, when it answers
// again (tried at most every retry interval), or by a later program. The reporter says once
// "Run history held locally until the server answers: <reason>" and once "Run history delivered
// to the server".
//
// The calls may come from different threads (the run's thread, the window's); they are
// serialised.
class RunRecorder {
public:
    using Reporter = std::function<void(const std::string& message)>;
    static constexpr const char* kReportPrefix = "Run history not written: ";
    static constexpr const char* kHeldLocallyPrefix =
        "Run history held locally until the server answers: ";
    static constexpr const char* kDeliveredReport = "Run history delivered to the server";

    struct Settings {
        // "" for history_spool.sqlite in the start directory the location was resolved for
        std::string spoolPath;
        HistoryDatabase::Clock clock;
        std::chrono::milliseconds heartbeat{HistoryDatabase::kHeartbeatSeconds * 1000};
        std::int64_t retrySeconds = HistoryDatabase::kHeartbeatSeconds;
    };

    // Records into the history at location (a file is created when needed); a location that
    // could not be resolved makes every write fail with its problem, reported once.
    RunRecorder(HistoryLocation location, Reporter reporter);
    RunRecorder(HistoryLocation location, Reporter reporter, Settings settings);
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
    // The operator set the class limit the run is judged against (none: no limit).
    StorageResult classLimitChanged(std::optional<double> limit);

    // The run's id in the history, 0 while it is not recorded there.
    std::int64_t runId() const;
    // Whether the run is held in the local spool, waiting for the server.
    bool heldLocally() const;

private:
    StorageResult sync();
    StorageResult writePending();
    StorageResult openHistory();
    StorageResult failed(const StorageResult& failure);
    StorageResult writeSpool();
    StorageResult mergeIntoHistory();
    HistoryRunDetail snapshot() const;
    std::int64_t now() const;
    std::string spoolPath() const;
    void report(const std::string& message);
    void keepAlive();

    mutable std::mutex mutex_;
    const HistoryLocation location_;
    Reporter reporter_;
    Settings settings_;
    bool reported_ = false;
    std::unique_ptr<HistoryDatabase> db_;
    std::unique_ptr<HistoryDatabase> spool_;

    bool started_ = false;
    HistoryRun run_;
    std::vector<std::pair<int, std::int32_t>> points_; // every point closed, in order
    std::size_t pointsWritten_ = 0;
    std::vector<int> livePoints_; // numbers of the points the record still holds
    std::vector<int> deletesPending_;
    std::vector<std::string> headerLines_;
    bool headerLinesPending_ = false;
    bool ended_ = false;
    bool endPending_ = false;
    std::int64_t endEpoch_ = 0;
    bool classLimitPending_ = false;
    bool dataFilePending_ = false;
    std::string dataFile_;
    std::string dataFileHash_;
    // The run is to be brought into the history whole (a write failed); spooling_: it is held
    // in the spool meanwhile, lastAttempt_ the time the server was last tried.
    bool needsMerge_ = false;
    bool spooling_ = false;
    std::int64_t lastAttempt_ = 0;

    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread heart_;
};

} // namespace nivra
