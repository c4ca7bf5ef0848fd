#pragma once

#include "engine/assay_run.h"
#include "engine/run_environment.h"
#include "engine/run_history_observer.h"
#include "model/assay_config.h"
#include "model/counter_config.h"
#include "storage/history_location.h"
#include "storage/run_recorder.h"

#include <memory>

namespace nivra {

class AssayData;
class RunObserver;

// What a run is made from, the same for the window and nivra-cli run.
struct RunSetup {
    CounterConfig counterConfig;
    // As the record keeps it: its kind, class limit and STOP WHEN DECIDED included.
    AssayConfig assayConfig;
    int counter = 0;
    // Where the run is recorded, resolved once by whoever starts runs.
    HistoryLocation history;
    // Told when the history cannot be written, from whichever thread wrote; the run goes on.
    RunRecorder::Reporter historyProblem;
    // Told on the history writer's thread after each write that reached the history.
    RunHistoryObserver::Written historyWritten;
};

// One run, put together: its record, its recorder in the run history, the history's observer
// that records each report and passes it on, and the run. An assay that stops when decided (its
// STOP WHEN DECIDED with a class limit) gets the end check that ends it at the first verdict.
//
// Made in two steps, since whoever hears the reports may need the record first (a printer reads
// it): the constructor makes the record and the recorder, start the rest. The members are
// declared so that they go in the right order: the run first, the record last; a caller may also
// move them out into holders of its own, keeping that order.
struct AssembledRun {
    explicit AssembledRun(RunSetup setup);

    // Starts the run in environment (its end check is set here from the assay), reporting through
    // the history to next, which must outlive the run. False when the system refused a thread:
    // nothing has then been counted and run stays empty.
    bool start(RunObserver& next, RunEnvironment environment);

    std::unique_ptr<AssayData> data;
    std::unique_ptr<RunRecorder> recorder;
    std::unique_ptr<RunHistoryObserver> history;
    std::unique_ptr<AssayRun> run;

private:
    RunSetup setup_;
};

} // namespace nivra
