#include "support/child_process.h"
#include "support/sim_workspace.h"

#include "counter_link/serial_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using nivra::test::RunProgram;
using nivra::test::SimWorkspace;
using nivra::test::WritePortList;
using ::testing::HasSubstr;
using ::testing::Not;

TEST(CliDiscover, ListsTheCountersInNumberOrderAndSaysWhyDevicesWereSkipped) {
    SimWorkspace ws;
    ws.AddPort("first", {1, 2});
    ws.AddPort("second", {3});
    ws.AddPort("wrong", {7});
    nivra::test::WriteFileBytes(ws.Path("plain"), "");
    WritePortList(ws.Path("port_config.pfx"),
                  {"PORT1=" + ws.Path("missing"), "PORT2=" + ws.Path("first"),
                   "PORT3=" + ws.Path("plain"), "PORT4=" + ws.Path("first"),
                   "PORT5=" + ws.Path("wrong"), "PORT6=" + ws.Path("second")});

    auto result = RunProgram("nivra-cli", {"discover"}, ws.Folder());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "1 " + ws.Path("first") + "\n2 " + ws.Path("first") + "\n3 " +
                              ws.Path("second") + "\n");
    EXPECT_THAT(result.err, HasSubstr(ws.Path("missing") + ": does not exist"));
    EXPECT_THAT(result.err, HasSubstr(ws.Path("plain") + ": not a terminal"));
    EXPECT_THAT(result.err, HasSubstr(ws.Path("first") +
                                      ": listed twice in the port list: the same device as " +
                                      ws.Path("first") + "\n"));
    EXPECT_THAT(result.err, HasSubstr(ws.Path("wrong") + ": no counter answered to number 3"));
}

// Another program holds the first device: discover says it is busy, and a run of its counter
// says why the counter is missing instead of "not found".
TEST(CliDiscover, ADeviceHeldByAnotherProgramIsSaidToBeBusy) {
    nivra::test::UsePrivateLockDirectory();
    SimWorkspace ws;
    ws.AddPort("held", {1});
    ws.AddPort("free", {2});
    WritePortList(ws.Path("port_config.pfx"),
                  {"PORT1=" + ws.Path("held"), "PORT2=" + ws.Path("free")});
    nivra::SerialLine other;
    ASSERT_EQ(other.Open(ws.Path("held")), nivra::OpenFailure::kNone);

    auto result = RunProgram("nivra-cli", {"discover"}, ws.Folder());
    EXPECT_THAT(result.err,
                HasSubstr("discover: " + ws.Path("held") + ": busy (held by another program)\n"));
    nivra::test::WriteFileBytes(
        ws.Path("a.acx"),
        "[ASSAY CONFIG]\nSAMPLE_AREA=100\nDWELL HOURS=0\nDWELL MINUTES=0\nDWELL SECONDS=1\n");
    nivra::test::WriteFileBytes(ws.Path("c.ccx"), "[COUNTER CONFIG]\nDETECTOR AREA=100\n");
    auto run = RunProgram("nivra-cli",
                          {"run", "--counter", "1", "--assay", "a.acx", "--counter-config", "c.ccx",
                           "--out", "a.dax", "--no-backup"},
                          ws.Folder());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "nivra-cli run: counter 1 was not found: the device '" + ws.Path("held") +
                           "' is busy (held by another program)\n");

    // Once the device is free, both are found.
    other.Close();
    result = RunProgram("nivra-cli", {"discover"}, ws.Folder());
    EXPECT_EQ(result.out, "1 " + ws.Path("held") + "\n2 " + ws.Path("free") + "\n");
}

TEST(CliDiscover, NothingFoundIsNotAnError) {
    SimWorkspace ws;
    ws.AddPort("quiet", {});
    WritePortList(ws.Path("port_config.pfx"), {"PORT1=" + ws.Path("quiet")});
    auto result = RunProgram("nivra-cli", {"discover"}, ws.Folder());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_THAT(result.err, HasSubstr(ws.Path("quiet") + ": no counter answered to number 1"));
    EXPECT_THAT(result.err, HasSubstr("no counter found"));
    EXPECT_THAT(result.err, Not(HasSubstr("wrote PORT1=COM1")));
}

TEST(CliDiscover, RefusesArguments) {
    SimWorkspace ws;
    auto result = RunProgram("nivra-cli", {"discover", "--all"}, ws.Folder());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(nivra::test::FileExists(ws.Path("port_config.pfx")));
}
