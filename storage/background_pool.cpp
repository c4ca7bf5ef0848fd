#include "storage/background_pool.h"

#include "base/profile_file.h"
#include "base/value_encoding.h"
#include "model/assay_config.h"

namespace nivra {

BackgroundPool poolBackground(const std::vector<HistoryRun>& runs) {
    BackgroundPool pool;
    for (const HistoryRun& run : runs) {
        const double hours = run.countingHours();
        if (!(hours > 0.0))
            continue;
        ++pool.runs;
        pool.totalCounts += static_cast<double>(run.totalCounts);
        pool.countedHours += hours;
    }
    return pool;
}

Outcome writeBackground(const std::string& path, const BackgroundPool& pool) {
    ProfileFile file(path);
    if (!file.readError().empty())
        return Outcome::failure(file.readError());
    if (file.readString("NAME", AssayConfig::kSection).empty() &&
        file.readString("SAMPLE_AREA", AssayConfig::kSection).empty())
        return Outcome::failure("not an assay configuration (no [ASSAY CONFIG] section)");
    if (!file.writeString(formatReal(pool.rate()), "BACKGROUND", AssayConfig::kSection) ||
        !file.writeString(formatReal(pool.countedHours), "BACKGROUND_HOURS",
                          AssayConfig::kSection) ||
        !file.flush())
        return Outcome::failure(file.writeError());
    return Outcome{};
}

} // namespace nivra
