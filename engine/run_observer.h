#pragma once

#include <cstdint>
#include <string>

namespace nivra {

// How a run ended: its total time was covered, a stop was requested first, or the run's end
// check (a class verdict reached) ended it at a closed point.
enum class EndReason { Time, Stopped, Decided };

// A fault of the counter during a run, each also told by a header line of the record.
enum class CounterFault {
    // A stretch of seconds without an answer began (first == last: its first second). Its
    // header line follows when the counter answers again or the run ends.
    NotAnswering,
    // The stretch from first to last is over: the counter answered again, and the record holds
    // the stretch's header line.
    AnsweringAgain,
    // The register went back (a wrap, or a reset by somebody else), or a reset was answered with
    // a wrong status, at second first (== last): counts may have been lost there. The record
    // holds the header line; at most one such line (and call) a minute.
    WrappedOrReset,
    // A stretch in which the count rate was above what the register can follow between two
    // readings (or a wrap could not be told apart) began at second first (== last).
    OverLimit,
    // The over-limit stretch from first to last is over; the record holds its header line with
    // an estimate of the counts lost.
    OverLimitEnded,
    // A stretch of garbled replies (line noise, misframed replies) began at second first.
    Garbled,
    // The garbled stretch from first to last is over; the record holds its header line.
    GarbledEnded,
};

// What a run reports while it goes on. Every call comes from the run's own thread, in this
// order: backupKept when an interrupted backup was kept; runStarted once; then, once per second,
// secondCounted (counterFault before it when a fault showed in that second), and after the
// second that closes a dwell, backupSaved and pointClosed;
// backupSaved for the save with the end line and finished last. When a call comes, the record
// already holds what it reports (the start lines and end time, the point, the end line), and the
// backup save of a closed point has been made. After finished the run touches neither the record
// nor the observer again. A run without backups makes no backup calls.
//
// A call blocks the run until it returns, so an observer hands long work to another thread (the
// window receives the calls as queued signals on its own thread).
class RunObserver {
public:
    virtual ~RunObserver() = default;

    // The backup file of an interrupted run on this counter was renamed to keptPath instead of
    // being replaced.
    virtual void backupKept(int /*counter*/, const std::string& /*keptPath*/) {}
    // The result of a backup save (counter is the run's counter); reason says why it failed.
    // The run goes on either way.
    virtual void backupSaved(int /*counter*/, bool /*ok*/, const std::string& /*reason*/) {}
    // The record holds its start lines and planned end time; nothing has been read yet.
    virtual void runStarted(int /*counter*/) {}
    // The counts of the last second and of the current dwell so far (after a dwell closed, the
    // next report's dwell starts again from that second).
    virtual void secondCounted(int /*counter*/, std::int64_t /*lastSecond*/,
                               std::int64_t /*dwellSoFar*/) {}
    // Point number (1-based) closed with this count; the record holds it.
    virtual void pointClosed(int /*counter*/, int /*number*/, std::int32_t /*count*/) {}
    // A counter fault (see CounterFault), reported between the seconds; first and last are
    // times in seconds since the epoch. A run whose counter is still silent at its end records
    // the open stretch's header line before the end line, without a further call.
    virtual void counterFault(int /*counter*/, CounterFault /*fault*/, std::int64_t /*first*/,
                              std::int64_t /*last*/) {}
    // The last call: the record holds its end line ("End Time: " or "STOP TIME: "), for a run
    // its end check ended followed by that check's line.
    virtual void finished(int /*counter*/, EndReason /*reason*/) {}
};

// An observer that passes every report on to another one: the base of observers that add
// something to a run's reports (the run history) without having to know every report there is.
class ForwardingRunObserver : public RunObserver {
public:
    explicit ForwardingRunObserver(RunObserver& next) : next_(next) {}

    void backupKept(int counter, const std::string& keptPath) override {
        next_.backupKept(counter, keptPath);
    }
    void backupSaved(int counter, bool ok, const std::string& reason) override {
        next_.backupSaved(counter, ok, reason);
    }
    void runStarted(int counter) override { next_.runStarted(counter); }
    void secondCounted(int counter, std::int64_t lastSecond, std::int64_t dwellSoFar) override {
        next_.secondCounted(counter, lastSecond, dwellSoFar);
    }
    void pointClosed(int counter, int number, std::int32_t count) override {
        next_.pointClosed(counter, number, count);
    }
    void counterFault(int counter, CounterFault fault, std::int64_t first,
                      std::int64_t last) override {
        next_.counterFault(counter, fault, first, last);
    }
    void finished(int counter, EndReason reason) override { next_.finished(counter, reason); }

protected:
    RunObserver& next_;
};

} // namespace nivra
