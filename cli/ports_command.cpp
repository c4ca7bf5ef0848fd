// nivra-cli ports [--probe] [--device-root DIR]: the serial devices of the machine (on Windows
// its COM ports), and with --probe a port list that finds the counters on them.

#include "base/atomic_file.h"
#include "cli/command_registry.h"
#include "cli/line_printer.h"
#include "cli/raw_output.h"
#include "cli/skipped_port_text.h"
#include "cli/start_directory_capture.h"
#include "counter_link/device_path.h"
#include "counter_link/port_config.h"
#include "counter_link/port_survey.h"
#include "counter_link/serial_devices.h"

#include <cstdio>
#include <map>

namespace nivra::cli {

namespace {

constexpr const char* kName = "ports";

int usage(const std::string& problem) {
    std::fprintf(stderr, "nivra-cli %s: %s\n", kName, problem.c_str());
    return 2;
}

// "USB 0403:6001 (FTDI FT232R USB UART, serial number A10K1234)", "on-board serial port, COM1
// in port lists from Windows", "serial port (\Device\VCP0)".
std::string description(const SerialDevice& device) {
    if (device.kind == SerialDevice::Kind::kComPort)
        return "serial port" +
               (device.systemDevice.empty() ? std::string() : " (" + device.systemDevice + ")");
    if (device.kind == SerialDevice::Kind::kOnBoard) {
        const std::string number = device.name.substr(4);
        return "on-board serial port, COM" + std::to_string(std::stol(number) + 1) +
               " in port lists from Windows";
    }
    std::string text =
        device.kind == SerialDevice::Kind::kUsbSerial ? "USB serial adapter" : "USB serial device";
    if (!device.vendorId.empty())
        text += " " + device.vendorId + ":" + device.productId;
    std::string details = device.manufacturer;
    if (!device.product.empty())
        details += (details.empty() ? "" : " ") + device.product;
    if (!device.serialNumber.empty())
        details +=
            (details.empty() ? "" : ", ") + std::string("serial number ") + device.serialNumber;
    if (!details.empty())
        text += " (" + details + ")";
    return text;
}

void list(const std::vector<SerialDevice>& devices) {
    for (const SerialDevice& device : devices) {
        std::printf("%s: %s\n", device.path.c_str(), description(device).c_str());
        for (const std::string& name : device.stableNames)
            std::printf("  %s\n", name.c_str());
    }
}

std::string counterList(const std::vector<std::uint8_t>& counters) {
    std::string text = counters.size() == 1 ? "counter" : "counters";
    for (std::uint8_t counter : counters)
        text += " " + std::to_string(counter);
    return text;
}

// Asks every device for counters; tells on standard error what each holds and prints the port
// list on standard output, or with write replaces port_config.pfx of the current directory with
// it in one step. Without a counter, nothing is printed or written and the status is 1 with
// write: the port list in place stays as it is. portListFile is the port list written with write.
int probeDevices(const std::vector<SerialDevice>& devices, bool write,
                 const std::string& portListFile) {
    std::vector<std::string> names;
    for (const SerialDevice& device : devices)
        names.push_back(device.portListName());
    const PortSurvey survey = surveyPorts(names);

    std::map<std::string, std::string> outcome;
    for (const SurveyedPort& chain : survey.chains)
        outcome[chain.deviceName] = counterList(chain.counters);
    for (const SkippedPort& skipped : survey.skipped)
        outcome[skipped.deviceName] = skippedPortText(skipped);
    for (const std::string& name : names)
        std::fprintf(stderr, "nivra-cli %s: %s: %s\n", kName, name.c_str(), outcome[name].c_str());

    if (survey.chains.empty()) {
        std::fprintf(stderr, "nivra-cli %s: no counter found on the %zu device(s)%s\n", kName,
                     names.size(), write ? "; port_config.pfx is left as it was" : "");
        return write ? 1 : 0;
    }
    std::string portList = "[" + std::string(kPortConfigSection) + "]\r\n";
    for (std::size_t i = 0; i < survey.chains.size() && i < kPortConfigKeys; ++i)
        portList += "PORT" + std::to_string(i + 1) + "=" + survey.chains[i].deviceName + "\r\n";
    if (survey.chains.size() > kPortConfigKeys)
        std::fprintf(stderr,
                     "nivra-cli %s: counters were found on %zu devices, but a port list holds "
                     "only %d; the counters after %s are left out\n",
                     kName, survey.chains.size(), kPortConfigKeys,
                     survey.chains[kPortConfigKeys - 1].deviceName.c_str());
    if (write) {
        const std::string& path = portListFile;
        if (const Outcome written = writeFileAtomically(path, portList); !written) {
            printLine(stderr, std::string("nivra-cli ") + kName + ": cannot write '" + path +
                                  "': " + written.error());
            return 1;
        }
        printLine(stderr, std::string("nivra-cli ") + kName + ": wrote " + kPortConfigFile);
        return 0;
    }
    return writeRawToStdout(portList) ? 0 : 1;
}

int runPorts(const std::vector<std::string>& args) {
    bool probe = false;
    bool write = false;
    std::string root = deviceRoot();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--probe") {
            probe = true;
        } else if (arg == "--write") {
            write = true;
        } else if (arg == "--device-root" || arg.rfind("--device-root=", 0) == 0) {
            if (arg.size() > 13) {
                root = arg.substr(14);
            } else if (i + 1 < args.size()) {
                root = args[++i];
            } else {
                return usage("--device-root needs a folder");
            }
            while (!root.empty() && root.back() == '/')
                root.pop_back();
        } else {
            return usage("unexpected argument '" + arg + "'");
        }
    }

    if (write && !probe)
        return usage("--write needs --probe");
    std::string portListFile;
    if (write) {
        const std::optional<StartDirectory> start = captureStartDirectory(kName);
        if (!start)
            return 1;
        portListFile = start->file(kPortConfigFile);
        // Checked before the devices are asked, so that a probe is never wasted.
        const std::string& path = portListFile;
        if (const Outcome writable = outputFileProblem(path); !writable) {
            printLine(stderr, std::string("nivra-cli ") + kName + ": cannot write '" + path +
                                  "': " + writable.error());
            return 1;
        }
    }

    const std::vector<SerialDevice> devices = listSerialDevices(root);
    if (devices.empty()) {
        std::fprintf(stderr, "nivra-cli %s: no serial device found %s%s\n", kName,
                     serialDeviceSearchText(root).c_str(),
                     write ? "; port_config.pfx is left as it was" : "");
        return write ? 1 : 0;
    }
    if (probe)
        return probeDevices(devices, write, portListFile);
    list(devices);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommandRegistration registration({
    kName,
    "ports [--probe [--write]] [--device-root DIR]",
    "  Lists the serial devices of the machine: USB serial adapters (/dev/ttyUSB*, /dev/ttyACM*)\n"
    "  with their USB vendor and product, serial number and stable /dev/serial/by-id/ names,\n"
    "  and the on-board ports (/dev/ttyS* with a port behind them; COMn of a Windows port list\n"
    "  is /dev/ttyS(n-1)). On Windows: the ports COM1 to COM256 that the system has a device\n"
    "  behind, with that device.\n"
    "  --probe            asks every device for counters as discover does, one exchange at a\n"
    "                     time under the shared lock, and prints a port list (port_config.pfx)\n"
    "                     that finds every counter found, by the stable names; what each device\n"
    "                     holds goes to standard error\n"
    "  --write            with --probe: writes the port list into port_config.pfx of the current\n"
    "                     directory instead, replacing it in one step, and only when at least one\n"
    "                     counter answered; otherwise the file stays as it was and the exit\n"
    "                     status is 1\n"
    "  --device-root DIR  looks below DIR instead of / (DIR/dev, DIR/sys), for tests and\n"
    "                     demonstrations; the environment variable NIVRA_DEVICE_ROOT sets the "
    "same\n"
    "  Example: nivra-cli ports --probe --write",
    runPorts,
});

} // namespace

} // namespace nivra::cli
