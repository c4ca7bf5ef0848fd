#include "model/stats_show.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using nivra::StatsShow;

using nivra::Statistic;
using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;

TEST(StatsShowFile, AllShownIsWrittenKeyForKeyInOrder) {
    TempDir dir;
    ASSERT_TRUE(StatsShow().save(dir.file("s.pfx")));
    EXPECT_EQ(readFileBytes(dir.file("s.pfx")),
              "[STATS SHOW]\r\nNumPoints=true\r\nTotalCounts=true\r\nTime=true\r\nMean=true\r\n"
              "StdDev=true\r\nCPH=true\r\nNetapercm2hr=true\r\nNetapercm2hrErr=true\r\n"
              "LLD=true\r\nDetEff=true\r\nNetcorr=true\r\nNetcorrErr=true\r\nCDL95=true\r\n"
              "LOD900=true\r\nLOD950=true\r\nLOD997=true\r\n");
}

TEST(StatsShowFile, HandEditedFileSelectsOnlyExactTrue) {
    TempDir dir;
    writeFileBytes(dir.file("s.pfx"), "[STATS SHOW]\r\nNumPoints=true\r\nMean=TRUE\r\nCPH=1\r\n"
                                      "Time=\r\nLOD997=true\r\n");
    StatsShow selection;
    selection.load(dir.file("s.pfx"));
    EXPECT_TRUE(selection.shows(Statistic::NumPoints));
    EXPECT_TRUE(selection.shows(Statistic::LOD997));
    EXPECT_FALSE(selection.shows(Statistic::Mean));
    EXPECT_FALSE(selection.shows(Statistic::CPH));
    EXPECT_FALSE(selection.shows(Statistic::Time));
    EXPECT_FALSE(selection.shows(Statistic::LLD)) << "missing key";

    // Writing back repairs the file: Mean=false, and the missing LLD key is added.
    ASSERT_TRUE(selection.save(dir.file("s.pfx")));
    const std::string saved = readFileBytes(dir.file("s.pfx"));
    EXPECT_NE(saved.find("Mean=false\r\n"), std::string::npos);
    EXPECT_NE(saved.find("LLD=false\r\n"), std::string::npos);
    StatsShow back;
    back.load(dir.file("s.pfx"));
    EXPECT_EQ(back, selection);
}

TEST(StatsShowFile, MissingFileSelectsNothingAndEmptyPathChangesNothing) {
    TempDir dir;
    StatsShow selection;
    selection.load("");
    EXPECT_EQ(selection, StatsShow());
    EXPECT_FALSE(selection.save(""));

    selection.load(dir.file("none.pfx"));
    StatsShow nothing;
    nothing.setAll(false);
    EXPECT_EQ(selection, nothing);
}
