#include "model/assay_data.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// A record with the given dwell and total (hours, minutes, seconds) and points.
AssayData record(std::array<std::uint32_t, 3> dwell, std::array<std::uint32_t, 3> total,
                 std::vector<std::int32_t> points) {
    AssayConfig config = AssayConfig::defaults();
    config.dwellHours = dwell[0];
    config.dwellMinutes = dwell[1];
    config.dwellSeconds = dwell[2];
    config.totalHours = total[0];
    config.totalMinutes = total[1];
    config.totalSeconds = total[2];
    AssayData record(CounterConfig::defaults(), config, 3);
    for (auto point : points)
        record.appendPoint(point);
    return record;
}

std::array<std::uint32_t, 3> total(const AssayData& record) {
    AssayConfig config = record.assayConfig();
    return {config.totalHours, config.totalMinutes, config.totalSeconds};
}

using Hms = std::array<std::uint32_t, 3>;

} // namespace

TEST(AssayDataRecord, NewRecordIsEmptyAndAppendingKeepsTheTotal) {
    AssayData record = ::record({0, 10, 0}, {1, 0, 0}, {});
    EXPECT_EQ(record.pointCount(), 0u);
    EXPECT_EQ(record.headerLineCount(), 0u);
    EXPECT_EQ(record.endTime(), 0);
    EXPECT_EQ(record.progress(), 0.0);
    EXPECT_EQ(record.counterNumber(), 3);

    record.appendPoint(12);
    record.appendPoint(-1);
    EXPECT_THAT(record.counts(), ElementsAre(12, -1));
    EXPECT_EQ(record.count(1), -1);
    EXPECT_EQ(record.count(2), std::nullopt);
    EXPECT_EQ(::total(record), (Hms{1, 0, 0}));
}

TEST(AssayDataRecord, DeletePointRemovesItAndOneDwellOfTotalTime) {
    AssayData record = ::record({0, 10, 0}, {1, 0, 0}, {5, 7, 9, 1, 2, 3});
    EXPECT_TRUE(record.deletePoint(0));
    EXPECT_THAT(record.counts(), ElementsAre(7, 9, 1, 2, 3));
    EXPECT_EQ(::total(record), (Hms{0, 50, 0}));

    AssayData other = ::record({0, 10, 0}, {1, 0, 0}, {5, 7, 9});
    EXPECT_TRUE(other.deletePoint(2));
    EXPECT_THAT(other.counts(), ElementsAre(5, 7));

    // Out of range: nothing changes.
    EXPECT_FALSE(other.deletePoint(-1));
    EXPECT_FALSE(other.deletePoint(2));
    EXPECT_THAT(other.counts(), ElementsAre(5, 7));
    EXPECT_EQ(::total(other), (Hms{0, 50, 0}));

    // Hours are not reduced modulo 24.
    AssayData day = ::record({1, 0, 0}, {25, 0, 0}, {1});
    EXPECT_TRUE(day.deletePoint(0));
    EXPECT_THAT(day.counts(), IsEmpty());
    EXPECT_EQ(::total(day), (Hms{24, 0, 0}));
}

TEST(AssayDataRecord, DeletingMoreDwellsThanTheTotalHoldsStopsAtZero) {
    AssayData record = ::record({0, 10, 0}, {0, 15, 0}, {1, 2, 3});
    record.deletePoint(0);
    EXPECT_EQ(::total(record), (Hms{0, 5, 0}));
    record.deletePoint(0);
    EXPECT_EQ(::total(record), (Hms{0, 0, 0}));
    record.deletePoint(0);
    EXPECT_EQ(::total(record), (Hms{0, 0, 0}));
}

TEST(AssayDataExtract, RangeGetsItsPointsAndPointsTimesDwell) {
    AssayData record = ::record({0, 30, 0}, {8, 0, 0}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    record.appendHeaderLine("Start Time: x");
    record.setEndTime(1700000000);
    record.setProgress(0.5);

    auto extract = record.extractRange(3, 6);
    EXPECT_THAT(extract->counts(), ElementsAre(3, 4, 5, 6));
    EXPECT_EQ(::total(*extract), (Hms{2, 0, 0}));
    EXPECT_EQ(extract->counterNumber(), -1);
    EXPECT_THAT(extract->headerLines(), IsEmpty());
    EXPECT_EQ(extract->endTime(), 0);
    EXPECT_EQ(extract->progress(), 0.0);

    auto single = record.extractRange(7, 7);
    EXPECT_THAT(single->counts(), ElementsAre(7));
    EXPECT_EQ(::total(*single), (Hms{0, 30, 0}));
    EXPECT_EQ(::total(*record.extractRange(1, 10)), (Hms{5, 0, 0}));
    EXPECT_EQ(::total(record), (Hms{8, 0, 0})) << "the source is untouched";

    // 3 × 25 min 10 s = 1 h 15 min 30 s.
    EXPECT_EQ(::total(*::record({0, 25, 10}, {1, 0, 0}, {1, 2, 3}).extractRange(1, 3)),
              (Hms{1, 15, 30}));
}

TEST(AssayDataExtract, EmptyAndOutOfBoundsRangesAreClamped) {
    AssayData record = ::record({0, 30, 0}, {8, 0, 0}, {1, 2, 3, 4, 5});
    auto reversed = record.extractRange(4, 2);
    EXPECT_THAT(reversed->counts(), IsEmpty());
    EXPECT_EQ(::total(*reversed), (Hms{0, 0, 0}));

    auto wide = record.extractRange(-3, 99);
    EXPECT_THAT(wide->counts(), ElementsAre(1, 2, 3, 4, 5));
    EXPECT_EQ(::total(*wide), (Hms{2, 30, 0}));

    EXPECT_THAT(record.extractRange(7, 9)->counts(), IsEmpty());
    EXPECT_EQ(record.extractRange(INT32_MIN, INT32_MAX)->pointCount(), 5u);
    EXPECT_THAT(record.counts(INT32_MAX, INT32_MIN), IsEmpty());
    EXPECT_THAT(record.counts(4, 99), ElementsAre(4, 5));

    // A product of points and dwell beyond 64 bits keeps the longest total the fields hold.
    const std::uint32_t max = 4294967295u;
    AssayData huge = ::record({max, max, max}, {1, 0, 0}, {1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(::total(*huge.extractRange(1, 7)), (Hms{max, 59, 59}));
}

TEST(AssayDataRecord, HeaderLinesAndCopies) {
    AssayData record = ::record({0, 1, 0}, {1, 0, 0}, {1, 2});
    record.appendHeaderLine("b");
    EXPECT_TRUE(record.insertHeaderLine(0, "a"));
    EXPECT_TRUE(record.insertHeaderLine(2, "c"));
    EXPECT_FALSE(record.insertHeaderLine(4, "x"));
    EXPECT_TRUE(record.removeHeaderLine(1));
    EXPECT_FALSE(record.removeHeaderLine(2));
    EXPECT_THAT(record.headerLines(), ElementsAre("a", "c"));

    AssayData copy(record);
    record.appendPoint(3);
    record.deletePoint(0);
    EXPECT_THAT(copy.counts(), ElementsAre(1, 2));
    copy = record;
    EXPECT_THAT(copy.counts(), ElementsAre(2, 3));
    EXPECT_THAT(copy.headerLines(), ElementsAre("a", "c"));
}
