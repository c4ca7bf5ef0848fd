#pragma once

#include <string>

// Tells a live process from a dead one across the programs that share a start directory. A
// process id alone is not enough, since ids are reused; the id together with the process's start
// time (and the boot it started in) names one process for good.
namespace nivra {

// "<boot id>/<start time in clock ticks since boot>" of the process, or "" when the system does
// not tell (no /proc).
std::string processStartStamp(int pid);

// The stamp of the calling process (read once).
const std::string& ownStartStamp();

// Whether the process that recorded (pid, stamp) still runs. With an empty stamp only the id can
// be checked, and a process with that id counts as the owner.
bool processIsAlive(int pid, const std::string& stamp);

} // namespace nivra
