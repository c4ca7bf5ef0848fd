#pragma once

#include "base/start_directory.h"
#include "counter_link/counter_manager.h"
#include "counter_link/skipped_port.h"

#include <string>
#include <vector>

namespace nivra {

// At most this many counters are offered in the window; higher numbers stay registered.
inline constexpr int kMaxOfferedCounters = 4;

struct CounterStartup {
    int offeredCounters = 0; // 0 to kMaxOfferedCounters: counters 1 to this are offered
    // Why the port list could not be read ("" when it could): it is then left alone and no
    // port is tried.
    std::string portListProblem;
};

// The start-up steps that need no window, in order: read the port list "port_config.pfx" in the
// start directory (writing the defaults when it yields no port), discover the counters with the
// manager, and send the text query to each offered counter (its answer is not used). Runs in the
// main thread before any run thread exists.
CounterStartup runCounterStartup(const StartDirectory& start,
                                 CounterManager& manager = CounterManager::instance(),
                                 std::vector<SkippedPort>* skipped = nullptr);

} // namespace nivra
