#pragma once

#include "base/start_directory.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace nivra {

class AssayData;
class RunClock;
class CounterAccess;

// Where a run takes its time and its counter from, and where it writes its backup file. Unset
// clock and counters mean the system clock and the counters registered at start-up.
struct RunEnvironment {
    RunClock* clock = nullptr;
    CounterAccess* counters = nullptr;
    // The start directory whose backup_data/backup_N.dax the run keeps; none: the run keeps no
    // backup and the folder is not touched.
    std::optional<StartDirectory> backups = std::nullopt;
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
