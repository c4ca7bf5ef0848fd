// A run's worker fills the record while the window thread reads, deletes, edits and saves it.
// Run under ThreadSanitizer in CI.

#include "model/assay_data.h"
#include "model/data_file.h"
#include "model/statistics.h"
#include "model/stats_show.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;
using nivra::StatsShow;

namespace {

constexpr int kPoints = 3000;

AssayData newRunRecord() {
    AssayConfig assay = AssayConfig::defaults();
    assay.backgroundRate = 2.0;
    return AssayData(CounterConfig::defaults(), assay, 1);
}

} // namespace

TEST(AssayDataConcurrency, ReadersAlwaysSeeAConsistentRecordWhileAWorkerAppends) {
    nivra::test::TempDir dir;
    AssayData record = newRunRecord();
    std::atomic<bool> done{false};

    // The worker: points 0, 1, 2, ... with a header line and progress every so often, and a
    // backup save now and then.
    std::thread worker([&] {
        for (int i = 0; i < kPoints; ++i) {
            record.appendPoint(i);
            record.setProgress(static_cast<double>(i + 1) / kPoints);
            if (i % 500 == 0) {
                record.appendHeaderLine("line " + std::to_string(i));
                record.setEndTime(1700000000 + i);
                EXPECT_TRUE(nivra::saveDataFile(record, dir.file("backup_1.dax")));
            }
        }
        done = true;
    });

    // The window: copies, statistics and extracts must always show a prefix 0..n-1.
    std::size_t checks = 0;
    while (!done || checks == 0) {
        const std::vector<std::int32_t> counts = record.counts();
        for (std::size_t i = 0; i < counts.size(); ++i)
            ASSERT_EQ(counts[i], static_cast<std::int32_t>(i));

        const nivra::StatisticsInputs in = record.statisticsInputs();
        const double n = static_cast<double>(in.pointCount);
        ASSERT_EQ(in.sum, n * (n - 1) / 2);

        const AssayData copy(record);
        ASSERT_EQ(copy.sumCounts(), static_cast<double>(copy.pointCount()) *
                                        (static_cast<double>(copy.pointCount()) - 1) / 2);

        auto extract = record.extractRange(1, static_cast<int>(counts.size()));
        ASSERT_GE(extract->pointCount(), counts.size());

        (void)record.progress();
        (void)record.endTime();
        (void)record.headerLines();
        auto block = nivra::statisticsBlock(record, StatsShow());
        ASSERT_EQ(block.size(), 16u);
        ++checks;
    }
    worker.join();
    EXPECT_EQ(record.pointCount(), static_cast<std::size_t>(kPoints));
    EXPECT_EQ(record.headerLineCount(), 6u);

    // The last backup holds a consistent prefix of the run.
    AssayData backup = *nivra::readDataFile(dir.file("backup_1.dax"));
    const auto saved = backup.counts();
    ASSERT_GE(saved.size(), 2501u);
    for (std::size_t i = 0; i < saved.size(); ++i)
        ASSERT_EQ(saved[i], static_cast<std::int32_t>(i));
}

TEST(AssayDataConcurrency, WindowEditsWhileAWorkerAppendsLoseNothing) {
    AssayData record = newRunRecord();
    std::thread worker([&] {
        for (int i = 0; i < kPoints; ++i) {
            record.appendPoint(1);
            record.appendHeaderLine("w");
        }
    });
    int deleted = 0;
    int removed = 0;
    for (int i = 0; i < 500; ++i) {
        if (record.deletePoint(0))
            ++deleted;
        record.insertHeaderLine(0, "window");
        if (record.removeHeaderLine(0))
            ++removed;
        AssayData copy = record;
        copy = record;
    }
    worker.join();
    EXPECT_EQ(record.pointCount(), static_cast<std::size_t>(kPoints - deleted));
    EXPECT_EQ(record.sumCounts(), static_cast<double>(kPoints - deleted));
    EXPECT_EQ(record.headerLineCount(), static_cast<std::size_t>(kPoints + 500 - removed));
}
