#include "simulator/simulated_port.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace nivra::sim {

namespace {

using RealClock = std::chrono::steady_clock;

// A lone request byte older than this is dropped, so that a stray byte cannot shift the framing
// of every later request.
constexpr auto kResyncAfter = std::chrono::milliseconds(100);

int millisecondsUntil(SimTime when) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(when - RealClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

int earlier(int a, int b) {
    return a < 0 ? b : (b < 0 ? a : std::min(a, b));
}

} // namespace

SimulatedPort::SimulatedPort(const std::string& linkPath, const std::vector<std::uint8_t>& counters,
                             double ratePerSecond, std::uint64_t seed, SimClock clock)
    : link_(linkPath, terminal_.slavePath()), clock_(std::move(clock)), random_(seed) {
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    SimTime now = clock_();
    for (std::uint8_t number : counters)
        counters_.emplace_back(number, ratePerSecond, now);
    server_ = std::thread([this] { serve(); });
}

SimulatedPort::~SimulatedPort() {
    char stop = 1;
    while (::write(wakeWrite_, &stop, 1) < 0 && errno == EINTR) {
    }
    server_.join();
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

bool SimulatedPort::carries(std::uint8_t counter) const {
    std::lock_guard<std::mutex> hold(mutex_);
    return std::any_of(counters_.begin(), counters_.end(),
                       [&](const SimulatedCounter& c) { return c.number() == counter; });
}

SimulatedCounter& SimulatedPort::counterLocked(std::uint8_t counter) {
    for (auto& c : counters_)
        if (c.number() == counter)
            return c;
    throw std::invalid_argument("the port " + linkPath() + " carries no counter " +
                                std::to_string(counter));
}

void SimulatedPort::setRate(std::uint8_t counter, double ratePerSecond) {
    std::lock_guard<std::mutex> hold(mutex_);
    counterLocked(counter).setRate(ratePerSecond, clock_(), random_);
}

void SimulatedPort::setSpacing(std::uint8_t counter, EventSpacing spacing) {
    std::lock_guard<std::mutex> hold(mutex_);
    counterLocked(counter).setSpacing(spacing, clock_(), random_);
}

void SimulatedPort::keepEventTimes(std::uint8_t counter) {
    std::lock_guard<std::mutex> hold(mutex_);
    counterLocked(counter).keepEventTimes(clock_(), random_);
}

std::uint64_t SimulatedPort::eventsBetween(std::uint8_t counter, SimTime from, SimTime to) {
    std::lock_guard<std::mutex> hold(mutex_);
    return counterLocked(counter).eventsBetween(from, to, clock_(), random_);
}

void SimulatedPort::setRegister(std::uint8_t counter, std::uint8_t value) {
    std::lock_guard<std::mutex> hold(mutex_);
    counterLocked(counter).setRegister(value, clock_());
}

void SimulatedPort::queueReadings(std::uint8_t counter, const std::vector<std::uint8_t>& values) {
    std::lock_guard<std::mutex> hold(mutex_);
    counterLocked(counter).queueReadings(values);
}

void SimulatedPort::setText(std::uint8_t counter, const std::string& text) {
    std::lock_guard<std::mutex> hold(mutex_);
    counterLocked(counter).setText(text);
}

void SimulatedPort::setFault(std::uint8_t counter, const Fault& fault) {
    std::lock_guard<std::mutex> hold(mutex_);
    counterLocked(counter).setFault(fault, clock_());
}

std::vector<RequestRecord> SimulatedPort::requests() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return requests_;
}

bool SimulatedPort::waitFor(const std::function<bool(const std::vector<RequestRecord>&)>& done,
                            std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> hold(mutex_);
    return changed_.wait_for(hold, timeout, [&] { return done(requests_); });
}

void SimulatedPort::serve() {
    std::vector<std::uint8_t> partial;
    SimTime partialSince{};
    for (;;) {
        int timeout = millisecondsToNextReply();
        if (!partial.empty())
            timeout = earlier(timeout, millisecondsUntil(partialSince + kResyncAfter));
        pollfd watch[2] = {{terminal_.masterFd(), POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        if (::poll(watch, 2, timeout) < 0 && errno != EINTR)
            return;
        if (watch[1].revents != 0)
            return;
        if (watch[0].revents & POLLIN) {
            std::uint8_t bytes[64];
            ssize_t got;
            while ((got = ::read(terminal_.masterFd(), bytes, sizeof bytes)) > 0) {
                for (ssize_t i = 0; i < got; ++i) {
                    if (partial.empty())
                        partialSince = RealClock::now();
                    partial.push_back(bytes[i]);
                    if (partial.size() == 2) {
                        handleRequest(partial[0], partial[1]);
                        partial.clear();
                    }
                }
            }
        } else if (watch[0].revents & (POLLHUP | POLLERR)) {
            // Cannot happen while the slave is held open; do not spin if it does.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!partial.empty() && RealClock::now() - partialSince >= kResyncAfter)
            partial.clear();
        sendDueReplies();
    }
}

void SimulatedPort::handleRequest(std::uint8_t counter, std::uint8_t command) {
    std::lock_guard<std::mutex> hold(mutex_);
    requests_.push_back({counter, command, RealClock::now(), std::nullopt, {}});
    std::size_t record = requests_.size() - 1;
    changed_.notify_all();

    std::optional<Reply> reply;
    for (auto& c : counters_)
        if (c.number() == counter)
            reply = c.answer(command, clock_(), random_);
    if (!reply)
        return;
    if (reply->delay.count() > 0)
        pending_.push_back({RealClock::now() + reply->delay, std::move(reply->bytes), record});
    else
        sendLocked(reply->bytes, record);
}

void SimulatedPort::sendLocked(const std::vector<std::uint8_t>& bytes, std::size_t record) {
    requests_[record].replied = RealClock::now();
    requests_[record].reply = bytes;
    changed_.notify_all();
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t written = ::write(terminal_.masterFd(), bytes.data() + sent, bytes.size() - sent);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            // The slave's input queue is full: nobody has read for a long time. Drop the rest,
            // as a line would with nobody listening.
            return;
        }
    }
}

void SimulatedPort::sendDueReplies() {
    std::lock_guard<std::mutex> hold(mutex_);
    SimTime now = RealClock::now();
    auto due = std::stable_partition(pending_.begin(), pending_.end(),
                                     [&](const PendingReply& p) { return p.due <= now; });
    std::stable_sort(pending_.begin(), due,
                     [](const PendingReply& a, const PendingReply& b) { return a.due < b.due; });
    for (auto it = pending_.begin(); it != due; ++it)
        sendLocked(it->bytes, it->record);
    pending_.erase(pending_.begin(), due);
}

int SimulatedPort::millisecondsToNextReply() const {
    std::lock_guard<std::mutex> hold(mutex_);
    int timeout = -1;
    for (const auto& p : pending_)
        timeout = earlier(timeout, millisecondsUntil(p.due));
    return timeout;
}

} // namespace nivra::sim
