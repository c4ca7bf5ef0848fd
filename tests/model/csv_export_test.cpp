#include "model/assay_data.h"
#include "model/csv_export.h"
#include "model/stats_show.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;
using nivra::StatsShow;

using nivra::Statistic;
using nivra::test::readFileBytes;
using nivra::test::TempDir;

namespace {

// The worked example: counts 10, 12, 8, 10 over one hour, background 2 per hour over 4 hours,
// sample and detector area 100 cm², efficiency 0.5.
AssayData workedExample(double backgroundRate = 2.0) {
    CounterConfig counter = CounterConfig::defaults();
    counter.detectorArea = 100;
    counter.detectorEfficiency = 0.5;
    AssayConfig assay = AssayConfig::defaults();
    assay.sampleArea = 100;
    assay.dwellHours = 0;
    assay.dwellMinutes = 15;
    assay.dwellSeconds = 0;
    assay.totalHours = 1;
    assay.totalMinutes = 0;
    assay.totalSeconds = 0;
    assay.backgroundRate = backgroundRate;
    assay.backgroundHours = 4.0;
    AssayData record(counter, assay, 2);
    for (int count : {10, 12, 8, 10})
        record.appendPoint(count);
    return record;
}

} // namespace

TEST(CsvExport, WorkedExampleWithHeaderLinesAndAllStatistics) {
    TempDir dir;
    AssayData record = workedExample();
    record.appendHeaderLine("first header line");
    record.appendHeaderLine("second header line");
    ASSERT_TRUE(nivra::writeCsvExport(record, dir.file("r.csv"), StatsShow()));
    EXPECT_EQ(readFileBytes(dir.file("r.csv")),
              "first header line\nsecond header line\nNum Points: 4\nTotal Counts: 40\n"
              "Time(hrs): 1.0000\nMean: 10.0000\nStd dev: 1.6330\nCPH: 40.0000\n"
              "Net a/(cm2 hr): 0.3800\n+/- err: 0.0636\nLLD: 0.0330\nDet Eff(%): 50.00\n"
              "Net corr: 0.7600\n+/- err: 0.1273\nCDL95: 0.0329\nLOD90.0%: 0.2087\n"
              "LOD95.0%: 0.2546\nLOD99.7%: 0.3818\n10,\n12,\n8,\n10,\n");
}

TEST(CsvExport, SelectionAndBackgroundGateDecideTheStatisticsBlock) {
    TempDir dir;
    AssayData record = workedExample();
    StatsShow selection;
    selection.setAll(false);
    ASSERT_TRUE(nivra::writeCsvExport(record, dir.file("none.csv"), selection));
    EXPECT_EQ(readFileBytes(dir.file("none.csv")), "10,\n12,\n8,\n10,\n");

    selection.set(Statistic::Mean, true);
    selection.set(Statistic::LLD, true);
    ASSERT_TRUE(nivra::writeCsvExport(record, dir.file("some.csv"), selection));
    EXPECT_EQ(readFileBytes(dir.file("some.csv")),
              "Mean: 10.0000\nLLD: 0.0330\n10,\n12,\n8,\n10,\n");

    // Without background counts the rows from the net rate on are left out, whatever is chosen.
    ASSERT_TRUE(nivra::writeCsvExport(workedExample(0.0), dir.file("gate.csv"), selection));
    EXPECT_EQ(readFileBytes(dir.file("gate.csv")), "Mean: 10.0000\n10,\n12,\n8,\n10,\n");
}

TEST(CsvExport, RangeExtractHasNoHeaderLinesAndItsOwnTimeBase) {
    TempDir dir;
    AssayData record = workedExample(0.0);
    record.appendHeaderLine("first header line");
    auto extract = record.extractRange(2, 3);
    ASSERT_TRUE(nivra::writeCsvExport(*extract, dir.file("roi.csv"), StatsShow()));
    EXPECT_EQ(readFileBytes(dir.file("roi.csv")),
              "Num Points: 2\nTotal Counts: 20\nTime(hrs): 0.5000\nMean: 10.0000\n"
              "Std dev: 2.8284\nCPH: 40.0000\n12,\n8,\n");
}

TEST(CsvExport, EachHeaderLineStaysOneLine) {
    TempDir dir;
    AssayData record = workedExample(0.0);
    record.appendHeaderLine("Counter Desc: bay 4\r\nre-coated");
    record.appendHeaderLine("");
    StatsShow none;
    none.setAll(false);
    ASSERT_TRUE(nivra::writeCsvExport(record, dir.file("r.csv"), none));
    EXPECT_EQ(readFileBytes(dir.file("r.csv")),
              "Counter Desc: bay 4 re-coated\n\n10,\n12,\n8,\n10,\n");
}

TEST(CsvExport, FilesThatCannotBeWrittenAreReported) {
    TempDir dir;
    const AssayData record = workedExample();
    EXPECT_FALSE(nivra::writeCsvExport(record, dir.file("missing/r.csv"), StatsShow()));
    EXPECT_FALSE(nivra::writeCsvExport(record, dir.path(), StatsShow()));
    EXPECT_FALSE(nivra::writeCsvExport(record, "", StatsShow()));
    // A device that accepts the open but no data: the failed write must not pass as success.
    if (nivra::test::fileExists("/dev/full")) {
        EXPECT_FALSE(nivra::writeCsvExport(record, "/dev/full", StatsShow()));
    }
}
