#pragma once

#include "base/outcome.h"
#include "storage/history_run.h"

#include <cstddef>
#include <string>
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

// Sets BACKGROUND and BACKGROUND_HOURS of the assay configuration at path to the pool's rate and
// counted hours, every other key and line as it was (the file is replaced as a whole). Refuses a
// file without an [ASSAY CONFIG] section.
Outcome writeBackground(const std::string& path, const BackgroundPool& pool);

} // namespace nivra
