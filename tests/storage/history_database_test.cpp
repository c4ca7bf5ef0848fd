#include "base/local_time.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "storage/history_database.h"
#include "storage/history_record.h"
#include "storage/run_recorder.h"
#include "storage/sqlite_database.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace nivra;
using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

AssayConfig shortAssay() {
    AssayConfig assay = AssayConfig::defaults();
    assay.name = "background check";
    assay.dwellHours = 0;
    assay.dwellMinutes = 90; // not normalised: must come back as 90 minutes
    assay.dwellSeconds = 0;
    assay.totalHours = 6;
    assay.totalMinutes = assay.totalSeconds = 0;
    return assay;
}

HistoryRunDetail load(HistoryDatabase& db, std::int64_t id) {
    HistoryRunDetail detail;
    bool found = false;
    EXPECT_TRUE(db.loadRun(id, detail, found).ok());
    EXPECT_TRUE(found);
    return detail;
}

std::vector<int> numbers(const std::vector<HistoryPoint>& points, bool deleted) {
    std::vector<int> numbers;
    for (const auto& point : points)
        if (point.deleted == deleted)
            numbers.push_back(point.number);
    return numbers;
}

} // namespace

TEST(HistoryDatabase, CreatesTheSchemaInAnEmptyFileAndRefusesFilesItCannotUse) {
    TempDir dir;
    writeFileBytes(dir.file("empty.sqlite"), "");
    HistoryDatabase db;
    ASSERT_TRUE(db.open(dir.file("empty.sqlite")).ok());
    EXPECT_EQ(db.schemaVersion(), HistoryDatabase::kSchemaVersion);
    std::vector<HistoryRun> runs;
    EXPECT_TRUE(db.listRuns({}, runs).ok());
    EXPECT_TRUE(runs.empty());

    // Opening again migrates nothing and keeps the file in WAL mode.
    HistoryDatabase again;
    ASSERT_TRUE(again.open(dir.file("empty.sqlite")).ok());
    SqliteDatabase raw;
    ASSERT_TRUE(raw.open(dir.file("empty.sqlite"), SqliteDatabase::Mode::ReadOnly, 0).ok());
    SqliteStatement mode;
    ASSERT_TRUE(raw.prepare("PRAGMA journal_mode", mode).ok());
    ASSERT_EQ(mode.step(), SqliteStatement::Step::Row);
    EXPECT_EQ(mode.text(0), "wal");

    // A file of a later schema is not touched; neither is a file that is not a database.
    SqliteDatabase newer;
    ASSERT_TRUE(
        newer.open(dir.file("newer.sqlite"), SqliteDatabase::Mode::ReadWriteCreate, 0).ok());
    ASSERT_TRUE(newer.execute("PRAGMA user_version = 99").ok());
    EXPECT_THAT(HistoryDatabase().open(dir.file("newer.sqlite")).error(),
                HasSubstr("newer version"));
    writeFileBytes(dir.file("text.sqlite"), std::string(4096, 'x'));
    EXPECT_FALSE(HistoryDatabase().open(dir.file("text.sqlite")).ok());
    EXPECT_THAT(
        HistoryDatabase().open(dir.file("none.sqlite"), HistoryDatabase::Access::Existing).error(),
        HasSubstr("does not exist"));
}

// The journal of a run gives back the record the window holds: same configurations, header
// lines and points, so that saving either gives the same bytes, also after points were deleted.
TEST(RunRecorder, RecordsARunThatRebuildsItsDataFile) {
    TempDir dir;
    const std::string path = dir.file("history.sqlite");
    CounterConfig counter = CounterConfig::defaults();
    counter.name = "alpha 3";
    AssayConfig assay = shortAssay();
    assay.qaKind = RunKind::Background;
    AssayData record(counter, assay, 3);
    RunRecorder recorder(path, nullptr);
    ASSERT_TRUE(recorder.started(3, counter, assay, RunKind::Background, 1765200000).ok());
    for (std::int32_t count : {11, 12, 13, 14}) {
        record.appendPoint(count);
        ASSERT_TRUE(recorder.pointClosed(static_cast<int>(record.pointCount()), count).ok());
    }
    record.appendHeaderLine("Start Time: 12/08/25 14:03:07");
    record.appendHeaderLine("End Time: 12/08/25 20:03:07");
    ASSERT_TRUE(recorder.headerLinesChanged(record.headerLines()).ok());
    ASSERT_TRUE(recorder.ended(RunEnd::Time, 1765221600).ok());
    // The operator deletes the second point twice: the points 12, then 13.
    for (int i = 0; i < 2; ++i) {
        record.deletePoint(1);
        ASSERT_TRUE(recorder.pointDeleted(2).ok());
    }
    ASSERT_TRUE(saveDataFile(record, dir.file("run.dax")));
    ASSERT_TRUE(recorder.dataFileSaved(dir.file("run.dax")).ok());

    HistoryDatabase db;
    ASSERT_TRUE(db.open(path).ok());
    const HistoryRunDetail detail = load(db, recorder.runId());
    EXPECT_EQ(detail.run.counter, 3);
    EXPECT_EQ(detail.run.kind, RunKind::Background);
    EXPECT_EQ(detail.run.endReason, RunEnd::Time);
    EXPECT_EQ(detail.run.startTime, formatIsoLocalTime(1765200000));
    EXPECT_EQ(detail.run.points, 2);
    EXPECT_EQ(detail.run.totalCounts, 25);
    EXPECT_EQ(detail.run.dataFile, dir.file("run.dax"));
    EXPECT_THAT(::numbers(detail.points, true), ElementsAre(2, 3));
    EXPECT_THAT(::numbers(detail.points, false), ElementsAre(1, 4));

    const auto rebuilt = recordOfRun(detail);
    EXPECT_EQ(rebuilt->counts(), record.counts());
    EXPECT_EQ(rebuilt->assayConfig().totalSpan(), record.assayConfig().totalSpan());
    EXPECT_EQ(rebuilt->assayConfig().dwellMinutes, 90u);
    ASSERT_TRUE(saveDataFile(*rebuilt, dir.file("rebuilt.dax")));
    EXPECT_EQ(readFileBytes(dir.file("rebuilt.dax")), readFileBytes(dir.file("run.dax")));
}

// A history that cannot be written never stops the run: the failure is reported once, and what
// could not be written is written as soon as the file can be.
TEST(RunRecorder, ReportsAnUnwritableHistoryOnceAndCatchesUpLater) {
    TempDir dir;
    const std::string folder = dir.file("later");
    std::vector<std::string> reports;
    RunRecorder recorder(folder + "/history.sqlite",
                         [&](const std::string& message) { reports.push_back(message); });
    EXPECT_FALSE(
        recorder.started(1, CounterConfig::defaults(), shortAssay(), RunKind::Sample, 100).ok());
    EXPECT_FALSE(recorder.pointClosed(1, 5).ok());
    EXPECT_FALSE(recorder.pointClosed(2, 6).ok());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_THAT(reports[0], HasSubstr("Run history not written: "));

    std::filesystem::create_directory(folder);
    ASSERT_TRUE(recorder.pointClosed(3, 7).ok());
    ASSERT_TRUE(recorder.ended(RunEnd::Stop, 200).ok());
    EXPECT_EQ(reports.size(), 1u);
    HistoryDatabase db;
    ASSERT_TRUE(db.open(folder + "/history.sqlite").ok());
    const HistoryRunDetail detail = load(db, recorder.runId());
    EXPECT_THAT(::numbers(detail.points, false), ElementsAre(1, 2, 3));
    EXPECT_EQ(detail.run.totalCounts, 18);
    EXPECT_EQ(detail.run.endReason, RunEnd::Stop);
}

// A program killed during its run leaves the run 'running'; the next opener marks it
// 'interrupted' with the points it had, and leaves the runs of live programs alone.
TEST(HistoryDatabase, MarksTheRunsOfKilledProgramsInterrupted) {
    TempDir dir;
    const std::string path = dir.file("history.sqlite");
    RunRecorder live(path, nullptr);
    ASSERT_TRUE(live.started(2, CounterConfig::defaults(), shortAssay(), RunKind::Sample, 50).ok());

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RunRecorder recorder(path, nullptr);
        bool ok =
            recorder.started(1, CounterConfig::defaults(), shortAssay(), RunKind::Source, 60).ok();
        ok = ok && recorder.pointClosed(1, 40).ok() && recorder.pointClosed(2, 41).ok();
        const char byte = ok ? 'y' : 'n';
        if (::write(ready[1], &byte, 1) != 1)
            ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(byte, 'y');
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    HistoryDatabase db;
    ASSERT_TRUE(db.open(path).ok());
    std::vector<HistoryRun> runs;
    ASSERT_TRUE(db.listRuns({}, runs).ok());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].counter, 1);
    EXPECT_EQ(runs[0].endReason, RunEnd::Interrupted);
    EXPECT_EQ(runs[0].points, 2);
    EXPECT_EQ(runs[0].totalCounts, 81);
    EXPECT_EQ(runs[1].endReason, RunEnd::Running);
}

TEST(HistoryDatabase, FiltersRunsByCounterKindAndLocalDate) {
    TempDir dir;
    HistoryDatabase db;
    ASSERT_TRUE(db.open(dir.file("history.sqlite")).ok());
    struct Row {
        int counter;
        RunKind kind;
        const char* start; // local time
    };
    const Row rows[] = {
        {1, RunKind::Background, "03/01/26 08:00:00"},
        {1, RunKind::Sample, "03/15/26 23:59:59"},
        {2, RunKind::Background, "03/31/26 00:00:00"},
        {1, RunKind::Background, "04/01/26 00:00:00"},
    };
    for (const Row& row : rows) {
        HistoryRun run;
        run.counter = row.counter;
        run.kind = row.kind;
        run.startEpoch = *parseLocalTimeStamp(row.start);
        run.startTime = formatIsoLocalTime(run.startEpoch);
        run.endReason = RunEnd::Time;
        ASSERT_TRUE(db.insertRun(run).ok());
    }
    auto ids = [&](auto adjust) {
        RunFilter filter;
        adjust(filter);
        std::vector<HistoryRun> runs;
        EXPECT_TRUE(db.listRuns(filter, runs).ok());
        std::vector<std::int64_t> out;
        for (const auto& run : runs)
            out.push_back(run.id);
        return out;
    };
    EXPECT_THAT(ids([](RunFilter&) {}), ElementsAre(4, 3, 2, 1));
    EXPECT_THAT(ids([](RunFilter& f) { f.counter = 1; }), ElementsAre(4, 2, 1));
    EXPECT_THAT(ids([](RunFilter& f) { f.counter = 1, f.kind = RunKind::Background; }),
                ElementsAre(4, 1));
    EXPECT_THAT(ids([](RunFilter& f) { f.since = "2026-03-15", f.until = "2026-03-31"; }),
                ElementsAre(3, 2));
    EXPECT_THAT(ids([](RunFilter& f) { f.kind = RunKind::Background, f.oldestFirst = true; }),
                ElementsAre(1, 3, 4));
}
