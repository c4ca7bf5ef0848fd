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
#include <numeric>
#include <regex>
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
    std::string backupPath(int counter) const { return start().backupData(counter); }
    StartDirectory start() const { return dir_.start(); }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
};

// One run in virtual time, started at construction; Finish waits for its end.
struct VirtualRun {
    // The run keeps its backup in the workspace.
    VirtualRun(const Workspace& workspace, const AssayConfig& assay, CounterAccess& counter,
               VirtualClock& clock, int counterNumber = 1,
               const CounterConfig& counterConfig = CounterConfig::defaults())
        : data(std::make_unique<AssayData>(counterConfig, assay, counterNumber)) {
        run = AssayRun::start(*data, observer, RunEnvironment{&clock, &counter, workspace.start()});
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
        VirtualRun run(workspace, timing(c.dwell, c.total), counter, clock);
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
        VirtualRun run(workspace, timing(10, 60), counter, clock);
        ASSERT_TRUE(run.finish());
        EXPECT_NEAR(run.data->progress(), 1.0, 1e-9);
    }
    {
        VirtualClock clock;
        ScriptedCounter counter(repeat(0, 1));
        VirtualRun run(workspace, timing(10, 0), counter, clock);
        ASSERT_TRUE(run.finish());
        EXPECT_EQ(run.data->pointCount(), 1u);
        EXPECT_TRUE(std::isfinite(run.data->progress()));
        EXPECT_EQ(run.data->progress(), 1.0);
    }
}

TEST(RunLength, DwellZeroClosesAPointEveryPassUntilStopped) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter(repeat(0, 1));
    clock.pauseAt(clock.startSeconds() + 3);
    VirtualRun run(workspace, timing(0, 60), counter, clock);
    ASSERT_TRUE(clock.waitUntilPaused());
    // Three seconds of passes, twenty a second.
    std::size_t points = run.data->pointCount();
    EXPECT_GE(points, 58u);
    EXPECT_LE(points, 62u);
    run.stopNow();
    clock.resume();
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.data->headerLines().back().rfind("STOP TIME: ", 0), 0u);
}

TEST(CountArithmetic, DifferencesAreTakenModulo256WithOneResetAtTheStart) {
    Workspace workspace;
    VirtualClock clock;
    // 180 to 20 is a wrap: 96 counts. The register is never reset after the start.
    ScriptedCounter counter({10, 30, 180, 20, 20, 20});
    VirtualRun run(workspace, timing(1, 1), counter, clock);
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.data->counts(), (std::vector<std::int32_t>{10 + 20 + 150 + 96}));
    const auto commands = counter.commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), 'R'), 1);
    EXPECT_EQ(commands.front(), 'R');
}

// A steady source, up to well over 2,000 counts a second: every point holds exactly one dwell
// of counts (the first one too), and the run lasts exactly its total time.
TEST(CountArithmetic, SteadySourcesGivePointsOfExactlyOneDwell) {
    Workspace workspace;
    for (double rate : {5.0, 150.0, 2000.0, 3000.0}) {
        VirtualClock clock;
        nivra::test::SteadyCounter counter(clock, rate);
        VirtualRun run(workspace, timing(2, 10), counter, clock);
        ASSERT_TRUE(run.finish());
        const auto expected = static_cast<std::int32_t>(counter.eventsUntil(2000));
        EXPECT_EQ(run.data->counts(), std::vector<std::int32_t>(5, expected)) << rate;
        const auto lines = run.data->headerLines();
        EXPECT_EQ(lines.back(), "End Time: " + formatLocalTime(clock.startSeconds() + 10));
        EXPECT_EQ(lines.size(), 8u) << lines[7]; // no fault line
        EXPECT_EQ(run.data->endTime(), clock.startSeconds() + 10);
    }
}

TEST(Failures, ACounterThatStopsAnsweringGivesZeroPointsAndEndsByTime) {
    Workspace workspace;
    VirtualClock clock;
    ScriptedCounter counter({5, 9}, /*answerAfterScript=*/false);
    VirtualRun run(workspace, timing(10, 40), counter, clock);
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
    VirtualRun run(workspace, timing(5, 10), counter, clock, 3);
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.data->counts(), (std::vector<std::int32_t>{0, 0}));
}

TEST(Failures, AMissingBackupFolderDoesNotDisturbTheRun) {
    Workspace workspace;
    std::filesystem::remove(workspace.dir().file("backup_data"));
    VirtualClock clock;
    ScriptedCounter counter(repeat(3, 1));
    VirtualRun run(workspace, timing(5, 15), counter, clock);
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.data->pointCount(), 3u);
    EXPECT_FALSE(nivra::test::fileExists(workspace.dir().file("backup_data")));
}

TEST(StopAndBackup, StopInTheMiddleOfADwellKeepsOnlyClosedPoints) {
    Workspace workspace;
    VirtualClock clock;
    std::vector<std::int32_t> readings;
    for (int i = 1; i <= 60; ++i)
        readings.push_back(i);
    ScriptedCounter counter(readings);
    clock.pauseAt(clock.startSeconds() + 25);
    VirtualRun run(workspace, timing(10, 100), counter, clock);
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
    VirtualRun run(workspace, timing(10, 20), counter, clock);
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
    VirtualRun run(workspace, assay, counter, clock, 1, counterConfig);
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
    VirtualRun run(workspace, timing(3, 6), counter, clock, 2);
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
            if (nivra::readDataFile(workspace.backupPath(1))->pointCount() !=
                static_cast<std::size_t>(report.first))
                problems.push_back("point not in the backup");
        }
        if (report.kind == RunReport::Finished && data.headerLineCount() != 8)
            problems.push_back("end line missing");
    });
    std::unique_ptr<AssayRun> run =
        AssayRun::start(data, observer, {&clock, &counter, workspace.start()});
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
        VirtualRun run(workspace, timing(1, 3), counter, clock);
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
    auto run = AssayRun::start(*data, observer, {&clock, &counter, workspace.start()});
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
        if ((line.rfind("Counter ", 0) == 0 && line.rfind("Counter Desc: ", 0) != 0) ||
            line.rfind("Count rate ", 0) == 0)
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
TEST(CounterFaults, StretchesWithoutAnswerAreRecordedAndTheirCountsArriveWithTheNextAnswer) {
    Workspace workspace;
    VirtualClock clock;
    const std::int64_t t0 = clock.startSeconds();
    using C = ScriptedCounter;
    // One entry a second. The register counts on while unanswered; too few counts to turn it.
    ScriptedCounter counter({5, C::kSilent, C::kSilent, C::kSilent, 40, 44, 44, 44, 44},
                            /*answerAfterScript=*/false);
    counter.followClock(clock);
    VirtualRun run(workspace, timing(5, 15), counter, clock);
    ASSERT_TRUE(run.finish());
    // Points go on closing on time.
    EXPECT_EQ(run.data->counts(), (std::vector<std::int32_t>{44, 0, 0}));
    const std::string second = "Counter not answering: " + formatLocalTime(t0 + 9) + " to ";
    const auto lines = faultLines(*run.data);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Counter not answering: " + formatLocalTime(t0 + 1) + " to " +
                            formatLocalTime(t0 + 3) + " (3 s)");
    EXPECT_EQ(lines[1].rfind(second, 0), 0u);
    // The open stretch's line comes right before the end line, without an end report.
    const auto all = run.data->headerLines();
    EXPECT_EQ(all[all.size() - 2], lines[1]);
    EXPECT_EQ(faultReports(run.observer),
              (std::vector<RunReport>{::fault(CounterFault::NotAnswering, t0 + 1, t0 + 1),
                                      ::fault(CounterFault::AnsweringAgain, t0 + 1, t0 + 3),
                                      ::fault(CounterFault::NotAnswering, t0 + 9, t0 + 9)}));
}

TEST(CounterFaults, AVanishedDeviceIsReopenedOnceASecondUntilItIsBack) {
    Workspace workspace;
    VirtualClock clock;
    const std::int64_t t0 = clock.startSeconds();
    using C = ScriptedCounter;
    // One entry a second. Gone in second 1; the reopen in second 2 fails, the one in second 3
    // finds it again, and its first answer is the new base.
    ScriptedCounter counter({3, C::kGone, C::kGone, 10, 12, 12, 12, 12, 12});
    counter.followClock(clock);
    VirtualRun run(workspace, timing(10, 10), counter, clock);
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(counter.reopens(), 2);
    EXPECT_EQ(run.data->counts(), (std::vector<std::int32_t>{5}));
    EXPECT_EQ(faultLines(*run.data),
              (std::vector<std::string>{"Counter not answering: " + formatLocalTime(t0 + 1) +
                                        " to " + formatLocalTime(t0 + 2) + " (2 s)"}));
}

// Far above the limit: the points hold what the register shows, and the header line tells the
// stretch and estimates, from the rate measured between two quick readings, what was lost.
TEST(CounterFaults, ARateAboveTheLimitIsRecordedWithTheCountsLost) {
    Workspace workspace;
    VirtualClock clock;
    const std::int64_t t0 = clock.startSeconds();
    nivra::test::SteadyCounter counter(clock, 20000.0);
    VirtualRun run(workspace, timing(2, 4), counter, clock);
    ASSERT_TRUE(run.finish());
    const auto lines = faultLines(*run.data);
    ASSERT_EQ(lines.size(), 1u);
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(
        lines[0], parts,
        std::regex("Count rate above the counter's limit: (.+) to (.+), about (\\d+) counts lost")))
        << lines[0];
    EXPECT_EQ(parts[1], formatLocalTime(t0));
    EXPECT_TRUE(parts[2] == formatLocalTime(t0 + 3) || parts[2] == formatLocalTime(t0 + 4));
    const auto counts = run.data->counts();
    const double recorded = std::accumulate(counts.begin(), counts.end(), 0.0);
    EXPECT_NEAR(recorded + std::stod(parts[3]), 80000.0, 80000.0 * 0.05);
    const auto faults = faultReports(run.observer);
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0], ::fault(CounterFault::OverLimit, t0, t0));
    EXPECT_EQ(faults[1].counter, static_cast<int>(CounterFault::OverLimitEnded));
}

// Garbled replies count as no answer: the counts arrive with the next good reply, and the
// stretch is recorded with the number of replies lost to it.
TEST(CounterFaults, GarbledRepliesAddNoCountsAndAreRecorded) {
    Workspace workspace;
    VirtualClock clock;
    const std::int64_t t0 = clock.startSeconds();
    nivra::test::SteadyCounter counter(clock, 100.0);
    counter.garbleBetween(2100, 3100); // twenty readings
    VirtualRun run(workspace, timing(2, 6), counter, clock);
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.data->counts(), (std::vector<std::int32_t>{200, 200, 200}));
    EXPECT_EQ(faultLines(*run.data),
              (std::vector<std::string>{"Counter replies garbled: " + formatLocalTime(t0 + 2) +
                                        " to " + formatLocalTime(t0 + 3) + " (20 replies)"}));
    EXPECT_EQ(faultReports(run.observer),
              (std::vector<RunReport>{::fault(CounterFault::Garbled, t0 + 2, t0 + 2),
                                      ::fault(CounterFault::GarbledEnded, t0 + 2, t0 + 3)}));
}
