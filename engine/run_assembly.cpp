#include "engine/run_assembly.h"

#include "engine/decision_stop.h"
#include "model/assay_data.h"

namespace nivra {

AssembledRun::AssembledRun(RunSetup setup)
    : data(std::make_unique<AssayData>(setup.counterConfig, setup.assayConfig, setup.counter)),
      recorder(std::make_unique<RunRecorder>(setup.history, setup.historyProblem)),
      setup_(std::move(setup)) {}

bool AssembledRun::start(RunObserver& next, RunEnvironment environment) {
    const AssayConfig& assay = setup_.assayConfig;
    if (assay.stopWhenDecided && assay.classLimit)
        environment.endCheck = stopWhenDecided();
    history = std::make_unique<RunHistoryObserver>(
        *data, *recorder, assay.kind(), next, environment.runClock(), setup_.historyProblem,
        RunHistoryObserver::kEndWait, setup_.historyWritten);
    run = AssayRun::start(*data, *history, environment);
    return run != nullptr;
}

} // namespace nivra
