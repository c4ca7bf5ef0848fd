#include "model/statistics.h"

#include "model/assay_data.h"
#include "model/stats_show.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;
using nivra::StatsShow;

using nivra::Statistic;
using ::testing::HasSubstr;

namespace {

struct Example {
    std::vector<std::int32_t> counts = {10, 12, 8, 10};
    std::uint32_t totalHours = 1;
    double backgroundRate = 2.0;
    double backgroundHours = 4.0;
    double efficiency = 0.5;
};

// The worked example (15-minute dwells, areas of 100 cm²), or a variant of it.
AssayData record(const Example& e = {}) {
    CounterConfig counter = CounterConfig::defaults();
    counter.detectorArea = 100;
    counter.detectorEfficiency = e.efficiency;
    AssayConfig assay = AssayConfig::defaults();
    assay.sampleArea = 100;
    assay.dwellHours = 0;
    assay.dwellMinutes = 15;
    assay.dwellSeconds = 0;
    assay.totalHours = e.totalHours;
    assay.totalMinutes = 0;
    assay.totalSeconds = 0;
    assay.backgroundRate = e.backgroundRate;
    assay.backgroundHours = e.backgroundHours;
    AssayData record(counter, assay, 1);
    for (auto count : e.counts)
        record.appendPoint(count);
    return record;
}

} // namespace

TEST(CountingStatistics, WorkedExampleDigitForDigit) {
    const AssayData record = ::record();
    const std::vector<std::string> expected = {
        "4",      "40",    "1.0000", "10.0000", "1.6330", "40.0000", "0.3800", "0.0636",
        "0.0330", "50.00", "0.7600", "0.1273",  "0.0329", "0.2087",  "0.2546", "0.3818"};
    const std::vector<std::string> texts = {
        record.numPointsText(), record.totalCountsText(),  record.timeText(),
        record.meanText(),      record.stdDevText(),       record.cphText(),
        record.netRateText(),   record.netRateErrorText(), record.lldText(),
        record.detEffText(),    record.netCorrText(),      record.netCorrErrorText(),
        record.cdl95Text(),     record.lodText(1.64),      record.lodText(2.0),
        record.lodText(3.0)};
    EXPECT_EQ(texts, expected);

    const auto block = nivra::statisticsBlock(record, StatsShow());
    ASSERT_EQ(block.size(), 16u);
    for (std::size_t i = 0; i < block.size(); ++i)
        EXPECT_EQ(block[i].value, expected[i]) << block[i].key;
    EXPECT_STREQ(block[3].listLabel, "Mean: ");
    EXPECT_STREQ(block[7].listLabel, "\u00b1 err:");
    EXPECT_STREQ(block[11].csvLabel, "+/- err: ");

    EXPECT_EQ(record.sumCounts(), 40.0);
    EXPECT_NEAR(record.standardDeviation(), std::sqrt(8.0 / 3.0), 1e-12);
    EXPECT_NEAR(record.netRateError(), std::sqrt(40.5) / 100.0, 1e-12);
    EXPECT_NEAR(record.limitOfDetection(2.0), 2.0 * std::sqrt(40.5) / 50.0, 1e-12);
}

TEST(CountingStatistics, BackgroundHoursZeroUseTheCountTime) {
    Example e;
    e.backgroundHours = 0.0;
    const AssayData record = ::record(e);
    EXPECT_EQ(record.backgroundCounts(), 2.0);
    EXPECT_EQ(record.lldText(), "0.0659");
}

TEST(CountingStatistics, BackgroundGateDropsTheBackgroundRows) {
    for (double rate : {0.0, -1.0, std::nan("")}) {
        Example e;
        e.backgroundRate = rate;
        const auto block = nivra::statisticsBlock(::record(e), StatsShow());
        ASSERT_EQ(block.size(), 6u) << rate;
        EXPECT_EQ(block.back().statistic, Statistic::CPH);
    }
    StatsShow onlyLod;
    onlyLod.setAll(false);
    onlyLod.set(Statistic::LOD997, true);
    Example e;
    e.backgroundRate = 0.0;
    EXPECT_TRUE(nivra::statisticsBlock(::record(e), onlyLod).empty());
    EXPECT_EQ(nivra::statisticsBlock(::record(), onlyLod).size(), 1u);
}

TEST(CountingStatistics, DivisionsByZeroGiveIeeeTexts) {
    Example one;
    one.counts = {7};
    EXPECT_THAT(::record(one).stdDevText(), HasSubstr("nan"));

    Example none;
    none.counts = {};
    const AssayData empty = ::record(none);
    EXPECT_EQ(empty.numPointsText(), "0");
    EXPECT_EQ(empty.stdDevText(), "0.0000");
    EXPECT_THAT(empty.meanText(), HasSubstr("nan"));

    Example zeroTime;
    zeroTime.totalHours = 0;
    const AssayData timeless = ::record(zeroTime);
    EXPECT_EQ(timeless.cphText(), "inf");
    EXPECT_EQ(timeless.netRateText(), "inf");

    Example zeroEfficiency;
    zeroEfficiency.efficiency = 0.0;
    const AssayData blind = ::record(zeroEfficiency);
    EXPECT_EQ(blind.detEffText(), "0.00");
    EXPECT_EQ(blind.netCorrText(), "inf");
    EXPECT_EQ(blind.netCorrErrorText(), "inf");
    EXPECT_EQ(blind.cdl95Text(), "inf");
    EXPECT_EQ(blind.lodText(1.64), "inf");
}

TEST(CountingStatistics, TotalCountsPrintTheWholeSum) {
    Example e;
    e.counts = {2147483647, 2147483647, 2147483647};
    EXPECT_EQ(::record(e).totalCountsText(), "6442450941");
    e.counts = {-2147483647 - 1, -2147483647 - 1};
    EXPECT_EQ(::record(e).totalCountsText(), "-4294967296");
}

TEST(CountingStatistics, RecomputedFromTheRecordEachTime) {
    Example e;
    e.totalHours = 8; // a run stopped after four 15-minute dwells
    AssayData record = ::record(e);
    EXPECT_EQ(record.timeText(), "8.0000");
    EXPECT_EQ(record.extractRange(1, 4)->timeText(), "1.0000") << "All Data: points x dwell";

    record.appendPoint(20);
    EXPECT_EQ(record.meanText(), "12.0000");
    record.deletePoint(4); // also takes one dwell off the total
    EXPECT_EQ(record.timeText(), "7.7500");
}
