// nivra-cli discover: finds the counters the way the program does at start-up and lists them.

#include "cli/command_registry.h"
#include "cli/line_printer.h"
#include "cli/skipped_port_text.h"
#include "cli/start_directory_capture.h"
#include "counter_link/counter_manager.h"
#include "counter_link/device_path.h"
#include "counter_link/port_config.h"

#include <algorithm>
#include <cstdio>

namespace nivra::cli {

namespace {

// "COM3 (/dev/ttyS2)" for Windows port names, the name itself otherwise.
std::string shown(const std::string& deviceName) {
    std::string path = devicePathFor(deviceName);
    return path == deviceName ? deviceName : deviceName + " (" + path + ")";
}

int runDiscover(const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "nivra-cli discover: unexpected argument '%s'\n", args[0].c_str());
        return 2;
    }
    const std::optional<StartDirectory> start = captureStartDirectory("discover");
    if (!start)
        return 1;
    const std::string listPath = start->file(kPortConfigFile);
    std::vector<std::string> ports;
    std::string readError;
    switch (readPortConfig(listPath, ports, &readError)) {
    case PortListSource::kFile:
        break;
    case PortListSource::kDefaultsWritten:
        std::fprintf(stderr,
                     "nivra-cli discover: %s named no port; wrote PORT1=COM1 to PORT8=COM8\n",
                     listPath.c_str());
        break;
    case PortListSource::kDefaultsNotWritten:
        std::fprintf(stderr,
                     "nivra-cli discover: %s named no port and the default list could not be "
                     "written; trying COM1 to COM8\n",
                     listPath.c_str());
        break;
    case PortListSource::kUnreadable:
        std::fprintf(stderr,
                     "nivra-cli discover: %s cannot be read (%s); it is left as it is and no "
                     "port is tried\n",
                     listPath.c_str(), readError.c_str());
        break;
    }

    CounterManager manager;
    std::vector<SkippedPort> skipped;
    int found = manager.discoverCounters(ports, &skipped);
    // Device names come from the port list as written: printed escaped, one line each.
    for (int n = 1; n <= found; ++n)
        printLine(stdout, std::to_string(n) + " " +
                              manager.portFor(static_cast<std::uint8_t>(n))->deviceName());

    const std::vector<std::string> openDevices = openDeviceNames(manager);
    for (const SkippedPort& port : skipped)
        printLine(stderr, "nivra-cli discover: " + shown(port.deviceName) + ": " +
                              skippedPortText(port, openDevices));
    if (found == 0) {
        std::fprintf(stderr, "nivra-cli discover: no counter found on the %zu device(s) of %s\n",
                     ports.size(), listPath.c_str());
        if (std::all_of(ports.begin(), ports.end(), isWindowsPortName))
            printLine(stderr, "nivra-cli discover: " + windowsPortNamesHint());
    }
    return 0;
}

const CliCommandRegistration registration({
    "discover",
    "discover",
    "  Finds the counters as the program does at start-up: reads port_config.pfx in the\n"
    "  current directory (writing PORT1=COM1 to PORT8=COM8 when it names no port; COMn is\n"
    "  /dev/ttyS(n-1)), probes the devices in that order and prints one line per counter found,\n"
    "  '<number> <device>', in counter-number order. Standard error tells, per device, why no\n"
    "  counter was found on it (missing, permission denied, busy (held by another program),\n"
    "  listed twice, no counter answered), and, when nothing was found on a list of COMn names\n"
    "  only, where USB adapters are found.\n"
    "  Example: cd /srv/alpha-lab && nivra-cli discover",
    runDiscover,
});

} // namespace

} // namespace nivra::cli
