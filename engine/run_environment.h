#pragma once

namespace nivra {

class RunClock;
class CounterAccess;

// Where a run takes its time and its counter from, and whether it writes a backup file. Unset
// members mean the system clock and the counters registered at start-up.
struct RunEnvironment {
    RunClock* clock = nullptr;
    CounterAccess* counters = nullptr;
    // Whether the run keeps backup_data/backup_N.dax; without, the folder is not touched.
    bool backups = true;

    RunClock& runClock() const;
    CounterAccess& counterAccess() const;
};

} // namespace nivra
