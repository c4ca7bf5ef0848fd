#pragma once

#include "base/start_directory.h"

#include <cstdint>
#include <string>
#include <vector>

// The backup files of runs in the start directory's backup_data folder: backup_N.dax is
// rewritten by the run on counter N after every point and once more with its end line; a backup
// whose record has no end line belongs to a run that was interrupted (a crash, a power cut) and
// is kept as backup_N-<yyyymmdd-HHMMSS>.dax instead of being deleted by the next run.
namespace nivra {

// The backup folder below the start directory.
std::string backupFolder(const StartDirectory& start);

// Whether a record's header lines end with the end line of a run ("End Time: ..." or
// "STOP TIME: ..."), or with that followed by a decision line ("Decided ...").
bool endsWithEndLine(const std::vector<std::string>& headerLines);

// What happened to an earlier backup of the counter when a new run took its place.
struct BackupHandover {
    // The kept file, when the earlier backup held an interrupted run; empty otherwise.
    std::string keptPath;
    // Why an interrupted backup could not be kept; it then stays where it is and the new run
    // must not write over it. Empty when all went well.
    std::string problem;
};

// Clears backup_N.dax for a new run on counter. A finished run's backup is deleted; any other
// content is an interrupted run and is renamed to backup_N-<stamp>.dax, stamp being the local
// start time of its record ("Start Time: " line) or else the file's modification time, with -2,
// -3 ... appended rather than replacing an existing file.
BackupHandover handOverBackup(const StartDirectory& start, int counter);

// Why backups cannot be written into the backup folder ("No such file or directory", "File too
// large", ...); empty when they can. Writes and removes a small file there, so a missing or
// read-only folder and a full disk are found before a run relies on them.
std::string backupFolderProblem(const StartDirectory& start, int counter);

// The file names in the backup folder that hold a run nobody has finished with: kept backups
// and backup_N.dax files without an end line. Sorted; empty without a folder.
std::vector<std::string> leftOverBackups(const StartDirectory& start);

} // namespace nivra
