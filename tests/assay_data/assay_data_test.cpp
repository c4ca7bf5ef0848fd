#include "assay_data/assay_data.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

AssayConfig Times(std::uint32_t dwellH, std::uint32_t dwellM, std::uint32_t dwellS,
                  std::uint32_t totalH, std::uint32_t totalM, std::uint32_t totalS) {
    AssayConfig config = AssayConfig::Defaults();
    config.dwellHours = dwellH;
    config.dwellMinutes = dwellM;
    config.dwellSeconds = dwellS;
    config.totalHours = totalH;
    config.totalMinutes = totalM;
    config.totalSeconds = totalS;
    return config;
}

AssayData Record(const AssayConfig& config, std::vector<std::int32_t> points) {
    AssayData record(CounterConfig::Defaults(), config, 3);
    for (auto point : points)
        record.appendPoint(point);
    return record;
}

void ExpectTotal(const AssayData& record, std::uint32_t h, std::uint32_t m, std::uint32_t s) {
    AssayConfig config = record.assayConfig();
    EXPECT_EQ(config.totalHours, h);
    EXPECT_EQ(config.totalMinutes, m);
    EXPECT_EQ(config.totalSeconds, s);
}

} // namespace

TEST(AssayDataRecord, NewRecordIsEmptyAndAppendingKeepsTheTotal) {
    AssayData record(CounterConfig::Defaults("c.ccx"), Times(0, 10, 0, 1, 0, 0), 3);
    EXPECT_EQ(record.pointCount(), 0u);
    EXPECT_EQ(record.headerLineCount(), 0u);
    EXPECT_EQ(record.endTime(), 0);
    EXPECT_EQ(record.progress(), 0.0);
    EXPECT_EQ(record.counterNumber(), 3);
    EXPECT_EQ(record.counterConfig().filePath, "c.ccx");

    record.appendPoint(12);
    record.appendPoint(-1);
    EXPECT_THAT(record.counts(), ElementsAre(12, -1));
    EXPECT_EQ(record.count(1), -1);
    EXPECT_EQ(record.count(2), std::nullopt);
    ExpectTotal(record, 1, 0, 0);
}

TEST(AssayDataRecord, DeletePointRemovesItAndOneDwellOfTotalTime) {
    AssayData record = Record(Times(0, 10, 0, 1, 0, 0), {5, 7, 9, 1, 2, 3});
    EXPECT_TRUE(record.deletePoint(0));
    EXPECT_THAT(record.counts(), ElementsAre(7, 9, 1, 2, 3));
    ExpectTotal(record, 0, 50, 0);

    AssayData other = Record(Times(0, 10, 0, 1, 0, 0), {5, 7, 9});
    EXPECT_TRUE(other.deletePoint(2));
    EXPECT_THAT(other.counts(), ElementsAre(5, 7));

    // Hours are not reduced modulo 24.
    AssayData day = Record(Times(1, 0, 0, 25, 0, 0), {1});
    EXPECT_TRUE(day.deletePoint(0));
    EXPECT_THAT(day.counts(), IsEmpty());
    ExpectTotal(day, 24, 0, 0);
}

TEST(AssayDataRecord, DeletePointOutOfRangeChangesNothing) {
    AssayData record = Record(Times(0, 10, 0, 1, 0, 0), {5, 7});
    EXPECT_FALSE(record.deletePoint(-1));
    EXPECT_FALSE(record.deletePoint(2));
    EXPECT_THAT(record.counts(), ElementsAre(5, 7));
    ExpectTotal(record, 1, 0, 0);
}

TEST(AssayDataRecord, DeletingMoreDwellsThanTheTotalHoldsStopsAtZero) {
    // Total 15 min, dwell 10 min: the second deletion would go 5 minutes below zero.
    AssayData record = Record(Times(0, 10, 0, 0, 15, 0), {1, 2, 3});
    EXPECT_TRUE(record.deletePoint(0));
    ExpectTotal(record, 0, 5, 0);
    EXPECT_TRUE(record.deletePoint(0));
    ExpectTotal(record, 0, 0, 0);
    EXPECT_TRUE(record.deletePoint(0));
    ExpectTotal(record, 0, 0, 0);
    EXPECT_EQ(record.assayConfig().countTimeHours(), 0.0);
}

TEST(AssayDataExtract, RangeGetsItsPointsAndPointsTimesDwell) {
    AssayData record = Record(Times(0, 30, 0, 8, 0, 0), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    record.appendHeaderLine("Start Time: x");
    record.setEndTime(1700000000);
    record.setProgress(0.5);

    auto extract = record.extractRange(3, 6);
    EXPECT_THAT(extract->counts(), ElementsAre(3, 4, 5, 6));
    ExpectTotal(*extract, 2, 0, 0);
    EXPECT_EQ(extract->counterNumber(), -1);
    EXPECT_THAT(extract->headerLines(), IsEmpty());
    EXPECT_EQ(extract->endTime(), 0);
    EXPECT_EQ(extract->progress(), 0.0);

    auto single = record.extractRange(7, 7);
    EXPECT_THAT(single->counts(), ElementsAre(7));
    ExpectTotal(*single, 0, 30, 0);

    auto all = record.extractRange(1, 10);
    ExpectTotal(*all, 5, 0, 0);

    // The source is untouched.
    EXPECT_EQ(record.pointCount(), 10u);
    ExpectTotal(record, 8, 0, 0);
}

TEST(AssayDataExtract, TimeSplitCarriesMinutesAndSeconds) {
    AssayData record = Record(Times(0, 25, 10, 1, 0, 0), {1, 2, 3});
    auto extract = record.extractRange(1, 3); // 3 × 25:10 = 75:30
    ExpectTotal(*extract, 1, 15, 30);
}

TEST(AssayDataExtract, EmptyAndOutOfBoundsRangesAreClamped) {
    AssayData record = Record(Times(0, 30, 0, 8, 0, 0), {1, 2, 3, 4, 5});

    auto reversed = record.extractRange(4, 2);
    EXPECT_THAT(reversed->counts(), IsEmpty());
    ExpectTotal(*reversed, 0, 0, 0);

    auto wide = record.extractRange(-3, 99);
    EXPECT_THAT(wide->counts(), ElementsAre(1, 2, 3, 4, 5));
    ExpectTotal(*wide, 2, 30, 0);

    auto beyond = record.extractRange(7, 9);
    EXPECT_THAT(beyond->counts(), IsEmpty());
    ExpectTotal(*beyond, 0, 0, 0);

    auto extreme = record.extractRange(INT32_MIN, INT32_MAX);
    EXPECT_EQ(extreme->pointCount(), 5u);
    EXPECT_THAT(record.counts(INT32_MAX, INT32_MIN), IsEmpty());
    EXPECT_THAT(record.counts(4, 99), ElementsAre(4, 5));

    AssayData empty = Record(Times(0, 30, 0, 8, 0, 0), {});
    EXPECT_EQ(empty.extractRange(1, 0)->pointCount(), 0u);
}

TEST(AssayDataExtract, HugeDwellSaturatesInsteadOfOverflowing) {
    AssayData record =
        Record(Times(4294967295u, 4294967295u, 4294967295u, 1, 0, 0), {1, 2, 3, 4, 5, 6, 7});
    auto extract = record.extractRange(1, 7);
    ExpectTotal(*extract, 4294967295u, 59, 59);
}

TEST(AssayDataHeaderLines, InsertAndRemoveByIndex) {
    AssayData record = Record(Times(0, 1, 0, 1, 0, 0), {});
    record.appendHeaderLine("b");
    EXPECT_TRUE(record.insertHeaderLine(0, "a"));
    EXPECT_TRUE(record.insertHeaderLine(2, "c"));
    EXPECT_FALSE(record.insertHeaderLine(4, "x"));
    record.appendHeaderLine("");
    EXPECT_THAT(record.headerLines(), ElementsAre("a", "b", "c", ""));
    EXPECT_TRUE(record.removeHeaderLine(1));
    EXPECT_FALSE(record.removeHeaderLine(3));
    EXPECT_THAT(record.headerLines(), ElementsAre("a", "c", ""));
}

TEST(AssayDataRecord, CopiesAreIndependent) {
    AssayData record = Record(Times(0, 10, 0, 1, 0, 0), {1, 2});
    record.appendHeaderLine("line");
    AssayData copy(record);
    record.appendPoint(3);
    record.deletePoint(0);
    EXPECT_THAT(copy.counts(), ElementsAre(1, 2));
    ExpectTotal(copy, 1, 0, 0);

    copy = record;
    EXPECT_THAT(copy.counts(), ElementsAre(2, 3));
    copy = copy;
    EXPECT_THAT(copy.headerLines(), ElementsAre("line"));
}
