#include "model/assessment_plot.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numeric>

using nivra::axisScale;
using nivra::CountBin;
using nivra::countHistogram;
using nivra::poissonBands;

namespace {

std::size_t pointsIn(const std::vector<CountBin>& bins) {
    return std::accumulate(bins.begin(), bins.end(), std::size_t{0},
                           [](std::size_t sum, const CountBin& bin) { return sum + bin.points; });
}

TEST(AssessmentPlot, PoissonBandsAroundTheMean) {
    const std::vector<std::int32_t> counts = {2, 6, 4, 4};
    const nivra::PoissonBands bands = poissonBands(counts);
    EXPECT_DOUBLE_EQ(bands.mean, 4.0);
    EXPECT_DOUBLE_EQ(bands.low2, 0.0);
    EXPECT_DOUBLE_EQ(bands.high2, 8.0);
    EXPECT_DOUBLE_EQ(bands.low3, -2.0);
    EXPECT_DOUBLE_EQ(bands.high3, 10.0);
    // No points, or no counts: the bands close on the mean.
    EXPECT_DOUBLE_EQ(poissonBands({}).high3, 0.0);
    const std::vector<std::int32_t> zeros = {0, 0};
    EXPECT_DOUBLE_EQ(poissonBands(zeros).low3, 0.0);

    // The value scale shows every point and the upper band, and stops at 0 below.
    const nivra::AxisScale scale = nivra::pointsValueScale(counts, bands, 5);
    EXPECT_DOUBLE_EQ(scale.low, 0.0);
    EXPECT_GE(scale.high, 10.0);
}

TEST(AssessmentPlot, HistogramBinsHoldEveryPointBesideThePoissonExpectation) {
    // Mean 4: one bar per count over 0..12 (mean ± 4√m), each with 10·P(K = k).
    const std::vector<std::int32_t> counts = {4, 3, 5, 4, 2, 6, 4, 3, 5, 4};
    const std::vector<CountBin> bins = countHistogram(counts, 100);
    ASSERT_EQ(bins.size(), 13u);
    EXPECT_EQ(bins.front().first, 0);
    EXPECT_EQ(bins.back().last, 12);
    EXPECT_EQ(bins[4].first, 4);
    EXPECT_EQ(bins[4].last, 4);
    EXPECT_EQ(bins[4].points, 4u);
    EXPECT_NEAR(bins[4].expected, 10 * 0.19536681481316454, 1e-12);
    EXPECT_NEAR(bins[0].expected, 10 * 0.018315638888734179, 1e-12);
    EXPECT_EQ(pointsIn(bins), counts.size());

    // A burst widens the bars instead of making more than asked for; their edges are multiples
    // of the width, and each point lies in the bar that covers its count.
    const std::vector<std::int32_t> burst = {20, 25, 22, 1000};
    const std::vector<CountBin> wide = countHistogram(burst, 10);
    ASSERT_LE(wide.size(), 10u);
    const std::int64_t width = wide[0].last - wide[0].first + 1;
    EXPECT_GE(width, 100);
    EXPECT_EQ(wide[0].first % width, 0);
    EXPECT_LE(wide.back().first, 1000);
    EXPECT_GE(wide.back().last, 1000);
    EXPECT_EQ(wide.back().points, 1u);
    EXPECT_EQ(pointsIn(wide), burst.size());

    // Counts edited below 0 and a mean of 0: everything expected on the bar of 0.
    const std::vector<std::int32_t> edited = {-2, 0, 2};
    const std::vector<CountBin> low = countHistogram(edited, 50);
    EXPECT_EQ(low.front().first, -2);
    EXPECT_EQ(pointsIn(low), 3u);
    for (const CountBin& bin : low)
        EXPECT_DOUBLE_EQ(bin.expected, bin.first == 0 ? 3.0 : 0.0);

    EXPECT_TRUE(countHistogram({}, 10).empty());
    EXPECT_EQ(countHistogram(counts, 0).size(), 1u);
}

TEST(AssessmentPlot, AxisScalesTakeRoundStepsAndCoverTheRange) {
    auto expectScale = [](nivra::AxisScale s, double low, double high, double step) {
        EXPECT_DOUBLE_EQ(s.low, low);
        EXPECT_DOUBLE_EQ(s.high, high);
        EXPECT_DOUBLE_EQ(s.step, step);
    };
    expectScale(axisScale(0, 97, 5, false), 0, 100, 20);
    expectScale(axisScale(0.013, 0.087, 4, false), 0, 0.1, 0.05);
    expectScale(axisScale(3, 47, 10, true), 0, 50, 5);
    expectScale(axisScale(1, 3, 10, true), 1, 3, 1); // never steps below 1 point
    expectScale(axisScale(1, 1, 10, true), 0, 2, 1); // one point gets room around it
    expectScale(axisScale(0, 0, 10, true), 0, 1, 1); // never below 0 for counts of 0
    expectScale(axisScale(-7, 12, 4, true), -10, 20, 10);
    expectScale(axisScale(9, 2, 7, true), 2, 9, 1); // reversed
    expectScale(axisScale(std::nan(""), 1, 5, false), 0, 1, 1);
}

} // namespace
