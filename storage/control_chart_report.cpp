#include "storage/control_chart_report.h"

#include <cmath>
#include <cstdio>

namespace nivra {

namespace {

std::string zText(double z) {
    if (std::isinf(z))
        return z > 0 ? "+inf" : "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%+.2f", z);
    return text;
}

template <class... Args> void appendFormatted(std::string& out, const char* format, Args... args) {
    char line[512];
    std::snprintf(line, sizeof line, format, args...);
    out += line;
}

} // namespace

ControlChartReport
buildChartReport(const std::vector<HistoryRun>& runs,
                 std::optional<std::pair<std::int64_t, std::int64_t>> reference) {
    ControlChartReport report;
    std::vector<ChartRun> series;
    for (const HistoryRun& run : runs) {
        const double hours = run.countingHours();
        if (!(hours > 0)) {
            ++report.withoutTime;
            continue;
        }
        ChartRun point{run.id, run.startTime, static_cast<double>(run.totalCounts), hours};
        point.reference = reference ? run.id >= reference->first && run.id <= reference->second
                                    : series.size() < kDefaultReferenceRuns;
        series.push_back(point);
    }
    report.chart = buildControlChart(series);
    return report;
}

std::string controlChartText(const ControlChart& chart, std::size_t withoutTime) {
    std::string text;
    appendFormatted(text, "%5s  %-25s  %3s  %10s  %12s  %12s  %7s  %s\n", "ID", "START", "REF",
                    "HOURS", "COUNTS", "RATE", "Z", "FLAGS");
    for (const ChartPoint& point : chart.points)
        appendFormatted(text, "%5lld  %-25s  %3s  %10.4f  %12.0f  %12.4f  %7s  %s\n",
                        static_cast<long long>(point.run.id), point.run.startTime.c_str(),
                        point.run.reference ? "*" : "", point.run.hours, point.run.counts,
                        point.rate, zText(point.z).c_str(), chartFlagsText(point).c_str());
    appendFormatted(text,
                    "mean rate %.4f counts/hour from %zu reference runs; %zu runs, %zu flagged",
                    chart.meanRate, chart.referenceRuns, chart.points.size(), chart.flaggedRuns());
    if (withoutTime > 0)
        appendFormatted(text, "; %zu without counting time left out", withoutTime);
    text += '\n';
    return text;
}

} // namespace nivra
