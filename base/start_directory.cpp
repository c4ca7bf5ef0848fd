#include "base/start_directory.h"

#include "base/file_system.h"
#include "base/value_encoding.h"

namespace nivra {

std::string& getStartingDirectory() {
    static std::string startingDirectory;
    return startingDirectory;
}

bool captureStartingDirectory() {
    const std::optional<std::string> current = currentDirectory();
    getStartingDirectory() = current.value_or(std::string());
    return current.has_value();
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
