#include "storage/background_pool.h"

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

} // namespace nivra
