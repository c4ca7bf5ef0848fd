#pragma once

#include "counter_link/com_mutex.h"
#include "counter_link/command_outcome.h"
#include "counter_link/counter_protocol.h"
#include "counter_link/open_failure.h"
#include "counter_link/serial_line.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace nivra {

// One open serial port carrying one or more counters, and the six counter commands.
//
// Every command makes exactly one exchange and is never retried: the pending bytes of both
// directions are discarded (so a late reply to an earlier, timed-out exchange is thrown away),
// the two-byte request is sent, and the fixed-length reply is awaited for at most 10 ms per
// byte plus one second. Any failure - device error, short write, too few bytes, a reply that
// echoes another counter number, an unexpected status byte - makes the command return false.
// The run's commands (reset and read) also refuse a reply followed at once by further bytes:
// noise before a reply shifts it, and taking its first bytes by position would turn noise into
// a reading (outcome kGarbled).
//
// Threads: resetCount and readCount may be called from several threads and on several ports at
// once. They hold the shared "Com Mutex" for their whole exchange, so at most one of them is on
// the wire at any time in the process (and in every other process using the lock), and the
// request and response buffers of a port stay consistent. sendZeroFrame, Probe and readText do
// not lock: they are for start-up, before any run thread exists. Open and Close belong to the
// counter manager.
class CounterPort {
public:
    CounterPort() = default;
    ~CounterPort();
    CounterPort(const CounterPort&) = delete;
    CounterPort& operator=(const CounterPort&) = delete;

    // Opens the device (see nivra::devicePathFor for the names), sets up the line and obtains
    // the shared lock. On failure the port stays closed and lastOpenFailure() says why; every
    // command of a closed port fails at once.
    bool open(const std::string& deviceName);
    // Closes the device and lets go of the lock. Always true.
    bool close();

    bool isOpen() const { return line_.isOpen(); }
    // The name given to the last Open, unchanged.
    const std::string& deviceName() const { return deviceName_; }
    nivra::OpenFailure lastOpenFailure() const { return openFailure_; }
    // The system's error number behind lastOpenFailure(), 0 when there is none.
    int lastOpenError() const { return openError_; }

    // [0, 0], no reply. True when both bytes were sent.
    bool sendZeroFrame();
    // True when counter n answers [n, REPLY_PRESENT].
    bool probe(std::uint8_t counterNumber);
    // Locked. True when counter n answers [n, REPLY_RESET]: its count register is back to 0.
    // outcome, when given, tells a missing answer from a wrong status and from a lost device.
    bool resetCount(std::uint8_t counterNumber, nivra::CommandOutcome* outcome = nullptr);
    // Locked. On a reply [n, value] stores value (0 to 255) in count and returns true; on failure
    // count is left unchanged. alternate selects command code 6 instead of 5.
    bool readCount(std::uint8_t counterNumber, std::int32_t& count, bool alternate = false,
                   nivra::CommandOutcome* outcome = nullptr);
    // Locked. Closes the device and opens it again by deviceName(), keeping the shared lock: a
    // re-plugged adapter, or a device node that came back, is used again. True when it is open.
    bool reopen();
    // On a reply [n, eight text bytes, 0] appends reply bytes 1 to 9 to text - the eight
    // characters and the terminating zero byte - and returns true; on failure text is unchanged.
    bool readText(std::uint8_t counterNumber, std::string& text);

private:
    // Fills the request and the lengths for one command.
    void prepare(std::uint8_t counterNumber, std::uint8_t command);
    bool transact();
    // transact for the locked commands: kAnswered only for a reply echoing the counter number
    // with nothing after it.
    nivra::CommandOutcome framedExchange();
    // How long the line must stay quiet after a reply. A device sends a reply back to back
    // (half a millisecond a byte at 19200 baud).
    static constexpr std::chrono::milliseconds kReplyQuiet{1};
    // Why the last Transact failed.
    nivra::CommandOutcome failureOutcome() const;
    bool echoMatches() const { return response_[0] == request_[0]; }

    nivra::SerialLine line_;
    std::shared_ptr<nivra::ComMutex> lock_;
    std::uint8_t request_[nivra::protocol::kRequestLength] = {};
    std::uint8_t response_[nivra::protocol::kTextReplyLength] = {};
    std::uint32_t requestLength_ = 0;
    std::uint32_t responseLength_ = 0;

    std::string deviceName_;
    nivra::OpenFailure openFailure_ = nivra::OpenFailure::kNone;
    int openError_ = 0;
};

} // namespace nivra
