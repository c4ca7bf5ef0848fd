#pragma once

#include "storage/history_run.h"

#include <cstddef>
#include <vector>

namespace nivra {

// A counter's background from its background runs in the history, pooled: their total counts
// over their total counted hours (points × dwell), so that a long run weighs as much as its
// hours and not more. Runs without counted time add nothing.
struct BackgroundPool {
    std::size_t runs = 0;      // runs with counted time
    double totalCounts = 0.0;  // their counts
    double countedHours = 0.0; // their counted hours
    // Counts per hour; 0 when nothing was counted.
    double rate() const { return countedHours > 0.0 ? totalCounts / countedHours : 0.0; }
};

BackgroundPool poolBackground(const std::vector<HistoryRun>& runs);

} // namespace nivra
