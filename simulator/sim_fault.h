#pragma once

#include <chrono>
#include <cstdint>
#include <utility>
#include <vector>

namespace nivra::sim {

enum class FaultKind {
    kNone,
    kSilent,      // does not answer (from `delay` after the fault was set)
    kWrongEcho,   // echoes `value` instead of its own number
    kShortReply,  // sends only the first `value` bytes of each reply
    kLateReply,   // answers `delay` late
    kWrongStatus, // status byte `value`: byte 1 of probe and reset replies, byte 9 of the text
    kStrayBytes,  // sends `noise` right before each reply, as line noise would
};

// One misbehaviour of a simulated counter, for the commands it applies to.
struct Fault {
    FaultKind kind = FaultKind::kNone;
    std::uint8_t command = 0; // the command code it applies to; 0: every command
    std::uint8_t value = 0;
    std::chrono::milliseconds delay{0};
    std::vector<std::uint8_t> noise;

    static Fault silent(std::chrono::milliseconds after = std::chrono::milliseconds(0)) {
        return {FaultKind::kSilent, 0, 0, after, {}};
    }
    static Fault wrongEcho(std::uint8_t echoed) {
        return {FaultKind::kWrongEcho, 0, echoed, {}, {}};
    }
    static Fault shortReply(std::uint8_t bytes = 1) {
        return {FaultKind::kShortReply, 0, bytes, {}, {}};
    }
    static Fault lateReply(std::chrono::milliseconds delay) {
        return {FaultKind::kLateReply, 0, 0, delay, {}};
    }
    static Fault wrongStatus(std::uint8_t status) {
        return {FaultKind::kWrongStatus, 0, status, {}, {}};
    }
    static Fault strayBytes(std::vector<std::uint8_t> bytes) {
        return {FaultKind::kStrayBytes, 0, 0, {}, std::move(bytes)};
    }
    // The same fault, limited to one command code.
    Fault onlyFor(std::uint8_t commandCode) const {
        Fault limited = *this;
        limited.command = commandCode;
        return limited;
    }
    bool appliesTo(std::uint8_t commandCode) const {
        return kind != FaultKind::kNone && (command == 0 || command == commandCode);
    }
};

} // namespace nivra::sim
