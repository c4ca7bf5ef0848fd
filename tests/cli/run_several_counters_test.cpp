// nivra-cli run with several counters in one process: one discovery, one run per --counter group
// started together, every line tagged with its counter, each run saving its own files, one stop
// for all, and every group checked before any counter is touched.

#include "counter_link/counter_protocol.h"
#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/counter_config.h"
#include "model/data_file.h"
#include "storage/history_database.h"
#include "support/child_process.h"
#include "support/sim_workspace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <numeric>
#include <sstream>
#include <thread>

using namespace nivra;
using nivra::test::runProgram;
using ::testing::HasSubstr;

namespace {

// Counters 1 and 2 share one simulated port, counter 3 has a port of its own.
class CliRunSeveral : public ::testing::Test {
protected:
    void SetUp() override {
        test::usePrivateLockDirectory();
        for (const char* folder : {"assay_config", "counter_config", "backup_data", "out"})
            std::filesystem::create_directory(ws_.path(folder));
        shared_ = &ws_.addPort("ttySIM0", {1, 2});
        own_ = &ws_.addPort("ttySIM1", {3});
        test::writePortList(ws_.path("port_config.pfx"),
                            {"PORT1=" + ws_.path("ttySIM0"), "PORT2=" + ws_.path("ttySIM1")});
        writeAssay("short", 2, 6);
        writeAssay("long", 1, 3600);
        for (int counter : {1, 2, 3})
            ASSERT_TRUE(
                CounterConfig::defaults()
                    .write(ws_.path("counter_config/counter" + std::to_string(counter) + ".ccx"))
                    .ok());
    }

    void writeAssay(const std::string& name, std::uint32_t dwell, std::uint32_t total) {
        AssayConfig assay = AssayConfig::defaults();
        assay.dwellHours = assay.dwellMinutes = assay.totalHours = assay.totalMinutes = 0;
        assay.dwellSeconds = dwell;
        assay.totalSeconds = total;
        ASSERT_TRUE(assay.write(ws_.path("assay_config/" + name + ".acx")).ok());
    }

    std::size_t requestsSent() const {
        return shared_->requests().size() + own_->requests().size();
    }

    static std::vector<std::string> lines(const std::string& text) {
        return nivra::test::outputLines(text);
    }

    test::SimWorkspace ws_;
    sim::SimulatedPort* shared_ = nullptr;
    sim::SimulatedPort* own_ = nullptr;
};

} // namespace

// Counters 1 and 3 run at once; counter 3 falls silent for a while, so the command ends with the
// worst of the two statuses (3), and both runs still save their files.
TEST_F(CliRunSeveral, EachRunSavesItsOwnFilesAndTagsItsLines) {
    own_->setRate(3, 20.0);
    std::thread faults([this] {
        const auto waitForRequests = [this](std::size_t n) {
            for (int i = 0; i < 1200 && own_->requests().size() < n; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(25));
        };
        waitForRequests(6);
        own_->setFault(3, sim::Fault::silent());
        waitForRequests(8);
        own_->setFault(3, sim::Fault{});
    });
    auto result =
        runProgram("nivra-cli",
                   {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out",
                    "out/one.dax", "--csv", "out/one.csv", "--counter=3", "--kind", "background",
                    "--assay", "assay_config/short.acx", "--out", "out/three.dax"},
                   ws_.folder());
    faults.join();
    EXPECT_EQ(result.exitCode, 3) << result.err;

    // Every line names its counter, and the counts each counter's lines report are the counts
    // its data file holds.
    std::map<int, std::int64_t> reported;
    for (const std::string& line : lines(result.out)) {
        const auto tag = line.find(" counter=");
        ASSERT_NE(tag, std::string::npos) << line;
        ASSERT_EQ(line.find(' '), tag) << line;
        const int counter = std::stoi(line.substr(tag + 9));
        EXPECT_TRUE(counter == 1 || counter == 3) << line;
        if (line.rfind("counts ", 0) == 0)
            reported[counter] += std::stoll(line.substr(line.find("last_second=") + 12));
    }
    for (const auto& [counter, file] : {std::pair{1, "out/one.dax"}, {3, "out/three.dax"}}) {
        const AssayData saved = *readDataFile(ws_.path(file));
        const auto counts = saved.counts();
        EXPECT_EQ(counts.size(), 3u) << file;
        EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::int64_t{0}), reported[counter])
            << file;
        EXPECT_EQ(readDataFile(ws_.path("backup_data/backup_" + std::to_string(counter) + ".dax"))
                      ->counts(),
                  counts);
        EXPECT_THAT(result.out, HasSubstr("finished counter=" + std::to_string(counter) +
                                          " by=time points=3\n"));
        EXPECT_THAT(result.out, HasSubstr("saved counter=" + std::to_string(counter) + " file=\"" +
                                          file + "\" points=3"));
    }
    EXPECT_THAT(result.out, HasSubstr("csv counter=1 file=\"out/one.csv\"\n"));
    EXPECT_TRUE(test::fileExists(ws_.path("out/one.csv")));
    EXPECT_FALSE(test::fileExists(ws_.path("out/three.csv")));
    for (const std::string& line : lines(result.err))
        EXPECT_EQ(line.rfind("fault counter=3 ", 0), 0u) << result.err;
    EXPECT_THAT(result.err, HasSubstr("fault counter=3 answering again"));

    // Both runs are in the history, each with its own counter and kind.
    HistoryDatabase db;
    ASSERT_TRUE(db.open(ws_.path("history.sqlite")).ok());
    std::vector<HistoryRun> runs;
    ASSERT_TRUE(db.listRuns({}, runs).ok());
    std::map<int, RunKind> kinds;
    for (const HistoryRun& run : runs)
        kinds[run.counter.value_or(0)] = run.kind;
    EXPECT_EQ(kinds, (std::map<int, RunKind>{{1, RunKind::Sample}, {3, RunKind::Background}}));
}

// SIGTERM (as Ctrl+C) stops both runs on the shared port; each saves the points it has.
TEST_F(CliRunSeveral, OneStopEndsEveryRunAndEachSavesItsPoints) {
    test::BackgroundProgram run("nivra-cli",
                                {"run", "--counter", "2", "--assay", "assay_config/long.acx",
                                 "--out", "out/two.dax", "--counter", "1", "--assay",
                                 "assay_config/long.acx", "--out", "out/one.dax"},
                                ws_.folder());
    EXPECT_TRUE(run.waitForOutput("point counter=1 1 ") && run.waitForOutput("point counter=2 1 "))
        << run.output();
    EXPECT_EQ(run.stop(), 0) << run.output();
    const std::string output = run.output();
    EXPECT_EQ(output.find("nivra-cli run: stopping\n"), output.rfind("nivra-cli run: stopping\n"));
    for (const char* counter : {"1", "2"}) {
        EXPECT_THAT(output, HasSubstr(std::string("finished counter=") + counter + " by=stop"));
        const AssayData saved = *readDataFile(
            ws_.path(std::string("out/") + (counter[0] == '1' ? "one" : "two") + ".dax"));
        EXPECT_GE(saved.pointCount(), 1u);
        EXPECT_EQ(saved.headerLines().back().rfind("STOP TIME: ", 0), 0u);
    }
}

TEST_F(CliRunSeveral, AnyBadGroupRefusesTheWholeCommandBeforeAnyCounter) {
    test::writeFileBytes(ws_.path("empty.acx"), "");
    const std::vector<std::string> one{"--counter", "1",    "--assay", "assay_config/short.acx",
                                       "--out",     "a.dax"};
    // The options after the first group, and "<exit status> <message>".
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--counter", "1", "--assay", "assay_config/short.acx", "--out", "b.dax"},
         "2 counter 1 is given twice; each counter runs once in a process"},
        {{"--counter", "2", "--assay", "assay_config/short.acx", "--out", "./a.dax"},
         "2 counter 2's --out './a.dax' is the same file as counter 1's --out 'a.dax'; nothing "
         "was written"},
        {{"--counter", "2", "--assay", "assay_config/short.acx", "--out", "b.dax", "--csv",
          "assay_config/short.acx"},
         "2 counter 2's --csv 'assay_config/short.acx' is the same file as counter 1's --assay"},
        {{"--counter", "2", "--out", "b.dax"}, "2 the run of counter 2 needs --assay; usage:"},
        {{"--counter", "2", "--assay", "assay_config/short.acx", "--out", "b.dax", "--out=c.dax"},
         "2 --out is given twice for counter 2; each run writes one such file"},
        {{"--counter", "2", "--assay", "empty.acx", "--out", "b.dax"},
         "1 empty.acx: the file has no [ASSAY CONFIG] section"},
        {{"--counter", "2", "--assay", "assay_config/short.acx", "--counter-config", "none.ccx",
          "--out", "b.dax"},
         "1 Missing a configuration file nessesary to start assay: 'none.ccx'"},
    };
    for (const auto& [options, expected] : cases) {
        std::vector<std::string> args{"run"};
        args.insert(args.end(), one.begin(), one.end());
        args.insert(args.end(), options.begin(), options.end());
        auto result = runProgram("nivra-cli", args, ws_.folder());
        EXPECT_EQ(result.exitCode, expected[0] - '0') << result.err;
        EXPECT_EQ(result.err.rfind("nivra-cli run: " + expected.substr(2), 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    // An option before the first of several counters has no run to belong to; with a single
    // counter it belongs to that one, as it always did.
    auto leading =
        runProgram("nivra-cli",
                   {"run", "--out", "a.dax", "--counter", "1", "--assay", "assay_config/short.acx",
                    "--counter", "2", "--assay", "assay_config/short.acx", "--out", "b.dax"},
                   ws_.folder());
    EXPECT_EQ(leading.exitCode, 2);
    EXPECT_THAT(leading.err, HasSubstr("--out comes before the first --counter"));
    EXPECT_EQ(requestsSent(), 0u); // not even discovered

    // A counter that is not there refuses the runs of those that are.
    auto missing =
        runProgram("nivra-cli",
                   {"run", "--counter", "1", "--assay", "assay_config/short.acx", "--out", "a.dax",
                    "--counter", "4", "--assay", "assay_config/short.acx", "--counter-config",
                    "counter_config/counter3.ccx", "--out", "b.dax"},
                   ws_.folder());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err,
              "nivra-cli run: counter 4 was not found (nivra-cli discover tells why)\n");
    for (const auto* port : {shared_, own_})
        for (const auto& request : port->requests())
            EXPECT_NE(request.command, protocol::CMD_READ);
    EXPECT_FALSE(test::fileExists(ws_.path("a.dax")));
    EXPECT_FALSE(test::fileExists(ws_.path("b.dax")));
}
