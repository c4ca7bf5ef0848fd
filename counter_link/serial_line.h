#pragma once

#include "counter_link/open_failure.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace nivra {

// How long a transfer of byteCount bytes may take before it counts as failed: 10 ms per byte
// plus one second. A counter that does not answer a two-byte reply costs 1020 ms.
std::chrono::milliseconds transferTimeout(std::size_t byteCount);

// One serial device opened for the counter protocol: 19200 baud, 8 data bits, no parity, one
// stop bit, raw (no echo, no line editing, no CR/LF translation, no software flow control); the
// hardware flow-control setting stays as the device reports it.
//
// The device is held exclusively with an advisory lock on the open device, so a second Open of
// the same device, from this or from any other process, fails with kBusy even for root; the
// lock goes with the file descriptor, so a crashed holder never blocks the device.
//
// Not thread-safe: one exchange at a time (CounterPort serialises them).
class SerialLine {
public:
    SerialLine() = default;
    ~SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // Opens an existing device (see devicePathFor for the names), for reading and writing, never
    // as controlling terminal, and configures the line. Anything that is not a terminal device
    // is refused without being opened for I/O. On failure the line stays closed; lastError()
    // then holds the system's error number where there is one.
    OpenFailure open(const std::string& deviceName);
    // Discards whatever is still queued and closes the device. Closing a closed line is harmless.
    void close();
    bool isOpen() const { return device_ != -1; }
    int lastError() const { return error_; }
    // True once a transfer failed because of the device itself (an I/O error, a hang-up, a
    // device that is no longer there), as opposed to a peer that merely did not answer. Stays
    // true until the line is opened again.
    bool deviceFailed() const { return deviceFailed_; }

    // Discards everything pending in both directions: unread input, and output that a failed
    // Write left unsent. The output of a completed Write has left the queue already; it is not
    // flushed again, because on a pseudo-terminal that would discard the bytes before the other
    // side has read them.
    bool purge();
    // Sends count bytes and waits until they have left the output queue, so that a following
    // Purge cannot discard them. False when that does not happen within transferTimeout(count).
    bool write(const std::uint8_t* data, std::size_t count);
    // Reads until count bytes have arrived, the device fails, or transferTimeout(count) has
    // passed. Returns the number of bytes stored.
    std::size_t read(std::uint8_t* data, std::size_t count);
    // Whether any further byte arrives within quiet; what arrives is discarded. A device sends
    // a reply's bytes back to back, so a byte right after a complete reply means the reply was
    // framed wrongly (noise before it, or a second sender).
    bool moreInputWithin(std::chrono::milliseconds quiet);

private:
    using Deadline = std::chrono::steady_clock::time_point;
    OpenFailure fail(OpenFailure failure, int error);
    bool waitFor(short events, Deadline deadline);
    bool waitUntilSent(Deadline deadline);
    // Notes the failed call's errno when it says the device itself failed; returns false.
    bool deviceError(int error);

    // The open device: its file descriptor, or its handle on Windows; -1 while closed.
    int fd() const { return static_cast<int>(device_); }
    std::intptr_t device_ = -1;
    int error_ = 0;
    bool unsentOutput_ = false; // a Write failed and may have left bytes in the output queue
    bool deviceFailed_ = false;
};

} // namespace nivra
