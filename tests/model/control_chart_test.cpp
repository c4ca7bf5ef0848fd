#include "model/control_chart.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace nivra;

namespace {

// Runs of one hour each with the given counts; the first `reference` of them are the reference.
std::vector<ChartRun> series(const std::vector<double>& counts, std::size_t reference) {
    std::vector<ChartRun> runs;
    for (std::size_t i = 0; i < counts.size(); ++i)
        runs.push_back({static_cast<std::int64_t>(i + 1), "", counts[i], 1.0, i < reference});
    return runs;
}

std::string flags(const ControlChart& chart) {
    std::string flags;
    for (const auto& point : chart.points)
        flags += point.action ? 'A' : point.warning ? 'W' : point.trend ? 'T' : '.';
    return flags;
}

} // namespace

TEST(ControlChart, PoolsTheReferenceRunsAndScalesZByTheirTime) {
    // 100 counts in 1 h and 300 in 2 h: mean 400 / 3 h; a run of 4 h at 150/h has
    // z = (150 - 133.33) / sqrt(133.33 / 4).
    auto runs = series({100, 300}, 2);
    runs[1].hours = 2;
    runs.push_back({3, "", 600, 4.0, false});
    const auto chart = buildControlChart(runs);
    ASSERT_TRUE(chart);
    EXPECT_DOUBLE_EQ(chart->meanRate, 400.0 / 3.0);
    EXPECT_EQ(chart->referenceRuns, 2u);
    EXPECT_NEAR(chart->points[2].z, (150 - 400.0 / 3) / std::sqrt(400.0 / 3 / 4), 1e-12);
    EXPECT_FALSE(buildControlChart(series({100, 100}, 0)));
}

// Mean 100/h for runs of 1 h: sigma 10, so 121 is z = 2.1, 131 is z = 3.1.
TEST(ControlChart, FlagsActionWarningAndTrend) {
    // Beyond 3 on either side.
    EXPECT_EQ(::flags(*buildControlChart(series({100, 100, 131, 100, 69}, 2))), "..A.A");
    // Two of three beyond 2 on the same side: flagged at the second; opposite sides are not.
    EXPECT_EQ(::flags(*buildControlChart(series({100, 100, 121, 100, 121, 79, 100, 121}, 2))),
              "....W...");
    // Seven in a row on one side: the seventh and later ones; six are not enough, and a run at the
    // mean breaks the row.
    EXPECT_EQ(::flags(*buildControlChart(series(
                  {100, 101, 101, 101, 101, 101, 101, 100, 99, 99, 99, 99, 99, 99, 99, 99}, 1))),
              "..............TT");
    EXPECT_EQ(::flags(*buildControlChart(series({100, 101, 101, 101, 101, 101, 101, 101, 101}, 1))),
              ".......TT");
}

TEST(ControlChart, AZeroMeanAllowsNoCountAtAll) {
    const auto chart = buildControlChart(series({0, 0, 0, 1}, 3));
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->points[2].z, 0);
    EXPECT_TRUE(std::isinf(chart->points[3].z));
    EXPECT_TRUE(chart->points[3].action);
}
