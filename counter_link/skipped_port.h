#pragma once

#include "counter_link/open_failure.h"

#include <cstdint>
#include <string>

namespace nivra {

// A device name of the port list on which discovery found no counter, and why. The window
// ignores these; nivra-cli discover prints them for users whose counters are not found.
struct SkippedPort {
    enum class Reason {
        kNotOpened,        // see openFailure and error
        kNoCounter,        // open, but no counter answered to expectedCounter
        kNumbersExhausted, // all counter numbers up to 255 were already taken
    };

    std::string deviceName;
    Reason reason = Reason::kNotOpened;
    OpenFailure openFailure = OpenFailure::kNone;
    int error = 0; // the system's error number behind openFailure, 0 when there is none
    std::uint8_t expectedCounter = 0;
};

} // namespace nivra
