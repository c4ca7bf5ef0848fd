#include "counter_link/counter_startup.h"

#include "base/start_directory.h"
#include "counter_link/port_config.h"

#include <algorithm>
#include <string>

namespace nivra {

CounterStartup RunCounterStartup(CCounterManager& manager, std::vector<SkippedPort>* skipped) {
    CounterStartup result;
    result.startDirectoryRead = CaptureStartingDirectory();

    std::vector<std::string> ports;
    std::string readError;
    if (ReadPortConfig(StartPath(kPortConfigFile), ports, &readError) ==
        PortListSource::kUnreadable)
        result.portListProblem = StartPath(kPortConfigFile) + ": " + readError;
    int found = manager.DiscoverCounters(ports, skipped);
    result.offeredCounters = std::min(found, kMaxOfferedCounters);

    for (int n = 1; n <= result.offeredCounters; ++n) {
        auto number = static_cast<std::uint8_t>(n);
        if (CCounterPort* port = manager.PortFor(number)) {
            std::string text;
            port->ReadText(number, text);
        }
    }
    return result;
}

} // namespace nivra
