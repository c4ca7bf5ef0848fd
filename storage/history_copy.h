#pragma once

#include "storage/history_database.h"

#include <cstddef>
#include <string>
#include <vector>

namespace nivra {

// What copying one history into another did.
struct HistoryCopySummary {
    std::size_t added = 0;             // runs the target did not have
    std::size_t present = 0;           // runs it had (and now has whole)
    std::size_t refused = 0;           // runs it refused or that could not be read
    std::vector<std::string> problems; // "run ID: reason" for each refused run
};

// Copies every run of from into to, oldest first (a PC's history moving to the laboratory's
// server). A run is matched by its key or content hash; a run with neither (recorded before runs
// had keys, never saved) gets a key made from what it is, so that copying the same history again
// adds nothing.
HistoryCopySummary copyHistory(HistoryDatabase& from, HistoryDatabase& to);

// The key of a run that has none: a digest of its start, counter, configurations' names, source
// and data file.
std::string derivedRunKey(const HistoryRun& run);

} // namespace nivra
