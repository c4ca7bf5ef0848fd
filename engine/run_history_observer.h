#pragma once

#include "engine/run_clock.h"
#include "engine/run_observer.h"
#include "model/run_kind.h"

namespace nivra {
class AssayData;

class RunRecorder;

// Records a run in the run history while passing every report on to the run's own observer (the
// window or the CLI's printer): the run with both configurations when it starts, each point as
// it closes, the header lines and the end when it finishes. The history is written before the
// report is passed on, so whoever waits for the end finds the run recorded.
//
// Writing the history never stops the run: the recorder reports a failure once and keeps what
// it could not write for its next call.
class RunHistoryObserver final : public ForwardingRunObserver {
public:
    RunHistoryObserver(const AssayData& data, RunRecorder& recorder, RunKind kind,
                       RunObserver& next, RunClock& clock = systemRunClock());

    void runStarted(int counter) override;
    void pointClosed(int counter, int number, std::int32_t count) override;
    void counterFault(int counter, CounterFault fault, std::int64_t first,
                      std::int64_t last) override;
    void finished(int counter, EndReason reason) override;

private:
    const AssayData& data_;
    RunRecorder& recorder_;
    const RunKind kind_;
    RunClock& clock_;
};

} // namespace nivra
