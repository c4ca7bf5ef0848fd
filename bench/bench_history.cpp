// The run history: a point of a running run is one small transaction that must not slow the
// run, and the history and control-chart queries must answer at once over years of runs. Each
// benchmark runs against both stores: the SQLite file and a PostgreSQL server (the server's
// benchmarks need NIVRA_BENCH_PG_URI, the URI of a database they may fill, e.g. on a loopback or
// Unix-socket server).

#include "model/control_chart.h"
#include "storage/history_database.h"
#include "storage/postgres_database.h"
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

enum class Store { File, Server };

const std::string kRunsN = std::to_string(kRuns - 1);
const std::string kPointsN = std::to_string(kPointsPerRun);
const std::string kQaN = std::to_string(kQaEvery);

const std::string kRunColumns =
    "INSERT INTO runs (counter, counter_name, counter_description, assay_name, kind,"
    " start_time, end_time, end_reason, dwell_seconds, total_seconds, sample_area,"
    " detector_area, efficiency, background_rate, background_hours, source,"
    " start_epoch, dwell_h, dwell_m, dwell_s, total_h, total_m, total_s)";

// The same history of kRuns finished runs with kPointsPerRun points each, for either store.
std::string fileFill() {
    return "BEGIN;"
           "WITH RECURSIVE i(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM i WHERE i < " +
           kRunsN + ") " + kRunColumns + " SELECT CASE WHEN i % " + kQaN +
           " = 0 THEN 1 ELSE 2 + i % 3 END, 'alpha', 'bench counter', 'bench assay',"
           " CASE WHEN i % " +
           kQaN +
           " = 0 THEN 'background' ELSE 'sample' END,"
           " strftime('%Y-%m-%dT%H:%M:%S+00:00', 1700000000 + i * 3600, 'unixepoch'),"
           " strftime('%Y-%m-%dT%H:%M:%S+00:00', 1700003600 + i * 3600, 'unixepoch'),"
           " 'time', 36, 3600, 1000, 1000, 0.84, 1.0, 4.0, 'run', 1700000000 + i * 3600,"
           " 0, 0, 36, 1, 0, 0 FROM i;"
           "WITH RECURSIVE n(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM n WHERE n < " +
           kPointsN +
           ") INSERT INTO points (run_id, number, count)"
           " SELECT id, n, (id * 7 + n * 13) % 9 FROM runs, n ORDER BY id, n;"
           "UPDATE runs SET points = " +
           kPointsN +
           ", total_counts = (SELECT sum(count) FROM points WHERE run_id = runs.id);"
           "COMMIT;";
}

std::string serverFill() {
    return "BEGIN; TRUNCATE runs, points, header_lines RESTART IDENTITY; " + kRunColumns +
           " SELECT CASE WHEN i % " + kQaN +
           " = 0 THEN 1 ELSE 2 + i % 3 END, 'alpha', 'bench counter', 'bench assay',"
           " CASE WHEN i % " +
           kQaN +
           " = 0 THEN 'background' ELSE 'sample' END,"
           " to_char(to_timestamp(1700000000 + i * 3600) AT TIME ZONE 'UTC',"
           " 'YYYY-MM-DD\"T\"HH24:MI:SS+00:00'),"
           " to_char(to_timestamp(1700003600 + i * 3600) AT TIME ZONE 'UTC',"
           " 'YYYY-MM-DD\"T\"HH24:MI:SS+00:00'),"
           " 'time', 36, 3600, 1000, 1000, 0.84, 1.0, 4.0, 'run', 1700000000 + i * 3600,"
           " 0, 0, 36, 1, 0, 0 FROM generate_series(0, " +
           kRunsN +
           ") AS i;"
           " INSERT INTO points (run_id, number, count)"
           " SELECT id, n, (id * 7 + n * 13) % 9 FROM runs, generate_series(1, " +
           kPointsN +
           ") AS n ORDER BY id, n;"
           " UPDATE runs SET points = " +
           kPointsN +
           ", total_counts = (SELECT sum(count) FROM points WHERE run_id = runs.id);"
           " COMMIT; ANALYZE;";
}

// The history of a store, made once for all benchmarks: a file in a folder of its own below the
// system's temporary folder (removed at exit), or the server's database, emptied and filled.
class BenchHistory {
public:
    explicit BenchHistory(Store store) {
        if (store == Store::Server) {
            const char* uri = std::getenv("NIVRA_BENCH_PG_URI");
            if (!uri || !*uri) {
                problem_ = "NIVRA_BENCH_PG_URI names no server database";
                return;
            }
            location_ = uri;
            HistoryDatabase schema;
            PostgresDatabase db;
            StorageResult r = schema.open(location_);
            if (r)
                r = db.open(location_, 10);
            if (r)
                r = db.execute(serverFill());
            problem_ = r.ok() ? "" : r.error();
            return;
        }
        std::string pattern =
            (std::filesystem::temp_directory_path() / "nivra-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            problem_ = "no temporary folder";
            return;
        }
        folder_ = pattern;
        location_ = folder_ + "/history.sqlite";
        HistoryDatabase schema;
        SqliteDatabase db;
        StorageResult r = schema.open(location_);
        if (r)
            r = db.open(location_, SqliteDatabase::Mode::ReadWriteCreate, 1000);
        if (r)
            r = db.execute(fileFill());
        problem_ = r.ok() ? "" : r.error();
    }
    ~BenchHistory() {
        std::error_code ignored;
        if (!folder_.empty())
            std::filesystem::remove_all(folder_, ignored);
    }
    const std::string& problem() const { return problem_; }
    const std::string& location() const { return location_; }

private:
    std::string folder_;
    std::string location_;
    std::string problem_ = "not made";
};

const BenchHistory* history(benchmark::State& state, Store store) {
    static const BenchHistory file(Store::File);
    static const BenchHistory server(Store::Server);
    const BenchHistory& history = store == Store::File ? file : server;
    if (!history.problem().empty()) {
        state.SkipWithError(("the bench history could not be made: " + history.problem()).c_str());
        return nullptr;
    }
    return &history;
}

// One point of a running run: insert and totals in one transaction, as a run records each dwell.
void BM_HistoryPointInsert(benchmark::State& state, Store store) {
    const BenchHistory* bench = history(state, store);
    if (!bench)
        return;
    HistoryDatabase db;
    HistoryRun run;
    run.counter = 4;
    run.startTime = "2026-01-01T00:00:00+00:00";
    if (!db.open(bench->location()) || !db.insertRun(run)) {
        state.SkipWithError("cannot record a run");
        return;
    }
    int number = 0;
    for (auto _ : state)
        if (!db.appendPoints(run.id, {{++number, 17}}))
            state.SkipWithError("insert failed");
    db.endRun(run.id, RunEnd::Stop, 1767225600);
}
BENCHMARK_CAPTURE(BM_HistoryPointInsert, file, Store::File)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_HistoryPointInsert, server, Store::Server)->Unit(benchmark::kMicrosecond);

// What nivra-cli history does: open the history (with its check for interrupted runs) and read
// every run, newest first.
void BM_HistoryListAllRuns(benchmark::State& state, Store store) {
    const BenchHistory* bench = history(state, store);
    if (!bench)
        return;
    for (auto _ : state) {
        HistoryDatabase db;
        std::vector<HistoryRun> runs;
        if (!db.open(bench->location(), HistoryDatabase::Access::Existing) ||
            !db.listRuns({}, runs) || runs.size() < kRuns)
            state.SkipWithError("query failed");
        benchmark::DoNotOptimize(runs.data());
    }
}
BENCHMARK_CAPTURE(BM_HistoryListAllRuns, file, Store::File)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HistoryListAllRuns, server, Store::Server)->Unit(benchmark::kMillisecond);

// What nivra-cli qa does: open, read the background runs of counter 1 (1,000 of them) in time
// order and build their control chart.
void BM_QaChartOverThousandRuns(benchmark::State& state, Store store) {
    const BenchHistory* bench = history(state, store);
    if (!bench)
        return;
    for (auto _ : state) {
        HistoryDatabase db;
        RunFilter filter;
        filter.counter = 1;
        filter.kind = RunKind::Background;
        filter.oldestFirst = true;
        std::vector<HistoryRun> runs;
        if (!db.open(bench->location(), HistoryDatabase::Access::Existing) ||
            !db.listRuns(filter, runs) || runs.size() != kRuns / kQaEvery)
            state.SkipWithError("query failed");
        std::vector<ChartRun> series;
        for (const HistoryRun& run : runs)
            series.push_back({run.id, run.startTime, static_cast<double>(run.totalCounts),
                              run.countingHours(), series.size() < 20});
        benchmark::DoNotOptimize(buildControlChart(series));
    }
}
BENCHMARK_CAPTURE(BM_QaChartOverThousandRuns, file, Store::File)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QaChartOverThousandRuns, server, Store::Server)->Unit(benchmark::kMillisecond);

} // namespace
