#include "simulator/counter_simulator.h"

namespace nivra::sim {

CounterSimulator::CounterSimulator(SimulatorSettings settings) : settings_(std::move(settings)) {}

CounterSimulator::~CounterSimulator() {
    ports_.clear();
    while (!usbFiles_.empty()) // the last made first, so that shared folders empty in the end
        usbFiles_.pop_back();
}

SimulatedPort& CounterSimulator::addPort(const std::string& linkPath,
                                         const std::vector<std::uint8_t>& counters) {
    ports_.push_back(std::make_unique<SimulatedPort>(linkPath, counters, settings_.ratePerSecond,
                                                     settings_.seed + ports_.size(),
                                                     settings_.clock));
    return *ports_.back();
}

SimulatedPort& CounterSimulator::addUsbPort(const std::string& root, const std::string& name,
                                            const std::vector<std::uint8_t>& counters) {
    auto files = std::make_unique<UsbAdapterFiles>(root, name, static_cast<int>(usbFiles_.size()));
    SimulatedPort& port = addPort(files->devicePath(), counters);
    usbFiles_.push_back(std::move(files));
    return port;
}

int CounterSimulator::setFaultEverywhere(std::uint8_t counter, const Fault& fault) {
    int carried = 0;
    for (auto& port : ports_) {
        if (port->carries(counter)) {
            port->setFault(counter, fault);
            ++carried;
        }
    }
    return carried;
}

} // namespace nivra::sim
