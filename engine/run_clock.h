#pragma once

#include <cstdint>

namespace nivra {

// Where a run takes its time from: the wall clock in whole seconds and a way to wait. Tests give
// runs a virtual clock, so an hour-long assay runs in milliseconds.
class RunClock {
public:
    virtual ~RunClock() = default;
    // Seconds since 1970-01-01 00:00 UTC.
    virtual std::int64_t now() = 0;
    // The same time in milliseconds, for spans shorter than a second.
    virtual std::int64_t nowMilliseconds() { return now() * 1000; }
    virtual void sleepMilliseconds(int milliseconds) = 0;
};

// The system's clock; one instance serves every run.
RunClock& systemRunClock();

} // namespace nivra
