#include "ui/main_window/counter_slot.h"

#include "engine/assay_run.h"
#include "engine/run_observer.h"
#include "storage/run_recorder.h"

namespace nivra::ui {

CounterSlot::CounterSlot() = default;

CounterSlot::~CounterSlot() {
    // The run reports through the history observer into the record: it ends first, and its
    // destruction waits for its thread.
    if (run)
        run->requestStop();
    run.reset();
    history.reset();
    recorder.reset();
}

const char* statusText(CounterState state) {
    switch (state) {
    case VIEWER:
        return "VIEWER";
    case DEMO:
        return "DEMO";
    case NEW:
        return "NEW";
    case RUNNING:
        return "RUNNING";
    case STOPPED:
        return "STOPPED";
    }
    return nullptr;
}

} // namespace nivra::ui
