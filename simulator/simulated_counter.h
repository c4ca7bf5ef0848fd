#pragma once

#include "simulator/sim_fault.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace nivra::sim {

using SimTime = std::chrono::steady_clock::time_point;

// What a counter sends back to one request: the bytes, and how long after the request.
struct Reply {
    std::vector<std::uint8_t> bytes;
    std::chrono::milliseconds delay{0};
};

// How a counter's events are spaced in time.
enum class EventSpacing {
    kPoisson, // random, as a radioactive source: exponential gaps at the mean rate
    kSteady,  // evenly, one every 1/rate seconds
};

// One simulated counter: its number, its one-byte count register that grows by one per event
// (wrapping at 256), the events arriving at a rate per second, its eight-character text, and an
// optional fault. On request it keeps the time of every event, so that a test can judge the
// counts of any span against what the counter really saw.
// Not thread-safe; the port that carries it serialises the calls.
class SimulatedCounter {
public:
    SimulatedCounter(std::uint8_t number, double ratePerSecond, SimTime now);

    std::uint8_t number() const { return number_; }

    void setRate(double ratePerSecond, SimTime now, std::mt19937_64& random);
    void setSpacing(EventSpacing spacing, SimTime now, std::mt19937_64& random);
    // From now on, keeps the time of every event.
    void keepEventTimes(SimTime now, std::mt19937_64& random);
    // The events in (from, to], of those kept; the register is first brought up to now.
    std::uint64_t eventsBetween(SimTime from, SimTime to, SimTime now, std::mt19937_64& random);
    void setRegister(std::uint8_t value, SimTime now);
    // The next reads return these values, in order, instead of the grown register.
    void queueReadings(const std::vector<std::uint8_t>& values);
    // Eight characters; shorter texts are padded with blanks, longer ones cut.
    void setText(const std::string& text);
    void setFault(const Fault& fault, SimTime now);

    // The answer to [number, command], or nullopt when the counter stays silent (unknown
    // command codes included, and the zero frame).
    std::optional<Reply> answer(std::uint8_t command, SimTime now, std::mt19937_64& random);

private:
    // Adds the events counted since the last update, wrapping at 256.
    void advance(SimTime now, std::mt19937_64& random);
    // Draws the time of the event after `after`.
    SimTime nextEventAfter(SimTime after, std::mt19937_64& random) const;
    void applyFault(std::uint8_t command, Reply& reply) const;

    std::uint8_t number_;
    double rate_;
    std::uint8_t register_ = 0;
    SimTime updated_;
    EventSpacing spacing_ = EventSpacing::kPoisson;
    std::optional<SimTime> nextEvent_; // none while the rate is 0
    bool keepTimes_ = false;
    std::vector<SimTime> eventTimes_;
    std::deque<std::uint8_t> scripted_;
    std::string text_;
    Fault fault_;
    SimTime faultFrom_;
};

} // namespace nivra::sim
