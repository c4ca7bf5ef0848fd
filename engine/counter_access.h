#pragma once

#include "counter_link/command_outcome.h"

#include <cstdint>

namespace nivra {
class CounterManager;
class CounterPort;

// How a run reaches its counter: the two commands the worker sends, and reopening a device that
// went away. Each command makes exactly one exchange and says how it ended; a counter number
// the counter registry does not know (or that is not 1 to 255) gets no command and counts as
// not answering.
class CounterAccess {
public:
    virtual ~CounterAccess() = default;
    // Sets the counter's count register back to 0.
    virtual CommandOutcome resetCount(int counterNumber) = 0;
    // Reads the count register (0 to 255) into count; leaves count unchanged on failure.
    virtual CommandOutcome readCount(int counterNumber, std::int32_t& count) = 0;
    // Opens the counter's device again by its configured name, after a command ended with
    // kDeviceGone. True when the device is open again.
    virtual bool reopen(int /*counterNumber*/) { return false; }
};

// The counters of a counter registry: each command goes to the port the registry names for the
// counter.
class CounterManagerAccess final : public CounterAccess {
public:
    explicit CounterManagerAccess(CounterManager& manager) : manager_(manager) {}
    CommandOutcome resetCount(int counterNumber) override;
    CommandOutcome readCount(int counterNumber, std::int32_t& count) override;
    bool reopen(int counterNumber) override;

private:
    CounterPort* portFor(int counterNumber) const;
    CounterManager& manager_;
};

// The counters found at start-up, through the process-wide counter registry.
CounterAccess& registeredCounters();

} // namespace nivra
