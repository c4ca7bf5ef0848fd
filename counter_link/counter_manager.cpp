#include "counter_link/counter_manager.h"

using nivra::SkippedPort;

namespace nivra {

CounterManager& CounterManager::instance() {
    static CounterManager manager;
    return manager;
}

CounterManager::~CounterManager() {
    teardown();
}

int CounterManager::discoverCounters(const std::vector<std::string>& portList,
                                     std::vector<SkippedPort>* skipped) {
    teardown();
    auto skip = [&](SkippedPort entry) {
        if (skipped)
            skipped->push_back(std::move(entry));
    };

    // An int, not a byte: after counter 255 the next number must not wrap round to 0.
    int next = 1;
    for (const std::string& name : portList) {
        if (next > kHighestCounterNumber) {
            skip({name, SkippedPort::Reason::kNumbersExhausted});
            continue;
        }
        auto port = std::make_unique<CounterPort>();
        if (!port->open(name)) {
            skip({name, SkippedPort::Reason::kNotOpened, port->lastOpenFailure(),
                  port->lastOpenError()});
            continue;
        }
        port->sendZeroFrame();
        if (!port->probe(static_cast<std::uint8_t>(next))) {
            skip({name, SkippedPort::Reason::kNoCounter, nivra::OpenFailure::kNone, 0,
                  static_cast<std::uint8_t>(next)});
            continue; // the port object closes the device as it goes
        }
        do {
            portsByCounter_[static_cast<std::uint8_t>(next)] = port.get();
            ++next;
        } while (next <= kHighestCounterNumber && port->probe(static_cast<std::uint8_t>(next)));
        ports_.push_back(std::move(port));
    }
    return next - 1;
}

CounterPort* CounterManager::portFor(std::uint8_t counterNumber) const {
    auto found = portsByCounter_.find(counterNumber);
    return found == portsByCounter_.end() ? nullptr : found->second;
}

void CounterManager::teardown() {
    portsByCounter_.clear();
    for (auto& port : ports_)
        port->close();
    ports_.clear();
}

} // namespace nivra
