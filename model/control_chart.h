#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A Shewhart control chart of a counter's count rates with Poisson limits: the background or
// check-source runs of one counter in time order against the mean rate of reference runs.
namespace nivra {

struct ChartRun {
    std::int64_t id = 0;
    std::string startTime;
    double counts = 0;      // total counts
    double hours = 0;       // counting time
    bool reference = false; // one of the runs that give the mean rate
};

struct ChartPoint {
    ChartRun run;
    double rate = 0;      // counts per hour
    double z = 0;         // (rate - mean) / sqrt(mean / hours)
    bool action = false;  // beyond ±3
    bool warning = false; // with one of the two runs before it, two of three beyond ±2 on one side
    bool trend = false;   // the seventh (or later) run in a row on one side of the mean
    bool flagged() const { return action || warning || trend; }
};

struct ControlChart {
    double meanRate = 0; // pooled over the reference runs: their counts over their hours
    std::size_t referenceRuns = 0;
    std::vector<ChartPoint> points;
    std::size_t flaggedRuns() const;
};

// The chart of runs (in time order) against the mean rate of those marked as reference. Nothing
// when the reference runs have no counting time.
std::optional<ControlChart> buildControlChart(const std::vector<ChartRun>& runs);

// The flags of a point as text: "action", "warning", "trend" joined by ',', or "-".
std::string chartFlagsText(const ChartPoint& point);

} // namespace nivra
