#include "simulator/simulated_counter.h"

#include "counter_link/counter_protocol.h"

#include <algorithm>
#include <cstdio>

namespace nivra::sim {

using namespace nivra::protocol;

SimulatedCounter::SimulatedCounter(std::uint8_t number, double ratePerSecond, SimTime now)
    : number_(number), rate_(ratePerSecond), updated_(now), faultFrom_(now) {
    char text[16];
    std::snprintf(text, sizeof text, "ASIM%04u", static_cast<unsigned>(number));
    text_ = text;
}

void SimulatedCounter::setRate(double ratePerSecond, SimTime now, std::mt19937_64& random) {
    advance(now, random); // events so far were counted at the old rate
    rate_ = ratePerSecond;
    nextEvent_.reset();
    advance(now, random);
}

void SimulatedCounter::setSpacing(EventSpacing spacing, SimTime now, std::mt19937_64& random) {
    advance(now, random);
    spacing_ = spacing;
    nextEvent_.reset();
    advance(now, random);
}

void SimulatedCounter::keepEventTimes(SimTime now, std::mt19937_64& random) {
    advance(now, random);
    keepTimes_ = true;
}

std::uint64_t SimulatedCounter::eventsBetween(SimTime from, SimTime to, SimTime now,
                                              std::mt19937_64& random) {
    advance(now, random);
    const auto first = std::upper_bound(eventTimes_.begin(), eventTimes_.end(), from);
    const auto last = std::upper_bound(eventTimes_.begin(), eventTimes_.end(), to);
    return last > first ? static_cast<std::uint64_t>(last - first) : 0;
}

SimTime SimulatedCounter::nextEventAfter(SimTime after, std::mt19937_64& random) const {
    double gap = 1.0 / rate_;
    if (spacing_ == EventSpacing::kPoisson)
        gap = std::exponential_distribution<double>(rate_)(random);
    return after +
           std::chrono::duration_cast<SimTime::duration>(std::chrono::duration<double>(gap));
}

void SimulatedCounter::setRegister(std::uint8_t value, SimTime now) {
    register_ = value;
    updated_ = now;
    nextEvent_.reset();
}

void SimulatedCounter::queueReadings(const std::vector<std::uint8_t>& values) {
    scripted_.insert(scripted_.end(), values.begin(), values.end());
}

void SimulatedCounter::setText(const std::string& text) {
    text_ = text.substr(0, kTextLength);
    text_.resize(kTextLength, ' ');
}

void SimulatedCounter::setFault(const Fault& fault, SimTime now) {
    fault_ = fault;
    faultFrom_ = now + fault.delay;
}

void SimulatedCounter::advance(SimTime now, std::mt19937_64& random) {
    if (rate_ <= 0) {
        updated_ = std::max(updated_, now);
        return;
    }
    if (!nextEvent_)
        nextEvent_ = nextEventAfter(updated_, random);
    while (*nextEvent_ <= now) {
        register_ = static_cast<std::uint8_t>(register_ + 1);
        if (keepTimes_)
            eventTimes_.push_back(*nextEvent_);
        nextEvent_ = nextEventAfter(*nextEvent_, random);
    }
    updated_ = std::max(updated_, now);
}

std::optional<Reply> SimulatedCounter::answer(std::uint8_t command, SimTime now,
                                              std::mt19937_64& random) {
    if (fault_.kind == FaultKind::kSilent && fault_.appliesTo(command) && now >= faultFrom_)
        return std::nullopt;

    Reply reply;
    switch (command) {
    case CMD_PROBE:
        reply.bytes = {number_, REPLY_PRESENT};
        break;
    case CMD_RESET:
        advance(now, random);
        register_ = 0;
        reply.bytes = {number_, REPLY_RESET};
        break;
    case CMD_READ:
    case CMD_READ_ALT:
        if (!scripted_.empty()) {
            register_ = scripted_.front();
            scripted_.pop_front();
            updated_ = now;
            nextEvent_.reset();
        } else {
            advance(now, random);
        }
        reply.bytes = {number_, register_};
        break;
    case CMD_TEXT:
        reply.bytes.push_back(number_);
        reply.bytes.insert(reply.bytes.end(), text_.begin(), text_.end());
        reply.bytes.push_back(0);
        break;
    default:
        return std::nullopt;
    }
    if (fault_.appliesTo(command))
        applyFault(command, reply);
    return reply;
}

void SimulatedCounter::applyFault(std::uint8_t command, Reply& reply) const {
    switch (fault_.kind) {
    case FaultKind::kWrongEcho:
        reply.bytes[0] = fault_.value;
        break;
    case FaultKind::kShortReply:
        if (fault_.value < reply.bytes.size())
            reply.bytes.resize(fault_.value);
        break;
    case FaultKind::kLateReply:
        reply.delay = fault_.delay;
        break;
    case FaultKind::kWrongStatus:
        if (command == CMD_PROBE || command == CMD_RESET || command == CMD_TEXT)
            reply.bytes.back() = fault_.value;
        break;
    case FaultKind::kStrayBytes:
        reply.bytes.insert(reply.bytes.begin(), fault_.noise.begin(), fault_.noise.end());
        break;
    case FaultKind::kNone:
    case FaultKind::kSilent:
        break;
    }
}

} // namespace nivra::sim
