#include "engine/counter_access.h"

#include "counter_link/counter_manager.h"

namespace nivra {

CCounterPort* CounterManagerAccess::PortFor(int counterNumber) const {
    if (counterNumber < 1 || counterNumber > CCounterManager::kHighestCounterNumber)
        return nullptr;
    return manager_.PortFor(static_cast<std::uint8_t>(counterNumber));
}

CommandOutcome CounterManagerAccess::ResetCount(int counterNumber) {
    CCounterPort* port = PortFor(counterNumber);
    CommandOutcome outcome = CommandOutcome::kNoAnswer;
    if (port)
        port->ResetCount(static_cast<std::uint8_t>(counterNumber), &outcome);
    return outcome;
}

CommandOutcome CounterManagerAccess::ReadCount(int counterNumber, std::int32_t& count) {
    CCounterPort* port = PortFor(counterNumber);
    CommandOutcome outcome = CommandOutcome::kNoAnswer;
    if (port)
        port->ReadCount(static_cast<std::uint8_t>(counterNumber), count, false, &outcome);
    return outcome;
}

bool CounterManagerAccess::Reopen(int counterNumber) {
    CCounterPort* port = PortFor(counterNumber);
    return port && port->Reopen();
}

CounterAccess& RegisteredCounters() {
    static CounterManagerAccess counters(CCounterManager::Instance());
    return counters;
}

} // namespace nivra
