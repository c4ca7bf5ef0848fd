// The run history: a point of a run is one small transaction that must not slow the run, and the
// history and control-chart queries must answer at once over years of runs.

#include "model/control_chart.h"
#include "storage/history_database.h"
#include "storage/sqlite_database.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace nivra;

constexpr int kRuns = 10000;
constexpr int kPointsPerRun = 100; // 1,000,000 points in all
constexpr int kQaEvery = 10;       // every tenth run is a background run of counter 1: 1,000

// A history of kRuns finished runs with kPointsPerRun points each, made once for all benchmarks
// in a folder of its own below the system's temporary folder and removed at exit.
class BenchHistory {
public:
    BenchHistory() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "nivra-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            return;
        folder_ = pattern;
        path_ = folder_ + "/history.sqlite";
        HistoryDatabase schema;
        if (!schema.open(path_))
            return;
        SqliteDatabase db;
        ok_ = db.open(path_, SqliteDatabase::Mode::ReadWriteCreate, 1000) && db.execute(fill());
    }
    ~BenchHistory() {
        std::error_code ignored;
        if (!folder_.empty())
            std::filesystem::remove_all(folder_, ignored);
    }
    bool ok() const { return ok_; }
    const std::string& path() const { return path_; }

private:
    static std::string fill() {
        const std::string runs = std::to_string(kRuns - 1);
        const std::string points = std::to_string(kPointsPerRun);
        const std::string qa = std::to_string(kQaEvery);
        return "BEGIN;"
               "WITH RECURSIVE i(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM i WHERE i < " +
               runs +
               ") INSERT INTO runs (counter, counter_name, counter_description, assay_name, kind,"
               " start_time, end_time, end_reason, dwell_seconds, total_seconds, sample_area,"
               " detector_area, efficiency, background_rate, background_hours, source,"
               " start_epoch, dwell_h, dwell_m, dwell_s, total_h, total_m, total_s)"
               " SELECT CASE WHEN i % " +
               qa +
               " = 0 THEN 1 ELSE 2 + i % 3 END, 'alpha', 'bench counter', 'bench assay',"
               " CASE WHEN i % " +
               qa +
               " = 0 THEN 'background' ELSE 'sample' END,"
               " strftime('%Y-%m-%dT%H:%M:%S+00:00', 1700000000 + i * 3600, 'unixepoch'),"
               " strftime('%Y-%m-%dT%H:%M:%S+00:00', 1700003600 + i * 3600, 'unixepoch'),"
               " 'time', 36, 3600, 1000, 1000, 0.84, 1.0, 4.0, 'run', 1700000000 + i * 3600,"
               " 0, 0, 36, 1, 0, 0 FROM i;"
               "WITH RECURSIVE n(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM n WHERE n < " +
               points +
               ") INSERT INTO points (run_id, number, count)"
               " SELECT id, n, (id * 7 + n * 13) % 9 FROM runs, n ORDER BY id, n;"
               "UPDATE runs SET points = " +
               points +
               ", total_counts = (SELECT sum(count) FROM points WHERE run_id = runs.id);"
               "COMMIT;";
    }

    std::string folder_;
    std::string path_;
    bool ok_ = false;
};

const BenchHistory& history() {
    static const BenchHistory history;
    return history;
}

// One point of a running run: insert and totals in one transaction, as a run records each dwell.
void BM_HistoryPointInsert(benchmark::State& state) {
    if (!::history().ok()) {
        state.SkipWithError("the bench history could not be made");
        return;
    }
    HistoryDatabase db;
    HistoryRun run;
    run.counter = 4;
    run.startTime = "2026-01-01T00:00:00+00:00";
    if (!db.open(::history().path()) || !db.insertRun(run)) {
        state.SkipWithError("cannot record a run");
        return;
    }
    int number = 0;
    for (auto _ : state)
        if (!db.appendPoints(run.id, {{++number, 17}}))
            state.SkipWithError("insert failed");
    db.endRun(run.id, RunEnd::Stop, 1767225600);
}
BENCHMARK(BM_HistoryPointInsert)->Unit(benchmark::kMicrosecond);

// What nivra-cli history does: open the file (with its check for interrupted runs) and read every
// run, newest first.
void BM_HistoryListAllRuns(benchmark::State& state) {
    if (!::history().ok()) {
        state.SkipWithError("the bench history could not be made");
        return;
    }
    for (auto _ : state) {
        HistoryDatabase db;
        std::vector<HistoryRun> runs;
        if (!db.open(::history().path(), HistoryDatabase::Access::Existing) ||
            !db.listRuns({}, runs) || runs.size() < kRuns)
            state.SkipWithError("query failed");
        benchmark::DoNotOptimize(runs.data());
    }
}
BENCHMARK(BM_HistoryListAllRuns)->Unit(benchmark::kMillisecond);

// What nivra-cli qa does: open, read the background runs of counter 1 (1,000 of them) in time
// order and build their control chart.
void BM_QaChartOverThousandRuns(benchmark::State& state) {
    if (!::history().ok()) {
        state.SkipWithError("the bench history could not be made");
        return;
    }
    for (auto _ : state) {
        HistoryDatabase db;
        RunFilter filter;
        filter.counter = 1;
        filter.kind = RunKind::Background;
        filter.oldestFirst = true;
        std::vector<HistoryRun> runs;
        if (!db.open(::history().path(), HistoryDatabase::Access::Existing) ||
            !db.listRuns(filter, runs) || runs.size() != kRuns / kQaEvery)
            state.SkipWithError("query failed");
        std::vector<ChartRun> series;
        for (const HistoryRun& run : runs)
            series.push_back({run.id, run.startTime, static_cast<double>(run.totalCounts),
                              run.countingHours(), series.size() < 20});
        benchmark::DoNotOptimize(buildControlChart(series));
    }
}
BENCHMARK(BM_QaChartOverThousandRuns)->Unit(benchmark::kMillisecond);

} // namespace
