#include "cli/skipped_port_text.h"

#include "counter_link/com_mutex.h"

#include <cstring>

namespace nivra::cli {

namespace {

std::string OpenFailureText(const SkippedPort& port) {
    std::string reason = DescribeOpenFailure(port.openFailure);
    switch (port.openFailure) {
    case OpenFailure::kPermissionDenied:
        return reason + "; add your user to the dialout group " +
               "(sudo usermod -aG dialout $USER) and log in again";
    case OpenFailure::kNoDevice:
    case OpenFailure::kSetupFailed:
        return reason + " (" + std::strerror(port.error) + ")";
    case OpenFailure::kLockUnavailable:
        return reason + " in " + ComMutex::LockDirectory() + " (" + std::strerror(port.error) +
               "); NIVRA_LOCK_DIR names another folder";
    default:
        return reason;
    }
}

} // namespace

std::string SkippedPortText(const SkippedPort& port) {
    switch (port.reason) {
    case SkippedPort::Reason::kNotOpened:
        return OpenFailureText(port);
    case SkippedPort::Reason::kNoCounter:
        return "no counter answered to number " + std::to_string(port.expectedCounter) +
               " (counters are numbered 1, 2, 3 ... across the devices, in the order of " +
               "the port list)";
    case SkippedPort::Reason::kNumbersExhausted:
        return "not tried: all counter numbers up to 255 are taken";
    }
    return "skipped";
}

} // namespace nivra::cli
