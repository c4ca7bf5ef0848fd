#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "engine/assay_run.h"
#include "engine/time_left.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "support/run_fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <thread>

using namespace nivra;
using nivra::test::RecordingReceiver;
using nivra::test::ScriptedCounter;
using nivra::test::TempDir;
using nivra::test::VirtualClock;

namespace {

AssayConfig Timing(std::uint32_t dwellSeconds, std::uint32_t totalSeconds) {
    AssayConfig assay = AssayConfig::Defaults();
    assay.dwellHours = assay.dwellMinutes = 0;
    assay.dwellSeconds = dwellSeconds;
    assay.totalHours = assay.totalMinutes = 0;
    assay.totalSeconds = totalSeconds;
    return assay;
}

// A start directory with its backup_data folder, as the program expects it.
class Workspace {
public:
    Workspace() { std::filesystem::create_directory(dir_.file("backup_data")); }
    std::string BackupPath(int counter) const { return BackupDataPath(counter); }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    nivra::test::StartDirectoryScope start_{dir_.path()};
};

// One run in virtual time, started at construction; Finish waits for its end.
struct VirtualRun {
    explicit VirtualRun(const AssayConfig& assay, ScriptedCounter& counter, VirtualClock& clock,
                        int counterNumber = 1)
        : data(std::make_unique<AssayData>(CounterConfig::Defaults(), assay, counterNumber)) {
        run = CAssayRun::CreateSuspended(RunEnvironment{&clock, &counter});
        receiver.quit = [this] { run->PostThreadMessage(WM_QUIT); };
        run->SetData(data.get());
        run->SetMainWindow(&receiver);
        EXPECT_TRUE(run->Resume());
        run->PostThreadMessage(WM_RUN_START);
    }

    // Stops the run and waits until its thread has taken the request (the worker is paused).
    void StopNow() {
        run->PostThreadMessage(WM_RUN_STOP);
        while (!run->StopRequested())
            std::this_thread::yield();
    }

    bool Finish() {
        bool finished = receiver.WaitForFinished();
        return finished && CAssayRun::WaitUntilNoRuns(std::chrono::seconds(10));
    }

    // The (dwell, last second) pairs of the receiver's WM_RUN_DWELL / WM_RUN_COUNTS messages.
    std::vector<std::pair<std::int64_t, std::int64_t>> Reports() const {
        std::vector<std::pair<std::int64_t, std::int64_t>> reports;
        auto messages = receiver.Messages();
        for (std::size_t i = 0; i + 1 < messages.size(); ++i)
            if (messages[i].message == WM_RUN_COUNTS && messages[i + 1].message == WM_RUN_DWELL)
                reports.emplace_back(messages[i + 1].lParam, messages[i].lParam);
        return reports;
    }

    std::unique_ptr<AssayData> data;
    RecordingReceiver receiver;
    CAssayRun* run = nullptr;
};

std::vector<std::int32_t> Repeat(std::int32_t value, int times) {
    return std::vector<std::int32_t>(static_cast<std::size_t>(times), value);
}

} // namespace

TEST(RunLength, PointsFollowDwellAndTotalTime) {
    Workspace workspace;
    struct Case {
        std::uint32_t dwell, total;
        std::size_t points;
    };
    for (Case c : {Case{10, 60, 6}, Case{10, 65, 6}, Case{10, 70, 7}, Case{10, 5, 1}}) {
        VirtualClock clock;
        ScriptedCounter counter(Repeat(0, 1));
        VirtualRun run(Timing(c.dwell, c.total), counter, clock);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.data->pointCount(), c.points) << c.dwell << "/" << c.total;
        auto lines = run.data->headerLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().rfind("End Time: ", 0), 0u) << lines.back();
    }
}

TEST(RunLength, ProgressReachesOneAndStaysFiniteForTotalZero) {
    Workspace workspace;
    {
        VirtualClock clock;
        ScriptedCounter counter(Repeat(0, 1));
        VirtualRun run(Timing(10, 60), counter, clock);
        ASSERT_TRUE(run.Finish());
        EXPECT_NEAR(run.data->progress(), 1.0, 1e-9);
    }
    {
        VirtualClock clock;
        ScriptedCounter counter(Repeat(0, 1));
        VirtualRun run(Timing(10, 0), counter, clock);
        ASSERT_TRUE(run.Finish());
        EXPECT_EQ(run.data->pointCount(), 1u);
        EXPECT_TRUE(std::isfinite(run.data->progress()));
        EXPECT_EQ(run.data->progress(), 1.0);
    }
}

TEST(RunLength, DwellZeroClosesFourPointsPerSecondUntilStopped) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter(Repeat(0, 1));
    clock.PauseAt(clock.StartSeconds() + 3);
    VirtualRun run(Timing(0, 60), counter, clock);
    ASSERT_TRUE(clock.WaitUntilPaused());
    // Seconds 1 and 2 have passed completely: the first pass of second 1 closes its first point.
    std::size_t points = run.data->pointCount();
    EXPECT_GE(points, 7u);
    EXPECT_LE(points, 9u);
    run.StopNow();
    clock.Resume();
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(run.data->headerLines().back().rfind("STOP TIME: ", 0), 0u);
}

TEST(CountArithmetic, ReadingsBecomeCountsPerSecondWithResetsAbove60) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter({10, 30, 70, 5});
    VirtualRun run(Timing(100, 100), counter, clock);
    // Stop after the fourth reading.
    counter.OnRead([&](int read) {
        if (read == 5)
            run.run->PostThreadMessage(WM_RUN_STOP);
    });
    ASSERT_TRUE(run.Finish());
    auto reports = run.Reports();
    ASSERT_GE(reports.size(), 5u);
    // The first report comes before any reading; then one per second.
    std::vector<std::pair<std::int64_t, std::int64_t>> expected{
        {0, 0}, {10, 10}, {30, 20}, {70, 40}, {75, 5}};
    EXPECT_EQ(std::vector(reports.begin(), reports.begin() + 5), expected);
    auto commands = counter.Commands();
    // Reset at the start, then a reset right after the reading of 70.
    ASSERT_GE(commands.size(), 6u);
    EXPECT_EQ(std::string(commands.begin(), commands.begin() + 6), "RCCCRC");
}

TEST(CountArithmetic, AReadingBelowThePreviousCountsNothingAndRestartsFromZero) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter({50, 20, 25});
    VirtualRun run(Timing(100, 100), counter, clock);
    counter.OnRead([&](int read) {
        if (read == 4)
            run.run->PostThreadMessage(WM_RUN_STOP);
    });
    ASSERT_TRUE(run.Finish());
    auto reports = run.Reports();
    ASSERT_GE(reports.size(), 4u);
    EXPECT_EQ(reports[1], std::make_pair(std::int64_t{50}, std::int64_t{50}));
    EXPECT_EQ(reports[2], std::make_pair(std::int64_t{50}, std::int64_t{0}));
    // 25 is taken against 0, not against 20.
    EXPECT_EQ(reports[3], std::make_pair(std::int64_t{75}, std::int64_t{25}));
}

TEST(CountArithmetic, PointsSumTheSecondsOfTheirDwell) {
    Workspace workspace;
    VirtualClock clock;
    // One more count every second: readings 1, 2, 3, ... (never above 60 in 30 s).
    std::vector<std::int32_t> readings;
    for (int i = 1; i <= 40; ++i)
        readings.push_back(i);
    ScriptedCounter counter(readings);
    VirtualRun run(Timing(10, 30), counter, clock);
    ASSERT_TRUE(run.Finish());
    auto counts = run.data->counts();
    ASSERT_EQ(counts.size(), 3u);
    // A point closes in the first pass after its dwell end, including that second's reading:
    // seconds 1..11, then 12..21, then 22..31.
    EXPECT_EQ(counts[0], 11);
    EXPECT_EQ(counts[1], 10);
    EXPECT_EQ(counts[2], 10);
}

TEST(Failures, ACounterThatStopsAnsweringGivesZeroPointsAndEndsByTime) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter({5, 9}, /*answerAfterScript=*/false);
    VirtualRun run(Timing(10, 40), counter, clock);
    ASSERT_TRUE(run.Finish());
    auto counts = run.data->counts();
    ASSERT_EQ(counts.size(), 4u);
    EXPECT_EQ(counts[0], 9);
    EXPECT_EQ(counts[1], 0);
    EXPECT_EQ(counts[3], 0);
    EXPECT_EQ(run.data->headerLines().back().rfind("End Time: ", 0), 0u);
}

TEST(Failures, AnUnknownCounterNumberRecordsZeroPoints) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter({}, false);
    VirtualRun run(Timing(5, 10), counter, clock, 3);
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(run.data->counts(), (std::vector<std::int32_t>{0, 0}));
}

TEST(Failures, AMissingBackupFolderDoesNotDisturbTheRun) {
    TempDir dir;
    nivra::test::StartDirectoryScope start(dir.path()); // no backup_data folder
    VirtualClock clock;
    ScriptedCounter counter(Repeat(3, 1));
    VirtualRun run(Timing(5, 15), counter, clock);
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(run.data->pointCount(), 3u);
    EXPECT_FALSE(nivra::test::FileExists(dir.file("backup_data")));
}

TEST(StopAndBackup, StopInTheMiddleOfADwellKeepsOnlyClosedPoints) {
    Workspace workspace;
    VirtualClock clock;
    std::vector<std::int32_t> readings;
    for (int i = 1; i <= 60; ++i)
        readings.push_back(i);
    ScriptedCounter counter(readings);
    clock.PauseAt(clock.StartSeconds() + 25);
    VirtualRun run(Timing(10, 100), counter, clock);
    ASSERT_TRUE(clock.WaitUntilPaused());
    run.StopNow();
    clock.Resume();
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(run.data->pointCount(), 2u);
    auto lines = run.data->headerLines();
    EXPECT_EQ(lines.back().rfind("STOP TIME: ", 0), 0u);
    auto messages = run.receiver.Messages();
    EXPECT_EQ(messages.back().message, WM_RUN_FINISHED);
    EXPECT_EQ(messages.back().wParam, 1);

    // The backup holds the record as of its last point, without the stop line.
    AssayData backup = *nivra::readDataFile(workspace.BackupPath(1));
    EXPECT_EQ(backup.counts(), run.data->counts());
    EXPECT_EQ(backup.headerLineCount(), lines.size() - 1);
}

TEST(StopAndBackup, AnOldBackupIsDeletedBeforeTheFirstPoint) {
    Workspace workspace;
    AssayData old(CounterConfig::Defaults(), Timing(1, 1), 1);
    for (int i = 0; i < 5; ++i)
        old.appendPoint(99);
    ASSERT_TRUE(nivra::saveDataFile(old, workspace.BackupPath(1)));

    VirtualClock clock;
    ScriptedCounter counter(Repeat(0, 1));
    clock.PauseAt(clock.StartSeconds() + 2);
    VirtualRun run(Timing(10, 20), counter, clock);
    ASSERT_TRUE(clock.WaitUntilPaused());
    EXPECT_FALSE(nivra::test::FileExists(workspace.BackupPath(1)));
    clock.Resume();
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(nivra::readDataFile(workspace.BackupPath(1))->pointCount(), 2u);
}

TEST(HeaderLines, StartLinesThenTheEndLineInOrder) {
    Workspace workspace;
    CounterConfig counterConfig = CounterConfig::Defaults();
    counterConfig.description = "alpha bench 2";
    counterConfig.detectorArea = 120;
    counterConfig.detectorEfficiency = 0.845;
    AssayConfig assay = Timing(5, 5);
    assay.sampleArea = 100;
    assay.backgroundRate = 1.5;
    assay.backgroundHours = 0.25;
    VirtualClock clock;
    ScriptedCounter counter(Repeat(0, 1));
    AssayData data(counterConfig, assay, 1);
    RecordingReceiver receiver;
    CAssayRun* run = CAssayRun::CreateSuspended(RunEnvironment{&clock, &counter});
    receiver.quit = [run] { run->PostThreadMessage(WM_QUIT); };
    run->SetData(&data);
    run->SetMainWindow(&receiver);
    ASSERT_TRUE(run->Resume());
    run->PostThreadMessage(WM_RUN_START);
    ASSERT_TRUE(receiver.WaitForFinished());
    ASSERT_TRUE(CAssayRun::WaitUntilNoRuns(std::chrono::seconds(10)));

    auto lines = data.headerLines();
    ASSERT_EQ(lines.size(), 8u);
    std::string start = FormatLocalTime(clock.StartSeconds());
    EXPECT_EQ(lines[0], "Start Time: " + start);
    EXPECT_EQ(lines[1], "Counter Desc: alpha bench 2");
    EXPECT_EQ(lines[2], "sample area: 100");
    EXPECT_EQ(lines[3], "detector area: 120");
    EXPECT_EQ(lines[4], "detector eff: 84.50%");
    EXPECT_EQ(lines[5], "background_rate: 1.500");
    EXPECT_EQ(lines[6], "background_hours: 0.250");
    EXPECT_EQ(lines[7].rfind("End Time: ", 0), 0u);
    EXPECT_EQ(data.endTime(), clock.StartSeconds() + 5);
}

TEST(Messages, EveryReportIsForwardedAsCountsThenDwellAndFinishedComesLast) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter({2, 4, 6, 8, 10, 12});
    VirtualRun run(Timing(3, 6), counter, clock, 2);
    ASSERT_TRUE(run.Finish());
    auto messages = run.receiver.Messages();
    ASSERT_GE(messages.size(), 3u);
    for (std::size_t i = 0; i + 1 < messages.size(); i += 2) {
        EXPECT_EQ(messages[i].message, WM_RUN_COUNTS);
        EXPECT_EQ(messages[i + 1].message, WM_RUN_DWELL);
        EXPECT_EQ(messages[i].wParam, 2);
        EXPECT_EQ(messages[i + 1].wParam, 2);
    }
    EXPECT_EQ(messages.size() % 2, 1u);
    EXPECT_EQ(messages.back().message, WM_RUN_FINISHED);
    EXPECT_EQ(messages.back().lParam, 0);
    // After each closed point the dwell count shown drops to 0 while the last second stays.
    auto reports = run.Reports();
    int zeroDwellAfterPoint = 0;
    for (std::size_t i = 1; i < reports.size(); ++i)
        if (reports[i].first == 0 && reports[i].second == reports[i - 1].second)
            ++zeroDwellAfterPoint;
    EXPECT_EQ(zeroDwellAfterPoint, 2);
}

TEST(TimeLeft, DaysHoursMinutesSecondsAndNeverNegative) {
    EXPECT_EQ(FormatTimeLeft(1000 + 3909, 1000), "0:01:05:09");
    EXPECT_EQ(FormatTimeLeft(93784, 0), "1:02:03:04");
    EXPECT_EQ(FormatTimeLeft(10, 20), "0:00:00:00");
}
