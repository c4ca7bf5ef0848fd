#include "engine/backup_file.h"
#include "engine/decision_stop.h"

#include "base/file_system.h"
#include "base/local_time.h"
#include "base/start_directory.h"
#include "model/assay_data.h"
#include "model/data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>

namespace nivra {

namespace {

constexpr std::string_view kStartLine = "Start Time: ";

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
        const char* end = readTimeStampFields(line.c_str() + kStartLine.size(), local);
        found = end != nullptr && *end == '\0';
        break;
    }
    if (!found) {
        if (const auto modified = fileModificationTime(path))
            found = localCalendarTime(*modified, local);
    }
    char stamp[32];
    if (!found || std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local) == 0)
        return "00000000-000000";
    return stamp;
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

std::string backupFolder(const StartDirectory& start) {
    return start.file(kBackupDataFolder);
}

bool endsWithEndLine(const std::vector<std::string>& headerLines) {
    std::size_t last = headerLines.size();
    // A run that ended when decided says so after its end line.
    if (last > 0 && startsWith(headerLines[last - 1], kDecidedPrefix))
        --last;
    return last > 0 && (startsWith(headerLines[last - 1], "End Time: ") ||
                        startsWith(headerLines[last - 1], "STOP TIME: "));
}

BackupHandover handOverBackup(const StartDirectory& start, int counter) {
    BackupHandover result;
    const std::string path = start.backupData(counter);
    if (!nameExists(path))
        return result;
    const std::vector<std::string> lines = readDataFile(path)->headerLines();
    if (endsWithEndLine(lines)) {
        // A finished run's backup: the new run replaces it. When it cannot be removed, the
        // first save replaces it all the same, or reports why it cannot.
        removeFile(path);
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

std::string backupFolderProblem(const StartDirectory& start, int counter) {
    // One block of a backup's size: a disk that cannot take it cannot take the backups.
    return writeProbeFile(backupFolder(start) + "/.backup_" + std::to_string(counter) +
                              ".dax.probe-" + std::to_string(processId()),
                          4096);
}

std::vector<std::string> leftOverBackups(const StartDirectory& start) {
    std::vector<std::string> names;
    const std::string folder = backupFolder(start);
    for (const std::string& name : folderEntries(folder)) {
        bool kept = false;
        if (!isBackupName(name, kept))
            continue;
        if (kept || !endsWithEndLine(readDataFile(folder + "/" + name)->headerLines()))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace nivra
