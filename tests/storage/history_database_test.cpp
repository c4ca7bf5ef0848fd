#include "base/local_time.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "storage/history_copy.h"
#include "storage/history_database.h"
#include "storage/history_location.h"
#include "storage/history_record.h"
#include "storage/history_schema.h"
#include "storage/history_spool.h"
#include "storage/run_recorder.h"
#include "storage/sqlite_database.h"
#include "support/killed_process.h"
#include "support/pg_test_server.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

using namespace nivra;
using nivra::test::PrivateCluster;
using nivra::test::readFileBytes;
using nivra::test::ServerDatabase;
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

// The same tests run against an SQLite file and a database of their own on the test cluster.
enum class Store { File, Server };

class HistoryStoreTest : public ::testing::TestWithParam<Store> {
protected:
    void SetUp() override {
        if (GetParam() == Store::Server) {
            server_.emplace();
            if (server_->uri().empty())
                GTEST_SKIP() << "no PostgreSQL test cluster (the tests run it through ctest)";
        }
    }
    std::string location() const {
        return GetParam() == Store::Server ? server_->uri() : dir_.file("history.sqlite");
    }

    TempDir dir_;
    std::optional<ServerDatabase> server_;
};

INSTANTIATE_TEST_SUITE_P(BothStores, HistoryStoreTest,
                         ::testing::Values(Store::File, Store::Server), [](const auto& info) {
                             return info.param == Store::File ? "File" : "Server";
                         });

// A clock the test moves.
struct TestClock {
    std::shared_ptr<std::atomic<std::int64_t>> now =
        std::make_shared<std::atomic<std::int64_t>>(1'800'000'000);
    HistoryDatabase::Clock clock() const {
        return [now = now] { return now->load(); };
    }
};

HistoryRunDetail someRun(const char* key, std::initializer_list<std::int32_t> counts) {
    HistoryRunDetail detail;
    detail.run.counter = 2;
    detail.run.startEpoch = 1765200000;
    detail.run.startTime = formatIsoLocalTime(detail.run.startEpoch);
    detail.run.endReason = RunEnd::Running;
    detail.run.heartbeatEpoch = 1765200000;
    if (key)
        detail.run.runKey = key;
    int number = 0;
    for (std::int32_t count : counts)
        detail.points.push_back({++number, count, false});
    return detail;
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

// A history of the schema before class limits is brought up to date with its runs, which have
// no class limit.
TEST(HistoryDatabase, UpgradesAnOlderHistoryAndKeepsItsRuns) {
    TempDir dir;
    {
        SqliteDatabase old;
        ASSERT_TRUE(
            old.open(dir.file("old.sqlite"), SqliteDatabase::Mode::ReadWriteCreate, 0).ok());
        for (int version : {0, 1})
            ASSERT_TRUE(old.execute(historySchemaStep(SqlDialect::Sqlite, version)).ok());
        ASSERT_TRUE(old.execute("PRAGMA user_version = 2").ok());
        ASSERT_TRUE(
            old.execute("INSERT INTO runs (counter, counter_name, counter_description, "
                        "assay_name, start_time, end_reason, dwell_seconds, total_seconds, "
                        "sample_area, detector_area, efficiency, background_rate, "
                        "background_hours, source, start_epoch, dwell_h, dwell_m, dwell_s, "
                        "total_h, total_m, total_s) VALUES (1, 'c', '', 'a', "
                        "'2025-12-08T14:00:00', 'time', 60, 120, 100, 100, 0.9, 0, 0, 'run', "
                        "1765200000, 0, 1, 0, 0, 2, 0)")
                .ok());
    }
    HistoryDatabase db;
    ASSERT_TRUE(db.open(dir.file("old.sqlite")).ok());
    EXPECT_EQ(db.schemaVersion(), HistoryDatabase::kSchemaVersion);
    std::vector<HistoryRun> runs;
    ASSERT_TRUE(db.listRuns({}, runs).ok());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].assayConfig.totalSpan(), 120);
    EXPECT_FALSE(runs[0].assayConfig.classLimit);
    EXPECT_FALSE(runs[0].assayConfig.stopWhenDecided);
}

// The journal of a run gives back the record the window holds: same configurations (the class
// limit and the stop when decided too), header lines and points, so that saving either gives the
// same bytes, also after points were deleted.
TEST_P(HistoryStoreTest, RecorderRecordsARunThatRebuildsItsDataFile) {
    const TempDir& dir = dir_;
    const std::string path = location();
    CounterConfig counter = CounterConfig::defaults();
    counter.name = "alpha 3";
    AssayConfig assay = shortAssay();
    assay.qaKind = RunKind::Background;
    assay.classLimit = 0.05;
    assay.stopWhenDecided = true;
    AssayData record(counter, assay, 3);
    RunRecorder recorder(path, nullptr);
    ASSERT_TRUE(recorder.started(3, counter, assay, RunKind::Background, 1765200000).ok());
    for (std::int32_t count : {11, 12, 13, 14}) {
        record.appendPoint(count);
        ASSERT_TRUE(recorder.pointClosed(static_cast<int>(record.pointCount()), count).ok());
    }
    // The operator types a stricter limit while the run goes on.
    record.setClassLimit(0.002);
    ASSERT_TRUE(recorder.classLimitChanged(0.002).ok());
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
    EXPECT_EQ(detail.run.host, localHostName());

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

// A program killed during its run leaves the run 'running' with its last heartbeat; once the
// heartbeat is older than the lease, the next opener marks it 'interrupted' with the points it
// had. A run whose program renews its heartbeat stays running, wherever it was recorded.
TEST_P(HistoryStoreTest, MarksRunsWithoutHeartbeatInterruptedAndLeavesLiveRunsAlone) {
    const std::string path = location();
    TestClock time;
    RunRecorder::Settings settings;
    settings.clock = time.clock();
    settings.heartbeat = std::chrono::milliseconds(20);
    settings.spoolPath = dir_.file("spool.sqlite");

    // A program that recorded a run and crashed; started before this process has threads.
    const std::optional<bool> recorded = nivra::test::runInProcessThatIsKilled([&] {
        RunRecorder recorder(path, nullptr, settings);
        bool ok =
            recorder.started(1, CounterConfig::defaults(), shortAssay(), RunKind::Source, 60).ok();
        return ok && recorder.pointClosed(1, 40).ok() && recorder.pointClosed(2, 41).ok();
    });
    if (!recorded)
        GTEST_SKIP() << "this system cannot copy a running process";
    EXPECT_TRUE(*recorded);

    RunRecorder live(path, nullptr, settings);
    ASSERT_TRUE(live.started(2, CounterConfig::defaults(), shortAssay(), RunKind::Sample, 50).ok());
    auto endsOpenedAt = [&](std::int64_t now) {
        HistoryDatabase db;
        db.setClock([now] { return now; });
        EXPECT_TRUE(db.open(path).ok());
        std::vector<HistoryRun> runs;
        EXPECT_TRUE(db.listRuns({}, runs).ok());
        std::vector<RunEnd> ends;
        for (const HistoryRun& run : runs)
            ends.push_back(run.endReason);
        return std::pair(ends, runs);
    };
    // Within the lease both are running.
    const std::int64_t start = time.now->load();
    EXPECT_THAT(endsOpenedAt(start + HistoryDatabase::kLeaseSeconds).first,
                ElementsAre(RunEnd::Running, RunEnd::Running));
    // Later the live program has renewed its heartbeat; the killed one has not.
    time.now->store(start + 10 * HistoryDatabase::kLeaseSeconds);
    const auto renewed = [&] {
        HistoryDatabase db;
        HistoryRunDetail detail;
        bool found = false;
        return db.open(path) && db.loadRun(live.runId(), detail, found) && found &&
               detail.run.heartbeatEpoch == time.now->load();
    };
    for (int i = 0; i < 1500 && !renewed(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(renewed());
    const auto [ends, runs] = endsOpenedAt(time.now->load() + 1);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].counter, 1);
    EXPECT_EQ(runs[0].endReason, RunEnd::Interrupted);
    EXPECT_EQ(runs[0].points, 2);
    EXPECT_EQ(runs[0].totalCounts, 81);
    EXPECT_EQ(runs[1].endReason, RunEnd::Running);
}

// Copies of a run, complete or not, sent once or several times (the spool, a migration run
// twice), leave it in the history once with every point once; the end and deletions win over an
// older copy.
TEST_P(HistoryStoreTest, MergingCopiesOfARunKeepsEveryPointOnce) {
    HistoryDatabase db;
    ASSERT_TRUE(db.open(location()).ok());
    struct Step {
        HistoryRunDetail copy;
        bool added;
    };
    HistoryRunDetail ended = someRun("pc1/7/1765200000/ab", {5, 6, 7, 8});
    ended.points[1].deleted = true;
    ended.run.endReason = RunEnd::Stop;
    ended.run.endTime = formatIsoLocalTime(1765203600);
    ended.headerLines = {"Start Time: 12/08/25 14:00:00", "STOP TIME: 12/08/25 15:00:00"};
    HistoryRunDetail older = someRun("pc1/7/1765200000/ab", {5, 6});
    older.headerLines = {"Start Time: 12/08/25 14:00:00"};
    const Step steps[] = {{older, true}, {ended, false}, {older, false}, {ended, false}};
    std::int64_t firstId = 0;
    for (const Step& step : steps) {
        std::int64_t id = 0;
        bool added = false;
        ASSERT_TRUE(db.mergeRun(step.copy, id, added).ok());
        EXPECT_EQ(added, step.added);
        if (firstId == 0)
            firstId = id;
        EXPECT_EQ(id, firstId);
    }
    const HistoryRunDetail detail = load(db, firstId);
    EXPECT_THAT(::numbers(detail.points, false), ElementsAre(1, 3, 4));
    EXPECT_THAT(::numbers(detail.points, true), ElementsAre(2));
    EXPECT_EQ(detail.run.points, 3);
    EXPECT_EQ(detail.run.totalCounts, 20);
    EXPECT_EQ(detail.run.endReason, RunEnd::Stop);
    EXPECT_EQ(detail.headerLines, ended.headerLines);

    // A run without a key is matched by its content hash; a hash another run holds stays there.
    HistoryRunDetail hashed = someRun(nullptr, {1});
    hashed.run.contentHash = "0123abcd";
    std::int64_t a = 0, b = 0;
    bool added = false;
    ASSERT_TRUE(db.mergeRun(hashed, a, added).ok());
    EXPECT_TRUE(added);
    ASSERT_TRUE(db.mergeRun(hashed, b, added).ok());
    EXPECT_FALSE(added);
    EXPECT_EQ(a, b);
    std::vector<HistoryRun> runs;
    ASSERT_TRUE(db.listRuns({}, runs).ok());
    EXPECT_EQ(runs.size(), 2u);
}

// A PC's SQLite history copied into another history: everything once, and a second copy adds
// nothing, also for runs that have neither key nor content hash.
TEST_P(HistoryStoreTest, CopyingAHistoryTwiceAddsNothingTheSecondTime) {
    HistoryDatabase from;
    ASSERT_TRUE(from.open(dir_.file("pc.sqlite")).ok());
    HistoryRun bare; // recorded before runs had keys, never saved
    bare.counter = 1;
    bare.startEpoch = 1765000000;
    bare.startTime = formatIsoLocalTime(bare.startEpoch);
    bare.endReason = RunEnd::Time;
    ASSERT_TRUE(from.insertRun(bare).ok());
    ASSERT_TRUE(from.appendPoints(bare.id, {{1, 3}, {2, 4}}).ok());
    HistoryRunDetail keyed = someRun("pc/1/1/1", {9, 9, 9});
    std::int64_t id = 0;
    bool added = false;
    ASSERT_TRUE(from.mergeRun(keyed, id, added).ok());

    HistoryDatabase to;
    ASSERT_TRUE(to.open(location()).ok());
    const HistoryCopySummary first = copyHistory(from, to);
    EXPECT_EQ(first.added, 2u);
    EXPECT_EQ(first.refused, 0u);
    const HistoryCopySummary second = copyHistory(from, to);
    EXPECT_EQ(second.added, 0u);
    EXPECT_EQ(second.present, 2u);
    std::vector<HistoryRun> runs;
    ASSERT_TRUE(to.listRuns({}, runs).ok());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].totalCounts, 27); // newest first: the keyed run started later
    EXPECT_EQ(runs[1].totalCounts, 7);
}

TEST_P(HistoryStoreTest, FiltersRunsByCounterKindAndLocalDate) {
    HistoryDatabase db;
    ASSERT_TRUE(db.open(location()).ok());
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
