#pragma once

namespace nivra {

// How one counter command ended, for callers that act differently on each failure.
enum class CommandOutcome {
    kAnswered,   // the expected reply
    kNoAnswer,   // no reply in time, or too short
    kWrongReply, // the counter answered, but with an unexpected status byte
    kDeviceGone, // the device failed (I/O error, hung up) or is closed: only reopening helps
    kGarbled,    // bytes arrived, but not as a reply: another counter number, or more bytes than
                 // a reply has (line noise before or after it)
};

} // namespace nivra
