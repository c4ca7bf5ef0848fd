// nivra-cli ports against simulated USB adapters and on-board ports in a stand-in device folder,
// and discover's hint for port lists from Windows.

#include "support/child_process.h"
#include "support/sim_workspace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using nivra::test::RunProgram;
using nivra::test::SimWorkspace;
using nivra::test::WriteFileBytes;
using nivra::test::WritePortList;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::string kAdapter = "USB serial adapter 1209:0001 (Counter Simulator Simulated Serial "
                             "Adapter, serial number SIM";
const std::string kById = "/dev/serial/by-id/usb-Counter_Simulator_Simulated_Serial_Adapter_SIM";

// An on-board port as the kernel shows it: the device file, and its UART type in sysfs (0: no
// port behind it).
void AddOnBoardPort(const SimWorkspace& ws, const std::string& name, const std::string& type) {
    std::filesystem::create_directories(ws.DeviceRoot() + "/sys/class/tty/" + name);
    WriteFileBytes(ws.DeviceRoot() + "/sys/class/tty/" + name + "/type", type + "\n");
    WriteFileBytes(ws.DeviceRoot() + "/dev/" + name, "");
}

// Counter 3 on the first adapter, 1 and 2 on the second: listed in the other order than their
// numbers need.
void AddAdapters(SimWorkspace& ws) {
    ws.AddUsbPort("ttyUSB0", {3});
    ws.AddUsbPort("ttyACM0", {1, 2});
    AddOnBoardPort(ws, "ttyS1", "0");
    AddOnBoardPort(ws, "ttyS0", "4");
}

} // namespace

TEST(CliPorts, ListsAdaptersWithTheirUsbDetailsAndOnlyOnBoardPortsThatAreThere) {
    SimWorkspace ws;
    AddAdapters(ws);
    const std::string root = ws.DeviceRoot();
    auto result = RunProgram("nivra-cli", {"ports", "--device-root", root}, ws.Folder());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              root + "/dev/ttyUSB0: " + kAdapter + "0)\n  " + root + kById + "0-if00-port0\n" +
                  root + "/dev/ttyACM0: USB serial device " + kAdapter.substr(19) + "1)\n  " +
                  root + kById + "1-if00\n" + root +
                  "/dev/ttyS0: on-board serial port, COM1 in port lists from Windows\n");

    auto empty =
        RunProgram("nivra-cli", {"ports", "--device-root=" + ws.Path("none")}, ws.Folder());
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out, "");
    EXPECT_THAT(empty.err, HasSubstr("no serial device found"));
    EXPECT_EQ(RunProgram("nivra-cli", {"ports", "--all"}, ws.Folder()).exitCode, 2);
}

TEST(CliPorts, ProbePrintsAPortListThatFindsEveryCounter) {
    SimWorkspace ws;
    AddAdapters(ws);
    const std::string root = ws.DeviceRoot();
    auto probed = RunProgram("nivra-cli", {"ports", "--probe", "--device-root", root}, ws.Folder());
    EXPECT_EQ(probed.exitCode, 0) << probed.err;
    EXPECT_EQ(probed.out, "[CONFIG]\r\nPORT1=" + root + kById + "1-if00\r\nPORT2=" + root + kById +
                              "0-if00-port0\r\n");
    EXPECT_THAT(probed.err, HasSubstr(kById + "1-if00: counters 1 2\n"));
    EXPECT_THAT(probed.err, HasSubstr(kById + "0-if00-port0: counter 3\n"));
    EXPECT_THAT(probed.err, HasSubstr("/dev/ttyS0: not a terminal\n"));

    WriteFileBytes(ws.Path("port_config.pfx"), probed.out);
    auto found = RunProgram("nivra-cli", {"discover"}, ws.Folder());
    EXPECT_EQ(found.out, "1 " + root + kById + "1-if00\n2 " + root + kById + "1-if00\n3 " + root +
                             kById + "0-if00-port0\n");
}

TEST(CliDiscover, APortListOfComNamesOnlyPointsToTheUsbAdapters) {
    SimWorkspace ws;
    ::setenv("NIVRA_DEVICE_ROOT", ws.DeviceRoot().c_str(), 1); // no COM port of the machine
    WritePortList(ws.Path("port_config.pfx"), {"PORT1=COM3", "PORT2=com4"});
    auto windows = RunProgram("nivra-cli", {"discover"}, ws.Folder());
    WritePortList(ws.Path("port_config.pfx"), {"PORT1=COM3", "PORT2=" + ws.Path("ttyUSB9")});
    auto mixed = RunProgram("nivra-cli", {"discover"}, ws.Folder());
    ::unsetenv("NIVRA_DEVICE_ROOT");

    EXPECT_EQ(windows.exitCode, 0);
    EXPECT_THAT(windows.err, HasSubstr("COM3 (" + ws.DeviceRoot() + "/dev/ttyS2): does not exist"));
    EXPECT_THAT(windows.err, HasSubstr("COMn in the port list stands for the on-board serial port "
                                       "/dev/ttyS(n-1)"));
    EXPECT_THAT(windows.err, HasSubstr("nivra-cli ports --probe\n"));
    EXPECT_THAT(mixed.err, Not(HasSubstr("nivra-cli ports --probe")));
}
