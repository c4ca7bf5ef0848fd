#include "counter_link/counter_port.h"

#include <cerrno>
#include <mutex>

using namespace nivra::protocol;

namespace nivra {

CounterPort::~CounterPort() {
    close();
}

bool CounterPort::open(const std::string& deviceName) {
    close();
    deviceName_ = deviceName;
    openError_ = 0;
    openFailure_ = line_.open(deviceName);
    if (openFailure_ != nivra::OpenFailure::kNone) {
        openError_ = line_.lastError();
        return false;
    }
    lock_ = nivra::ComMutex::open();
    if (!lock_) {
        // Without the shared lock, exchanges of different ports could overlap: refuse the port.
        openFailure_ = nivra::OpenFailure::kLockUnavailable;
        openError_ = errno;
        line_.close();
        return false;
    }
    return true;
}

bool CounterPort::close() {
    line_.close();
    lock_.reset();
    return true;
}

void CounterPort::prepare(std::uint8_t counterNumber, std::uint8_t command) {
    request_[0] = counterNumber;
    request_[1] = command;
    requestLength_ = kRequestLength;
    responseLength_ = static_cast<std::uint32_t>(replyLength(command));
}

bool CounterPort::transact() {
    // A closed port fails at the write below; Purge has nothing to discard there.
    line_.purge();
    if (!line_.write(request_, requestLength_))
        return false;
    if (responseLength_ == 0)
        return true;
    std::size_t received = line_.read(response_, responseLength_);
    if (received < responseLength_) {
        responseLength_ = static_cast<std::uint32_t>(received);
        return false;
    }
    return true;
}

bool CounterPort::sendZeroFrame() {
    prepare(0, CMD_ZERO);
    return transact();
}

bool CounterPort::probe(std::uint8_t counterNumber) {
    prepare(counterNumber, CMD_PROBE);
    return transact() && echoMatches() && response_[1] == REPLY_PRESENT;
}

nivra::CommandOutcome CounterPort::failureOutcome() const {
    return !line_.isOpen() || line_.deviceFailed() ? nivra::CommandOutcome::kDeviceGone
                                                   : nivra::CommandOutcome::kNoAnswer;
}

namespace {

bool report(nivra::CommandOutcome* outcome, nivra::CommandOutcome value) {
    if (outcome)
        *outcome = value;
    return value == nivra::CommandOutcome::kAnswered;
}

} // namespace

nivra::CommandOutcome CounterPort::framedExchange() {
    if (!transact())
        return failureOutcome();
    // Bytes from another counter number, or bytes after the reply, are noise on the line (or
    // a reply cut by it): what was read is not this counter's answer.
    if (!echoMatches() || line_.moreInputWithin(kReplyQuiet))
        return nivra::CommandOutcome::kGarbled;
    return nivra::CommandOutcome::kAnswered;
}

bool CounterPort::resetCount(std::uint8_t counterNumber, nivra::CommandOutcome* outcome) {
    if (!lock_)
        return report(outcome, nivra::CommandOutcome::kDeviceGone);
    std::lock_guard<nivra::ComMutex> hold(*lock_);
    prepare(counterNumber, CMD_RESET);
    const nivra::CommandOutcome exchange = framedExchange();
    if (exchange != nivra::CommandOutcome::kAnswered)
        return report(outcome, exchange);
    return report(outcome, response_[1] == REPLY_RESET ? nivra::CommandOutcome::kAnswered
                                                       : nivra::CommandOutcome::kWrongReply);
}

bool CounterPort::readCount(std::uint8_t counterNumber, std::int32_t& count, bool alternate,
                            nivra::CommandOutcome* outcome) {
    if (!lock_)
        return report(outcome, nivra::CommandOutcome::kDeviceGone);
    std::lock_guard<nivra::ComMutex> hold(*lock_);
    prepare(counterNumber, alternate ? CMD_READ_ALT : CMD_READ);
    const nivra::CommandOutcome exchange = framedExchange();
    if (exchange != nivra::CommandOutcome::kAnswered)
        return report(outcome, exchange);
    count = response_[1];
    return report(outcome, nivra::CommandOutcome::kAnswered);
}

bool CounterPort::reopen() {
    if (!lock_)
        return false;
    std::lock_guard<nivra::ComMutex> hold(*lock_);
    line_.close();
    openFailure_ = line_.open(deviceName_);
    openError_ = openFailure_ == nivra::OpenFailure::kNone ? 0 : line_.lastError();
    return openFailure_ == nivra::OpenFailure::kNone;
}

bool CounterPort::readText(std::uint8_t counterNumber, std::string& text) {
    prepare(counterNumber, CMD_TEXT);
    if (!transact() || !echoMatches() || response_[kTextReplyLength - 1] != 0)
        return false;
    text.append(reinterpret_cast<const char*>(response_ + 1), kTextLength + 1);
    return true;
}

} // namespace nivra
