#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "engine/assay_run.h"
#include "engine/run_observer.h"
#include "engine/time_left.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "support/run_fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <thread>

using namespace nivra;
using nivra::test::RecordingObserver;
using nivra::test::RunReport;
using nivra::test::ScriptedCounter;
using nivra::test::TempDir;
using nivra::test::VirtualClock;

namespace {

AssayConfig timing(std::uint32_t dwellSeconds, std::uint32_t totalSeconds) {
    AssayConfig assay = AssayConfig::defaults();
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
    std::string backupPath(int counter) const { return backupDataPath(counter); }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    nivra::test::StartDirectoryScope start_{dir_.path()};
};

// One run in virtual time, started at construction; Finish waits for its end.
struct VirtualRun {
    explicit VirtualRun(const AssayConfig& assay, ScriptedCounter& counter, VirtualClock& clock,
                        int counterNumber = 1,
                        const CounterConfig& counterConfig = CounterConfig::defaults())
        : data(std::make_unique<AssayData>(counterConfig, assay, counterNumber)) {
        run = AssayRun::start(*data, observer, RunEnvironment{&clock, &counter});
        EXPECT_NE(run, nullptr);
    }

    void stopNow() { run->requestStop(); }

    bool finish() {
        bool finished = observer.waitForFinished();
        run.reset();
        return finished;
    }

    // The (dwell so far, last second) pairs of the run's reports: (0, 0) for its start, one
    // pair per second.
    std::vector<std::pair<std::int64_t, std::int64_t>> reports() const {
        std::vector<std::pair<std::int64_t, std::int64_t>> reports;
        for (const RunReport& report : observer.reports())
            if (report.kind == RunReport::Started)
                reports.emplace_back(0, 0);
            else if (report.kind == RunReport::Second)
                reports.emplace_back(report.second, report.first);
        return reports;
    }

    std::unique_ptr<AssayData> data;
    RecordingObserver observer;
    std::unique_ptr<AssayRun> run;
};

std::vector<std::int32_t> repeat(std::int32_t value, int times) {
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
        ScriptedCounter counter(repeat(0, 1));
        VirtualRun run(timing(c.dwell, c.total), counter, clock);
        ASSERT_TRUE(run.finish());
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
        ScriptedCounter counter(repeat(0, 1));
        VirtualRun run(timing(10, 60), counter, clock);
        ASSERT_TRUE(run.finish());
        EXPECT_NEAR(run.data->progress(), 1.0, 1e-9);
    }
    {
        VirtualClock clock;
        ScriptedCounter counter(repeat(0, 1));
        VirtualRun run(timing(10, 0), counter, clock);
        ASSERT_TRUE(run.finish());
        EXPECT_EQ(run.data->pointCount(), 1u);
        EXPECT_TRUE(std::isfinite(run.data->progress()));
        EXPECT_EQ(run.data->progress(), 1.0);
    }
}

TEST(RunLength, DwellZeroClosesFourPointsPerSecondUntilStopped) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter(repeat(0, 1));
    clock.pauseAt(clock.startSeconds() + 3);
    VirtualRun run(timing(0, 60), counter, clock);
    ASSERT_TRUE(clock.waitUntilPaused());
    // Seconds 1 and 2 have passed completely: the first pass of second 1 closes its first point.
    std::size_t points = run.data->pointCount();
    EXPECT_GE(points, 7u);
    EXPECT_LE(points, 9u);
    run.stopNow();
    clock.resume();
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.data->headerLines().back().rfind("STOP TIME: ", 0), 0u);
}

TEST(CountArithmetic, ReadingsBecomeCountsPerSecondWithResetsAbove60) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter({10, 30, 70, 5});
    VirtualRun run(timing(100, 100), counter, clock);
    // Stop after the fourth reading.
    counter.onRead([&](int read) {
        if (read == 5)
            run.run->requestStop();
    });
    ASSERT_TRUE(run.finish());
    auto reports = run.reports();
    ASSERT_GE(reports.size(), 5u);
    // The first report comes before any reading; then one per second.
    std::vector<std::pair<std::int64_t, std::int64_t>> expected{
        {0, 0}, {10, 10}, {30, 20}, {70, 40}, {75, 5}};
    EXPECT_EQ(std::vector(reports.begin(), reports.begin() + 5), expected);
    auto commands = counter.commands();
    // Reset at the start, then a reset right after the reading of 70.
    ASSERT_GE(commands.size(), 6u);
    EXPECT_EQ(std::string(commands.begin(), commands.begin() + 6), "RCCCRC");
}

TEST(CountArithmetic, AReadingBelowThePreviousCountsNothingAndRestartsFromZero) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter({50, 20, 25});
    VirtualRun run(timing(100, 100), counter, clock);
    counter.onRead([&](int read) {
        if (read == 4)
            run.run->requestStop();
    });
    ASSERT_TRUE(run.finish());
    auto reports = run.reports();
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
    VirtualRun run(timing(10, 30), counter, clock);
    ASSERT_TRUE(run.finish());
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
    VirtualRun run(timing(10, 40), counter, clock);
    ASSERT_TRUE(run.finish());
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
    VirtualRun run(timing(5, 10), counter, clock, 3);
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.data->counts(), (std::vector<std::int32_t>{0, 0}));
}

TEST(Failures, AMissingBackupFolderDoesNotDisturbTheRun) {
    TempDir dir;
    nivra::test::StartDirectoryScope start(dir.path()); // no backup_data folder
    VirtualClock clock;
    ScriptedCounter counter(repeat(3, 1));
    VirtualRun run(timing(5, 15), counter, clock);
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.data->pointCount(), 3u);
    EXPECT_FALSE(nivra::test::fileExists(dir.file("backup_data")));
}

TEST(StopAndBackup, StopInTheMiddleOfADwellKeepsOnlyClosedPoints) {
    Workspace workspace;
    VirtualClock clock;
    std::vector<std::int32_t> readings;
    for (int i = 1; i <= 60; ++i)
        readings.push_back(i);
    ScriptedCounter counter(readings);
    clock.pauseAt(clock.startSeconds() + 25);
    VirtualRun run(timing(10, 100), counter, clock);
    ASSERT_TRUE(clock.waitUntilPaused());
    run.stopNow();
    clock.resume();
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.data->pointCount(), 2u);
    auto lines = run.data->headerLines();
    EXPECT_EQ(lines.back().rfind("STOP TIME: ", 0), 0u);
    EXPECT_EQ(run.observer.reports().back(), (RunReport{RunReport::Finished, 1, 0}));

    // The backup holds the record as of its last point, and the stop line.
    AssayData backup = *nivra::readDataFile(workspace.backupPath(1));
    EXPECT_EQ(backup.counts(), run.data->counts());
    EXPECT_EQ(backup.headerLines(), lines);
}

TEST(StopAndBackup, AFinishedRunsBackupIsDeletedBeforeTheFirstPoint) {
    Workspace workspace;
    AssayData old(CounterConfig::defaults(), timing(1, 1), 1);
    old.appendHeaderLine("End Time: 01/02/26 03:04:05");
    for (int i = 0; i < 5; ++i)
        old.appendPoint(99);
    ASSERT_TRUE(nivra::saveDataFile(old, workspace.backupPath(1)));

    VirtualClock clock;
    ScriptedCounter counter(repeat(0, 1));
    clock.pauseAt(clock.startSeconds() + 2);
    VirtualRun run(timing(10, 20), counter, clock);
    ASSERT_TRUE(clock.waitUntilPaused());
    EXPECT_FALSE(nivra::test::fileExists(workspace.backupPath(1)));
    clock.resume();
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(nivra::readDataFile(workspace.backupPath(1))->pointCount(), 2u);
}

TEST(HeaderLines, StartLinesThenTheEndLineInOrder) {
    Workspace workspace;
    CounterConfig counterConfig = CounterConfig::defaults();
    counterConfig.description = "alpha bench 2";
    counterConfig.detectorArea = 120;
    counterConfig.detectorEfficiency = 0.845;
    AssayConfig assay = timing(5, 5);
    assay.sampleArea = 100;
    assay.backgroundRate = 1.5;
    assay.backgroundHours = 0.25;
    VirtualClock clock;
    ScriptedCounter counter(repeat(0, 1));
    VirtualRun run(assay, counter, clock, 1, counterConfig);
    ASSERT_TRUE(run.finish());
    const AssayData& data = *run.data;

    auto lines = data.headerLines();
    ASSERT_EQ(lines.size(), 8u);
    std::string start = formatLocalTime(clock.startSeconds());
    EXPECT_EQ(lines[0], "Start Time: " + start);
    EXPECT_EQ(lines[1], "Counter Desc: alpha bench 2");
    EXPECT_EQ(lines[2], "sample area: 100");
    EXPECT_EQ(lines[3], "detector area: 120");
    EXPECT_EQ(lines[4], "detector eff: 84.50%");
    EXPECT_EQ(lines[5], "background_rate: 1.500");
    EXPECT_EQ(lines[6], "background_hours: 0.250");
    EXPECT_EQ(lines[7].rfind("End Time: ", 0), 0u);
    EXPECT_EQ(data.endTime(), clock.startSeconds() + 5);
}

TEST(Reports, StartedFirstThenSecondsAndPointsInOrderFinishedLast) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter({2, 4, 6, 8, 10, 12});
    VirtualRun run(timing(3, 6), counter, clock, 2);
    ASSERT_TRUE(run.finish());
    const std::vector<RunReport> reports = run.observer.reports();
    ASSERT_GE(reports.size(), 4u);
    EXPECT_EQ(reports.front(), (RunReport{RunReport::Started, 2}));
    EXPECT_EQ(reports.back(), (RunReport{RunReport::Finished, 2, 1}));
    int points = 0;
    for (std::size_t i = 1; i + 1 < reports.size(); ++i) {
        EXPECT_EQ(reports[i].counter, 2);
        if (reports[i].kind != RunReport::Point) {
            EXPECT_EQ(reports[i].kind, RunReport::Second);
            continue;
        }
        // A point follows the second that closed it, numbered in order, with the dwell's sum.
        ++points;
        EXPECT_EQ(reports[i].first, points);
        ASSERT_EQ(reports[i - 1].kind, RunReport::Second);
        EXPECT_EQ(reports[i].second, reports[i - 1].second);
        EXPECT_EQ(run.data->count(static_cast<std::size_t>(points - 1)), reports[i].second);
    }
    EXPECT_EQ(points, 2);
}

// The observer's calls come after the record holds what they report, a point's only after its
// backup save, and nothing touches the record after finished.
TEST(Reports, TheRecordAndTheBackupAreAheadOfEveryReport) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter(repeat(1, 1));
    AssayData data(CounterConfig::defaults(), timing(2, 6), 1);
    RecordingObserver observer;
    std::vector<std::string> problems;
    observer.onReport([&](const RunReport& report) {
        if (report.kind == RunReport::Started && data.headerLineCount() != 7)
            problems.push_back("start lines missing");
        if (report.kind == RunReport::Point) {
            if (data.pointCount() != static_cast<std::size_t>(report.first))
                problems.push_back("point not in the record");
            if (nivra::readDataFile(backupDataPath(1))->pointCount() !=
                static_cast<std::size_t>(report.first))
                problems.push_back("point not in the backup");
        }
        if (report.kind == RunReport::Finished && data.headerLineCount() != 8)
            problems.push_back("end line missing");
    });
    std::unique_ptr<AssayRun> run = AssayRun::start(data, observer, {&clock, &counter});
    ASSERT_TRUE(observer.waitForFinished());
    run.reset();
    EXPECT_TRUE(problems.empty()) << problems.front();
}

// A stop request that races the natural end, or comes after it, is harmless: exactly one
// finished, and destroying a run in the middle stops it and waits for its end.
TEST(Reports, StopRacingTheEndAndDestructionWhileRunning) {
    Workspace workspace;
    for (int trial = 0; trial < 20; ++trial) {
        VirtualClock clock;
        ScriptedCounter counter(repeat(0, 1));
        VirtualRun run(timing(1, 3), counter, clock);
        counter.onRead([&](int read) {
            if (read == 3 + trial % 3)
                run.run->requestStop();
        });
        ASSERT_TRUE(run.observer.waitForFinished());
        run.run->requestStop();
        ASSERT_TRUE(run.finish());
        const auto reports = run.observer.reports();
        EXPECT_EQ(std::count_if(reports.begin(), reports.end(),
                                [](const RunReport& r) { return r.kind == RunReport::Finished; }),
                  1);
    }
    VirtualClock clock;
    ScriptedCounter counter(repeat(0, 1));
    auto data = std::make_unique<AssayData>(CounterConfig::defaults(), timing(1, 100000), 1);
    RecordingObserver observer;
    clock.pauseAt(clock.startSeconds() + 5);
    auto run = AssayRun::start(*data, observer, {&clock, &counter});
    ASSERT_TRUE(clock.waitUntilPaused());
    clock.resume();
    run.reset(); // returns once the run has ended
    EXPECT_EQ(observer.reports().back().kind, RunReport::Finished);
    EXPECT_EQ(data->headerLines().back().rfind("STOP TIME: ", 0), 0u);
}

TEST(TimeLeft, DaysHoursMinutesSecondsAndNeverNegative) {
    EXPECT_EQ(formatTimeLeft(1000 + 3909, 1000), "0:01:05:09");
    EXPECT_EQ(formatTimeLeft(93784, 0), "1:02:03:04");
    EXPECT_EQ(formatTimeLeft(10, 20), "0:00:00:00");
}

namespace {

// The header lines that tell counter faults.
std::vector<std::string> faultLines(const AssayData& data) {
    std::vector<std::string> lines;
    for (const std::string& line : data.headerLines())
        if (line.rfind("Counter ", 0) == 0 && line.rfind("Counter Desc: ", 0) != 0)
            lines.push_back(line);
    return lines;
}

std::vector<RunReport> faultReports(const RecordingObserver& observer) {
    std::vector<RunReport> faults;
    for (const RunReport& report : observer.reports())
        if (report.kind == RunReport::Fault)
            faults.push_back(report);
    return faults;
}

RunReport fault(CounterFault fault, std::int64_t first, std::int64_t last) {
    return {RunReport::Fault, static_cast<int>(fault), first, last};
}

} // namespace

// Silent for three seconds, then once more from the ninth second to the end of the run.
TEST(CounterFaults, StretchesWithoutAnswerAreRecordedAndCountingResumesFromTheNextAnswer) {
    Workspace workspace;
    VirtualClock clock;
    const std::int64_t t0 = clock.startSeconds();
    using C = ScriptedCounter;
    // The register counts on while unanswered: its next answer is only the new base.
    ScriptedCounter counter({5, C::kSilent, C::kSilent, C::kSilent, 40, 44, 44, 44},
                            /*answerAfterScript=*/false);
    VirtualRun run(timing(5, 15), counter, clock);
    ASSERT_TRUE(run.finish());
    // Points go on closing on time.
    EXPECT_EQ(run.data->counts(), (std::vector<std::int32_t>{9, 0, 0}));
    const std::string second = "Counter not answering: " + formatLocalTime(t0 + 9) + " to ";
    const auto lines = faultLines(*run.data);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Counter not answering: " + formatLocalTime(t0 + 2) + " to " +
                            formatLocalTime(t0 + 4) + " (3 s)");
    EXPECT_EQ(lines[1].rfind(second, 0), 0u);
    // The open stretch's line comes right before the end line, without an end report.
    const auto all = run.data->headerLines();
    EXPECT_EQ(all[all.size() - 2], lines[1]);
    EXPECT_EQ(faultReports(run.observer),
              (std::vector<RunReport>{::fault(CounterFault::NotAnswering, t0 + 2, t0 + 2),
                                      ::fault(CounterFault::AnsweringAgain, t0 + 2, t0 + 4),
                                      ::fault(CounterFault::NotAnswering, t0 + 9, t0 + 9)}));
}

TEST(CounterFaults, AVanishedDeviceIsReopenedOnceASecondUntilItIsBack) {
    Workspace workspace;
    VirtualClock clock;
    const std::int64_t t0 = clock.startSeconds();
    using C = ScriptedCounter;
    // Gone at the second read; the first reopen fails, the second finds it again.
    ScriptedCounter counter({3, C::kGone, C::kGone, 10, 12, 12, 12, 12, 12});
    VirtualRun run(timing(10, 10), counter, clock);
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(counter.reopens(), 2);
    auto commands = counter.commands();
    EXPECT_EQ(std::string(commands.begin(), commands.begin() + 7), "RCCOCOC");
    EXPECT_EQ(run.data->counts(), (std::vector<std::int32_t>{5}));
    EXPECT_EQ(faultLines(*run.data),
              (std::vector<std::string>{"Counter not answering: " + formatLocalTime(t0 + 2) +
                                        " to " + formatLocalTime(t0 + 3) + " (2 s)"}));
}

TEST(CounterFaults, WrapsAndWronglyAnsweredResetsGiveAtMostOneLineAMinute) {
    Workspace workspace;
    VirtualClock clock;
    const std::int64_t t0 = clock.startSeconds();
    ScriptedCounter counter({10, 70, 75, 3, 8});
    counter.onRead([&](int read) {
        if (read == 2)
            counter.setResetOutcome(CommandOutcome::kWrongReply);
    });
    // A failed start reset: the first answer is the base.
    counter.setResetOutcome(CommandOutcome::kNoAnswer);
    VirtualRun run(timing(10, 10), counter, clock);
    // 10 is the base; 70 counts 60 and its reset is answered wrongly, so 75 counts 5 on from
    // 70; 3 went back (a second wrap within the minute: no further line); 8 counts 8.
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.data->counts(), (std::vector<std::int32_t>{73}));
    EXPECT_EQ(faultLines(*run.data),
              (std::vector<std::string>{"Counter register wrapped or reset at " +
                                        formatLocalTime(t0 + 2)}));
}
