// The configuration files keep the Windows-1252 bytes of the Windows version through a read
// and a write.

#include "model/assay_config.h"
#include "model/counter_config.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using nivra::AssayConfig;
using nivra::CounterConfig;

using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;

TEST(CodePageFiles, ConfigurationsKeepTheirBytes) {
    TempDir dir;
    const std::string counter = "[COUNTER CONFIG]\r\nCOUNTER NAME=Z\xE4hler \x80\x96\x9F\r\n"
                                "DESCRIPTION 0=\x93gro\xDF\x94 \xB5m \xA9\r\n"
                                "DETECTOR AREA=100\r\nDETECTOR EFFICIENCY=0.500000\r\n";
    writeFileBytes(dir.file("c.ccx"), counter);
    CounterConfig counterConfig(dir.file("c.ccx"));
    EXPECT_EQ(counterConfig.name, "Z\xC3\xA4hler \xE2\x82\xAC\xE2\x80\x93\xC5\xB8");
    ASSERT_TRUE(counterConfig.write().ok());
    EXPECT_EQ(readFileBytes(dir.file("c.ccx")), counter);

    const std::string assay = "[ASSAY CONFIG]\r\nNAME=Tr\xE8s \x84s\xFBr\x93\r\nSAMPLE_AREA=100\r\n"
                              "DWELL HOURS=0\r\nDWELL MINUTES=10\r\nDWELL SECONDS=0\r\n"
                              "TOTAL HOURS=2\r\nTOTAL MINUTES=0\r\nTOTAL SECONDS=0\r\n"
                              "BACKGROUND=2.000000\r\nBACKGROUND_HOURS=4.000000\r\n";
    writeFileBytes(dir.file("a.acx"), assay);
    AssayConfig assayConfig(dir.file("a.acx"));
    ASSERT_TRUE(assayConfig.write(dir.file("a.acx")).ok());
    EXPECT_EQ(readFileBytes(dir.file("a.acx")), assay);
}
