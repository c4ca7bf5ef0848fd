#include "engine/counter_access.h"

#include "counter_link/counter_manager.h"

namespace nivra {

CounterPort* CounterManagerAccess::portFor(int counterNumber) const {
    if (counterNumber < 1 || counterNumber > CounterManager::kHighestCounterNumber)
        return nullptr;
    return manager_.portFor(static_cast<std::uint8_t>(counterNumber));
}

CommandOutcome CounterManagerAccess::resetCount(int counterNumber) {
    CounterPort* port = portFor(counterNumber);
    CommandOutcome outcome = CommandOutcome::kNoAnswer;
    if (port)
        port->resetCount(static_cast<std::uint8_t>(counterNumber), &outcome);
    return outcome;
}

CommandOutcome CounterManagerAccess::readCount(int counterNumber, std::int32_t& count) {
    CounterPort* port = portFor(counterNumber);
    CommandOutcome outcome = CommandOutcome::kNoAnswer;
    if (port)
        port->readCount(static_cast<std::uint8_t>(counterNumber), count, false, &outcome);
    return outcome;
}

bool CounterManagerAccess::reopen(int counterNumber) {
    CounterPort* port = portFor(counterNumber);
    return port && port->reopen();
}

CounterAccess& registeredCounters() {
    static CounterManagerAccess counters(CounterManager::instance());
    return counters;
}

} // namespace nivra
