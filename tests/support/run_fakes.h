#pragma once

#include "engine/counter_access.h"
#include "engine/run_clock.h"
#include "engine/run_messages.h"

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

// A clock whose time only moves when the run sleeps: every SleepMilliseconds advances it at
// once. PauseAt makes the sleeping thread wait once the time reaches a given second, until the
// test calls Resume; that lets a test act at an exact moment of a run.
class VirtualClock final : public RunClock {
public:
    explicit VirtualClock(std::int64_t startSeconds = 1'700'000'000,
                          std::chrono::microseconds realPause = {})
        : milliseconds_(startSeconds * 1000), realPause_(realPause) {}

    std::int64_t Now() override;
    void SleepMilliseconds(int milliseconds) override;

    void PauseAt(std::int64_t seconds);
    // Waits (real time, bounded) until the sleeping thread has reached the pause.
    bool WaitUntilPaused(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void Resume();
    std::int64_t StartSeconds() const { return start_; }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t milliseconds_;
    const std::int64_t start_ = milliseconds_ / 1000;
    std::chrono::microseconds realPause_;
    std::optional<std::int64_t> pauseAt_;
    bool paused_ = false;
};

// A counter whose register readings are scripted: each ReadCount takes the next reading; when
// the script is used up every further read gives the last reading again (a register that stops
// counting), or fails when the counter is set to stop answering.
class ScriptedCounter final : public CounterAccess {
public:
    explicit ScriptedCounter(std::vector<std::int32_t> readings = {}, bool answerAfterScript = true)
        : readings_(readings.begin(), readings.end()), answerAfterScript_(answerAfterScript) {}

    bool ResetCount(int counterNumber) override;
    bool ReadCount(int counterNumber, std::int32_t& count) override;

    // The commands the worker sent, in order: 'R' reset, 'C' read.
    std::vector<char> Commands() const;
    // Called on the worker's thread before each read with the read's 1-based number.
    // May be set while a run already reads.
    void OnRead(std::function<void(int)> hook);

private:
    mutable std::mutex mutex_;
    std::deque<std::int32_t> readings_;
    bool answerAfterScript_;
    std::optional<std::int32_t> last_;
    std::vector<char> commands_;
    int reads_ = 0;
    std::function<void(int)> onRead_;
};

// Records every run message it receives; optionally runs a hook on the sending thread, and posts
// WM_QUIT to the run after WM_RUN_FINISHED the way the window does.
class RecordingReceiver final : public RunReceiver {
public:
    void SendRunMessage(const RunMessage& message) override;

    std::vector<RunMessage> Messages() const;
    bool WaitForFinished(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    void OnMessage(std::function<void(const RunMessage&)> hook) { hook_ = std::move(hook); }
    // The run to post WM_QUIT to after WM_RUN_FINISHED.
    std::function<void()> quit;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<RunMessage> messages_;
    bool finished_ = false;
    std::function<void(const RunMessage&)> hook_;
};

} // namespace nivra::test
