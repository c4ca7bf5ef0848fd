#include "engine/run_history_observer.h"

#include "model/assay_data.h"
#include "storage/run_recorder.h"

#include <algorithm>

namespace nivra {

RunHistoryObserver::RunHistoryObserver(const AssayData& data, RunRecorder& recorder, RunKind kind,
                                       RunObserver& next, RunClock& clock, Reporter reporter,
                                       std::chrono::milliseconds endWait, Written written)
    : ForwardingRunObserver(next), data_(data), recorder_(recorder), kind_(kind), clock_(clock),
      reporter_(std::move(reporter)), endWait_(endWait), written_(std::move(written)),
      writer_([this] { drain(); }) {}

RunHistoryObserver::~RunHistoryObserver() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void RunHistoryObserver::enqueue(std::function<StorageResult()> call) {
    {
        std::lock_guard lock(mutex_);
        writes_.push_back({std::move(call), pointsClosed_});
    }
    changed_.notify_all();
}

void RunHistoryObserver::writeHeaderLines() {
    std::vector<std::string> lines = data_.headerLines();
    enqueue([this, lines = std::move(lines)] { return recorder_.headerLinesChanged(lines); });
}

void RunHistoryObserver::drain() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (behind_ && writes_.empty())
            changed_.wait_for(lock, kRetryInterval,
                              [this] { return stopping_ || !writes_.empty(); });
        else
            changed_.wait(lock, [this] { return stopping_ || !writes_.empty(); });
        if (stopping_)
            return;
        Write write;
        if (!writes_.empty()) {
            write = std::move(writes_.front());
            writes_.pop_front();
        } else {
            // Nothing new: try again what failed. The recorder writes whatever it holds with
            // any call; the header lines are written again as they are.
            std::vector<std::string> lines = lastHeaderLines_;
            write = {[this, lines] { return recorder_.headerLinesChanged(lines); }, pointsClosed_};
        }
        writing_ = true;
        lock.unlock();
        const StorageResult result = write.call();
        if (result.ok() && written_)
            written_();
        lock.lock();
        writing_ = false;
        behind_ = !result.ok();
        // A write that succeeded has written everything before it.
        if (result.ok())
            pointsRecorded_ = std::max(pointsRecorded_, write.pointsClosed);
        changed_.notify_all();
    }
}

void RunHistoryObserver::runStarted(int counter) {
    // The run set its planned end to its start plus the total time.
    const AssayConfig assay = data_.assayConfig();
    const CounterConfig counterConfig = data_.counterConfig();
    const std::int64_t start = data_.endTime() - assay.totalSpan();
    enqueue([this, counter, counterConfig, assay, start] {
        return recorder_.started(counter, counterConfig, assay, kind_, start);
    });
    {
        std::lock_guard lock(mutex_);
        lastHeaderLines_ = data_.headerLines();
    }
    writeHeaderLines();
    next_.runStarted(counter);
}

void RunHistoryObserver::pointClosed(int counter, int number, std::int32_t count) {
    {
        std::lock_guard lock(mutex_);
        pointsClosed_ = std::max(pointsClosed_, number);
    }
    enqueue([this, number, count] { return recorder_.pointClosed(number, count); });
    next_.pointClosed(counter, number, count);
}

void RunHistoryObserver::counterFault(int counter, CounterFault fault, std::int64_t first,
                                      std::int64_t last) {
    // A fault that ended has added a header line.
    if (fault == CounterFault::AnsweringAgain || fault == CounterFault::OverLimitEnded ||
        fault == CounterFault::GarbledEnded || fault == CounterFault::WrappedOrReset) {
        {
            std::lock_guard lock(mutex_);
            lastHeaderLines_ = data_.headerLines();
        }
        writeHeaderLines();
    }
    next_.counterFault(counter, fault, first, last);
}

bool RunHistoryObserver::caughtUp() const {
    std::lock_guard lock(mutex_);
    return caughtUpLocked();
}

std::string RunHistoryObserver::missingText() const {
    const int first = pointsRecorded_ + 1;
    const int last = pointsClosed_;
    const std::string importHint = " (nivra-cli history import can add the data file later)";
    if (last < first)
        return "Run history behind: the run's end is not in it; the data file holds it" +
               importHint;
    const std::string which =
        first == last ? "point " + std::to_string(first) + " is"
                      : "points " + std::to_string(first) + " to " + std::to_string(last) + " are";
    return "Run history behind: " + which + " not in it; the data file and the backup hold them" +
           importHint;
}

void RunHistoryObserver::finished(int counter, EndReason reason) {
    {
        std::lock_guard lock(mutex_);
        lastHeaderLines_ = data_.headerLines();
    }
    writeHeaderLines();
    const RunEnd end = reason == EndReason::Time ? RunEnd::Time : RunEnd::Stop;
    const std::int64_t when = clock_.now();
    enqueue([this, end, when] { return recorder_.ended(end, when); });
    std::string missing;
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, endWait_, [this] { return caughtUpLocked(); }))
            missing = missingText();
    }
    if (!missing.empty() && reporter_)
        reporter_(missing);
    next_.finished(counter, reason);
}

} // namespace nivra
