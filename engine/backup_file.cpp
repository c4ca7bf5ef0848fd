#include "engine/backup_file.h"
#include "engine/decision_stop.h"

#include "base/start_directory.h"
#include "model/assay_data.h"
#include "model/data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace nivra {

namespace {

constexpr std::string_view kStartLine = "Start Time: ";
constexpr std::string_view kStartTimeFormat = "%m/%d/%y %H:%M:%S"; // as the run writes it

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// yyyymmdd-HHMMSS of the record's start line, or of the file's modification time.
std::string keptStamp(const std::vector<std::string>& headerLines, const std::string& path) {
    std::tm local{};
    bool found = false;
    for (const std::string& line : headerLines) {
        if (!startsWith(line, kStartLine))
            continue;
        const char* end =
            ::strptime(line.c_str() + kStartLine.size(), kStartTimeFormat.data(), &local);
        found = end != nullptr && *end == '\0';
        break;
    }
    struct stat st;
    if (!found && ::stat(path.c_str(), &st) == 0) {
        const std::time_t modified = st.st_mtime;
        found = ::localtime_r(&modified, &local) != nullptr;
    }
    char stamp[32];
    if (!found || std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local) == 0)
        return "00000000-000000";
    return stamp;
}

// Renames from to to unless to exists; errno tells why not.
bool renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace rename.
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

// Whether name is backup_<digits>.dax (a run's own backup) or backup_<digits>-<...>.dax (a kept
// one, kept set).
bool isBackupName(const std::string& name, bool& kept) {
    constexpr std::string_view prefix = "backup_";
    constexpr std::string_view ext = ".dax";
    if (!startsWith(name, prefix) || name.size() <= prefix.size() + ext.size() ||
        name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
        return false;
    std::size_t at = prefix.size();
    while (at < name.size() && name[at] >= '0' && name[at] <= '9')
        ++at;
    if (at == prefix.size())
        return false;
    kept = name[at] == '-';
    return kept || at == name.size() - ext.size();
}

} // namespace

std::string backupFolder() {
    return startPath(kBackupDataFolder);
}

bool endsWithEndLine(const std::vector<std::string>& headerLines) {
    std::size_t last = headerLines.size();
    // A run that ended when decided says so after its end line.
    if (last > 0 && startsWith(headerLines[last - 1], kDecidedPrefix))
        --last;
    return last > 0 && (startsWith(headerLines[last - 1], "End Time: ") ||
                        startsWith(headerLines[last - 1], "STOP TIME: "));
}

BackupHandover handOverBackup(int counter) {
    BackupHandover result;
    const std::string path = backupDataPath(counter);
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return result;
    const std::vector<std::string> lines = readDataFile(path)->headerLines();
    if (endsWithEndLine(lines)) {
        // A finished run's backup: the new run replaces it. When it cannot be removed, the
        // first save replaces it all the same, or reports why it cannot.
        ::unlink(path.c_str());
        return result;
    }
    // Anything else is kept, even a file that cannot be read: it may be all that is left of a
    // run.
    const std::string stem = path.substr(0, path.size() - 4) + "-" + keptStamp(lines, path);
    for (int n = 1; n < 1000; ++n) {
        const std::string kept = stem + (n == 1 ? "" : "-" + std::to_string(n)) + ".dax";
        if (renameWithoutReplacing(path, kept)) {
            result.keptPath = kept;
            return result;
        }
        if (errno != EEXIST) {
            result.problem = std::strerror(errno);
            return result;
        }
    }
    result.problem = std::strerror(EEXIST);
    return result;
}

std::string backupFolderProblem(int counter) {
    const std::string probe = backupFolder() + "/.backup_" + std::to_string(counter) +
                              ".dax.probe-" + std::to_string(::getpid());
    ::unlink(probe.c_str());
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return std::strerror(errno);
    // One block of a backup's size: a disk that cannot take it cannot take the backups.
    const std::string block(4096, '\n');
    int error = 0;
    const ssize_t written = ::write(fd, block.data(), block.size());
    if (written < 0)
        error = errno;
    else if (static_cast<std::size_t>(written) != block.size())
        error = ENOSPC;
    else if (::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    ::unlink(probe.c_str());
    return error == 0 ? std::string() : std::strerror(error);
}

std::vector<std::string> leftOverBackups() {
    std::vector<std::string> names;
    const std::string folder = backupFolder();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        bool kept = false;
        if (!isBackupName(name, kept))
            continue;
        if (kept || !endsWithEndLine(readDataFile(folder + "/" + name)->headerLines()))
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace nivra
