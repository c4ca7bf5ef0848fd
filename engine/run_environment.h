#pragma once

namespace nivra {

class RunClock;
class CounterAccess;

// Where a run takes its time and its counter from. Unset members mean the system clock and the
// counters registered at start-up.
struct RunEnvironment {
    RunClock* clock = nullptr;
    CounterAccess* counters = nullptr;

    RunClock& Clock() const;
    CounterAccess& Counters() const;
};

} // namespace nivra
