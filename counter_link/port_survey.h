#pragma once

#include "counter_link/skipped_port.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nivra {

// A device on which counters answered, with their numbers.
struct SurveyedPort {
    std::string deviceName;
    std::vector<std::uint8_t> counters;
};

struct PortSurvey {
    // The devices that carry counters, in the order a port list needs so that discovery finds
    // every one of them: the device of counter 1 first, then the one that continues its chain.
    std::vector<SurveyedPort> chains;
    // The devices on which no counter was found, and why; kNoCounter names the last number
    // asked for.
    std::vector<SkippedPort> skipped;
};

// Asks the devices for counters as discovery does - the zero frame, then consecutive counter
// numbers from 1 - but in any order of the devices: each round asks every device not yet taken
// for the next number, and the first that answers gives its whole chain. So it finds the
// counters whatever order the devices are listed in, at the price of one probe time-out per
// silent device and round. One device at a time, each exchange under the shared "Com Mutex",
// so a program running assays on other ports meanwhile only waits for single exchanges. The
// devices are opened exclusively for the survey and closed at its end.
PortSurvey surveyPorts(const std::vector<std::string>& deviceNames);

} // namespace nivra
