#pragma once

#include <string>

namespace nivra {

// The process-wide start directory: the current directory at the moment the program started.
// Every settings file lives below it. It is captured once at start-up, before any run thread
// exists, and only read afterwards.
std::string& getStartingDirectory();

// Stores the current directory as the start directory. Returns false (and leaves the start
// directory empty) when the current directory cannot be read.
bool captureStartingDirectory();

// The start directory joined with a name relative to it ("counter_config/counter2.ccx"). The
// relative name is formatted by the caller; the start directory is taken literally and is never
// used as a format.
std::string startPath(const std::string& relativeName);

// The names of the files and folders below the start directory.
inline constexpr const char* kPortConfigFile = "port_config.pfx";
inline constexpr const char* kStatsDisplayFile = "stats_display_config.pfx";
inline constexpr const char* kDefaultAssayConfigFile = "assay_config/default.acx";
inline constexpr const char* kAssayConfigFolder = "assay_config";
inline constexpr const char* kCounterConfigFolder = "counter_config";
inline constexpr const char* kCounterConfigFormat = "counter_config/counter%d.ccx";
inline constexpr const char* kBackupDataFolder = "backup_data";
inline constexpr const char* kBackupDataFormat = "backup_data/backup_%d.dax";

// startPath of kCounterConfigFormat / kBackupDataFormat formatted with a counter number.
std::string counterConfigPath(int counterNumber);
std::string backupDataPath(int counterNumber);

} // namespace nivra
