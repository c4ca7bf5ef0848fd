#include "counter_link/counter_protocol.h"
#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/counter_config.h"
#include "model/data_file.h"
#include "storage/history_database.h"
#include "storage/history_record.h"
#include "support/child_process.h"
#include "support/sim_workspace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <numeric>
#include <sstream>
#include <thread>

using namespace nivra;
using nivra::test::runProgram;
using nivra::test::SimWorkspace;
using ::testing::HasSubstr;

namespace {

// A start directory with its folders, a port list naming one simulated port with counter 1,
// an assay configuration and counter 1's default counter configuration.
class CliRun : public ::testing::Test {
protected:
    void SetUp() override {
        test::usePrivateLockDirectory();
        for (const char* folder : {"assay_config", "counter_config", "backup_data", "out"})
            std::filesystem::create_directory(ws_.path(folder));
        port_ = &ws_.addPort("ttySIM0", {1});
        test::writePortList(ws_.path("port_config.pfx"), {"PORT1=" + ws_.path("ttySIM0")});
        writeAssay(2, 6);
        CounterConfig counter = CounterConfig::defaults();
        counter.description = "bench counter";
        ASSERT_TRUE(counter.write(ws_.path("counter_config/counter1.ccx")).ok());
    }

    void writeAssay(std::uint32_t dwellSeconds, std::uint32_t totalSeconds) {
        AssayConfig assay = AssayConfig::defaults();
        assay.dwellHours = assay.dwellMinutes = 0;
        assay.dwellSeconds = dwellSeconds;
        assay.totalHours = assay.totalMinutes = 0;
        assay.totalSeconds = totalSeconds;
        ASSERT_TRUE(assay.write(ws_.path("assay_config/short.acx")).ok());
    }

    std::size_t readsSent() const {
        std::size_t reads = 0;
        for (const auto& request : port_->requests())
            reads += request.command == protocol::CMD_READ;
        return reads;
    }

    static std::vector<std::string> linesStartingWith(const std::string& text,
                                                      const std::string& prefix) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(prefix, 0) == 0)
                lines.push_back(line);
        return lines;
    }

    SimWorkspace ws_;
    sim::SimulatedPort* port_ = nullptr;
};

} // namespace

TEST_F(CliRun, RunsToTheEndAndSavesEveryPoint) {
    auto result = runProgram("nivra-cli",
                             {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out",
                              "out/run.dax", "--csv", "out/run.csv"},
                             ws_.folder());
    ASSERT_EQ(result.exitCode, 0) << result.err;

    AssayData saved = *nivra::readDataFile(ws_.path("out/run.dax"));
    auto counts = saved.counts();
    ASSERT_EQ(counts.size(), 3u);
    // The points hold every count the counter reported, second by second.
    std::int64_t perSecond = 0;
    for (const auto& line : linesStartingWith(result.out, "counts "))
        perSecond += std::stoll(line.substr(line.find("last_second=") + 12));
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::int64_t{0}), perSecond);
    EXPECT_EQ(linesStartingWith(result.out, "point ").size(), 3u);
    EXPECT_THAT(result.out, HasSubstr("finished by=time points=3"));

    auto lines = saved.headerLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("Start Time: ", 0), 0u);
    EXPECT_EQ(lines[1], "Counter Desc: bench counter");
    EXPECT_EQ(lines.back().rfind("End Time: ", 0), 0u);
    EXPECT_TRUE(test::fileExists(ws_.path("out/run.csv")));
    EXPECT_EQ(nivra::readDataFile(ws_.path("backup_data/backup_1.dax"))->counts(), counts);
}

// SIGTERM, and SIGHUP from a remote login that closes, stop the run and save what it has.
TEST_F(CliRun, SigtermAndSighupStopTheRunAndKeepTheClosedPoints) {
    writeAssay(1, 3600);
    for (const int signal : {SIGTERM, SIGHUP}) {
        const std::string out = "out/run" + std::to_string(signal) + ".dax";
        test::BackgroundProgram run(
            "nivra-cli",
            {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out", out},
            ws_.folder());
        EXPECT_TRUE(run.waitForOutput("point 1 ")) << run.output();
        EXPECT_EQ(run.stop(signal), 0) << run.output();
        EXPECT_THAT(run.output(), HasSubstr("finished by=stop"));
        AssayData saved = *nivra::readDataFile(ws_.path(out));
        EXPECT_GE(saved.pointCount(), 1u) << signal;
        ASSERT_FALSE(saved.headerLines().empty()) << signal;
        EXPECT_EQ(saved.headerLines().back().rfind("STOP TIME: ", 0), 0u);
    }
}

TEST_F(CliRun, RefusesBeforeAnythingIsMeasured) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string error;
    };
    const std::vector<Case> cases{
        {{"--counter", "1", "--assay", "assay_config/short.acx"}, 2, "missing --out; usage:"},
        {{"--out", "a.dax"}, 2, "missing --counter and --assay; usage:"},
        {{"--counter", "1", "--assay", "assay_config/short.acx", "--out", "a.dax", "--out",
          "b.dax"},
         2,
         "--out is given twice"},
        {{"--counter", "1", "--assay", "assay_config/short.acx", "--out", std::string(256, 'n')},
         1,
         "': File name too long"},
        {{"--counter", "x", "--assay", "assay_config/short.acx", "--out", "a.dax"},
         2,
         "bad counter number"},
        {{"--counter", "1", "--assay", "a.acx", "--out", "a.dax", "--fast"}, 2, "unknown option"},
        {{"--counter", "1", "--assay", "assay_config/none.acx", "--out", "a.dax"},
         1,
         "Missing a configuration file nessesary to start assay"},
        {{"--counter", "2", "--assay", "assay_config/short.acx", "--out", "a.dax"},
         1,
         "Missing a configuration file nessesary to start assay"},
        {{"--counter", "1", "--assay", "assay_config/short.acx", "--out", "nowhere/a.dax"},
         1,
         "cannot write 'nowhere/a.dax'"},
        {{"--counter", "2", "--assay", "assay_config/short.acx", "--counter-config",
          "counter_config/counter1.ccx", "--out", "a.dax"},
         1,
         "counter 2 was not found"},
        {{"--counter", "1", "--assay", "assay_config/short.acx", "--out", "a.dax",
          "--until-decided"},
         2,
         "--until-decided needs a class limit: 'assay_config/short.acx' has no CLASS LIMIT"},
        {{"--counter", "1", "--assay", "assay_config/short.acx", "--out", "a.dax",
          "--until-decided", "--class-limit", "0"},
         2,
         "--until-decided needs a class limit"},
        {{"--counter", "1", "--assay", "assay_config/short.acx", "--out", "a.dax", "--class-limit",
          "0,05"},
         2,
         "bad number '0,05' for --class-limit"},
        {{"--counter", "1", "--assay", "assay_config/short.acx", "--out", "a.dax",
          "--class-limit=-1"},
         2,
         "--class-limit must be a rate of 0 or more"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"run"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        auto result = runProgram("nivra-cli", args, ws_.folder());
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_THAT(result.err, HasSubstr(c.error));
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    EXPECT_EQ(readsSent(), 0u);
    EXPECT_FALSE(test::fileExists(ws_.path("a.dax")));
}

// Every run goes into the run history as it runs: a finished one with its points, kind, end and
// data file (exported again byte for byte), a killed one as 'interrupted' with the points it had
// written once its heartbeat is older than the lease.
TEST_F(CliRun, RecordsFinishedAndKilledRunsInTheHistory) {
    auto result = runProgram("nivra-cli",
                             {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out",
                              "out/run.dax", "--kind", "background"},
                             ws_.folder());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");

    writeAssay(1, 3600);
    test::BackgroundProgram killed(
        "nivra-cli",
        {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out", "out/killed.dax"},
        ws_.folder());
    // The history is written behind the printed lines, so the run is killed once point 3 is
    // printed: point 2 has then had a whole dwell to reach the history.
    EXPECT_TRUE(killed.waitForOutput("point 3 ")) << killed.output();
    killed.kill();

    // The killed run's heartbeat stops: once it is older than the lease, the next opener marks
    // the run interrupted.
    HistoryDatabase db;
    db.setClock([] { return std::time(nullptr) + HistoryDatabase::kLeaseSeconds + 1; });
    ASSERT_TRUE(db.open(ws_.path("history.sqlite")).ok());
    std::vector<HistoryRun> runs;
    ASSERT_TRUE(db.listRuns({}, runs).ok());
    ASSERT_EQ(runs.size(), 2u);
    HistoryRunDetail finished, interrupted;
    bool found = false;
    ASSERT_TRUE(db.loadRun(runs[1].id, finished, found).ok() && found);
    ASSERT_TRUE(db.loadRun(runs[0].id, interrupted, found).ok() && found);

    EXPECT_EQ(finished.run.kind, RunKind::Background);
    EXPECT_EQ(finished.run.endReason, RunEnd::Time);
    EXPECT_EQ(finished.run.dataFile, ws_.path("out/run.dax"));
    const auto saved = readDataFile(ws_.path("out/run.dax"));
    EXPECT_EQ(finished.run.totalCounts, static_cast<std::int64_t>(saved->sumCounts()));
    ASSERT_TRUE(saveDataFile(*recordOfRun(finished), ws_.path("out/again.dax")));
    EXPECT_EQ(test::readFileBytes(ws_.path("out/again.dax")),
              test::readFileBytes(ws_.path("out/run.dax")));

    EXPECT_EQ(interrupted.run.endReason, RunEnd::Interrupted);
    EXPECT_EQ(interrupted.run.kind, RunKind::Sample);
    EXPECT_GE(interrupted.run.points, 2);
    std::int64_t sum = 0;
    for (const auto& point : interrupted.points)
        sum += point.count;
    EXPECT_EQ(interrupted.run.totalCounts, sum);
}

TEST_F(CliRun, AHistoryThatCannotBeWrittenIsToldOnceAndTheRunGoesOn) {
    std::filesystem::create_directory(ws_.path("history.sqlite"));
    auto result = runProgram(
        "nivra-cli",
        {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out", "out/run.dax"},
        ws_.folder());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_THAT(result.err, ::testing::StartsWith("nivra-cli run: Run history not written: "));
    // After a bounded wait at the end, one line says what the history lacks.
    EXPECT_THAT(result.err,
                ::testing::HasSubstr("\nnivra-cli run: Run history behind: points 1 to 3 are not "
                                     "in it; the data file and the backup hold them"));
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2) << result.err;
    EXPECT_EQ(readDataFile(ws_.path("out/run.dax"))->pointCount(), 3u);
}

// ---- Backups: kept, refused when they cannot be written, failures told ----

// (The guide's commands show the line of a kept backup.)
TEST_F(CliRun, RefusesABackupFolderItCannotWriteUnlessToldToRunWithoutBackups) {
    writeAssay(1, 1);
    const std::vector<std::string> run{
        "run", "--counter", "1", "--assay", "assay_config/short.acx", "--out", "out/run.dax"};
    std::filesystem::remove_all(ws_.path("backup_data"));
    auto result = runProgram("nivra-cli", run, ws_.folder());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "nivra-cli run: backups cannot be written to '" +
                              ws_.path("backup_data") +
                              "': No such file or directory (--no-backup runs without them)\n");
    EXPECT_EQ(readsSent(), 0u);
    std::vector<std::string> withoutBackup = run;
    withoutBackup.push_back("--no-backup");
    result = runProgram("nivra-cli", withoutBackup, ws_.folder());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_FALSE(std::filesystem::exists(ws_.path("backup_data")));
}

// The backup folder goes away during a run and comes back: one line for each change. When the
// data file cannot be saved at the end, the message says what the backup holds.
TEST_F(CliRun, TellsFailingBackupsAndWhatTheBackupHoldsWhenTheOutputIsLost) {
    writeAssay(1, 3600);
    const std::string backup = ws_.path("backup_data/backup_1.dax");
    {
        test::BackgroundProgram run(
            "nivra-cli",
            {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out", "out/run.dax"},
            ws_.folder());
        EXPECT_TRUE(run.waitForOutput("point 1 "));
        std::filesystem::rename(ws_.path("backup_data"), ws_.path("moved"));
        EXPECT_TRUE(run.waitForOutput("point 3 "));
        std::filesystem::rename(ws_.path("moved"), ws_.path("backup_data"));
        EXPECT_TRUE(run.waitForOutput("point 5 "));
        std::filesystem::remove_all(ws_.path("out"));
        EXPECT_EQ(run.stop(), 1);
        const std::string output = run.output();
        const std::string failing =
            "nivra-cli run: backup not saved: '" + backup + "': No such file or directory\n";
        const std::string working = "nivra-cli run: backup saved again: '" + backup + "'\n";
        ASSERT_EQ(linesStartingWith(output, "nivra-cli run: backup").size(), 2u) << output;
        EXPECT_LT(output.find(failing), output.find(working));
        const std::size_t points = nivra::readDataFile(backup)->pointCount();
        EXPECT_GE(points, 5u);
        EXPECT_THAT(output, HasSubstr("the data could not be saved to 'out/run.dax': No such file "
                                      "or directory; the backup file '" +
                                      backup + "' holds the record with " + std::to_string(points) +
                                      " points\n"));
    }
    std::filesystem::create_directory(ws_.path("out"));
    test::BackgroundProgram run(
        "nivra-cli",
        {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out", "out/run.dax"},
        ws_.folder());
    EXPECT_TRUE(run.waitForOutput("point 1 "));
    std::filesystem::remove_all(ws_.path("backup_data"));
    std::filesystem::remove_all(ws_.path("out"));
    EXPECT_EQ(run.stop(), 1);
    EXPECT_THAT(run.output(), HasSubstr("the backup file '" + backup +
                                        "' does not hold them: its last save failed (No such "
                                        "file or directory)\n"));
}

TEST_F(CliRun, ACounterSilentForAWhileIsRecordedToldAndEndsWithStatus3) {
    writeAssay(2, 10);
    port_->setRate(1, 20.0);
    // The counter falls silent after its third read and answers again from its sixth request
    // on (the run's progress, not the test's clock, decides when).
    std::thread faults([this] {
        const auto waitForReads = [this](std::size_t reads) {
            for (int i = 0; i < 1200 && readsSent() < reads; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(25));
        };
        waitForReads(3);
        port_->setFault(1, sim::Fault::silent());
        waitForReads(6);
        port_->setFault(1, sim::Fault{});
    });
    auto result = runProgram(
        "nivra-cli",
        {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out", "out/run.dax"},
        ws_.folder());
    faults.join();
    EXPECT_EQ(result.exitCode, 3) << result.err;

    // One line when the stretch begins, one when it ends, and the header line says the same.
    auto starts = linesStartingWith(result.err, "fault counter=1 not-answering since=\"");
    auto ends = linesStartingWith(result.err, "fault counter=1 answering again after=");
    ASSERT_EQ(starts.size(), 1u) << result.err;
    ASSERT_EQ(ends.size(), 1u) << result.err;
    const std::string since = starts[0].substr(starts[0].find('"') + 1);
    const std::string after = ends[0].substr(ends[0].find("after=") + 6);
    AssayData saved = *nivra::readDataFile(ws_.path("out/run.dax"));
    const auto lines = saved.headerLines();
    EXPECT_EQ(std::count_if(
                  lines.begin(), lines.end(),
                  [&](const std::string& line) {
                      return line.rfind("Counter not answering: " + since.substr(0, 17), 0) == 0 &&
                             line.ends_with("(" + after.substr(0, after.size() - 1) + " s)");
                  }),
              1);
    // Counting resumed: the last point has counts again.
    auto counts = saved.counts();
    ASSERT_EQ(counts.size(), 5u);
    EXPECT_GT(counts.back(), 0);
}

// A counter driven past what its one-byte register can tell, and one whose replies come behind
// line noise: each stretch is told on standard error and in a header line, the run ends with
// status 3, and noise never turns into counts.
struct CountFaultCase {
    const char* name;
    double rate;
    std::vector<std::uint8_t> noise;
    const char* faultLine;
    const char* headerLine;
};

class CliRunCountFaults : public CliRun, public ::testing::WithParamInterface<CountFaultCase> {};

TEST_P(CliRunCountFaults, AreToldAndEndWithStatus3) {
    const CountFaultCase& c = GetParam();
    writeAssay(2, 6);
    port_->setRate(1, c.rate);
    // The noise starts once the run reads the counter, so that the counter is found first.
    std::thread noise([&] {
        if (c.noise.empty())
            return;
        for (int i = 0; i < 3000 && readsSent() < 2; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        port_->setFault(1, sim::Fault::strayBytes(c.noise));
    });
    auto result = runProgram(
        "nivra-cli",
        {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out", "out/run.dax"},
        ws_.folder());
    noise.join();
    EXPECT_EQ(result.exitCode, 3) << result.err;
    EXPECT_FALSE(linesStartingWith(result.err, c.faultLine).empty()) << result.err;
    AssayData saved = *nivra::readDataFile(ws_.path("out/run.dax"));
    const auto lines = saved.headerLines();
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(),
                      [&](const std::string& line) { return line.rfind(c.headerLine, 0) == 0; }),
        1)
        << result.err;
    if (!c.noise.empty()) {
        // About 30 true counts in 6 s; the noise's bytes read as counts would give hundreds.
        std::int64_t total = 0;
        for (std::int32_t count : saved.counts())
            total += count;
        EXPECT_LT(total, 60);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, CliRunCountFaults,
                         ::testing::Values(CountFaultCase{"overLimit",
                                                          20000.0,
                                                          {},
                                                          "fault counter=1 over-limit since=\"",
                                                          "Count rate above the counter's limit: "},
                                           CountFaultCase{"garbled",
                                                          5.0,
                                                          {0x01, 0x99, 0x55},
                                                          "fault counter=1 garbled since=\"",
                                                          "Counter replies garbled: "}),
                         [](const ::testing::TestParamInfo<CountFaultCase>& info) {
                             return info.param.name;
                         });

// --until-decided: a hot sample ends at its second point with the verdict, saved as at any end;
// one counting right at its limit stays undecided and counts to its end.
TEST_F(CliRun, UntilDecidedEndsAHotSampleEarlyAndLetsACleanOneRunOut) {
    writeAssay(1, 30);
    port_->setRate(1, 50.0);
    auto hot = runProgram("nivra-cli",
                          {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out",
                           "out/hot.dax", "--until-decided", "--class-limit", "0.05"},
                          ws_.folder());
    ASSERT_EQ(hot.exitCode, 0) << hot.err;
    EXPECT_THAT(hot.out, HasSubstr("finished by=decision verdict=above points=2\n"));
    EXPECT_THAT(hot.out, HasSubstr("saved file=\"out/hot.dax\" points=2 "));
    const AssayData saved = *nivra::readDataFile(ws_.path("out/hot.dax"));
    const auto lines = saved.headerLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2].rfind("STOP TIME: ", 0), 0u);
    // The same time stamp as the stop line's.
    EXPECT_EQ(lines.back(), "Decided above 0.05 at " + lines[lines.size() - 2].substr(11));
    // The data file says what the run was judged against.
    EXPECT_EQ(saved.assayConfig().classLimit, 0.05);
    EXPECT_TRUE(saved.assayConfig().stopWhenDecided);

    // The limit from the assay configuration. Ten counts a second, evenly, on 1000 cm² at 84 %
    // are about 42.9 per cm² and hour: three seconds leave 43 inside the interval.
    writeAssay(1, 3);
    AssayConfig limited(ws_.path("assay_config/short.acx"));
    limited.classLimit = 43.0;
    ASSERT_TRUE(limited.write(ws_.path("assay_config/short.acx")).ok());
    port_->setRate(1, 10.0);
    port_->setSpacing(1, sim::EventSpacing::kSteady);
    auto atLimit = runProgram("nivra-cli",
                              {"run", "--counter", "1", "--assay", "assay_config/short.acx",
                               "--out", "out/at-limit.dax", "--until-decided"},
                              ws_.folder());
    ASSERT_EQ(atLimit.exitCode, 0) << atLimit.err;
    EXPECT_THAT(atLimit.out, HasSubstr("finished by=time points=3\n"));
    EXPECT_EQ(nivra::readDataFile(ws_.path("out/at-limit.dax"))
                  ->headerLines()
                  .back()
                  .rfind("End Time: ", 0),
              0u);
}
