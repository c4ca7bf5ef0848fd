#include "engine/assay_run.h"
#include "engine/run_history_observer.h"
#include "model/assay_data.h"
#include "storage/history_database.h"
#include "storage/run_recorder.h"
#include "support/run_fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace nivra;
using nivra::test::RecordingObserver;
using nivra::test::RunReport;
using nivra::test::ScriptedCounter;
using nivra::test::VirtualClock;

namespace {

// One run in virtual time, recorded into the history file at path.
struct RecordedRun {
    RecordedRun(const std::string& path, int counterNumber, std::int32_t perSecond)
        : counter(readings(perSecond)), data(CounterConfig::defaults(), assay(), counterNumber),
          recorder(path, [this](const std::string& message) { reports.push_back(message); }),
          history(data, recorder, RunKind::Source, next, clock) {
        // When the run's end reaches the next observer, the history holds it already.
        next.onReport([this, path](const RunReport& report) {
            if (report.kind != RunReport::Finished)
                return;
            HistoryDatabase db;
            bool found = false;
            if (db.open(path) && db.loadRun(recorder.runId(), atFinish, found) && found)
                finishedRecorded = true;
        });
    }

    static AssayConfig assay() {
        AssayConfig assay = AssayConfig::defaults();
        assay.dwellHours = assay.dwellMinutes = 0;
        assay.dwellSeconds = 10;
        assay.totalHours = assay.totalSeconds = 0;
        assay.totalMinutes = 2; // 12 points
        return assay;
    }
    static std::vector<std::int32_t> readings(std::int32_t perSecond) {
        std::vector<std::int32_t> readings;
        for (std::int32_t i = 0; i < 200; ++i)
            readings.push_back((i * perSecond) % 50);
        return readings;
    }

    VirtualClock clock;
    ScriptedCounter counter;
    AssayData data;
    RecordingObserver next;
    std::vector<std::string> reports;
    RunRecorder recorder;
    RunHistoryObserver history;
    HistoryRunDetail atFinish;
    bool finishedRecorded = false;
};

} // namespace

// Two runs on two counters record into one history file at the same time; each run's points,
// lines, start and end arrive, and the end is in the file before the run's own observer hears
// of it.
TEST(RunHistoryObserver, RecordsRunsThatGoOnAtOnce) {
    test::TempDir dir;
    const std::string path = dir.file("history.sqlite");
    RecordedRun first(path, 1, 1), second(path, 2, 3);
    auto a =
        AssayRun::start(first.data, first.history, RunEnvironment{&first.clock, &first.counter});
    auto b = AssayRun::start(second.data, second.history,
                             RunEnvironment{&second.clock, &second.counter});
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(first.next.waitForFinished());
    ASSERT_TRUE(second.next.waitForFinished());
    a.reset();
    b.reset();

    for (RecordedRun* run : {&first, &second}) {
        EXPECT_TRUE(run->reports.empty()) << run->reports.front();
        ASSERT_TRUE(run->finishedRecorded);
        const HistoryRunDetail& detail = run->atFinish;
        EXPECT_EQ(detail.run.counter, run->data.counterNumber());
        EXPECT_EQ(detail.run.kind, RunKind::Source);
        EXPECT_EQ(detail.run.endReason, RunEnd::Time);
        EXPECT_EQ(detail.run.startEpoch, run->clock.startSeconds());
        EXPECT_EQ(detail.headerLines, run->data.headerLines());
        const auto counts = run->data.counts();
        ASSERT_EQ(detail.points.size(), counts.size());
        for (std::size_t i = 0; i < counts.size(); ++i)
            EXPECT_EQ(detail.points[i].count, counts[i]);
        EXPECT_EQ(detail.run.totalCounts,
                  std::accumulate(counts.begin(), counts.end(), std::int64_t{0}));
    }
}
