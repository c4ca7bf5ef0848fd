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

// One simulated counter: its number, its one-byte count register that grows by a Poisson
// number of events at a mean rate per second, its eight-character text, and an optional fault.
// Not thread-safe; the port that carries it serialises the calls.
class SimulatedCounter {
public:
    SimulatedCounter(std::uint8_t number, double ratePerSecond, SimTime now);

    std::uint8_t number() const { return number_; }

    void setRate(double ratePerSecond, SimTime now, std::mt19937_64& random);
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
    void applyFault(std::uint8_t command, Reply& reply) const;

    std::uint8_t number_;
    double rate_;
    std::uint8_t register_ = 0;
    SimTime updated_;
    std::deque<std::uint8_t> scripted_;
    std::string text_;
    Fault fault_;
    SimTime faultFrom_;
};

} // namespace nivra::sim
