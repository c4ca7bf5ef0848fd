#include "engine/assay_run.h"

#include "base/value_encoding.h"
#include "engine/acquisition_worker.h"
#include "engine/counter_access.h"
#include "engine/run_clock.h"
#include "model/assay_data.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>

namespace {

// Every run object in existence, so shutdown and tests can wait for self-deleting runs to end.
struct LiveRunCount {
    std::mutex mutex;
    std::condition_variable changed;
    int count = 0;
};

// Never destroyed: a run that ends while the process exits must still find it.
LiveRunCount& LiveRunRegistry() {
    static LiveRunCount* registry = new LiveRunCount;
    return *registry;
}

} // namespace

nivra::RunClock& RunEnvironment::Clock() const {
    return clock ? *clock : nivra::SystemRunClock();
}

nivra::CounterAccess& RunEnvironment::Counters() const {
    return counters ? *counters : nivra::RegisteredCounters();
}

CAssayRun::CAssayRun(const RunEnvironment& environment) : environment_(environment) {
    auto& registry = LiveRunRegistry();
    std::lock_guard lock(registry.mutex);
    ++registry.count;
}

CAssayRun::~CAssayRun() {
    // Notified under the lock, so a waiter cannot return (and the process end) while this
    // thread still touches the registry.
    auto& registry = LiveRunRegistry();
    std::lock_guard lock(registry.mutex);
    --registry.count;
    registry.changed.notify_all();
}

CAssayRun* CAssayRun::CreateSuspended(const RunEnvironment& environment) {
    return new (std::nothrow) CAssayRun(environment);
}

bool CAssayRun::Resume() {
    try {
        std::thread thread(&CAssayRun::MessageLoop, this);
        thread.detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void CAssayRun::Discard() {
    delete this;
}

void CAssayRun::PostThreadMessage(unsigned message, std::int64_t wParam, std::int64_t lParam) {
    queue_.Post({message, wParam, lParam});
}

int CAssayRun::LiveRuns() {
    auto& registry = LiveRunRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.count;
}

bool CAssayRun::WaitUntilNoRuns(std::chrono::milliseconds timeout) {
    auto& registry = LiveRunRegistry();
    std::unique_lock lock(registry.mutex);
    return registry.changed.wait_for(lock, timeout, [&] { return registry.count == 0; });
}

void CAssayRun::Send(unsigned message, std::int64_t wParam, std::int64_t lParam) {
    if (mainWindow_)
        mainWindow_->SendRunMessage({message, wParam, lParam});
}

void CAssayRun::MessageLoop() {
    for (;;) {
        nivra::RunMessage message = queue_.Get();
        if (message.message == nivra::WM_QUIT)
            break;
        switch (message.message) {
        case nivra::WM_RUN_START:
            if (!worker_.joinable() && data_) {
                control_.run = this;
                control_.data = data_;
                try {
                    worker_ = std::thread(AcquisitionWorker, std::ref(control_), environment_);
                } catch (const std::system_error&) {
                    // Without a worker the run reports its end at once, so the receiver's slot
                    // does not stay "running" for ever.
                    data_->appendHeaderLine("STOP TIME: " +
                                            nivra::FormatLocalTime(environment_.Clock().Now()));
                    PostThreadMessage(nivra::WM_RUN_FINISHED);
                }
            }
            break;
        case nivra::WM_RUN_STOP:
            control_.stopRequested.store(1);
            break;
        case nivra::WM_RUN_COUNTS: {
            int counter = data_ ? data_->counterNumber() : 0;
            Send(nivra::WM_RUN_COUNTS, counter, message.lParam);
            Send(nivra::WM_RUN_DWELL, counter, message.wParam);
            break;
        }
        case nivra::WM_RUN_FINISHED:
            Send(nivra::WM_RUN_FINISHED, data_ ? data_->counterNumber() : 0, 0);
            break;
        default:
            break;
        }
    }
    if (worker_.joinable())
        worker_.join();
    delete this;
}
