#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "engine/backup_file.h"
#include "engine/run_assembly.h"
#include "model/assay_data.h"
#include "model/assessment.h"
#include "model/class_decision.h"
#include "model/data_file.h"
#include "storage/history_database.h"
#include "support/run_fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace nivra;
using nivra::test::RecordingObserver;
using nivra::test::RunReport;
using nivra::test::SteadyCounter;
using nivra::test::VirtualClock;

namespace {

// How one assembled run in virtual time should end: a source counting steadily, judged against a
// limit (1/(cm2 h)), with or without the assay's STOP WHEN DECIDED.
struct DecisionCase {
    const char* name;
    double countsPerSecond;
    double limit;
    bool stopWhenDecided;
    std::size_t points;
    EndReason reason;
    const char* lastLine; // the beginning of the record's last header line
};

class AssembledRunEnd : public ::testing::TestWithParam<DecisionCase> {
protected:
    void SetUp() override { std::filesystem::create_directory(dir_.file("backup_data")); }

    static AssayConfig assay(double limit, bool stopWhenDecided) {
        AssayConfig assay = AssayConfig::defaults();
        assay.dwellHours = assay.dwellMinutes = assay.totalHours = assay.totalMinutes = 0;
        assay.dwellSeconds = 10;
        assay.totalSeconds = 60; // 6 points
        assay.classLimit = limit;
        assay.stopWhenDecided = stopWhenDecided;
        return assay;
    }

    test::TempDir dir_;
};

const DecisionCase kDecisionCases[] = {
    // 50 counts a second on 1000 cm² at 84 %: about 214 per cm² and hour, far above 0.05.
    {"HotSampleStopsAtTheSecondPoint", 50.0, 0.05, true, 2, EndReason::Decided,
     "Decided above 0.05 at "},
    {"CleanSampleBelowAGenerousLimit", 0.0, 1000.0, true, 2, EndReason::Decided,
     "Decided below 1000 at "},
    // About 2.1 per cm² and hour: a minute's 30 counts leave the limit 2 inside the interval.
    {"SampleAtItsLimitStaysUndecidedToTheEnd", 0.5, 2.0, true, 6, EndReason::Time, "End Time: "},
    {"WithoutTheSwitchTheLimitStopsNothing", 50.0, 0.05, false, 6, EndReason::Time, "End Time: "},
};

INSTANTIATE_TEST_SUITE_P(Decisions, AssembledRunEnd, ::testing::ValuesIn(kDecisionCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST_P(AssembledRunEnd, EndsAtTheFirstVerdictAndSavesItsLine) {
    const DecisionCase& c = GetParam();
    VirtualClock clock;
    SteadyCounter counter(clock, c.countsPerSecond);
    RecordingObserver next;
    std::vector<std::string> historyProblems;
    const std::string historyPath = dir_.file("history.sqlite");
    AssembledRun assembled({CounterConfig::defaults(),
                            assay(c.limit, c.stopWhenDecided),
                            1,
                            historyPath,
                            [&](const std::string& message) { historyProblems.push_back(message); },
                            {}});
    ASSERT_TRUE(assembled.start(next, RunEnvironment{&clock, &counter, dir_.start()}));
    ASSERT_TRUE(next.waitForFinished());
    assembled.run.reset();

    const AssayData& data = *assembled.data;
    ASSERT_EQ(data.pointCount(), c.points);
    const std::vector<RunReport> reports = next.reports();
    ASSERT_EQ(reports.back().kind, RunReport::Finished);
    EXPECT_EQ(reports.back().first, c.reason == EndReason::Decided ? 2 : 1); // see RunReport

    const std::vector<std::string> lines = data.headerLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.back().rfind(c.lastLine, 0), 0u) << lines.back();
    if (c.reason == EndReason::Decided) {
        // The stop line comes first, and both carry the moment of the decision.
        const std::string when = formatLocalTime(clock.now());
        EXPECT_EQ(lines[lines.size() - 2], "STOP TIME: " + when);
        EXPECT_EQ(lines.back(), std::string(c.lastLine) + when);
        // Judged again from the saved points: they decide, with the verdict the line names.
        const auto counts = data.counts();
        const ClassVerdict verdict =
            classVerdict(assess(counts, data.assayConfig(), data.counterConfig()), c.limit);
        EXPECT_EQ(std::string(c.lastLine).find(classVerdictText(verdict)), 8u);
    }

    // The backup holds the same closing lines and reads as a finished run, which the next run
    // may replace.
    const auto backup = readDataFile(dir_.start().backupData(1));
    ASSERT_TRUE(backup);
    EXPECT_EQ(backup->headerLines(), lines);
    EXPECT_TRUE(endsWithEndLine(backup->headerLines()));

    // The history has the run with every point and line.
    EXPECT_TRUE(historyProblems.empty());
    HistoryDatabase db;
    HistoryRunDetail stored;
    bool found = false;
    ASSERT_TRUE(db.open(historyPath) && db.loadRun(assembled.recorder->runId(), stored, found));
    ASSERT_TRUE(found);
    EXPECT_EQ(stored.points.size(), c.points);
    EXPECT_EQ(stored.headerLines, lines);
}

// A history whose location could not be resolved is told once, and the run goes on.
TEST_F(AssembledRunEnd, UnresolvedHistoryIsToldOnceAndTheRunGoesOn) {
    VirtualClock clock;
    SteadyCounter counter(clock, 5.0);
    RecordingObserver next;
    HistoryLocation unresolved;
    unresolved.problem = "history_config.pfx cannot be read: Permission denied";
    std::vector<std::string> problems;
    AssembledRun assembled({CounterConfig::defaults(),
                            assay(0.05, false),
                            2,
                            unresolved,
                            [&](const std::string& message) { problems.push_back(message); },
                            {}});
    ASSERT_TRUE(assembled.start(next, RunEnvironment{&clock, &counter, dir_.start()}));
    ASSERT_TRUE(next.waitForFinished());
    assembled.run.reset();
    EXPECT_EQ(assembled.data->pointCount(), 6u);
    // Once, and then which points the history lacks.
    const std::string told = RunRecorder::kReportPrefix + unresolved.problem;
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems.front(), told);
    EXPECT_EQ(std::count(problems.begin(), problems.end(), told), 1);
}

// The stop follows the record's limit as it is at each point: a limit the operator types during
// the run decides it, and a limit taken away lets it run to its end.
TEST_F(AssembledRunEnd, ALimitChangedDuringTheRunIsTheOneThatStopsIt) {
    struct Change {
        double countsPerSecond;
        std::optional<double> typed;
        std::size_t points;
        const char* lastLine;
    };
    for (const Change& c : {Change{0.5, 1000.0, 2, "Decided below 1000 at "},
                            Change{50.0, std::nullopt, 6, "End Time: "}}) {
        VirtualClock clock;
        SteadyCounter counter(clock, c.countsPerSecond);
        RecordingObserver next;
        AssembledRun assembled({CounterConfig::defaults(),
                                assay(2.0, true),
                                1,
                                dir_.file("history.sqlite"),
                                nullptr,
                                {}});
        clock.pauseAt(clock.startSeconds() + 5); // before the first point closes
        ASSERT_TRUE(assembled.start(next, RunEnvironment{&clock, &counter, dir_.start()}));
        ASSERT_TRUE(clock.waitUntilPaused());
        assembled.data->setClassLimit(c.typed);
        clock.resume();
        ASSERT_TRUE(next.waitForFinished());
        assembled.run.reset();
        EXPECT_EQ(assembled.data->pointCount(), c.points);
        EXPECT_EQ(assembled.data->headerLines().back().rfind(c.lastLine, 0), 0u)
            << assembled.data->headerLines().back();
    }
}
