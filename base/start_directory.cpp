#include "base/start_directory.h"

#include "base/value_encoding.h"

#include <climits>
#include <unistd.h>

namespace nivra {

std::string& getStartingDirectory() {
    static std::string startingDirectory;
    return startingDirectory;
}

bool captureStartingDirectory() {
    char buffer[PATH_MAX] = {};
    if (!::getcwd(buffer, sizeof buffer - 1)) {
        getStartingDirectory().clear();
        return false;
    }
    getStartingDirectory() = buffer;
    return true;
}

std::string startPath(const std::string& relativeName) {
    const std::string& start = getStartingDirectory();
    // At the root the start directory is "/" itself: do not double the separator.
    if (!start.empty() && start.back() == '/')
        return start + relativeName;
    return start + "/" + relativeName;
}

std::string counterConfigPath(int counterNumber) {
    return startPath(formatC(kCounterConfigFormat, counterNumber));
}

std::string backupDataPath(int counterNumber) {
    return startPath(formatC(kBackupDataFormat, counterNumber));
}

} // namespace nivra
