#include "cli/progress_printer.h"

#include "base/value_encoding.h"
#include "cli/line_printer.h"
#include "engine/decision_stop.h"
#include "engine/run_clock.h"
#include "engine/time_left.h"
#include "model/assay_data.h"

#include <utility>

namespace nivra::cli {

ProgressPrinter::ProgressPrinter(const AssayData& data, int counter, bool tagged,
                                 std::string backupFile)
    : data_(data), counter_(counter), backupFile_(std::move(backupFile)), tagged_(tagged) {}

void ProgressPrinter::output(const std::string& word, const std::string& rest) const {
    printLine(stdout, tagged_ ? word + " counter=" + std::to_string(counter_) + rest : word + rest);
}

void ProgressPrinter::error(const std::string& message) const {
    printLine(stderr, tagged_
                          ? "nivra-cli run: counter " + std::to_string(counter_) + ": " + message
                          : "nivra-cli run: " + message);
}

void ProgressPrinter::runStarted(int) {
    // The start line has always named its counter.
    printLine(stdout, formatC("start counter=%d end_time=\"%s\"", counter_,
                              formatLocalTime(data_.endTime()).c_str()));
}

void ProgressPrinter::secondCounted(int, std::int64_t lastSecond, std::int64_t dwellSoFar) {
    output("counts", formatC(" last_second=%lld dwell=%lld time_left=%s",
                             static_cast<long long>(lastSecond), static_cast<long long>(dwellSoFar),
                             formatTimeLeft(data_.endTime(), systemRunClock().now()).c_str()));
}

void ProgressPrinter::backupKept(int, const std::string& keptPath) {
    error("kept the backup of an interrupted run as '" + keptPath + "'");
}

// One line when saves begin to fail and one when they work again, not one per save.
void ProgressPrinter::backupSaved(int, bool ok, const std::string& reason) {
    const std::string& path = backupFile_;
    if (!ok && (!backupSaved_ || lastBackupOk_))
        error("backup not saved: '" + path + "': " + reason);
    else if (ok && backupSaved_ && !lastBackupOk_)
        error("backup saved again: '" + path + "'");
    backupSaved_ = true;
    lastBackupOk_ = ok;
    lastBackupReason_ = reason;
    if (ok)
        backupPoints_ = data_.pointCount();
}

std::string ProgressPrinter::backupHint() const {
    if (!backupSaved_)
        return "no backup was written";
    if (!lastBackupOk_)
        return "the backup file '" + backupFile_ + "' does not hold them: its last save failed (" +
               lastBackupReason_ + ")";
    return "the backup file '" + backupFile_ + "' holds the record with " +
           std::to_string(backupPoints_) + (backupPoints_ == 1 ? " point" : " points");
}

// Faults go to standard error, one line when a stretch without an answer, of garbled replies or
// over the counter's limit begins and one when it ends; any such stretch makes the command end
// with its counter-fault status. These lines have always named their counter.
void ProgressPrinter::counterFault(int, CounterFault fault, std::int64_t first, std::int64_t last) {
    switch (fault) {
    case CounterFault::NotAnswering:
        counterFaulted_ = true;
        printLine(stderr, formatC("fault counter=%d not-answering since=\"%s\"", counter_,
                                  formatLocalTime(first).c_str()));
        break;
    case CounterFault::AnsweringAgain:
        printLine(stderr, formatC("fault counter=%d answering again after=%llds", counter_,
                                  static_cast<long long>(last - first + 1)));
        break;
    case CounterFault::WrappedOrReset:
        printLine(stderr, formatC("fault counter=%d wrapped-or-reset at=\"%s\"", counter_,
                                  formatLocalTime(first).c_str()));
        break;
    case CounterFault::OverLimit:
    case CounterFault::Garbled:
        counterFaulted_ = true;
        printLine(stderr, formatC("fault counter=%d %s since=\"%s\"", counter_,
                                  fault == CounterFault::OverLimit ? "over-limit" : "garbled",
                                  formatLocalTime(first).c_str()));
        break;
    case CounterFault::OverLimitEnded:
    case CounterFault::GarbledEnded:
        printLine(stderr, formatC("fault counter=%d %s ended after=%llds", counter_,
                                  fault == CounterFault::OverLimitEnded ? "over-limit" : "garbled",
                                  static_cast<long long>(last - first + 1)));
        break;
    }
}

void ProgressPrinter::pointClosed(int, int number, std::int32_t count) {
    output("point", formatC(" %d %d", number, count));
}

void ProgressPrinter::finished(int, EndReason reason) {
    std::string by = reason == EndReason::Time ? "time" : "stop";
    if (reason == EndReason::Decided) {
        // The record's last line names the verdict that ended the run.
        const std::optional<ClassVerdict> verdict = decidedVerdict(data_.headerLines());
        by =
            std::string("decision verdict=") + (verdict ? classVerdictText(*verdict) : "undecided");
    }
    output("finished", formatC(" by=%s points=%zu", by.c_str(), data_.pointCount()));
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    finishedChanged_.notify_all();
}

bool ProgressPrinter::waitForFinished(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return finishedChanged_.wait_for(lock, timeout, [this] { return finished_; });
}

} // namespace nivra::cli
