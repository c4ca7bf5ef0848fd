#pragma once

#include "counter_link/counter_port.h"
#include "counter_link/skipped_port.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace nivra {

// The registry of counters: which open port reaches which counter number. It owns every open
// port from discovery until it is destroyed (for the process-wide instance(), at process exit).
//
// Discovery numbers the counters globally and consecutively in port list order: the counters
// on the first device that answers must carry 1, 2, ..., k, those on the next k+1, k+2, ...; the
// first number that gets no answer ends a device's chain.
//
// Threads: discoverCounters and teardown run while no run thread exists; in between the
// registry is only read (portFor), from any thread, without a lock.
class CounterManager {
public:
    static constexpr int kHighestCounterNumber = 255;

    // The process-wide manager, created empty by the first call.
    static CounterManager& instance();

    // A manager of its own (tests, tools); instance() is the one the program uses.
    CounterManager() = default;
    ~CounterManager();
    CounterManager(const CounterManager&) = delete;
    CounterManager& operator=(const CounterManager&) = delete;

    // Opens the devices of the list in order, probes consecutive counter numbers on each and
    // registers the counters found; devices without the expected next counter are closed again.
    // Returns the number of counters found: they carry the numbers 1 to that count. When
    // skipped is given, it receives one entry per device name on which no counter was found.
    // A registry filled before is torn down first.
    int discoverCounters(const std::vector<std::string>& portList,
                         std::vector<nivra::SkippedPort>* skipped = nullptr);

    // The port that reaches the counter, or nullptr when the number is not registered.
    CounterPort* portFor(std::uint8_t counterNumber) const;

    // Closes and frees every port and empties the registry. Sends nothing to the counters.
    void teardown();

private:
    std::map<std::uint8_t, CounterPort*> portsByCounter_;
    std::vector<std::unique_ptr<CounterPort>> ports_;
};

} // namespace nivra
