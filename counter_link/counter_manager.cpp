#include "counter_link/counter_manager.h"

using nivra::SkippedPort;

CCounterManager& CCounterManager::Instance() {
    static CCounterManager manager;
    return manager;
}

CCounterManager::~CCounterManager() {
    Teardown();
}

int CCounterManager::DiscoverCounters(const std::vector<std::string>& portList,
                                      std::vector<SkippedPort>* skipped) {
    Teardown();
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
        auto port = std::make_unique<CCounterPort>();
        if (!port->Open(name)) {
            skip({name, SkippedPort::Reason::kNotOpened, port->LastOpenFailure(),
                  port->LastOpenError()});
            continue;
        }
        port->SendZeroFrame();
        if (!port->Probe(static_cast<std::uint8_t>(next))) {
            skip({name, SkippedPort::Reason::kNoCounter, nivra::OpenFailure::kNone, 0,
                  static_cast<std::uint8_t>(next)});
            continue; // the port object closes the device as it goes
        }
        do {
            portsByCounter_[static_cast<std::uint8_t>(next)] = port.get();
            ++next;
        } while (next <= kHighestCounterNumber && port->Probe(static_cast<std::uint8_t>(next)));
        ports_.push_back(std::move(port));
    }
    return next - 1;
}

CCounterPort* CCounterManager::PortFor(std::uint8_t counterNumber) const {
    auto found = portsByCounter_.find(counterNumber);
    return found == portsByCounter_.end() ? nullptr : found->second;
}

void CCounterManager::Teardown() {
    portsByCounter_.clear();
    for (auto& port : ports_)
        port->Close();
    ports_.clear();
}
