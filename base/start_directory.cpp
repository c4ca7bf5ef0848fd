#include "base/start_directory.h"

#include "base/value_encoding.h"

#include <climits>
#include <unistd.h>

std::string& GetStartingDirectory() {
    static std::string startingDirectory;
    return startingDirectory;
}

bool CaptureStartingDirectory() {
    char buffer[PATH_MAX] = {};
    if (!::getcwd(buffer, sizeof buffer - 1)) {
        GetStartingDirectory().clear();
        return false;
    }
    GetStartingDirectory() = buffer;
    return true;
}

namespace nivra {

std::string StartPath(const std::string& relativeName) {
    const std::string& start = GetStartingDirectory();
    // At the root the start directory is "/" itself: do not double the separator.
    if (!start.empty() && start.back() == '/')
        return start + relativeName;
    return start + "/" + relativeName;
}

std::string CounterConfigPath(int counterNumber) {
    return StartPath(FormatC(kCounterConfigFormat, counterNumber));
}

std::string BackupDataPath(int counterNumber) {
    return StartPath(FormatC(kBackupDataFormat, counterNumber));
}

} // namespace nivra
