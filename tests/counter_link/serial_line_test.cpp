#include "counter_link/device_path.h"
#include "counter_link/serial_line.h"
#include "support/sim_workspace.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using nivra::devicePathFor;
using nivra::OpenFailure;
using nivra::SerialLine;
using nivra::test::SimWorkspace;
using nivra::test::TempDir;

TEST(DevicePath, WindowsPortNamesStandForTheOnBoardPorts) {
    EXPECT_EQ(devicePathFor("COM1"), "/dev/ttyS0");
    EXPECT_EQ(devicePathFor("COM8"), "/dev/ttyS7");
    EXPECT_EQ(devicePathFor("com3"), "/dev/ttyS2");
    EXPECT_EQ(devicePathFor("\\\\.\\COM12"), "/dev/ttyS11");
}

TEST(DevicePath, OtherNamesAreUsedUnchanged) {
    for (const char* name :
         {"/dev/ttyUSB0", "COM", "COM0", "COM01", "COM1x", "COM-1", "COM999", "xCOM1", "", "ttyS0"})
        EXPECT_EQ(devicePathFor(name), name) << name;
}

TEST(SerialLineOpen, RefusesWhatIsNoTerminalDevice) {
    TempDir dir;
    nivra::test::writeFileBytes(dir.file("plain"), "x");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    SerialLine line;
    EXPECT_EQ(line.open(dir.file("missing")), OpenFailure::kNotFound);
    EXPECT_EQ(line.open(dir.file("plain")), OpenFailure::kNotATerminal);
    EXPECT_EQ(line.open(dir.path()), OpenFailure::kNotATerminal);
    EXPECT_EQ(line.open(dir.file("fifo")), OpenFailure::kNotATerminal); // and does not block
    EXPECT_EQ(line.open("/dev/null"), OpenFailure::kNotATerminal);      // a device, not a tty
    EXPECT_FALSE(line.isOpen());
    // The plain file was not written to.
    EXPECT_EQ(nivra::test::readFileBytes(dir.file("plain")), "x");
}

TEST(SerialLineOpen, PermissionDeniedIsToldApart) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may open any device";
    SimWorkspace ws;
    auto& port = ws.addPort("sim", {1});
    ASSERT_EQ(::chmod(port.devicePath().c_str(), 0), 0);
    SerialLine line;
    EXPECT_EQ(line.open(ws.path("sim")), OpenFailure::kPermissionDenied);
}

TEST(SerialLineOpen, ASecondOpenOfTheSameDeviceIsBusyUntilTheFirstCloses) {
    SimWorkspace ws;
    auto& port = ws.addPort("sim", {1});
    SerialLine first;
    SerialLine second;
    ASSERT_EQ(first.open(ws.path("sim")), OpenFailure::kNone);
    EXPECT_EQ(second.open(ws.path("sim")), OpenFailure::kBusy);
    // Under another name of the same device too.
    EXPECT_EQ(second.open(port.devicePath()), OpenFailure::kBusy);
    first.close();
    EXPECT_EQ(second.open(ws.path("sim")), OpenFailure::kNone);
}

TEST(SerialLineOpen, SetsUpARaw19200Baud8N1LineAndKeepsHardwareFlowControl) {
    SimWorkspace ws;
    auto& port = ws.addPort("sim", {1});
    int probe = ::open(port.devicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(probe, 0);
    termios before{};
    ASSERT_EQ(::tcgetattr(probe, &before), 0);
    before.c_cflag |= CRTSCTS | PARENB | CSTOPB;
    before.c_lflag |= ECHO | ICANON;
    before.c_iflag |= IXON | ICRNL;
    ASSERT_EQ(::tcsetattr(probe, TCSANOW, &before), 0);

    SerialLine line;
    ASSERT_EQ(line.open(ws.path("sim")), OpenFailure::kNone);
    termios after{};
    ASSERT_EQ(::tcgetattr(probe, &after), 0);
    ::close(probe);
    EXPECT_EQ(cfgetospeed(&after), B19200);
    EXPECT_EQ(cfgetispeed(&after), B19200);
    EXPECT_EQ(after.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t{CS8});
    EXPECT_EQ(after.c_lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(after.c_iflag & (IXON | IXOFF | ICRNL | INLCR), 0u);
    EXPECT_EQ(after.c_oflag & OPOST, 0u);
    EXPECT_NE(after.c_cflag & CRTSCTS, 0u);
}

TEST(SerialLineTransfer, AClosedLineNeitherWritesNorReads) {
    SerialLine line;
    std::uint8_t bytes[2] = {0, 0};
    EXPECT_FALSE(line.write(bytes, 2));
    EXPECT_EQ(line.read(bytes, 2), 0u);
    EXPECT_FALSE(line.purge());
}
