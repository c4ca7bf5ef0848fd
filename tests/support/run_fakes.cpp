#include "support/run_fakes.h"

#include <thread>

namespace nivra::test {

std::int64_t VirtualClock::now() {
    std::lock_guard lock(mutex_);
    return milliseconds_ / 1000;
}

std::int64_t VirtualClock::nowMilliseconds() {
    std::lock_guard lock(mutex_);
    return milliseconds_;
}

void VirtualClock::sleepMilliseconds(int milliseconds) {
    if (realPause_.count() > 0)
        std::this_thread::sleep_for(realPause_);
    std::unique_lock lock(mutex_);
    milliseconds_ += milliseconds;
    if (pauseAt_ && milliseconds_ / 1000 >= *pauseAt_) {
        pauseAt_.reset();
        paused_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !paused_; });
    }
}

void VirtualClock::pauseAt(std::int64_t seconds) {
    std::lock_guard lock(mutex_);
    pauseAt_ = seconds;
}

bool VirtualClock::waitUntilPaused(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return paused_; });
}

void VirtualClock::resume() {
    {
        std::lock_guard lock(mutex_);
        paused_ = false;
    }
    changed_.notify_all();
}

CommandOutcome ScriptedCounter::resetCount(int) {
    std::lock_guard lock(mutex_);
    commands_.push_back('R');
    return gone_ ? CommandOutcome::kDeviceGone : resetOutcome_;
}

void ScriptedCounter::setResetOutcome(CommandOutcome outcome) {
    std::lock_guard lock(mutex_);
    resetOutcome_ = outcome;
}

bool ScriptedCounter::reopen(int) {
    std::lock_guard lock(mutex_);
    commands_.push_back('O');
    ++reopens_;
    if (clock_) {
        gone_ = entryNow() == kGone;
        return !gone_;
    }
    if (!readings_.empty() && readings_.front() == kGone) {
        readings_.pop_front();
        return false;
    }
    gone_ = false;
    return true;
}

int ScriptedCounter::reopens() const {
    std::lock_guard lock(mutex_);
    return reopens_;
}

void ScriptedCounter::onRead(std::function<void(int)> hook) {
    std::lock_guard lock(mutex_);
    onRead_ = std::move(hook);
}

std::optional<std::int32_t> ScriptedCounter::entryNow() const {
    const std::int64_t second = clock_->nowMilliseconds() / 1000 - clock_->startSeconds();
    if (second < 0 || static_cast<std::size_t>(second) >= readings_.size())
        return std::nullopt;
    return readings_[static_cast<std::size_t>(second)];
}

void ScriptedCounter::followClock(VirtualClock& clock) {
    std::lock_guard lock(mutex_);
    clock_ = &clock;
}

CommandOutcome ScriptedCounter::readCount(int, std::int32_t& count) {
    int number;
    std::function<void(int)> hook;
    {
        std::lock_guard lock(mutex_);
        commands_.push_back('C');
        number = ++reads_;
        hook = onRead_;
    }
    if (hook)
        hook(number);
    std::lock_guard lock(mutex_);
    if (clock_) {
        const std::optional<std::int32_t> entry = entryNow();
        if (entry == kGone)
            gone_ = true;
        if (gone_)
            return CommandOutcome::kDeviceGone;
        if (entry == kSilent || (!entry && !answerAfterScript_))
            return CommandOutcome::kNoAnswer;
        if (entry == kGarbled)
            return CommandOutcome::kGarbled;
        if (entry) {
            count = *entry;
            return CommandOutcome::kAnswered;
        }
        // After the script: the last reading again.
        for (auto it = readings_.rbegin(); it != readings_.rend(); ++it)
            if (*it >= 0) {
                count = *it;
                return CommandOutcome::kAnswered;
            }
        return CommandOutcome::kNoAnswer;
    }
    if (gone_)
        return CommandOutcome::kDeviceGone;
    if (!readings_.empty()) {
        const std::int32_t next = readings_.front();
        readings_.pop_front();
        if (next == kGone) {
            gone_ = true;
            return CommandOutcome::kDeviceGone;
        }
        if (next == kSilent)
            return CommandOutcome::kNoAnswer;
        if (next == kGarbled)
            return CommandOutcome::kGarbled;
        last_ = next;
    } else if (!answerAfterScript_ || !last_) {
        return CommandOutcome::kNoAnswer;
    }
    count = *last_;
    return CommandOutcome::kAnswered;
}

CommandOutcome SteadyCounter::resetCount(int) {
    resetMs_ = clock_.nowMilliseconds();
    return CommandOutcome::kAnswered;
}

CommandOutcome SteadyCounter::readCount(int, std::int32_t& count) {
    const std::int64_t since = clock_.nowMilliseconds() - resetMs_;
    if (since >= garbleFrom_ && since < garbleTo_)
        return CommandOutcome::kGarbled;
    count = static_cast<std::int32_t>(eventsUntil(since) % 256);
    return CommandOutcome::kAnswered;
}

void SteadyCounter::garbleBetween(std::int64_t fromMs, std::int64_t toMs) {
    garbleFrom_ = fromMs;
    garbleTo_ = toMs;
}

std::int64_t SteadyCounter::eventsUntil(std::int64_t ms) const {
    return static_cast<std::int64_t>(rate_ * static_cast<double>(ms) / 1000.0);
}

std::vector<char> ScriptedCounter::commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

void RecordingObserver::record(const RunReport& report) {
    if (hook_)
        hook_(report);
    {
        std::lock_guard lock(mutex_);
        reports_.push_back(report);
        if (report.kind == RunReport::Finished)
            finished_ = true;
    }
    changed_.notify_all();
}

std::vector<RunReport> RecordingObserver::reports() const {
    std::lock_guard lock(mutex_);
    return reports_;
}

bool RecordingObserver::waitForFinished(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return finished_; });
}

} // namespace nivra::test
