#include "storage/process_identity.h"

#include <cerrno>
#include <csignal>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace nivra {

namespace {

std::string bootId() {
    std::ifstream in("/proc/sys/kernel/random/boot_id");
    std::string id;
    std::getline(in, id);
    return id;
}

// Field 22 of /proc/<pid>/stat, the start time; "" for a process that has ended but was not yet
// reaped (state Z or X in field 3). The command name (field 2) is in parentheses and may itself
// hold blanks and parentheses, so the fields are counted from the last ')'.
std::string startTicks(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line))
        return {};
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return {};
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    for (int number = 3; number <= 22 && (fields >> field); ++number) {
        if (number == 3 && (field == "Z" || field == "X"))
            return {};
        if (number == 22)
            return field;
    }
    return {};
}

} // namespace

std::string processStartStamp(int pid) {
    static const std::string bootId = nivra::bootId();
    const std::string ticks = startTicks(pid);
    if (bootId.empty() || ticks.empty())
        return {};
    return bootId + "/" + ticks;
}

const std::string& ownStartStamp() {
    static const std::string stamp = processStartStamp(static_cast<int>(::getpid()));
    return stamp;
}

bool processIsAlive(int pid, const std::string& stamp) {
    if (pid <= 0)
        return false;
    if (::kill(pid, 0) != 0 && errno != EPERM)
        return false;
    if (stamp.empty())
        return true;
    return processStartStamp(pid) == stamp;
}

} // namespace nivra
