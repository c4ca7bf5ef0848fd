#include "engine/run_history_observer.h"

#include "model/assay_data.h"
#include "storage/run_recorder.h"

namespace nivra {

RunHistoryObserver::RunHistoryObserver(const AssayData& data, RunRecorder& recorder, RunKind kind,
                                       RunObserver& next, RunClock& clock)
    : ForwardingRunObserver(next), data_(data), recorder_(recorder), kind_(kind), clock_(clock) {}

void RunHistoryObserver::runStarted(int counter) {
    // The run set its planned end to its start plus the total time.
    const AssayConfig assay = data_.assayConfig();
    recorder_.started(counter, data_.counterConfig(), assay, kind_,
                      data_.endTime() - assay.totalSpan());
    recorder_.headerLinesChanged(data_.headerLines());
    next_.runStarted(counter);
}

void RunHistoryObserver::pointClosed(int counter, int number, std::int32_t count) {
    recorder_.pointClosed(number, count);
    next_.pointClosed(counter, number, count);
}

void RunHistoryObserver::counterFault(int counter, CounterFault fault, std::int64_t first,
                                      std::int64_t last) {
    // A fault that ended, or a wrap, has added a header line.
    if (fault != CounterFault::NotAnswering)
        recorder_.headerLinesChanged(data_.headerLines());
    next_.counterFault(counter, fault, first, last);
}

void RunHistoryObserver::finished(int counter, EndReason reason) {
    recorder_.headerLinesChanged(data_.headerLines());
    recorder_.ended(reason == EndReason::Time ? RunEnd::Time : RunEnd::Stop, clock_.now());
    next_.finished(counter, reason);
}

} // namespace nivra
