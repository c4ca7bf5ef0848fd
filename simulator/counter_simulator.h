#pragma once

#include "simulator/simulated_port.h"
#include "simulator/usb_adapter_files.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nivra::sim {

struct SimulatorSettings {
    double ratePerSecond = 1.0; // mean events per second of every new counter
    std::uint64_t seed = 1;     // port i draws its events from seed + i
    SimClock clock = [] { return std::chrono::steady_clock::now(); };
};

// Alpha counters on simulated serial ports, for trying and testing the program without
// hardware. Each port is a pseudo-terminal published under a symbolic link that the caller
// names; the program under test opens the link like a serial device. Ports are served from
// addPort until the simulator goes, which stops their threads and removes their links.
//
// The counters answer every command of the protocol: probe, reset, read (codes 5 and 6) and
// text; they ignore the zero frame and unknown codes. Their count registers grow at a mean rate
// (Poisson) and wrap at 256; tests can script the values of the next reads instead, inject
// faults, and read back each port's request log.
class CounterSimulator {
public:
    explicit CounterSimulator(SimulatorSettings settings = {});
    ~CounterSimulator();
    CounterSimulator(const CounterSimulator&) = delete;
    CounterSimulator& operator=(const CounterSimulator&) = delete;

    // A new port at linkPath carrying the given counter numbers. Throws std::system_error when
    // the pseudo-terminal or the link cannot be made.
    SimulatedPort& addPort(const std::string& linkPath, const std::vector<std::uint8_t>& counters);

    // A new port that poses as a USB serial adapter below root, a folder standing in for the
    // root of the file system: its device file is root/dev/NAME (NAME "ttyUSBn" or "ttyACMn"),
    // with a stable name in root/dev/serial/by-id/ and sysfs entries in root/sys/ (see
    // UsbAdapterFiles). Throws as addPort does, and std::invalid_argument for another NAME.
    SimulatedPort& addUsbPort(const std::string& root, const std::string& name,
                              const std::vector<std::uint8_t>& counters);

    std::size_t portCount() const { return ports_.size(); }
    SimulatedPort& port(std::size_t index) { return *ports_.at(index); }

    // Sets the fault of counter n on every port that carries it; returns how many did.
    int setFaultEverywhere(std::uint8_t counter, const Fault& fault);

private:
    SimulatorSettings settings_;
    std::vector<std::unique_ptr<UsbAdapterFiles>> usbFiles_; // removed after the ports' links
    std::vector<std::unique_ptr<SimulatedPort>> ports_;
};

} // namespace nivra::sim
