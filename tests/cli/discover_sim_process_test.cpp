#include "support/child_process.h"
#include "support/sim_workspace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

using nivra::test::BackgroundProgram;
using nivra::test::fileExists;
using nivra::test::runProgram;
using nivra::test::TempDir;
using nivra::test::writePortList;
using ::testing::HasSubstr;

namespace {

bool waitForFile(const std::string& path) {
    for (int i = 0; i < 500 && !fileExists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return fileExists(path);
}

} // namespace

// The simulator program and the command-line tool as a user runs them: discover finds the
// simulated counters, and the simulator removes its links when it is stopped.
TEST(CounterSimProgram, ServesCountersThatDiscoverFindsAndCleansUpOnSigterm) {
    nivra::test::usePrivateLockDirectory();
    TempDir dir;
    const std::string sim0 = dir.file("ttySIM0");
    const std::string sim1 = dir.file("ttySIM1");
    BackgroundProgram simulator("nivra-counter-sim",
                                {"--port", sim0 + ":1,2", "--port", sim1 + ":3", "--rate", "5",
                                 "--seed", "1", "--fault", "3:silent", "--device-root",
                                 dir.file("root"), "--usb", "ttyUSB0:9"},
                                dir.path());
    ASSERT_TRUE(waitForFile(sim0) && waitForFile(sim1) && waitForFile(dir.file("root/dev/ttyUSB0")))
        << simulator.output();
    writePortList(dir.file("port_config.pfx"), {"PORT1=" + sim0, "PORT2=" + sim1});

    auto result = runProgram("nivra-cli", {"discover"}, dir.path());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "1 " + sim0 + "\n2 " + sim0 + "\n");
    EXPECT_THAT(result.err, HasSubstr(sim1 + ": no counter answered to number 3"));

    EXPECT_EQ(simulator.stop(), 0);
    EXPECT_FALSE(fileExists(sim0));
    EXPECT_FALSE(fileExists(sim1));
    EXPECT_FALSE(fileExists(dir.file("root"))); // the adapter's device files and folders too
}

TEST(CounterSimProgram, HelpListsEveryOptionWithAnExample) {
    TempDir dir;
    auto result = runProgram("nivra-counter-sim", {"--help"}, dir.path());
    EXPECT_EQ(result.exitCode, 0);
    for (const char* option :
         {"--port", "--usb", "--device-root", "--rate", "--seed", "--fault", "--verbose", "--help",
          "silent", "wrong-echo", "short", "late", "reset-status", "Example"})
        EXPECT_THAT(result.out, HasSubstr(option));
    auto wrong = runProgram("nivra-counter-sim", {"--port", "nowhere"}, dir.path());
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_THAT(wrong.err, HasSubstr("--port wants PATH:COUNTERS"));
    auto noRoot = runProgram("nivra-counter-sim", {"--usb", "ttyUSB0:1"}, dir.path());
    EXPECT_EQ(noRoot.exitCode, 2);
    EXPECT_THAT(noRoot.err, HasSubstr("--usb needs --device-root"));
}
