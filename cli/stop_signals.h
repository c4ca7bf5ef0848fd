#pragma once

// How an unattended run hears that it should stop: Ctrl+C, a request to terminate, or the
// terminal or console closing under it make the run stop and save its files, instead of ending
// the process on the spot.
namespace nivra::cli {

// From now on those events only set the stop flag. Also makes a write that exceeds a file size
// limit fail (and be reported) instead of ending the process, where the system has such limits.
void catchStopSignals();

// Whether a stop was asked for, by one of those events or by stopRunsNow.
bool stopSignalled();

// Asks for a stop as those events do (the program itself, when a run cannot start).
void stopRunsNow();

} // namespace nivra::cli
