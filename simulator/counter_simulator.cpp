#include "simulator/counter_simulator.h"

namespace nivra::sim {

CounterSimulator::CounterSimulator(SimulatorSettings settings) : settings_(std::move(settings)) {}

CounterSimulator::~CounterSimulator() = default;

SimulatedPort& CounterSimulator::AddPort(const std::string& linkPath,
                                         const std::vector<std::uint8_t>& counters) {
    ports_.push_back(std::make_unique<SimulatedPort>(linkPath, counters, settings_.ratePerSecond,
                                                     settings_.seed + ports_.size(),
                                                     settings_.clock));
    return *ports_.back();
}

int CounterSimulator::SetFaultEverywhere(std::uint8_t counter, const Fault& fault) {
    int carried = 0;
    for (auto& port : ports_) {
        if (port->Carries(counter)) {
            port->SetFault(counter, fault);
            ++carried;
        }
    }
    return carried;
}

} // namespace nivra::sim
