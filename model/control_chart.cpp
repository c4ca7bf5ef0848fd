#include "model/control_chart.h"

#include <cmath>
#include <limits>

namespace nivra {

namespace {

constexpr double kActionLimit = 3.0;
constexpr double kWarningLimit = 2.0;
constexpr std::size_t kWarningWindow = 3;
constexpr std::size_t kWarningCount = 2;
constexpr std::size_t kTrendLength = 7;

int sideOf(double z) {
    return z > 0 ? 1 : z < 0 ? -1 : 0;
}

} // namespace

std::size_t ControlChart::flaggedRuns() const {
    std::size_t flagged = 0;
    for (const ChartPoint& point : points)
        flagged += point.flagged();
    return flagged;
}

std::optional<ControlChart> buildControlChart(const std::vector<ChartRun>& runs) {
    double counts = 0;
    double hours = 0;
    std::size_t referenceRuns = 0;
    for (const ChartRun& run : runs) {
        if (!run.reference)
            continue;
        counts += run.counts;
        hours += run.hours;
        ++referenceRuns;
    }
    if (!(hours > 0))
        return std::nullopt;

    ControlChart chart;
    chart.meanRate = counts / hours;
    chart.referenceRuns = referenceRuns;
    for (const ChartRun& run : runs) {
        ChartPoint point;
        point.run = run;
        point.rate = run.hours > 0 ? run.counts / run.hours : 0.0;
        const double sigma = run.hours > 0 ? std::sqrt(chart.meanRate / run.hours) : 0.0;
        if (sigma > 0)
            point.z = (point.rate - chart.meanRate) / sigma;
        else if (point.rate != chart.meanRate)
            // A mean of zero counts allows no count at all.
            point.z =
                std::copysign(std::numeric_limits<double>::infinity(), point.rate - chart.meanRate);
        chart.points.push_back(point);
    }

    auto& points = chart.points;
    std::size_t sameSide = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double z = points[i].z;
        points[i].action = std::fabs(z) > kActionLimit;

        const int side = sideOf(z);
        if (std::fabs(z) > kWarningLimit) {
            std::size_t beyond = 0;
            for (std::size_t j = i + 1 >= kWarningWindow ? i + 1 - kWarningWindow : 0; j <= i; ++j)
                beyond += std::fabs(points[j].z) > kWarningLimit && sideOf(points[j].z) == side;
            points[i].warning = beyond >= kWarningCount;
        }

        sameSide = side != 0 && i > 0 && sideOf(points[i - 1].z) == side ? sameSide + 1
                   : side != 0                                           ? 1
                                                                         : 0;
        points[i].trend = sameSide >= kTrendLength;
    }
    return chart;
}

std::string chartFlagsText(const ChartPoint& point) {
    std::string text;
    for (auto [on, name] : {std::pair{point.action, "action"}, std::pair{point.warning, "warning"},
                            std::pair{point.trend, "trend"}})
        if (on)
            text += (text.empty() ? "" : ",") + std::string(name);
    return text.empty() ? "-" : text;
}

} // namespace nivra
