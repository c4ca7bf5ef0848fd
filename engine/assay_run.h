#pragma once

#include "engine/run_messages.h"
#include "engine/thread_message_queue.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

class AssayData;

namespace nivra {
class RunClock;
class CounterAccess;
} // namespace nivra

class CAssayRun;

// What a run's acquisition worker receives: the stop flag, the run to report to, the record to
// fill.
struct RunControl {
    std::atomic<std::uint8_t> stopRequested{0};
    CAssayRun* run = nullptr;
    AssayData* data = nullptr;
};

// Where a run takes its time and its counter from. Unset members mean the system clock and the
// counters registered at start-up.
struct RunEnvironment {
    nivra::RunClock* clock = nullptr;
    nivra::CounterAccess* counters = nullptr;

    nivra::RunClock& Clock() const;
    nivra::CounterAccess& Counters() const;
};

// One assay run: a thread with its own message queue that starts the acquisition worker and
// forwards the worker's reports, one at a time and synchronously, to the receiver.
//
// Life of a run: CreateSuspended, SetData and SetMainWindow, Resume, post WM_RUN_START. The worker
// then polls the counter, fills the record and reports WM_RUN_COUNTS and, last, WM_RUN_FINISHED.
// WM_RUN_STOP asks the worker to end early. After the receiver has handled WM_RUN_FINISHED it
// posts WM_QUIT; the run thread then waits for the worker to return, and the run deletes itself.
// The record belongs to the caller and outlives the run.
class CAssayRun {
public:
    // A new run whose thread does not run yet, or nullptr when it cannot be made.
    static CAssayRun* CreateSuspended(const RunEnvironment& environment = {});

    void SetData(AssayData* data) { data_ = data; }
    AssayData* Data() const { return data_; }
    void SetMainWindow(nivra::RunReceiver* receiver) { mainWindow_ = receiver; }

    // Starts the run thread. Returns false (and the run stays suspended) when the system refuses
    // a new thread.
    bool Resume();

    // Throws a suspended run away; only for a run that was never resumed.
    void Discard();

    // Whether WM_RUN_STOP has been handled; the worker ends within one pass after it.
    bool StopRequested() const { return control_.stopRequested.load() != 0; }

    // Queues a thread message; never blocks.
    void PostThreadMessage(unsigned message, std::int64_t wParam = 0, std::int64_t lParam = 0);

    // The number of run objects that exist, and a wait until none is left (runs that have
    // finished end themselves shortly after their WM_QUIT). Used at shutdown and by tests.
    static int LiveRuns();
    static bool WaitUntilNoRuns(std::chrono::milliseconds timeout);

    CAssayRun(const CAssayRun&) = delete;
    CAssayRun& operator=(const CAssayRun&) = delete;

private:
    explicit CAssayRun(const RunEnvironment& environment);
    ~CAssayRun();

    void MessageLoop();
    void Send(unsigned message, std::int64_t wParam, std::int64_t lParam);

    RunControl control_;
    AssayData* data_ = nullptr;
    nivra::RunReceiver* mainWindow_ = nullptr;
    RunEnvironment environment_;
    nivra::ThreadMessageQueue queue_;
    std::thread worker_;
};
