#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace nivra {

class AssayData;
class RunClock;
class CounterAccess;

// Where a run takes its time and its counter from, and whether it writes a backup file. Unset
// members mean the system clock and the counters registered at start-up.
struct RunEnvironment {
    RunClock* clock = nullptr;
    CounterAccess* counters = nullptr;
    // Whether the run keeps backup_data/backup_N.dax; without, the folder is not touched.
    bool backups = true;
    // Asked after every closed point but the last, with the record and the time (seconds since
    // the epoch): a header line to end the run with at that point, or "" to go on. The run then
    // ends with its stop line followed by this line, and reports EndReason::Decided. Unset: the
    // run goes on to its end or a stop.
    using EndCheck = std::function<std::string(const AssayData& data, std::int64_t now)>;
    EndCheck endCheck = {};

    RunClock& runClock() const;
    CounterAccess& counterAccess() const;
};

} // namespace nivra
