#include "files/stats_show.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using nivra::Statistic;
using nivra::test::ReadFileBytes;
using nivra::test::TempDir;
using nivra::test::WriteFileBytes;

TEST(StatsShowFile, AllShownIsWrittenKeyForKeyInOrder) {
    TempDir dir;
    ASSERT_TRUE(StatsShow().save(dir.file("s.pfx")));
    EXPECT_EQ(ReadFileBytes(dir.file("s.pfx")),
              "[STATS SHOW]\r\nNumPoints=true\r\nTotalCounts=true\r\nTime=true\r\nMean=true\r\n"
              "StdDev=true\r\nCPH=true\r\nNetapercm2hr=true\r\nNetapercm2hrErr=true\r\n"
              "LLD=true\r\nDetEff=true\r\nNetcorr=true\r\nNetcorrErr=true\r\nCDL95=true\r\n"
              "LOD900=true\r\nLOD950=true\r\nLOD997=true\r\n");
}

TEST(StatsShowFile, OnlyTheExactTextTrueSelects) {
    TempDir dir;
    std::string text = "[STATS SHOW]\r\n";
    for (const auto& names : nivra::kStatisticNames)
        if (std::string(names.key) != "LLD")
            text += std::string(names.key) + "=true\r\n";
    // Hand edits: capitals, a number, an empty value.
    text.replace(text.find("Mean=true"), 9, "Mean=TRUE");
    text.replace(text.find("CPH=true"), 8, "CPH=1");
    text.replace(text.find("Time=true"), 9, "Time=");
    WriteFileBytes(dir.file("s.pfx"), text);
    StatsShow selection;
    selection.load(dir.file("s.pfx"));
    EXPECT_FALSE(selection.shows(Statistic::Mean));
    EXPECT_FALSE(selection.shows(Statistic::CPH));
    EXPECT_FALSE(selection.shows(Statistic::Time));
    EXPECT_FALSE(selection.shows(Statistic::LLD)) << "missing key";
    EXPECT_TRUE(selection.shows(Statistic::NumPoints));
    EXPECT_TRUE(selection.shows(Statistic::LOD997));

    // Writing back repairs the file: Mean=false, and the missing LLD key is added.
    ASSERT_TRUE(selection.save(dir.file("s.pfx")));
    const std::string saved = ReadFileBytes(dir.file("s.pfx"));
    EXPECT_NE(saved.find("Mean=false\r\n"), std::string::npos);
    EXPECT_NE(saved.find("LLD=false\r\n"), std::string::npos);
}

TEST(StatsShowFile, MissingFileSelectsNothingAndEmptyPathChangesNothing) {
    TempDir dir;
    StatsShow selection;
    selection.load("");
    EXPECT_EQ(selection, StatsShow());
    EXPECT_FALSE(selection.save(""));

    selection.load(dir.file("none.pfx"));
    for (std::size_t i = 0; i < nivra::kStatisticCount; ++i)
        EXPECT_FALSE(selection.shows(nivra::StatisticAt(i)));
}

TEST(StatsShowFile, ToggledSelectionSurvivesARoundTrip) {
    TempDir dir;
    StatsShow selection;
    selection.toggle(Statistic::StdDev);
    selection.toggle(Statistic::NetcorrErr);
    ASSERT_TRUE(selection.save(dir.file("s.pfx")));
    StatsShow back;
    back.load(dir.file("s.pfx"));
    EXPECT_EQ(back, selection);
    EXPECT_FALSE(back.shows(Statistic::StdDev));
    EXPECT_TRUE(back.shows(Statistic::Netapercm2hrErr));
}
