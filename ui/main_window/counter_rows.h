#pragma once

#include "engine/run_observer.h"
#include "ui/main_window/counter_slot.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The rows of the Counters window as plain values: what each column says for a slot, computed
// from the slot's state, its record and the latest reports of its run. The window only puts
// these values into widgets.
namespace nivra::ui {

// What one slot's row shows. "-" stands for a value that does not apply or is not known yet.
struct CounterRow {
    std::string counter;      // "2: detector 2" ("2" without a name), "Viewer"
    std::string state;        // "DEMO", "NEW", "RUNNING", "STOPPED", "VIEWER", "NOT ANSWERING",
                              // "OVER LIMIT", "GARBLED"
    std::string stateToolTip; // since when a running counter has not answered
    std::string assay;        // the record's assay name
    std::string points;       // "3 of 12" during and after a run, "3" for a file
    int progress = 0;         // per cent, as the main window's progress bar shows it
    std::string lastSecond;   // counts of the last second
    std::string currentDwell; // counts of the current dwell
    std::string timeLeft;     // "0:00:05:09" while running, "finished" or "stopped" after
    std::string endTime;      // planned end while running, the end line's time after
    std::string backup;       // "saved", "FAILED" or "-"
    std::string backupToolTip;
    // The class decision against the assay's limit ("below", "above", "undecided, about 14 h"),
    // "-" when the assay sets no limit or there is no point yet.
    std::string decision;
    std::vector<std::int32_t> counts; // the points so far, for the sparkline

    bool operator==(const CounterRow&) const = default;
};

// The number of points a run with this dwell and total time closes when nobody stops it: a point
// closes at the end of every dwell, and the run ends with the first point after which another
// whole dwell no longer fits in the total time, so at least one point. 0 when the dwell is not
// positive (the number is not known).
std::int64_t plannedPoints(std::int64_t dwellSeconds, std::int64_t totalSeconds);

// "3 of 12", or "3" when planned is 0 (not known).
std::string pointsText(std::size_t points, std::int64_t planned);

// The time written in the record's end line ("End Time: " or "STOP TIME: " followed by it), the
// last such line; empty when the record has none.
std::string endLineTime(const std::vector<std::string>& headerLines);

// The class decision's text for a record's points, worked out again only when the points or the
// configurations change: the search for the time to decision can take tens of milliseconds,
// and a row is rebuilt every second.
class ClassDecisionText {
public:
    const std::string& of(const AssayData::Snapshot& fields);

private:
    struct Key {
        std::vector<std::int32_t> counts;
        std::array<std::pair<const char*, std::string>, 10> assay;
        std::vector<std::pair<const char*, std::string>> assayOptional;
        std::array<std::pair<const char*, std::string>, 4> counter;
        bool operator==(const Key&) const = default;
    };
    std::optional<Key> key_;
    std::string text_;
};

// The row of slot `slot` (0 the viewer) in state `state`. record is the slot's record, nullptr
// when it has none; counterName names the counter when there is no record to take it from;
// now is the current time (seconds since 1970 UTC) for the time left.
CounterRow counterRow(int slot, CounterState state, const AssayData* record,
                      const std::string& counterName, const RunReportState& reports,
                      std::int64_t now, ClassDecisionText& decision);

// Heights of the sparkline's bars, each from 0 to 1 of the highest point (a count of 0 at the
// bottom, so a steady source draws a level line rather than its noise magnified). More points
// than bars are drawn as bars of consecutive points, each as high as the highest point in it,
// so a single burst stays visible. Negative counts (only a hand-edited file can hold them)
// count as 0. Empty without points or bars.
std::vector<double> sparklineLevels(const std::vector<std::int32_t>& counts, std::size_t maxBars);

// The desktop notification at the end of a run: "Counter 2: run finished, 12 points, 388 counts"
// ("run stopped" after Stop, "run decided" when its class verdict ended it).
std::string runEndMessage(int counter, nivra::EndReason reason, std::size_t points,
                          std::int64_t totalCounts);

} // namespace nivra::ui
