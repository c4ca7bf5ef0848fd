#include "model/counter_config.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using nivra::CounterConfig;

using nivra::test::readFileBytes;
using nivra::test::TempDir;

TEST(CounterConfigFile, MissingFileEmptiesTextsAndKeepsNumbers) {
    TempDir dir;
    CounterConfig config(dir.file("none.ccx"));
    EXPECT_EQ(config.name, "");
    EXPECT_EQ(config.description, "");
    EXPECT_EQ(config.detectorArea, 1000u);
    EXPECT_EQ(config.detectorEfficiency, 0.84);
    EXPECT_EQ(config.filePath, dir.file("none.ccx"));
}

TEST(CounterConfigFile, WrittenKeyForKeyAndReadBack) {
    TempDir dir;
    ASSERT_TRUE(CounterConfig::defaults(dir.file("d.ccx")).write().ok());
    EXPECT_EQ(readFileBytes(dir.file("d.ccx")),
              "[COUNTER CONFIG]\r\nCOUNTER NAME=default name\r\nDESCRIPTION 0=default config\r\n"
              "DETECTOR AREA=1000\r\nDETECTOR EFFICIENCY=0.840000\r\n");

    CounterConfig config = CounterConfig::defaults();
    config.description = "ZnS(Ag) screen, bay 4: re-coated 2024/03";
    config.detectorArea = 4294967295u;
    config.detectorEfficiency = 84; // a percentage typed by mistake is kept as it is
    ASSERT_TRUE(config.write(dir.file("c.ccx")).ok());
    const std::string text = readFileBytes(dir.file("c.ccx"));
    EXPECT_NE(text.find("DETECTOR AREA=-1\r\n"), std::string::npos);
    EXPECT_NE(text.find("DETECTOR EFFICIENCY=84.000000\r\n"), std::string::npos);

    CounterConfig back(dir.file("c.ccx"));
    EXPECT_EQ(back.description, config.description);
    EXPECT_EQ(back.detectorArea, 4294967295u);
    EXPECT_EQ(back.detectorEfficiency, 84.0);
}

TEST(CounterConfigFile, WriteReportsEveryFailure) {
    TempDir dir;
    EXPECT_FALSE(CounterConfig::defaults().write().ok());
    EXPECT_FALSE(CounterConfig::defaults().write(dir.file("counter_config/counter1.ccx")).ok());
    nivra::test::writeFileBytes(dir.file("ro.ccx"), "");
    ::chmod(dir.file("ro.ccx").c_str(), 0444);
    EXPECT_FALSE(CounterConfig::defaults().write(dir.file("ro.ccx")).ok());
}
