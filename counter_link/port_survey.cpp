#include "counter_link/port_survey.h"

#include "counter_link/com_mutex.h"
#include "counter_link/counter_manager.h"
#include "counter_link/counter_port.h"

#include <memory>
#include <mutex>

namespace nivra {

namespace {

struct Candidate {
    std::string name;
    std::unique_ptr<CounterPort> port;
    bool taken = false;
};

// Probe and the zero frame do not lock by themselves (they are start-up commands); here other
// programs may be running assays, so each exchange takes the shared lock.
bool lockedProbe(ComMutex& lock, CounterPort& port, int counter) {
    std::lock_guard<ComMutex> hold(lock);
    return port.probe(static_cast<std::uint8_t>(counter));
}

} // namespace

PortSurvey surveyPorts(const std::vector<std::string>& deviceNames) {
    PortSurvey survey;
    std::vector<Candidate> candidates;
    for (const std::string& name : deviceNames) {
        auto port = std::make_unique<CounterPort>();
        if (!port->open(name)) {
            survey.skipped.push_back({name, SkippedPort::Reason::kNotOpened,
                                      port->lastOpenFailure(), port->lastOpenError()});
            continue;
        }
        candidates.push_back({name, std::move(port)});
    }
    std::shared_ptr<ComMutex> lock = ComMutex::open(); // open ports hold it, so it exists
    if (!lock)
        return survey;
    for (Candidate& candidate : candidates) {
        std::lock_guard<ComMutex> hold(*lock);
        candidate.port->sendZeroFrame();
    }

    int next = 1;
    bool found = true;
    while (found && next <= CounterManager::kHighestCounterNumber) {
        found = false;
        for (Candidate& candidate : candidates) {
            if (candidate.taken || !lockedProbe(*lock, *candidate.port, next))
                continue;
            SurveyedPort chain{candidate.name, {}};
            do {
                chain.counters.push_back(static_cast<std::uint8_t>(next++));
            } while (next <= CounterManager::kHighestCounterNumber &&
                     lockedProbe(*lock, *candidate.port, next));
            survey.chains.push_back(std::move(chain));
            candidate.taken = found = true;
            break;
        }
    }
    for (const Candidate& candidate : candidates) {
        if (candidate.taken)
            continue;
        if (next > CounterManager::kHighestCounterNumber)
            survey.skipped.push_back({candidate.name, SkippedPort::Reason::kNumbersExhausted});
        else
            survey.skipped.push_back({candidate.name, SkippedPort::Reason::kNoCounter,
                                      OpenFailure::kNone, 0, static_cast<std::uint8_t>(next)});
    }
    return survey;
}

} // namespace nivra
