#pragma once

#include <stop_token>

namespace nivra {
class AssayData;

class RunObserver;
struct RunEnvironment;

// The body of a run, on the run's thread: prepares the record, polls the counter once per
// wall-clock second (waking every 250 ms), closes a point per dwell, rewrites the backup data
// file after every point and once more with the end line, and ends by time or when a stop is
// requested. An interrupted run's backup found at the start is kept (see backup_file.h). Reports
// through the observer; returns right after finished.
//
// When the total time is 0 the run ends with its first point; progress then reads 1.0, since the
// configured time is covered (the ratio of hours would divide by zero).
void runAcquisition(AssayData& data, RunObserver& observer, const RunEnvironment& environment,
                    std::stop_token stop);

} // namespace nivra
