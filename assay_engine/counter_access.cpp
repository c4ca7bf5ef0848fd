#include "assay_engine/counter_access.h"

#include "counter_link/counter_manager.h"

namespace nivra {

namespace {

// The commands go to whichever port the registry names for the counter; a number it does not
// know gets no command at all.
class RegisteredCounterAccess final : public CounterAccess {
public:
    bool ResetCount(int counterNumber) override {
        CCounterPort* port = PortFor(counterNumber);
        return port && port->ResetCount(static_cast<std::uint8_t>(counterNumber));
    }

    bool ReadCount(int counterNumber, std::int32_t& count) override {
        CCounterPort* port = PortFor(counterNumber);
        return port && port->ReadCount(static_cast<std::uint8_t>(counterNumber), count);
    }

private:
    static CCounterPort* PortFor(int counterNumber) {
        if (counterNumber < 1 || counterNumber > CCounterManager::kHighestCounterNumber)
            return nullptr;
        return CCounterManager::Instance().PortFor(static_cast<std::uint8_t>(counterNumber));
    }
};

} // namespace

CounterAccess& RegisteredCounters() {
    static RegisteredCounterAccess counters;
    return counters;
}

} // namespace nivra
