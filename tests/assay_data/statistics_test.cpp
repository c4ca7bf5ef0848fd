#include "assay_data/statistics.h"

#include "assay_data/assay_data.h"
#include "files/stats_show.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

using nivra::Statistic;

namespace {

struct Example {
    std::vector<std::int32_t> counts = {10, 12, 8, 10};
    std::uint32_t totalHours = 1;
    double backgroundRate = 2.0;
    double backgroundHours = 4.0;
    double efficiency = 0.5;
};

// The worked example of the statistics, or a variant of it.
AssayData Record(const Example& e = {}) {
    CounterConfig counter = CounterConfig::Defaults();
    counter.detectorArea = 100;
    counter.detectorEfficiency = e.efficiency;
    AssayConfig assay = AssayConfig::Defaults();
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

std::vector<std::string> Texts(const AssayData& record) {
    return {record.numPointsText(), record.totalCountsText(),  record.timeText(),
            record.meanText(),      record.stdDevText(),       record.cphText(),
            record.netRateText(),   record.netRateErrorText(), record.lldText(),
            record.detEffText(),    record.netCorrText(),      record.netCorrErrorText(),
            record.cdl95Text(),     record.lodText(1.64),      record.lodText(2.0),
            record.lodText(3.0)};
}

std::vector<std::string> Values(const std::vector<nivra::StatisticRow>& block) {
    std::vector<std::string> values;
    for (const auto& row : block)
        values.push_back(row.value);
    return values;
}

const std::vector<std::string> kWorkedExample = {
    "4",      "40",    "1.0000", "10.0000", "1.6330", "40.0000", "0.3800", "0.0636",
    "0.0330", "50.00", "0.7600", "0.1273",  "0.0329", "0.2087",  "0.2546", "0.3818"};

} // namespace

TEST(CountingStatistics, WorkedExampleDigitForDigit) {
    const AssayData record = Record();
    EXPECT_EQ(Texts(record), kWorkedExample);
    EXPECT_EQ(Values(nivra::StatisticsBlock(record, StatsShow())), kWorkedExample);
    for (std::size_t i = 0; i < nivra::kStatisticCount; ++i)
        EXPECT_EQ(record.statisticText(nivra::StatisticAt(i)), kWorkedExample[i]) << i;

    EXPECT_EQ(record.sumCounts(), 40.0);
    EXPECT_NEAR(record.standardDeviation(), std::sqrt(8.0 / 3.0), 1e-12);
    EXPECT_NEAR(record.netRateError(), std::sqrt(40.5) / 100.0, 1e-12);
    EXPECT_NEAR(record.limitOfDetection(2.0), 2.0 * std::sqrt(40.5) / 50.0, 1e-12);
    EXPECT_EQ(record.backgroundCounts(), 8.0);
}

TEST(CountingStatistics, BackgroundHoursZeroUseTheCountTime) {
    Example e;
    e.backgroundHours = 0.0;
    const AssayData record = Record(e);
    EXPECT_EQ(record.backgroundCounts(), 2.0);
    EXPECT_EQ(record.lldText(), "0.0659");
    EXPECT_EQ(record.cphText(), "40.0000");
}

TEST(CountingStatistics, BlockCarriesKeysAndBothLabelsInOrder) {
    const auto block = nivra::StatisticsBlock(Record(), StatsShow());
    ASSERT_EQ(block.size(), 16u);
    EXPECT_STREQ(block[3].listLabel, "Mean: ");
    EXPECT_STREQ(block[7].listLabel, "\u00b1 err:");
    EXPECT_STREQ(block[11].listLabel, "\u00b1 err:");
    EXPECT_STREQ(block[7].csvLabel, "+/- err: ");
    EXPECT_STREQ(block[9].key, "DetEff");
    EXPECT_STREQ(block[13].listLabel, "LOD90.0%:");
    EXPECT_THAT(nivra::CsvStatisticsLines(block),
                ::testing::ElementsAre(
                    "Num Points: 4", "Total Counts: 40", "Time(hrs): 1.0000", "Mean: 10.0000",
                    "Std dev: 1.6330", "CPH: 40.0000", "Net a/(cm2 hr): 0.3800", "+/- err: 0.0636",
                    "LLD: 0.0330", "Det Eff(%): 50.00", "Net corr: 0.7600", "+/- err: 0.1273",
                    "CDL95: 0.0329", "LOD90.0%: 0.2087", "LOD95.0%: 0.2546", "LOD99.7%: 0.3818"));
}

TEST(CountingStatistics, BackgroundGateDropsTheBackgroundRows) {
    for (double rate : {0.0, -1.0, std::nan("")}) {
        Example e;
        e.backgroundRate = rate;
        const auto block = nivra::StatisticsBlock(Record(e), StatsShow());
        ASSERT_EQ(block.size(), 6u) << rate;
        EXPECT_EQ(block.back().statistic, Statistic::CPH);
    }

    // The gate also holds with only background rows selected.
    StatsShow selection;
    selection.setAll(false);
    selection.set(Statistic::LOD997, true);
    Example e;
    e.backgroundRate = 0.0;
    EXPECT_TRUE(nivra::StatisticsBlock(Record(e), selection).empty());
    EXPECT_EQ(nivra::StatisticsBlock(Record(), selection).size(), 1u);
}

TEST(CountingStatistics, FewPointsGiveIeeeResults) {
    Example one;
    one.counts = {7};
    const AssayData single = Record(one);
    EXPECT_TRUE(std::isnan(single.standardDeviation()));
    EXPECT_THAT(single.stdDevText(), ::testing::HasSubstr("nan"));
    EXPECT_EQ(single.meanText(), "7.0000");

    Example none;
    none.counts = {};
    const AssayData empty = Record(none);
    EXPECT_EQ(empty.numPointsText(), "0");
    EXPECT_EQ(empty.totalCountsText(), "0");
    EXPECT_EQ(empty.stdDevText(), "0.0000");
    EXPECT_THAT(empty.meanText(), ::testing::HasSubstr("nan"));
}

TEST(CountingStatistics, ZeroTimeAndZeroEfficiencyGiveNonFiniteTexts) {
    Example zeroTime;
    zeroTime.totalHours = 0;
    const AssayData timeless = Record(zeroTime);
    EXPECT_EQ(timeless.timeText(), "0.0000");
    EXPECT_EQ(timeless.cphText(), "inf");
    EXPECT_EQ(timeless.netRateText(), "inf");
    EXPECT_EQ(timeless.lodText(3.0), "inf");

    Example zeroEfficiency;
    zeroEfficiency.efficiency = 0.0;
    const AssayData blind = Record(zeroEfficiency);
    EXPECT_EQ(blind.detEffText(), "0.00");
    EXPECT_EQ(blind.netCorrText(), "inf");
    EXPECT_EQ(blind.netCorrErrorText(), "inf");
    EXPECT_EQ(blind.cdl95Text(), "inf");
    EXPECT_EQ(blind.lodText(1.64), "inf");
    EXPECT_EQ(blind.netRateText(), "0.3800");
}

TEST(CountingStatistics, TotalCountsPrintTheWholeSum) {
    Example e;
    e.counts = {2147483647, 2147483647, 2147483647};
    EXPECT_EQ(Record(e).totalCountsText(), "6442450941");
    e.counts = {-2147483647 - 1, -2147483647 - 1};
    EXPECT_EQ(Record(e).totalCountsText(), "-4294967296");
    e.counts = {-5, 2};
    EXPECT_EQ(Record(e).totalCountsText(), "-3");
}

TEST(CountingStatistics, RecomputedOnEveryCall) {
    AssayData record = Record();
    EXPECT_EQ(record.numPointsText(), "4");
    record.appendPoint(20);
    EXPECT_EQ(record.numPointsText(), "5");
    EXPECT_EQ(record.meanText(), "12.0000");
    record.deletePoint(4); // also takes one 15-minute dwell off the hour
    EXPECT_EQ(record.timeText(), "0.7500");
    EXPECT_EQ(record.cphText(), "53.3333");
}

TEST(CountingStatistics, AllDataViewUsesPointsTimesDwell) {
    Example e;
    e.totalHours = 8; // the run was stopped after four 15-minute dwells
    const AssayData record = Record(e);
    EXPECT_EQ(record.timeText(), "8.0000");
    auto all = record.extractRange(1, 4);
    EXPECT_EQ(all->timeText(), "1.0000");
    EXPECT_EQ(all->cphText(), "40.0000");
}
