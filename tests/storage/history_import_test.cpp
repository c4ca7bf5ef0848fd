#include "model/assay_data.h"
#include "model/data_file.h"
#include "storage/history_database.h"
#include "storage/history_import.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using namespace nivra;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;
using Status = nivra::ImportOutcome::Status;

namespace {

void saveRun(const std::string& path, std::vector<std::int32_t> counts,
             std::vector<std::string> lines, std::optional<RunKind> kind = std::nullopt) {
    AssayConfig assay = AssayConfig::defaults();
    assay.qaKind = kind;
    AssayData record(CounterConfig::defaults(), assay, 1);
    for (auto count : counts)
        record.appendPoint(count);
    for (auto& line : lines)
        record.appendHeaderLine(line);
    ASSERT_TRUE(saveDataFile(record, path));
}

} // namespace

TEST(HistoryImport, ImportsDataFilesOnceAndTellsWhyOthersWereNot) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("runs/march"));
    saveRun(dir.file("runs/a.dax"), {1, 2, 3},
            {"Start Time: 03/02/26 08:00:00", "STOP TIME: 03/02/26 09:00:00"}, RunKind::Source);
    saveRun(dir.file("runs/march/b.DAX"), {4}, {"Start Time: 03/01/26 08:00:00"});
    std::filesystem::copy_file(dir.file("runs/a.dax"), dir.file("runs/march/copy.dax"));
    writeFileBytes(dir.file("runs/notes.dax"), "[NOTES]\r\nTEXT=hello\r\n");
    writeFileBytes(dir.file("runs/readme.txt"), "not a data file, not looked at");

    std::vector<std::string> problems;
    const auto files = dataFilesAt(dir.file("runs"), problems);
    EXPECT_TRUE(problems.empty());
    ASSERT_EQ(files.size(), 4u);

    HistoryDatabase db;
    ASSERT_TRUE(db.open(dir.file("history.sqlite")).ok());
    auto import = [&](const std::string& file, ImportOptions options = {}) {
        return importDataFile(db, dir.file(file), options);
    };
    const ImportOutcome a = import("runs/a.dax");
    ASSERT_EQ(a.status, Status::Imported);
    EXPECT_EQ(import("runs/march/copy.dax").status, Status::Duplicate);
    EXPECT_EQ(import("runs/march/copy.dax").runId, a.runId);
    const ImportOutcome b = import("runs/march/b.DAX", {.counter = 2, .kind = RunKind::Background});
    EXPECT_EQ(b.status, Status::Imported);
    const ImportOutcome notes = import("runs/notes.dax");
    EXPECT_EQ(notes.status, Status::Unreadable);
    EXPECT_THAT(notes.reason, ::testing::HasSubstr("not a data file"));
    EXPECT_EQ(import("runs/missing.dax").status, Status::Unreadable);

    std::vector<HistoryRun> runs;
    ASSERT_TRUE(db.listRuns({}, runs).ok());
    ASSERT_EQ(runs.size(), 2u);
    const HistoryRun& first = runs[0]; // a.dax started later
    EXPECT_EQ(first.source, RunSource::Import);
    EXPECT_EQ(first.kind, RunKind::Source);
    EXPECT_FALSE(first.counter);
    EXPECT_EQ(first.endReason, RunEnd::Stop);
    EXPECT_EQ(first.totalCounts, 6);
    EXPECT_EQ(runs[1].counter, 2);
    EXPECT_EQ(runs[1].kind, RunKind::Background);
    EXPECT_EQ(runs[1].endReason, RunEnd::Interrupted); // no end line: the end is not known
}
