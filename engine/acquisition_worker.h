#pragma once

struct RunControl;
struct RunEnvironment;

// The acquisition worker of a run: prepares the record, polls the counter once per wall-clock
// second (waking every 250 ms), closes a point per dwell, rewrites the backup data file after
// every point, and ends by time or when stopRequested is set. It reports to control.run by
// posting WM_RUN_COUNTS and, last, WM_RUN_FINISHED; after that post it touches nothing of the run.
//
// When the total time is 0 the run ends with its first point; progress then reads 1.0, since the
// configured time is covered (the ratio of hours would divide by zero).
int AcquisitionWorker(RunControl& control, const RunEnvironment& environment);
