#pragma once

#include "simulator/sim_fault.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nivra::sim {

struct PortOption {
    std::string linkPath; // --port: the link to publish
    std::string usbName;  // --usb: the device name to pose as below the device root
    std::vector<std::uint8_t> counters;
};

struct FaultOption {
    std::uint8_t counter = 0;
    Fault fault;
};

// The options of nivra-counter-sim.
struct SimCommandLine {
    std::vector<PortOption> ports;
    double ratePerSecond = 1.0;
    std::optional<std::uint64_t> seed;
    std::vector<FaultOption> faults;
    std::string deviceRoot; // --device-root: where --usb ports are made
    bool verbose = false;
    bool help = false;
};

// Parses the arguments after the program name. Returns false with a one-line reason in error.
bool parseSimCommandLine(const std::vector<std::string>& args, SimCommandLine& out,
                         std::string& error);

// "1,2", "1-4", "3,5-6": counter numbers 1 to 255 in the order given.
bool parseCounterList(const std::string& text, std::vector<std::uint8_t>& out);

// The --help text: every option, the commands read from standard input, an example.
const char* simUsage();

} // namespace nivra::sim
