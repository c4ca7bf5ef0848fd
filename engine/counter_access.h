#pragma once

#include <cstdint>

class CCounterManager;
class CCounterPort;

namespace nivra {

// How a run reaches its counter: the two commands the worker sends. Each makes exactly one
// exchange; a counter number the counter registry does not know (or that is not 1 to 255) gets
// no command and fails.
class CounterAccess {
public:
    virtual ~CounterAccess() = default;
    // Sets the counter's count register back to 0.
    virtual bool ResetCount(int counterNumber) = 0;
    // Reads the count register (0 to 255) into count; leaves count unchanged on failure.
    virtual bool ReadCount(int counterNumber, std::int32_t& count) = 0;
};

// The counters of a counter registry: each command goes to the port the registry names for the
// counter.
class CounterManagerAccess final : public CounterAccess {
public:
    explicit CounterManagerAccess(CCounterManager& manager) : manager_(manager) {}
    bool ResetCount(int counterNumber) override;
    bool ReadCount(int counterNumber, std::int32_t& count) override;

private:
    CCounterPort* PortFor(int counterNumber) const;
    CCounterManager& manager_;
};

// The counters found at start-up, through the process-wide counter registry.
CounterAccess& RegisteredCounters();

} // namespace nivra
