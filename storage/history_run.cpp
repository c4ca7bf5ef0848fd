#include "storage/history_run.h"

namespace nivra {

const char* runEndName(RunEnd end) {
    switch (end) {
    case RunEnd::Time:
        return "time";
    case RunEnd::Stop:
        return "stop";
    case RunEnd::Interrupted:
        return "interrupted";
    case RunEnd::Running:
        break;
    }
    return "running";
}

std::optional<RunEnd> parseRunEnd(std::string_view text) {
    for (RunEnd end : {RunEnd::Running, RunEnd::Time, RunEnd::Stop, RunEnd::Interrupted})
        if (text == runEndName(end))
            return end;
    return std::nullopt;
}

double HistoryRun::countingHours() const {
    return static_cast<double>(points) * static_cast<double>(assayConfig.dwellSpan()) / 3600.0;
}

double HistoryRun::countsPerHour() const {
    const double hours = countingHours();
    return hours > 0 ? static_cast<double>(totalCounts) / hours : 0.0;
}

} // namespace nivra
