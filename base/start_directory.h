#pragma once

#include <string>

// The process-wide start directory: the current directory at the moment the program started.
// Every settings file lives below it. It is captured once at start-up, before any run thread
// exists, and only read afterwards.
std::string& GetStartingDirectory();

// Stores the current directory as the start directory. Returns false (and leaves the start
// directory empty) when the current directory cannot be read.
bool CaptureStartingDirectory();

namespace nivra {

// The start directory followed by a relative name written the way the program's file tables
// write it, beginning with a backslash ("\\counter_config\\counter2.ccx"); the backslashes
// become '/'. The relative name is formatted by the caller; the start directory is appended
// literally and is never used as a format.
std::string StartPath(const std::string& relativeName);

// The relative names of the files below the start directory.
inline constexpr const char* kPortConfigFile = "\\port_config.pfx";
inline constexpr const char* kStatsDisplayFile = "\\stats_display_config.pfx";
inline constexpr const char* kDefaultAssayConfigFile = "\\assay_config\\default.acx";
inline constexpr const char* kAssayConfigFolder = "\\assay_config";
inline constexpr const char* kCounterConfigFormat = "\\counter_config\\counter%d.ccx";
inline constexpr const char* kBackupDataFormat = "\\backup_data\\backup_%d.dax";

// StartPath of kCounterConfigFormat / kBackupDataFormat formatted with a counter number.
std::string CounterConfigPath(int counterNumber);
std::string BackupDataPath(int counterNumber);

} // namespace nivra
