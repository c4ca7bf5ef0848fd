#pragma once

#include "model/control_chart.h"
#include "storage/history_run.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nivra {

// The control chart of a counter's runs of one kind, as the history gives them, with its text.
struct ControlChartReport {
    std::optional<ControlChart> chart; // none when the reference runs have no counting time
    std::size_t withoutTime = 0;       // runs left out because they have no counting time
};

// How many of the first runs give the mean rate when no reference range is named.
inline constexpr std::size_t kDefaultReferenceRuns = 20;

// The chart of runs (oldest first): those with counting time in time order, the reference
// being the runs with ids in reference (both inclusive) or else the first kDefaultReferenceRuns.
ControlChartReport buildChartReport(const std::vector<HistoryRun>& runs,
                                    std::optional<std::pair<std::int64_t, std::int64_t>> reference);

// The chart as a table: a heading, one line per run (id, start, reference mark, hours, counts,
// rate, z, flags) and a last line with the mean rate and the numbers of runs and flagged runs.
std::string controlChartText(const ControlChart& chart, std::size_t withoutTime);

} // namespace nivra
