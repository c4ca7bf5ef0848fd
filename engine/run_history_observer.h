#pragma once

#include "engine/run_clock.h"
#include "engine/run_observer.h"
#include "model/run_kind.h"
#include "storage/storage_result.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nivra {
class AssayData;

class RunRecorder;

// Records a run in the run history while passing every report on to the run's own observer (the
// window or the CLI's printer): the run with both configurations when it starts, each point as
// it closes, the header lines and the end when it finishes.
//
// The history never holds up counting: the writes go into a queue that a writer thread of the
// observer's own drains, so a locked or slow history file delays only the history. A write that
// failed is tried again (the recorder keeps what it could not write), so the history catches up
// when the file is free again, with nothing lost and nothing twice. At the run's end the
// observer waits at most endWait for the history to catch up before it passes finished on, so
// whoever waits for the end normally finds the run recorded; when it has not caught up,
// reporter hears once which points are not in the history (the data file and the backup hold
// them). What is still queued when the observer goes is not written.
class RunHistoryObserver final : public ForwardingRunObserver {
public:
    using Reporter = std::function<void(const std::string& message)>;
    // Told on the writer's thread after each write that reached the history, so that a view of
    // the history can read it again.
    using Written = std::function<void()>;
    static constexpr std::chrono::milliseconds kEndWait{5'000};
    // How often a failed write is tried again.
    static constexpr std::chrono::milliseconds kRetryInterval{500};

    RunHistoryObserver(const AssayData& data, RunRecorder& recorder, RunKind kind,
                       RunObserver& next, RunClock& clock = systemRunClock(),
                       Reporter reporter = {}, std::chrono::milliseconds endWait = kEndWait,
                       Written written = {});
    ~RunHistoryObserver() override;
    RunHistoryObserver(const RunHistoryObserver&) = delete;
    RunHistoryObserver& operator=(const RunHistoryObserver&) = delete;

    void runStarted(int counter) override;
    void pointClosed(int counter, int number, std::int32_t count) override;
    void counterFault(int counter, CounterFault fault, std::int64_t first,
                      std::int64_t last) override;
    void finished(int counter, EndReason reason) override;

    // Whether every report so far is in the history.
    bool caughtUp() const;

private:
    struct Write {
        std::function<StorageResult()> call;
        int pointsClosed = 0; // points the history holds once this write succeeded
    };
    void enqueue(std::function<StorageResult()> call);
    void writeHeaderLines();
    void drain();
    bool caughtUpLocked() const { return writes_.empty() && !writing_ && !behind_; }
    // The text telling which points the history lacks.
    std::string missingText() const;

    const AssayData& data_;
    RunRecorder& recorder_;
    const RunKind kind_;
    RunClock& clock_;
    const Reporter reporter_;
    const std::chrono::milliseconds endWait_;
    const Written written_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Write> writes_;
    bool writing_ = false;
    bool behind_ = false; // the last write failed: the recorder holds what is not written
    bool stopping_ = false;
    int pointsClosed_ = 0;
    int pointsRecorded_ = 0;
    std::vector<std::string> lastHeaderLines_;
    std::thread writer_; // last: starts once everything above exists
};

} // namespace nivra
