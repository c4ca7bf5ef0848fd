#include "cli/skipped_port_text.h"

#include "base/same_file.h"
#include "counter_link/com_mutex.h"
#include "counter_link/device_path.h"

#include <cstring>

namespace nivra::cli {

namespace {

// The open device that is the same device as name (by another name or the same), or "".
std::string openAs(const std::string& name, const std::vector<std::string>& openDevices) {
    for (const std::string& open : openDevices)
        if (isSameFile(devicePathFor(name), devicePathFor(open)))
            return open;
    return {};
}

std::string openFailureText(const SkippedPort& port, const std::vector<std::string>& openDevices) {
    std::string reason = describeOpenFailure(port.openFailure);
    switch (port.openFailure) {
    case OpenFailure::kPermissionDenied:
        return reason + "; add your user to the dialout group " +
               "(sudo usermod -aG dialout $USER) and log in again";
    case OpenFailure::kNoDevice:
    case OpenFailure::kSetupFailed:
        return reason + " (" + std::strerror(port.error) + ")";
    case OpenFailure::kLockUnavailable:
        return reason + " in " + ComMutex::lockDirectory() + " (" + std::strerror(port.error) +
               "); NIVRA_LOCK_DIR names another folder";
    case OpenFailure::kBusy:
        // A device opened once stays open for its counters, so naming it again finds it busy.
        if (std::string open = openAs(port.deviceName, openDevices); !open.empty())
            return "listed twice in the port list: the same device as " + open;
        return reason;
    default:
        return reason;
    }
}

} // namespace

std::string skippedPortText(const SkippedPort& port, const std::vector<std::string>& openDevices) {
    switch (port.reason) {
    case SkippedPort::Reason::kNotOpened:
        return openFailureText(port, openDevices);
    case SkippedPort::Reason::kNoCounter:
        return "no counter answered to number " + std::to_string(port.expectedCounter) +
               " (counters are numbered 1, 2, 3 ... across the devices, in the order of " +
               "the port list)";
    case SkippedPort::Reason::kNumbersExhausted:
        return "not tried: all counter numbers up to 255 are taken";
    }
    return "skipped";
}

std::vector<std::string> openDeviceNames(const CounterManager& manager) {
    std::vector<std::string> names;
    for (int n = 1; n <= CounterManager::kHighestCounterNumber; ++n) {
        const CounterPort* port = manager.portFor(static_cast<std::uint8_t>(n));
        if (!port)
            break; // the counters are numbered without gaps
        if (names.empty() || names.back() != port->deviceName())
            names.push_back(port->deviceName());
    }
    return names;
}

std::vector<std::string> devicesHeldElsewhere(const std::vector<SkippedPort>& skipped,
                                              const std::vector<std::string>& openDevices) {
    std::vector<std::string> held;
    for (const SkippedPort& port : skipped)
        if (port.reason == SkippedPort::Reason::kNotOpened &&
            port.openFailure == OpenFailure::kBusy && openAs(port.deviceName, openDevices).empty())
            held.push_back(port.deviceName);
    return held;
}

} // namespace nivra::cli
