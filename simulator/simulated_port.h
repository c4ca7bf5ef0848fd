#pragma once

#include "simulator/pseudo_terminal.h"
#include "simulator/published_link.h"
#include "simulator/sim_fault.h"
#include "simulator/simulated_counter.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace nivra::sim {

// The time source for the count registers and for "silent after"; tests may pass their own.
using SimClock = std::function<SimTime()>;

// One request as the port received it. The times are real (steady clock) times: `received`
// when its second byte arrived, `replied` just before the first reply byte was written (never
// set when the request got no answer). An exchange is in progress on the wire from the moment
// the program under test writes the request until it has read the reply, so the interval
// [received, replied] of every answered request lies inside it.
struct RequestRecord {
    std::uint8_t counter = 0;
    std::uint8_t command = 0;
    SimTime received;
    std::optional<SimTime> replied;
    std::vector<std::uint8_t> reply;
};

// One simulated serial port: a pseudo-terminal published under a symbolic link, carrying a
// chain of counters, served by a thread of its own from construction until destruction.
// Every request [n, code] reaches every counter of the port; counter n answers, the others stay
// silent, as on a shared serial line. All methods may be called from any thread.
class SimulatedPort {
public:
    // Throws std::system_error when the pseudo-terminal or the link cannot be made.
    SimulatedPort(const std::string& linkPath, const std::vector<std::uint8_t>& counters,
                  double ratePerSecond, std::uint64_t seed, SimClock clock);
    ~SimulatedPort();
    SimulatedPort(const SimulatedPort&) = delete;
    SimulatedPort& operator=(const SimulatedPort&) = delete;

    const std::string& linkPath() const { return link_.path(); }
    const std::string& devicePath() const { return terminal_.slavePath(); }
    bool carries(std::uint8_t counter) const;

    // Counter controls; each throws std::invalid_argument for a number the port does not carry.
    void setRate(std::uint8_t counter, double ratePerSecond);
    void setSpacing(std::uint8_t counter, EventSpacing spacing);
    // The counter keeps the time of every event from now on, for eventsBetween.
    void keepEventTimes(std::uint8_t counter);
    // The counter's own truth: the events it saw in (from, to], of those kept.
    std::uint64_t eventsBetween(std::uint8_t counter, SimTime from, SimTime to);
    void setRegister(std::uint8_t counter, std::uint8_t value);
    void queueReadings(std::uint8_t counter, const std::vector<std::uint8_t>& values);
    void setText(std::uint8_t counter, const std::string& text);
    // Replaces the counter's fault; Fault{} clears it.
    void setFault(std::uint8_t counter, const Fault& fault);

    // Every request received so far, in order.
    std::vector<RequestRecord> requests() const;
    // Waits until done(requests) holds or the timeout passes; returns whether it holds.
    bool waitFor(const std::function<bool(const std::vector<RequestRecord>&)>& done,
                 std::chrono::milliseconds timeout) const;

private:
    struct PendingReply {
        SimTime due;
        std::vector<std::uint8_t> bytes;
        std::size_t record;
    };

    SimulatedCounter& counterLocked(std::uint8_t counter);
    void serve();
    void handleRequest(std::uint8_t counter, std::uint8_t command);
    void sendLocked(const std::vector<std::uint8_t>& bytes, std::size_t record);
    void sendDueReplies();
    int millisecondsToNextReply() const;

    PseudoTerminal terminal_;
    PublishedLink link_;
    SimClock clock_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<SimulatedCounter> counters_;
    std::mt19937_64 random_;
    std::vector<RequestRecord> requests_;
    std::vector<PendingReply> pending_;

    std::thread server_; // last: starts once everything above exists
};

} // namespace nivra::sim
