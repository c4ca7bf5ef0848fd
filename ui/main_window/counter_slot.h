#pragma once

#include "engine/run_observer.h"
#include "model/assay_data.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace nivra {
class AssayRun;
class RunObserver;
class RunRecorder;
} // namespace nivra

namespace nivra::ui {

// The state of one of the main window's five slots. It decides the status text and which File
// and Assay Run commands are available.
enum CounterState : std::int32_t {
    VIEWER = 0,  // slot 0, the viewer of saved data files
    DEMO = 1,    // a counter slot on which nothing has been prepared
    NEW = 2,     // cleared by File New, ready for a run
    RUNNING = 3, // a run is attached and goes on
    STOPPED = 4, // the run has ended; its record stays
};

// What a slot's current or last run has reported beyond its record. A run's start clears it,
// and so does File New.
struct RunReportState {
    std::optional<std::int64_t> lastSecond; // counts of the last second
    std::optional<std::int64_t> dwellSoFar; // counts of the current dwell
    std::optional<bool> backupSaved;        // the last backup save; unknown until one is reported
    std::string backupFailure;              // why the last backup save failed
    std::optional<nivra::EndReason> ended;  // how the run ended, once it has
    // The first second of the stretch in which the counter has not answered, while it lasts.
    std::optional<std::int64_t> silentSince;
    // The first second of a stretch above the counter's limit, or of garbled replies.
    std::optional<std::int64_t> overLimitSince;
    std::optional<std::int64_t> garbledSince;

    // Whether the last backup save failed.
    bool backupFailed() const { return backupSaved == false; }
};

inline constexpr int kSlotCount = 5; // the viewer and counters 1 to 4
inline constexpr int kViewerSlot = 0;

// One slot of the main window: the viewer (slot 0) or counter 1 to 4. Only the SlotModel
// writes it; everything else reads it from there.
struct CounterSlot {
    CounterState state = DEMO;
    // The slot's record; during a run the record the run fills.
    std::unique_ptr<AssayData> data;
    // The run history's recorder of the run that filled the record, and the observer through
    // which that run reports (it records, then passes each report on to the window). Both stay
    // with the record after the run, for its saves and point deletions; null for a record that
    // no run of this window filled.
    std::unique_ptr<nivra::RunRecorder> recorder;
    std::unique_ptr<nivra::RunObserver> history;
    // The run attached to the slot, from Start until the slot has handled the run's end. A slot
    // that goes away ends its run before anything the run writes to goes.
    std::unique_ptr<nivra::AssayRun> run;
    // The file the record was read from or last saved to (for the viewer also "History run N");
    // empty while it has none.
    std::string fileName;
    // False while the record holds something that has not been saved.
    bool saved = true;
    // What the run reported beyond the record.
    RunReportState reports;

    CounterSlot();
    CounterSlot(const CounterSlot&) = delete;
    CounterSlot& operator=(const CounterSlot&) = delete;
    ~CounterSlot();

    // The number of points of the record, 0 without a record.
    std::size_t pointCount() const { return data ? data->pointCount() : 0; }
    bool hasPoints() const { return pointCount() > 0; }
};

// "VIEWER", "DEMO", "NEW", "RUNNING", "STOPPED"; nullptr for a value that is no state.
const char* statusText(CounterState state);

} // namespace nivra::ui
