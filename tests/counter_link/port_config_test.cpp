#include "base/profile_file.h"
#include "counter_link/port_config.h"
#include "support/sim_workspace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using nivra::ProfileFile;

using nivra::PortListSource;
using nivra::readPortConfig;
using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writePortList;

namespace {

const std::vector<std::string> kDefaults = {"COM1", "COM2", "COM3", "COM4",
                                            "COM5", "COM6", "COM7", "COM8"};
const std::string kDefaultFile = "[CONFIG]\r\nPORT1=COM1\r\nPORT2=COM2\r\nPORT3=COM3\r\n"
                                 "PORT4=COM4\r\nPORT5=COM5\r\nPORT6=COM6\r\nPORT7=COM7\r\n"
                                 "PORT8=COM8\r\n";

} // namespace

TEST(PortConfig, TakesTheNamedPortsInKeyOrderSkippingEmptyKeys) {
    TempDir dir;
    const std::string path = dir.file("port_config.pfx");
    writePortList(path, {"PORT4=COM7"});
    std::vector<std::string> ports = {"stale"};
    EXPECT_EQ(readPortConfig(path, ports), PortListSource::kFile);
    EXPECT_EQ(ports, std::vector<std::string>{"COM7"});

    writePortList(
        path, {"port8 = /dev/ttyUSB1", "PORT2=/dev/ttyUSB0", "PORT3=", "PORT9=COM9", "PORT0=COM0"});
    EXPECT_EQ(readPortConfig(path, ports), PortListSource::kFile);
    EXPECT_EQ(ports, (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1"}));

    // A path with a letter of the Windows code page names the folder in the program's UTF-8.
    writePortList(path, {"PORT1=/home/lab/Z\xE4hler/ttyS0"});
    EXPECT_EQ(readPortConfig(path, ports), PortListSource::kFile);
    EXPECT_EQ(ports, std::vector<std::string>{"/home/lab/Z\xC3\xA4hler/ttyS0"});
}

TEST(PortConfig, AMissingFileIsCreatedWithTheEightDefaults) {
    TempDir dir;
    const std::string path = dir.file("port_config.pfx");
    std::vector<std::string> ports;
    EXPECT_EQ(readPortConfig(path, ports), PortListSource::kDefaultsWritten);
    EXPECT_EQ(ports, kDefaults);
    EXPECT_EQ(readFileBytes(path), kDefaultFile);
    // Read again, the written file yields the same list.
    EXPECT_EQ(readPortConfig(path, ports), PortListSource::kFile);
    EXPECT_EQ(ports, kDefaults);
}

TEST(PortConfig, AFileWithOnlyEmptyKeysIsRewrittenKeepingEverythingElse) {
    TempDir dir;
    const std::string path = dir.file("port_config.pfx");
    nivra::test::writeFileBytes(path,
                                "; lab ports\r\n[CONFIG]\r\nPORT1=\r\nPORT2=  \r\nBAUD=9600\r\n"
                                "PORT3=\r\nPORT4=\r\nPORT5=\r\nPORT6=\r\nPORT7=\r\nPORT8=\r\n"
                                "[OTHER]\r\nPORT1=/dev/ttyUSB0\r\n");
    std::vector<std::string> ports;
    EXPECT_EQ(readPortConfig(path, ports), PortListSource::kDefaultsWritten);
    EXPECT_EQ(ports, kDefaults);
    EXPECT_EQ(readFileBytes(path), "; lab ports\r\n[CONFIG]\r\nPORT1=COM1\r\nPORT2=COM2\r\n"
                                   "BAUD=9600\r\nPORT3=COM3\r\nPORT4=COM4\r\nPORT5=COM5\r\n"
                                   "PORT6=COM6\r\nPORT7=COM7\r\nPORT8=COM8\r\n[OTHER]\r\n"
                                   "PORT1=/dev/ttyUSB0\r\n");
}

TEST(PortConfig, DefaultsThatCannotBeWrittenAreUsedAllTheSame) {
    TempDir dir;
    const std::string path = dir.file("no_such_folder/port_config.pfx");
    std::vector<std::string> ports;
    EXPECT_EQ(readPortConfig(path, ports), PortListSource::kDefaultsNotWritten);
    EXPECT_EQ(ports, kDefaults);
    EXPECT_FALSE(nivra::test::fileExists(dir.file("no_such_folder")));
}

TEST(PortConfig, LongDeviceNamesAreCutTo254Characters) {
    TempDir dir;
    const std::string path = dir.file("port_config.pfx");
    const std::string longName = "/dev/" + std::string(300, 'x');
    writePortList(path, {"PORT1=" + longName});
    std::vector<std::string> ports;
    readPortConfig(path, ports);
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0], longName.substr(0, 254));
}

// A port list that exists but cannot be read is never taken as empty: no port is tried, nothing
// is written, the reason is told. The profile layer refuses writes into such a file as well.
TEST(PortConfig, AnUnreadableListIsLeftAloneAndSaysWhy) {
    TempDir dir;
    const std::string folder = dir.file("port_config.pfx");
    std::filesystem::create_directory(folder);
    const std::string fifo = dir.file("fifo.pfx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {folder, fifo}) {
        std::vector<std::string> ports{"stale"};
        std::string why;
        EXPECT_EQ(readPortConfig(path, ports, &why), PortListSource::kUnreadable) << path;
        EXPECT_TRUE(ports.empty());
        EXPECT_FALSE(why.empty());
        ProfileFile file(path);
        EXPECT_EQ(file.readString("PORT1", "CONFIG"), "");
        EXPECT_EQ(file.writeString("COM1", "PORT1", "CONFIG"), 0);
        EXPECT_TRUE(file.readError() == "it is a folder" || path == fifo) << file.readError();
    }
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}
