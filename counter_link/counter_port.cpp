#include "counter_link/counter_port.h"

#include <cerrno>
#include <mutex>

using namespace nivra::protocol;

CCounterPort::~CCounterPort() {
    Close();
}

bool CCounterPort::Open(const std::string& deviceName) {
    Close();
    deviceName_ = deviceName;
    openError_ = 0;
    openFailure_ = line_.Open(deviceName);
    if (openFailure_ != nivra::OpenFailure::kNone) {
        openError_ = line_.LastError();
        return false;
    }
    lock_ = nivra::ComMutex::Open();
    if (!lock_) {
        // Without the shared lock, exchanges of different ports could overlap: refuse the port.
        openFailure_ = nivra::OpenFailure::kLockUnavailable;
        openError_ = errno;
        line_.Close();
        return false;
    }
    return true;
}

bool CCounterPort::Close() {
    line_.Close();
    lock_.reset();
    return true;
}

void CCounterPort::Prepare(std::uint8_t counterNumber, std::uint8_t command) {
    request_[0] = counterNumber;
    request_[1] = command;
    requestLength_ = kRequestLength;
    responseLength_ = static_cast<std::uint32_t>(ReplyLength(command));
}

bool CCounterPort::Transact() {
    // A closed port fails at the write below; Purge has nothing to discard there.
    line_.Purge();
    if (!line_.Write(request_, requestLength_))
        return false;
    if (responseLength_ == 0)
        return true;
    std::size_t received = line_.Read(response_, responseLength_);
    if (received < responseLength_) {
        responseLength_ = static_cast<std::uint32_t>(received);
        return false;
    }
    return true;
}

bool CCounterPort::SendZeroFrame() {
    Prepare(0, CMD_ZERO);
    return Transact();
}

bool CCounterPort::Probe(std::uint8_t counterNumber) {
    Prepare(counterNumber, CMD_PROBE);
    return Transact() && EchoMatches() && response_[1] == REPLY_PRESENT;
}

nivra::CommandOutcome CCounterPort::FailureOutcome() const {
    return !line_.IsOpen() || line_.DeviceFailed() ? nivra::CommandOutcome::kDeviceGone
                                                   : nivra::CommandOutcome::kNoAnswer;
}

namespace {

bool Report(nivra::CommandOutcome* outcome, nivra::CommandOutcome value) {
    if (outcome)
        *outcome = value;
    return value == nivra::CommandOutcome::kAnswered;
}

} // namespace

bool CCounterPort::ResetCount(std::uint8_t counterNumber, nivra::CommandOutcome* outcome) {
    if (!lock_)
        return Report(outcome, nivra::CommandOutcome::kDeviceGone);
    std::lock_guard<nivra::ComMutex> hold(*lock_);
    Prepare(counterNumber, CMD_RESET);
    if (!Transact() || !EchoMatches())
        return Report(outcome, FailureOutcome());
    return Report(outcome, response_[1] == REPLY_RESET ? nivra::CommandOutcome::kAnswered
                                                       : nivra::CommandOutcome::kWrongReply);
}

bool CCounterPort::ReadCount(std::uint8_t counterNumber, std::int32_t& count, bool alternate,
                             nivra::CommandOutcome* outcome) {
    if (!lock_)
        return Report(outcome, nivra::CommandOutcome::kDeviceGone);
    std::lock_guard<nivra::ComMutex> hold(*lock_);
    Prepare(counterNumber, alternate ? CMD_READ_ALT : CMD_READ);
    if (!Transact() || !EchoMatches())
        return Report(outcome, FailureOutcome());
    count = response_[1];
    return Report(outcome, nivra::CommandOutcome::kAnswered);
}

bool CCounterPort::Reopen() {
    if (!lock_)
        return false;
    std::lock_guard<nivra::ComMutex> hold(*lock_);
    line_.Close();
    openFailure_ = line_.Open(deviceName_);
    openError_ = openFailure_ == nivra::OpenFailure::kNone ? 0 : line_.LastError();
    return openFailure_ == nivra::OpenFailure::kNone;
}

bool CCounterPort::ReadText(std::uint8_t counterNumber, std::string& text) {
    Prepare(counterNumber, CMD_TEXT);
    if (!Transact() || !EchoMatches() || response_[kTextReplyLength - 1] != 0)
        return false;
    text.append(reinterpret_cast<const char*>(response_ + 1), kTextLength + 1);
    return true;
}
