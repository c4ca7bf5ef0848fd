#pragma once

#include "engine/run_messages.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace nivra {

// The message queue of a run thread: any thread posts, the owning thread waits for the next one.
class ThreadMessageQueue {
public:
    void Post(const RunMessage& message) {
        {
            std::lock_guard lock(mutex_);
            messages_.push_back(message);
        }
        available_.notify_one();
    }

    // Blocks until a message is there and takes it.
    RunMessage Get() {
        std::unique_lock lock(mutex_);
        available_.wait(lock, [this] { return !messages_.empty(); });
        RunMessage message = messages_.front();
        messages_.pop_front();
        return message;
    }

private:
    std::mutex mutex_;
    std::condition_variable available_;
    std::deque<RunMessage> messages_;
};

} // namespace nivra
