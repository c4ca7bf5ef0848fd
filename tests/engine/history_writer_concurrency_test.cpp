// The run history is written by a thread of its own: a history file held locked by another
// program delays only the history, never the run, and the history catches up once it is free.

#include "engine/assay_run.h"
#include "engine/run_history_observer.h"
#include "model/assay_data.h"
#include "storage/history_database.h"
#include "storage/run_recorder.h"
#include "storage/sqlite_database.h"
#include "support/run_fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace nivra;
using namespace std::chrono_literals;
using nivra::test::RecordingObserver;
using nivra::test::RunReport;

namespace {

// Another program holding the history file with an exclusive transaction.
class HistoryLock {
public:
    explicit HistoryLock(const std::string& path) {
        {
            HistoryDatabase create; // the file and its tables exist before the lock is taken
            EXPECT_TRUE(create.open(path));
        }
        EXPECT_TRUE(db_.open(path, SqliteDatabase::Mode::ReadWriteCreate, 0));
        EXPECT_TRUE(db_.execute("BEGIN EXCLUSIVE"));
    }
    void release() { EXPECT_TRUE(db_.execute("COMMIT")); }

private:
    SqliteDatabase db_;
};

struct LockedHistoryRun {
    LockedHistoryRun(const std::string& path, std::chrono::milliseconds endWait)
        : counter(clock, 10.0), data(CounterConfig::defaults(), assay(), 1),
          recorder(path, [this](const std::string& m) { report(m); }),
          history(
              data, recorder, RunKind::Sample, next, clock,
              [this](const std::string& m) { report(m); }, endWait) {}

    static AssayConfig assay() {
        AssayConfig assay = AssayConfig::defaults();
        assay.dwellHours = assay.dwellMinutes = assay.totalHours = assay.totalMinutes = 0;
        assay.dwellSeconds = 10;
        assay.totalSeconds = 60; // six points
        return assay;
    }
    void report(const std::string& message) {
        std::lock_guard lock(mutex);
        messages.push_back(message);
    }
    std::size_t pointsReported() const {
        const auto reports = next.reports();
        return static_cast<std::size_t>(
            std::count_if(reports.begin(), reports.end(),
                          [](const RunReport& r) { return r.kind == RunReport::Point; }));
    }

    test::VirtualClock clock;
    test::SteadyCounter counter;
    AssayData data;
    RecordingObserver next;
    std::mutex mutex;
    std::vector<std::string> messages;
    RunRecorder recorder;
    RunHistoryObserver history;
};

} // namespace

TEST(HistoryWriter, ALockedHistoryHoldsUpNoPointAndCatchesUpOnceFree) {
    test::TempDir dir;
    const std::string path = dir.file("history.sqlite");
    HistoryLock lock(path);
    LockedHistoryRun run(path, 30s);
    auto assayRun = AssayRun::start(run.data, run.history, {&run.clock, &run.counter});
    ASSERT_NE(assayRun, nullptr);

    // Every point reaches the run's observer while the history is still locked.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (run.pointsReported() < 6 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(run.pointsReported(), 6u);
    EXPECT_FALSE(run.history.caughtUp());
    lock.release();
    ASSERT_TRUE(run.next.waitForFinished(30s));
    assayRun.reset();

    HistoryDatabase db;
    ASSERT_TRUE(db.open(path));
    HistoryRunDetail detail;
    bool found = false;
    ASSERT_TRUE(db.loadRun(run.recorder.runId(), detail, found));
    ASSERT_TRUE(found);
    ASSERT_EQ(detail.points.size(), 6u); // each point once
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(detail.points[i].number, static_cast<int>(i + 1));
        EXPECT_EQ(detail.points[i].count, 100);
    }
    EXPECT_EQ(detail.run.endReason, RunEnd::Time);
    EXPECT_EQ(detail.headerLines, run.data.headerLines());
    // The lock was told once; nothing is missing at the end.
    for (const std::string& message : run.messages)
        EXPECT_EQ(message.rfind(RunRecorder::kReportPrefix, 0), 0u) << message;
}

TEST(HistoryWriter, AHistoryStillLockedAtTheEndIsToldOnceWithThePointsItLacks) {
    test::TempDir dir;
    const std::string path = dir.file("history.sqlite");
    HistoryLock lock(path);
    LockedHistoryRun run(path, 300ms);
    auto assayRun = AssayRun::start(run.data, run.history, {&run.clock, &run.counter});
    ASSERT_NE(assayRun, nullptr);
    ASSERT_TRUE(run.next.waitForFinished(30s));
    assayRun.reset();
    EXPECT_EQ(run.next.reports().back().kind, RunReport::Finished);
    std::lock_guard hold(run.mutex);
    EXPECT_EQ(std::count(run.messages.begin(), run.messages.end(),
                         "Run history behind: points 1 to 6 are not in it; the data file and the "
                         "backup hold them (nivra-cli history import can add the data file later)"),
              1);
}
