#pragma once

#include <cstddef>
#include <cstdint>

// The counters' serial protocol: every exchange is a two-byte request [counter number, command
// code] followed by a reply of fixed length, or none. Replies echo the counter number in their
// first byte. Counters are numbered from 1; number 0 only appears in the zero frame.
namespace nivra::protocol {

inline constexpr std::uint8_t CMD_ZERO = 0;     // [0, 0], no reply
inline constexpr std::uint8_t CMD_PROBE = 3;    // reply [n, REPLY_PRESENT]
inline constexpr std::uint8_t CMD_RESET = 4;    // reply [n, REPLY_RESET], register back to 0
inline constexpr std::uint8_t CMD_READ = 5;     // reply [n, count register]
inline constexpr std::uint8_t CMD_READ_ALT = 6; // as CMD_READ
inline constexpr std::uint8_t CMD_TEXT = 9;     // reply [n, eight text bytes, 0]

inline constexpr std::uint8_t REPLY_PRESENT = 0xF2;
inline constexpr std::uint8_t REPLY_RESET = 0xF3;

inline constexpr std::size_t kRequestLength = 2;
inline constexpr std::size_t kShortReplyLength = 2;
inline constexpr std::size_t kTextReplyLength = 10;
inline constexpr std::size_t kTextLength = 8;

// The length of the reply to a command code, 0 for codes that get none.
constexpr std::size_t replyLength(std::uint8_t command) {
    switch (command) {
    case CMD_PROBE:
    case CMD_RESET:
    case CMD_READ:
    case CMD_READ_ALT:
        return kShortReplyLength;
    case CMD_TEXT:
        return kTextReplyLength;
    default:
        return 0;
    }
}

} // namespace nivra::protocol
