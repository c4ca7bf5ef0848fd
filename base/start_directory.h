#pragma once

#include <optional>
#include <string>

namespace nivra {

// The names of the files and folders below the start directory.
inline constexpr const char* kPortConfigFile = "port_config.pfx";
inline constexpr const char* kStatsDisplayFile = "stats_display_config.pfx";
inline constexpr const char* kDefaultAssayConfigFile = "assay_config/default.acx";
inline constexpr const char* kAssayConfigFolder = "assay_config";
inline constexpr const char* kCounterConfigFolder = "counter_config";
inline constexpr const char* kCounterConfigFormat = "counter_config/counter%d.ccx";
inline constexpr const char* kBackupDataFolder = "backup_data";
inline constexpr const char* kBackupDataFormat = "backup_data/backup_%d.dax";

// The start directory: the current directory at the moment a program started. Every settings
// file lives below it. It is captured once at start-up and handed to whatever reads or writes
// those files; it never changes afterwards.
class StartDirectory {
public:
    // A known folder, taken literally (it is never used as a format).
    explicit StartDirectory(std::string path) : path_(std::move(path)) {}

    // The current directory; none when it cannot be read.
    static std::optional<StartDirectory> capture();

    const std::string& path() const { return path_; }

    // The folder joined with a name relative to it ("counter_config/counter2.ccx"). The name is
    // formatted by the caller.
    std::string file(const std::string& relativeName) const;

    // kCounterConfigFormat / kBackupDataFormat formatted with a counter number, below the folder.
    std::string counterConfig(int counterNumber) const;
    std::string backupData(int counterNumber) const;

    bool operator==(const StartDirectory&) const = default;

private:
    std::string path_;
};

} // namespace nivra
