#pragma once

#include "model/assay_data.h"
#include "storage/history_run.h"

#include <memory>

namespace nivra {

// The record a run of the history stands for: its configurations, header lines and the points
// it still holds, with the total time shortened by one dwell per deleted point, as the window's
// record of the run is after the same deletions. Saving it gives the data file the window would
// have saved.
std::unique_ptr<AssayData> recordOfRun(const HistoryRunDetail& detail);

// A run of the history holding what record holds (configurations, header lines, points); the
// kind comes from the record's assay configuration. Counter, times and source are the caller's.
HistoryRunDetail detailOfRecord(const AssayData& record);

} // namespace nivra
