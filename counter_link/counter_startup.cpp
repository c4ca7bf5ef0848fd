#include "counter_link/counter_startup.h"

#include "counter_link/port_config.h"

#include <algorithm>
#include <string>

namespace nivra {

CounterStartup runCounterStartup(const StartDirectory& start, CounterManager& manager,
                                 std::vector<SkippedPort>* skipped) {
    CounterStartup result;
    const std::string portList = start.file(kPortConfigFile);
    std::vector<std::string> ports;
    std::string readError;
    if (readPortConfig(portList, ports, &readError) == PortListSource::kUnreadable)
        result.portListProblem = portList + ": " + readError;
    int found = manager.discoverCounters(ports, skipped);
    result.offeredCounters = std::min(found, kMaxOfferedCounters);

    for (int n = 1; n <= result.offeredCounters; ++n) {
        auto number = static_cast<std::uint8_t>(n);
        if (CounterPort* port = manager.portFor(number)) {
            std::string text;
            port->readText(number, text);
        }
    }
    return result;
}

} // namespace nivra
