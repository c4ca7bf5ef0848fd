#include "simulator/simulated_counter.h"

#include "counter_link/counter_protocol.h"

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
}

void SimulatedCounter::setRegister(std::uint8_t value, SimTime now) {
    register_ = value;
    updated_ = now;
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
    if (now <= updated_)
        return;
    double seconds = std::chrono::duration<double>(now - updated_).count();
    updated_ = now;
    if (rate_ <= 0)
        return;
    std::poisson_distribution<long long> events(rate_ * seconds);
    register_ = static_cast<std::uint8_t>((register_ + events(random)) % 256);
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
        register_ = 0;
        updated_ = now;
        reply.bytes = {number_, REPLY_RESET};
        break;
    case CMD_READ:
    case CMD_READ_ALT:
        if (!scripted_.empty()) {
            register_ = scripted_.front();
            scripted_.pop_front();
            updated_ = now;
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
    case FaultKind::kNone:
    case FaultKind::kSilent:
        break;
    }
}

} // namespace nivra::sim
