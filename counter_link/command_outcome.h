#pragma once

namespace nivra {

// How one counter command ended, for callers that act differently on each failure.
enum class CommandOutcome {
    kAnswered,   // the expected reply
    kNoAnswer,   // no reply in time, too short, or from another counter number
    kWrongReply, // the counter answered, but with an unexpected status byte
    kDeviceGone, // the device failed (I/O error, hung up) or is closed: only reopening helps
};

} // namespace nivra
