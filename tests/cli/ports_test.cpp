// nivra-cli ports against simulated USB adapters and on-board ports in a stand-in device folder,
// and discover's hint for port lists from Windows.

#include "support/child_process.h"
#include "support/sim_workspace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using nivra::test::runProgram;
using nivra::test::SimWorkspace;
using nivra::test::writeFileBytes;
using nivra::test::writePortList;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::string kAdapter = "USB serial adapter 1209:0001 (Counter Simulator Simulated Serial "
                             "Adapter, serial number SIM";
const std::string kById = "/dev/serial/by-id/usb-Counter_Simulator_Simulated_Serial_Adapter_SIM";

// An on-board port as the kernel shows it: the device file, and its UART type in sysfs (0: no
// port behind it).
void addOnBoardPort(const SimWorkspace& ws, const std::string& name, const std::string& type) {
    std::filesystem::create_directories(ws.deviceRoot() + "/sys/class/tty/" + name);
    writeFileBytes(ws.deviceRoot() + "/sys/class/tty/" + name + "/type", type + "\n");
    writeFileBytes(ws.deviceRoot() + "/dev/" + name, "");
}

// Counter 3 on the first adapter, 1 and 2 on the second: listed in the other order than their
// numbers need.
void addAdapters(SimWorkspace& ws) {
    ws.addUsbPort("ttyUSB0", {3});
    ws.addUsbPort("ttyACM0", {1, 2});
    addOnBoardPort(ws, "ttyS1", "0");
    addOnBoardPort(ws, "ttyS0", "4");
}

} // namespace

TEST(CliPorts, ListsAdaptersWithTheirUsbDetailsAndOnlyOnBoardPortsThatAreThere) {
    SimWorkspace ws;
    addAdapters(ws);
    const std::string root = ws.deviceRoot();
    auto result = runProgram("nivra-cli", {"ports", "--device-root", root}, ws.folder());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              root + "/dev/ttyUSB0: " + kAdapter + "0)\n  " + root + kById + "0-if00-port0\n" +
                  root + "/dev/ttyACM0: USB serial device " + kAdapter.substr(19) + "1)\n  " +
                  root + kById + "1-if00\n" + root +
                  "/dev/ttyS0: on-board serial port, COM1 in port lists from Windows\n");

    auto empty =
        runProgram("nivra-cli", {"ports", "--device-root=" + ws.path("none")}, ws.folder());
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out, "");
    EXPECT_THAT(empty.err, HasSubstr("no serial device found"));
    EXPECT_EQ(runProgram("nivra-cli", {"ports", "--all"}, ws.folder()).exitCode, 2);
}

TEST(CliPorts, ProbePrintsAPortListThatFindsEveryCounter) {
    SimWorkspace ws;
    addAdapters(ws);
    const std::string root = ws.deviceRoot();
    auto probed = runProgram("nivra-cli", {"ports", "--probe", "--device-root", root}, ws.folder());
    EXPECT_EQ(probed.exitCode, 0) << probed.err;
    EXPECT_EQ(probed.out, "[CONFIG]\r\nPORT1=" + root + kById + "1-if00\r\nPORT2=" + root + kById +
                              "0-if00-port0\r\n");
    EXPECT_THAT(probed.err, HasSubstr(kById + "1-if00: counters 1 2\n"));
    EXPECT_THAT(probed.err, HasSubstr(kById + "0-if00-port0: counter 3\n"));
    EXPECT_THAT(probed.err, HasSubstr("/dev/ttyS0: not a terminal\n"));

    writeFileBytes(ws.path("port_config.pfx"), probed.out);
    auto found = runProgram("nivra-cli", {"discover"}, ws.folder());
    EXPECT_EQ(found.out, "1 " + root + kById + "1-if00\n2 " + root + kById + "1-if00\n3 " + root +
                             kById + "0-if00-port0\n");
}

TEST(CliDiscover, APortListOfComNamesOnlyPointsToTheUsbAdapters) {
    SimWorkspace ws;
    ::setenv("NIVRA_DEVICE_ROOT", ws.deviceRoot().c_str(), 1); // no COM port of the machine
    writePortList(ws.path("port_config.pfx"), {"PORT1=COM3", "PORT2=com4"});
    auto windows = runProgram("nivra-cli", {"discover"}, ws.folder());
    writePortList(ws.path("port_config.pfx"), {"PORT1=COM3", "PORT2=" + ws.path("ttyUSB9")});
    auto mixed = runProgram("nivra-cli", {"discover"}, ws.folder());
    ::unsetenv("NIVRA_DEVICE_ROOT");

    EXPECT_EQ(windows.exitCode, 0);
    EXPECT_THAT(windows.err, HasSubstr("COM3 (" + ws.deviceRoot() + "/dev/ttyS2): does not exist"));
    EXPECT_THAT(windows.err, HasSubstr("COMn in the port list stands for the on-board serial port "
                                       "/dev/ttyS(n-1)"));
    EXPECT_THAT(windows.err, HasSubstr("nivra-cli ports --probe\n"));
    EXPECT_THAT(mixed.err, Not(HasSubstr("nivra-cli ports --probe")));
}

// --write replaces the port list only when a counter answered: a probe that finds nothing
// leaves the list in place, with exit status 1.
TEST(CliPorts, ProbeWriteReplacesThePortListOnlyWhenACounterAnswered) {
    SimWorkspace ws;
    const std::string earlier = "[CONFIG]\r\nPORT1=/dev/ttyUSB7\r\n";
    writeFileBytes(ws.path("port_config.pfx"), earlier);
    addOnBoardPort(ws, "ttyS0", "4");
    auto nothing =
        runProgram("nivra-cli", {"ports", "--probe", "--write", "--device-root", ws.deviceRoot()},
                   ws.folder());
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_THAT(nothing.err, HasSubstr("port_config.pfx is left as it was"));
    EXPECT_EQ(nivra::test::readFileBytes(ws.path("port_config.pfx")), earlier);

    ws.addUsbPort("ttyUSB0", {1});
    auto found =
        runProgram("nivra-cli", {"ports", "--probe", "--write", "--device-root", ws.deviceRoot()},
                   ws.folder());
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out, "");
    EXPECT_EQ(nivra::test::readFileBytes(ws.path("port_config.pfx")),
              "[CONFIG]\r\nPORT1=" + ws.deviceRoot() + kById + "0-if00-port0\r\n");
    EXPECT_EQ(runProgram("nivra-cli", {"ports", "--write"}, ws.folder()).exitCode, 2);
}
