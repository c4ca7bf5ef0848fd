#include "base/start_directory.h"

#include "base/file_system.h"
#include "base/value_encoding.h"

namespace nivra {

std::optional<StartDirectory> StartDirectory::capture() {
    std::optional<std::string> current = currentDirectory();
    if (!current || current->empty())
        return std::nullopt;
    return StartDirectory(std::move(*current));
}

std::string StartDirectory::file(const std::string& relativeName) const {
    // At the root the start directory is "/" itself: do not double the separator.
    if (!path_.empty() && path_.back() == '/')
        return path_ + relativeName;
    return path_ + "/" + relativeName;
}

std::string StartDirectory::counterConfig(int counterNumber) const {
    return file(formatC(kCounterConfigFormat, counterNumber));
}

std::string StartDirectory::backupData(int counterNumber) const {
    return file(formatC(kBackupDataFormat, counterNumber));
}

} // namespace nivra
