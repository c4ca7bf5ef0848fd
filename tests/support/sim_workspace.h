#pragma once

#include "simulator/counter_simulator.h"
#include "support/temp_dir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nivra::test {

// Gives this test process a lock folder of its own for the shared "Com Mutex", so test programs
// that ctest runs side by side do not wait on each other's exchanges. Call it before the first
// port opens, while the process has no other threads (a fixture's SetUp); later calls only
// return the folder.
const std::string& usePrivateLockDirectory();

// A temporary folder with a counter simulator whose ports are published as links in it. The
// simulator stops (and removes its links) before the folder goes.
class SimWorkspace {
public:
    explicit SimWorkspace(sim::SimulatorSettings settings = {});

    // A port published as path(name), carrying the given counters.
    sim::SimulatedPort& addPort(const std::string& name, const std::vector<std::uint8_t>& counters);
    // A port posing as the USB serial adapter deviceName ("ttyUSB0") below deviceRoot().
    sim::SimulatedPort& addUsbPort(const std::string& deviceName,
                                   const std::vector<std::uint8_t>& counters);
    // The folder that stands in for / for the USB ports: path("root").
    std::string deviceRoot() const { return path("root"); }
    // The folder's path followed by "/" and name.
    std::string path(const std::string& name) const { return dir_.file(name); }
    const std::string& folder() const { return dir_.path(); }
    sim::CounterSimulator& simulator() { return simulator_; }

private:
    TempDir dir_;
    sim::CounterSimulator simulator_;
};

// Writes a port list file with the keys given as "PORTn=value" lines, in a [CONFIG] section.
void writePortList(const std::string& path, const std::vector<std::string>& keyLines);

} // namespace nivra::test
