#pragma once

#include "engine/run_environment.h"

#include <memory>
#include <thread>

namespace nivra {
class AssayData;

class RunObserver;

// One assay run on its own thread: it reads the record's counter once a second, closes a point
// per dwell into the record, rewrites the counter's backup file after every point and reports
// through the observer (see RunObserver for the order of the calls). Whoever starts a run owns
// it; the record and the observer must outlive it.
//
// requestStop asks the run to end early; it answers with finished(EndReason::Stopped) within
// one pass of the worker (a quarter of a second). A request that comes after the run has ended
// by time changes nothing. Destroying a run that still goes on stops it and waits for its end.
class AssayRun {
public:
    // Starts a run filling data (whose counter number names the counter). Returns nullptr when
    // the system refuses a new thread; nothing has then been touched.
    static std::unique_ptr<AssayRun> start(AssayData& data, RunObserver& observer,
                                           const RunEnvironment& environment = {});

    ~AssayRun();
    AssayRun(const AssayRun&) = delete;
    AssayRun& operator=(const AssayRun&) = delete;

    void requestStop() { thread_.request_stop(); }
    bool stopRequested() const { return thread_.get_stop_token().stop_requested(); }

private:
    AssayRun() = default;

    std::jthread thread_;
};

} // namespace nivra
