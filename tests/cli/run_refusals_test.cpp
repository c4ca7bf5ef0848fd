// nivra-cli run with bad input: configurations a run cannot keep and outputs that would destroy
// an input are refused before the counter is touched; a closed pipe on standard output stops the
// printing, not the run.

#include "model/assay_data.h"
#include "model/data_file.h"
#include "support/child_process.h"
#include "support/sim_workspace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace nivra;
using nivra::test::readFileBytes;
using nivra::test::runProgram;
using nivra::test::writeFileBytes;

namespace {

const std::string kAssay = "[ASSAY CONFIG]\nNAME=check\nSAMPLE_AREA=100\nDWELL HOURS=0\n"
                           "DWELL MINUTES=0\nDWELL SECONDS=1\nTOTAL HOURS=0\nTOTAL MINUTES=0\n"
                           "TOTAL SECONDS=4\n";

class CliRunInput : public ::testing::Test {
protected:
    void SetUp() override {
        test::usePrivateLockDirectory();
        for (const char* folder : {"assay_config", "counter_config", "backup_data"})
            std::filesystem::create_directory(ws_.path(folder));
        port_ = &ws_.addPort("ttySIM0", {1});
        test::writePortList(ws_.path("port_config.pfx"), {"PORT1=" + ws_.path("ttySIM0")});
        writeFileBytes(ws_.path("assay_config/check.acx"), kAssay);
        writeFileBytes(ws_.path("counter_config/counter1.ccx"),
                       "[COUNTER CONFIG]\nCOUNTER NAME=c\nDETECTOR AREA=100\n");
    }

    test::SimWorkspace ws_;
    sim::SimulatedPort* port_ = nullptr;
};

} // namespace

TEST_F(CliRunInput, BadConfigurationsAndOverlappingOutputsAreRefusedBeforeTheCounter) {
    writeFileBytes(ws_.path("empty.acx"), "");
    writeFileBytes(ws_.path("dwell0.acx"), "[ASSAY CONFIG]\nDWELL HOURS=0\nDWELL MINUTES=0\n"
                                           "DWELL SECONDS=0\n");
    writeFileBytes(ws_.path("eff0.ccx"), "[COUNTER CONFIG]\nDETECTOR EFFICIENCY=0\n");
    writeFileBytes(ws_.path("keep.dax"), "[ASSAY DATA]\nP0=1\n");
    writeFileBytes(ws_.path("wrap.acx"), "[ASSAY CONFIG]\nDWELL SECONDS=4294967297\n");
    writeFileBytes(ws_.path("nan.acx"), "[ASSAY CONFIG]\nBACKGROUND=nan\n");
    writeFileBytes(ws_.path("pct.ccx"), "[COUNTER CONFIG]\nDETECTOR EFFICIENCY=84\n");
    writeFileBytes(ws_.path("high.ccx"), "[COUNTER CONFIG]\nDETECTOR EFFICIENCY=high\n");
    writeFileBytes(ws_.path("neg.ccx"), "[COUNTER CONFIG]\nDETECTOR AREA=-5\n");
    const std::string check = "assay_config/check.acx";
    // The options after --counter 1, and "<exit status> <message>".
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--assay", "empty.acx", "--out", "a.dax"},
         "1 empty.acx: the file has no [ASSAY CONFIG] section"},
        {{"--assay", "dwell0.acx", "--out", "a.dax"},
         "1 dwell0.acx: the dwell time (DWELL HOURS, DWELL MINUTES, DWELL SECONDS) is 0 h 0 min "
         "0 s; it must be more than 0 s"},
        {{"--assay", check, "--counter-config", "eff0.ccx", "--out", "a.dax"},
         "1 eff0.ccx: the detector efficiency (DETECTOR EFFICIENCY) is 0;"},
        {{"--assay", "wrap.acx", "--out", "a.dax"},
         "1 wrap.acx: the dwell seconds (DWELL SECONDS) is '4294967297'; it must be a whole "
         "number from 0 to 2147483647"},
        {{"--assay", "nan.acx", "--out", "a.dax"},
         "1 nan.acx: the background rate (BACKGROUND) is 'nan'; it must be a number of 0 or more"},
        {{"--assay", check, "--counter-config", "pct.ccx", "--out", "a.dax"},
         "1 pct.ccx: the detector efficiency (DETECTOR EFFICIENCY) is 84; it must be a fraction "
         "above 0 and at most 1 (the efficiency is a fraction: 0.84 means 84 %)"},
        {{"--assay", check, "--counter-config", "high.ccx", "--out", "a.dax"},
         "1 high.ccx: the detector efficiency (DETECTOR EFFICIENCY) is 'high';"},
        {{"--assay", check, "--counter-config", "neg.ccx", "--out", "a.dax"},
         "1 neg.ccx: the detector area (DETECTOR AREA) is '-5';"},
        {{"--assay", check, "--out", "keep.dax", "--csv", "./keep.dax"},
         "2 --csv './keep.dax' is the same file as --out 'keep.dax'; nothing was written"},
        {{"--assay", check, "--out", check}, "2 --out '" + check + "' is the same file as --assay"},
        {{"--assay", check, "--out", "backup_data/backup_1.dax"},
         "2 --out 'backup_data/backup_1.dax' is the same file as the backup file"},
    };
    for (const auto& [options, expected] : cases) {
        std::vector<std::string> args{"run", "--counter", "1"};
        args.insert(args.end(), options.begin(), options.end());
        auto result = runProgram("nivra-cli", args, ws_.folder());
        // The exit status, then the start of the one line on standard error.
        EXPECT_EQ(result.exitCode, expected[0] - '0') << result.err;
        EXPECT_EQ(result.err.rfind("nivra-cli run: " + expected.substr(2), 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    EXPECT_TRUE(port_->requests().empty()); // not even discovered
    EXPECT_FALSE(test::fileExists(ws_.path("a.dax")));
    EXPECT_EQ(readFileBytes(ws_.path("keep.dax")), "[ASSAY DATA]\nP0=1\n");
    EXPECT_EQ(readFileBytes(ws_.path(check)), kAssay);
}

// A counter configuration that Windows saved as "Unicode": UTF-16 little-endian with its mark.
TEST_F(CliRunInput, AUnicodeCounterConfigurationFromWindowsGivesItsEfficiencyToARun) {
    std::string unicode = "\xFF\xFE";
    for (char c : std::string("[COUNTER CONFIG]\r\nCOUNTER NAME=u\r\nDETECTOR AREA=100\r\n"
                              "DETECTOR EFFICIENCY=0.5\r\n")) {
        unicode += c;
        unicode += '\0';
    }
    writeFileBytes(ws_.path("counter_config/counter1.ccx"), unicode);
    auto result =
        runProgram("nivra-cli",
                   {"run", "--counter", "1", "--assay", "assay_config/check.acx", "--out", "u.dax"},
                   ws_.folder());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto data = nivra::readDataFile(ws_.path("u.dax"));
    EXPECT_EQ(data->counterConfig().detectorEfficiency, 0.5);
    EXPECT_THAT(data->headerLines(), ::testing::Contains("detector eff: 50.00%"));
    EXPECT_EQ(readFileBytes(ws_.path("counter_config/counter1.ccx")), unicode);
}

// nivra-cli run ... | head -3: the reader goes after three lines, the run goes on to its end.
TEST_F(CliRunInput, AClosedPipeOnStandardOutputStopsThePrintingNotTheRun) {
    const std::string program = test::binaryPath("nivra-cli");
    const char* argv[] = {
        program.c_str(), "run",     "--counter", "1",       "--assay", "assay_config/check.acx",
        "--out",         "run.dax", "--csv",     "run.csv", nullptr};
    const std::string errPath = ws_.path("err.txt");
    int out[2];
    ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // As a shell starts a pipeline: SIGPIPE as the default, whatever the test process does.
        ::signal(SIGPIPE, SIG_DFL);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (err >= 0 && ::dup2(out[1], 1) == 1 && ::dup2(err, 2) == 2 &&
            ::chdir(ws_.folder().c_str()) == 0)
            ::execv(program.c_str(), const_cast<char**>(argv));
        ::_exit(127);
    }
    ::close(out[1]);
    char c;
    for (int lines = 0; lines < 3 && ::read(out[0], &c, 1) == 1;)
        lines += c == '\n';
    ::close(out[0]);

    int status = -1;
    for (int i = 0; i < 300 && ::waitpid(pid, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (status == -1)
        ::kill(pid, SIGKILL);
    ASSERT_TRUE(status != -1 && WIFEXITED(status)) << "status " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFileBytes(errPath), "nivra-cli run: standard output was closed; the command "
                                      "goes on without printing\n");
    EXPECT_EQ(nivra::readDataFile(ws_.path("run.dax"))->pointCount(), 4u);
    EXPECT_TRUE(test::fileExists(ws_.path("run.csv")));
}
