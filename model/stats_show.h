#pragma once

#include "model/statistic.h"

#include <array>
#include <string>

namespace nivra {

// Which of the sixteen statistics are shown in the statistics list and written to a CSV export.
// Kept in stats_display_config.pfx below the start directory: section "STATS SHOW", one key per
// statistic with the value "true" or "false".
class StatsShow {
public:
    static constexpr const char* kSection = "STATS SHOW";

    // All sixteen shown.
    StatsShow() { flags_.fill(true); }

    bool shows(nivra::Statistic statistic) const { return flags_[nivra::indexOf(statistic)]; }
    void set(nivra::Statistic statistic, bool shown) { flags_[nivra::indexOf(statistic)] = shown; }
    void toggle(nivra::Statistic statistic) { set(statistic, !shows(statistic)); }
    void setAll(bool shown) { flags_.fill(shown); }

    // Replaces every flag from the file: a flag is true only when its value is exactly "true",
    // so a missing file or key, "TRUE" or "1" reads as false. Does nothing when path is empty.
    void load(const std::string& path);

    // Writes all sixteen keys. Returns false when path is empty or the file could not be
    // written.
    bool save(const std::string& path) const;

    bool operator==(const StatsShow&) const = default;

private:
    std::array<bool, nivra::kStatisticCount> flags_;
};

} // namespace nivra
