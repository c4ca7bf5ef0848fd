#include "support/child_process.h"
#include "support/sim_workspace.h"

#include "counter_link/serial_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using nivra::test::runProgram;
using nivra::test::SimWorkspace;
using nivra::test::writePortList;
using ::testing::HasSubstr;
using ::testing::Not;

TEST(CliDiscover, ListsTheCountersInNumberOrderAndSaysWhyDevicesWereSkipped) {
    SimWorkspace ws;
    ws.addPort("first", {1, 2});
    ws.addPort("second", {3});
    ws.addPort("wrong", {7});
    nivra::test::writeFileBytes(ws.path("plain"), "");
    writePortList(ws.path("port_config.pfx"),
                  {"PORT1=" + ws.path("missing"), "PORT2=" + ws.path("first"),
                   "PORT3=" + ws.path("plain"), "PORT4=" + ws.path("first"),
                   "PORT5=" + ws.path("wrong"), "PORT6=" + ws.path("second")});

    auto result = runProgram("nivra-cli", {"discover"}, ws.folder());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "1 " + ws.path("first") + "\n2 " + ws.path("first") + "\n3 " +
                              ws.path("second") + "\n");
    EXPECT_THAT(result.err, HasSubstr(ws.path("missing") + ": does not exist"));
    EXPECT_THAT(result.err, HasSubstr(ws.path("plain") + ": not a terminal"));
    EXPECT_THAT(result.err, HasSubstr(ws.path("first") +
                                      ": listed twice in the port list: the same device as " +
                                      ws.path("first") + "\n"));
    EXPECT_THAT(result.err, HasSubstr(ws.path("wrong") + ": no counter answered to number 3"));
}

// Another program holds the first device: discover says it is busy, and a run of its counter
// says why the counter is missing instead of "not found".
TEST(CliDiscover, ADeviceHeldByAnotherProgramIsSaidToBeBusy) {
    nivra::test::usePrivateLockDirectory();
    SimWorkspace ws;
    ws.addPort("held", {1});
    ws.addPort("free", {2});
    writePortList(ws.path("port_config.pfx"),
                  {"PORT1=" + ws.path("held"), "PORT2=" + ws.path("free")});
    nivra::SerialLine other;
    ASSERT_EQ(other.open(ws.path("held")), nivra::OpenFailure::kNone);

    auto result = runProgram("nivra-cli", {"discover"}, ws.folder());
    EXPECT_THAT(result.err,
                HasSubstr("discover: " + ws.path("held") + ": busy (held by another program)\n"));
    nivra::test::writeFileBytes(
        ws.path("a.acx"),
        "[ASSAY CONFIG]\nSAMPLE_AREA=100\nDWELL HOURS=0\nDWELL MINUTES=0\nDWELL SECONDS=1\n");
    nivra::test::writeFileBytes(ws.path("c.ccx"), "[COUNTER CONFIG]\nDETECTOR AREA=100\n");
    auto run = runProgram("nivra-cli",
                          {"run", "--counter", "1", "--assay", "a.acx", "--counter-config", "c.ccx",
                           "--out", "a.dax", "--no-backup"},
                          ws.folder());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "nivra-cli run: counter 1 was not found: the device '" + ws.path("held") +
                           "' is busy (held by another program)\n");

    // Once the device is free, both are found.
    other.close();
    result = runProgram("nivra-cli", {"discover"}, ws.folder());
    EXPECT_EQ(result.out, "1 " + ws.path("held") + "\n2 " + ws.path("free") + "\n");
}

TEST(CliDiscover, NothingFoundIsNotAnError) {
    SimWorkspace ws;
    ws.addPort("quiet", {});
    writePortList(ws.path("port_config.pfx"), {"PORT1=" + ws.path("quiet")});
    auto result = runProgram("nivra-cli", {"discover"}, ws.folder());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_THAT(result.err, HasSubstr(ws.path("quiet") + ": no counter answered to number 1"));
    EXPECT_THAT(result.err, HasSubstr("no counter found"));
    EXPECT_THAT(result.err, Not(HasSubstr("wrote PORT1=COM1")));
}

TEST(CliDiscover, RefusesArguments) {
    SimWorkspace ws;
    auto result = runProgram("nivra-cli", {"discover", "--all"}, ws.folder());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(nivra::test::fileExists(ws.path("port_config.pfx")));
}
