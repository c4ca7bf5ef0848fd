#include "engine/assay_run.h"

#include "engine/acquisition_worker.h"
#include "engine/counter_access.h"
#include "engine/run_clock.h"

#include <new>
#include <system_error>

namespace nivra {

RunClock& RunEnvironment::runClock() const {
    return clock ? *clock : systemRunClock();
}

CounterAccess& RunEnvironment::counterAccess() const {
    return counters ? *counters : registeredCounters();
}

std::unique_ptr<AssayRun> AssayRun::start(AssayData& data, RunObserver& observer,
                                          const RunEnvironment& environment) {
    std::unique_ptr<AssayRun> run(new (std::nothrow) AssayRun);
    if (!run)
        return nullptr;
    try {
        run->thread_ = std::jthread([&data, &observer, environment](std::stop_token stop) {
            runAcquisition(data, observer, environment, stop);
        });
    } catch (const std::system_error&) {
        return nullptr;
    }
    return run;
}

AssayRun::~AssayRun() {
    // jthread's own destructor does the same; spelt out because the record and the observer the
    // worker uses must not go before it has returned.
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

} // namespace nivra
