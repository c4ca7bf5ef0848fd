#pragma once

#include "engine/counter_access.h"
#include "engine/run_clock.h"
#include "engine/run_observer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace nivra::test {

// A clock whose time only moves when the run sleeps: every sleepMilliseconds advances it at
// once. pauseAt makes the sleeping thread wait once the time reaches a given second, until the
// test calls Resume; that lets a test act at an exact moment of a run.
class VirtualClock final : public RunClock {
public:
    explicit VirtualClock(std::int64_t startSeconds = 1'700'000'000,
                          std::chrono::microseconds realPause = {})
        : milliseconds_(startSeconds * 1000), realPause_(realPause) {}

    std::int64_t now() override;
    std::int64_t nowMilliseconds() override;
    void sleepMilliseconds(int milliseconds) override;

    void pauseAt(std::int64_t seconds);
    // Waits (real time, bounded) until the sleeping thread has reached the pause.
    bool waitUntilPaused(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    void resume();
    std::int64_t startSeconds() const { return start_; }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t milliseconds_;
    const std::int64_t start_ = milliseconds_ / 1000;
    std::chrono::microseconds realPause_;
    std::optional<std::int64_t> pauseAt_;
    bool paused_ = false;
};

// A counter whose register readings are scripted: each readCount takes the next reading; when
// the script is used up every further read gives the last reading again (a register that stops
// counting), or fails when the counter is set to stop answering. A scripted kSilent is a read
// without an answer, kGarbled one with a garbled reply; kGone makes the device go away: every
// command fails with kDeviceGone until Reopen is called (Reopen fails while the script's next
// entry is kGone too).
//
// After followClock the script holds one entry per second of the clock from its start instead:
// every read within second k takes entry k.
class ScriptedCounter final : public CounterAccess {
public:
    static constexpr std::int32_t kSilent = -1;
    static constexpr std::int32_t kGone = -2;
    static constexpr std::int32_t kGarbled = -3;

    explicit ScriptedCounter(std::vector<std::int32_t> readings = {}, bool answerAfterScript = true)
        : readings_(readings.begin(), readings.end()), answerAfterScript_(answerAfterScript) {}

    CommandOutcome resetCount(int counterNumber) override;
    CommandOutcome readCount(int counterNumber, std::int32_t& count) override;
    bool reopen(int counterNumber) override;
    // What every later reset answers.
    void setResetOutcome(CommandOutcome outcome);
    void followClock(VirtualClock& clock);
    int reopens() const;

    // The commands the worker sent, in order: 'R' reset, 'C' read.
    std::vector<char> commands() const;
    // Called on the worker's thread before each read with the read's 1-based number.
    // May be set while a run already reads.
    void onRead(std::function<void(int)> hook);

private:
    mutable std::mutex mutex_;
    std::deque<std::int32_t> readings_;
    bool answerAfterScript_;
    std::optional<std::int32_t> last_;
    std::vector<char> commands_;
    int reads_ = 0;
    bool gone_ = false;
    int reopens_ = 0;
    CommandOutcome resetOutcome_ = CommandOutcome::kAnswered;
    std::function<void(int)> onRead_;
    // The entry of the clock's current second, when followClock was called; nothing after the
    // script.
    std::optional<std::int32_t> entryNow() const;
    VirtualClock* clock_ = nullptr;
};

// A source counting at a steady rate in the virtual time of a clock, behind a one-byte register
// that wraps: the truth a run's points are judged against. Reads within the garbled span get
// garbled replies.
class SteadyCounter final : public CounterAccess {
public:
    SteadyCounter(VirtualClock& clock, double countsPerSecond)
        : clock_(clock), rate_(countsPerSecond) {}

    CommandOutcome resetCount(int counterNumber) override;
    CommandOutcome readCount(int counterNumber, std::int32_t& count) override;
    // Replies are garbled from fromMs (inclusive) to toMs (exclusive) after the reset.
    void garbleBetween(std::int64_t fromMs, std::int64_t toMs);
    // The events from the reset to ms after it.
    std::int64_t eventsUntil(std::int64_t ms) const;

private:
    VirtualClock& clock_;
    const double rate_;
    std::atomic<std::int64_t> resetMs_{0};
    std::int64_t garbleFrom_ = 0;
    std::int64_t garbleTo_ = 0;
};

// One report of a run, as RecordingObserver keeps it.
struct RunReport {
    enum Kind { Started, Second, Point, Fault, Finished } kind;
    int counter = 0;
    // Second: last second and dwell so far; Point: number and count; Finished: 1 by time,
    // 0 stopped, 2 decided; Fault: first and last second, the CounterFault in counter's place is
    // not kept.
    std::int64_t first = 0;
    std::int64_t second = 0;
    bool operator==(const RunReport&) const = default;
};

// Records every report of a run; optionally runs a hook on the run's thread first.
class RecordingObserver final : public RunObserver {
public:
    void runStarted(int counter) override { record({RunReport::Started, counter}); }
    void secondCounted(int counter, std::int64_t lastSecond, std::int64_t dwellSoFar) override {
        record({RunReport::Second, counter, lastSecond, dwellSoFar});
    }
    void pointClosed(int counter, int number, std::int32_t count) override {
        record({RunReport::Point, counter, number, count});
    }
    void counterFault(int, CounterFault fault, std::int64_t first, std::int64_t last) override {
        record({RunReport::Fault, static_cast<int>(fault), first, last});
    }
    void finished(int counter, EndReason reason) override {
        record({RunReport::Finished, counter,
                reason == EndReason::Time      ? 1
                : reason == EndReason::Decided ? 2
                                               : 0});
    }

    std::vector<RunReport> reports() const;
    bool waitForFinished(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    void onReport(std::function<void(const RunReport&)> hook) { hook_ = std::move(hook); }

private:
    void record(const RunReport& report);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<RunReport> reports_;
    bool finished_ = false;
    std::function<void(const RunReport&)> hook_;
};

} // namespace nivra::test
