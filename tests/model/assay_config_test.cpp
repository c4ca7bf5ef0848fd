#include "base/start_directory.h"
#include "model/assay_config.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <sys/stat.h>

using nivra::AssayConfig;

using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;

TEST(AssayConfigFile, DefaultsAreWrittenKeyForKeyInFileOrder) {
    TempDir dir;
    ASSERT_TRUE(AssayConfig::defaults().write(dir.file("a.acx")).ok());
    EXPECT_EQ(readFileBytes(dir.file("a.acx")),
              "[ASSAY CONFIG]\r\nNAME=default assay config\r\nSAMPLE_AREA=1000\r\n"
              "DWELL HOURS=2\r\nDWELL MINUTES=2\r\nDWELL SECONDS=3\r\nTOTAL HOURS=4\r\n"
              "TOTAL MINUTES=5\r\nTOTAL SECONDS=6\r\nBACKGROUND=1.000000\r\n"
              "BACKGROUND_HOURS=4.000000\r\n");
}

TEST(AssayConfigFile, RoundTripKeepsEveryFieldIncludingFullUnsignedRange) {
    TempDir dir;
    AssayConfig config = AssayConfig::defaults();
    config.name = "Radon, filter #3";
    config.sampleArea = 4294967295u;
    config.totalMinutes = 75;
    config.backgroundRate = 1.5;
    ASSERT_TRUE(config.write(dir.file("a.acx")).ok());
    const std::string text = readFileBytes(dir.file("a.acx"));
    EXPECT_NE(text.find("SAMPLE_AREA=-1\r\n"), std::string::npos);
    EXPECT_NE(text.find("TOTAL MINUTES=75\r\n"), std::string::npos);
    EXPECT_NE(text.find("BACKGROUND=1.500000\r\n"), std::string::npos);

    AssayConfig back(dir.file("a.acx"));
    EXPECT_EQ(back.name, "Radon, filter #3");
    EXPECT_EQ(back.sampleArea, 4294967295u);
    EXPECT_EQ(back.totalMinutes, 75u);
    EXPECT_EQ(back.backgroundRate, 1.5);
    EXPECT_TRUE(back.filePath.empty());
}

TEST(AssayConfigFile, FileWithoutTheSectionEmptiesNameAndKeepsNumbers) {
    TempDir dir;
    writeFileBytes(dir.file("c.ccx"), "[COUNTER CONFIG]\r\nCOUNTER NAME=x\r\n");
    AssayConfig config(dir.file("c.ccx"));
    EXPECT_EQ(config.name, "");
    EXPECT_EQ(config.sampleArea, 1000u);
    EXPECT_EQ(config.totalSeconds, 6u);
    EXPECT_EQ(config.backgroundHours, 4.0);
}

TEST(AssayConfigFile, DefaultConfigurationLivesBelowTheStartDirectory) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("assay_config"));
    writeFileBytes(dir.file("assay_config/default.acx"), "[ASSAY CONFIG]\r\nSAMPLE_AREA=250\r\n");
    AssayConfig config = AssayConfig::loadDefault(dir.start());
    // Making a configuration reads nothing, even with the default file at hand.
    EXPECT_EQ(AssayConfig().sampleArea, 1000u);
    EXPECT_TRUE(AssayConfig().filePath.empty());

    EXPECT_EQ(config.filePath, dir.file("assay_config/default.acx"));
    EXPECT_EQ(config.sampleArea, 250u);
    // write() without a path goes to filePath; saving elsewhere does not move it.
    config.sampleArea = 300;
    EXPECT_TRUE(config.write().ok());
    EXPECT_TRUE(config.write(dir.file("other.acx")).ok());
    EXPECT_EQ(config.filePath, dir.file("assay_config/default.acx"));
    EXPECT_EQ(AssayConfig(config.filePath).sampleArea, 300u);
}

TEST(AssayConfigFile, WriteReportsEveryFailure) {
    TempDir dir;
    AssayConfig config = AssayConfig::defaults();
    EXPECT_EQ(config.write().error(), "no file was named");
    EXPECT_EQ(config.write(dir.file("missing/a.acx")).error(), std::strerror(ENOENT));
    EXPECT_FALSE(nivra::test::fileExists(dir.file("missing")));

    writeFileBytes(dir.file("ro.acx"), "[ASSAY CONFIG]\r\nNAME=old\r\n");
    ::chmod(dir.file("ro.acx").c_str(), 0444);
    EXPECT_FALSE(config.write(dir.file("ro.acx")).error().empty());
    EXPECT_EQ(readFileBytes(dir.file("ro.acx")), "[ASSAY CONFIG]\r\nNAME=old\r\n");
}

TEST(AssayConfigTime, CountTimeAndBackground) {
    AssayConfig config = AssayConfig::defaults();
    EXPECT_DOUBLE_EQ(config.countTimeHours(), 14706 / 3600.0);

    config.totalHours = 0;
    config.totalMinutes = 75;
    config.totalSeconds = 0;
    config.backgroundRate = 2.0;
    EXPECT_EQ(config.countTimeHours(), 1.25);
    EXPECT_EQ(config.backgroundCounts(), 8.0);
    config.backgroundHours = 0.0;
    EXPECT_EQ(config.effectiveBackgroundHours(), 1.25);
    EXPECT_EQ(config.backgroundCounts(), 2.5);

    config.totalHours = 2000000; // beyond 2^32 seconds: must not wrap to a few hours
    config.totalMinutes = 0;
    EXPECT_EQ(config.countTimeHours(), 2000000.0);
}

// The optional kind: read when it names a kind, written only when set, and keys the record does
// not know stay in the file when the record is saved over it (the dialog's Save); the optional
// keys it does know but has not set do not.
TEST(AssayConfigFile, QaKindIsOptionalAndOtherKeysSurviveASave) {
    TempDir dir;
    writeFileBytes(dir.file("bg.acx"),
                   "[ASSAY CONFIG]\r\nNAME=bg\r\nQA KIND=background\r\nLAB NOTE=shelf 2\r\n");
    AssayConfig config(dir.file("bg.acx"));
    EXPECT_EQ(config.kind(), nivra::RunKind::Background);
    config.name = "background, shelf 2";
    ASSERT_TRUE(config.write(dir.file("bg.acx")).ok());
    const std::string saved = readFileBytes(dir.file("bg.acx"));
    EXPECT_NE(saved.find("QA KIND=background\r\n"), std::string::npos);
    EXPECT_NE(saved.find("LAB NOTE=shelf 2\r\n"), std::string::npos);

    writeFileBytes(dir.file("odd.acx"), "[ASSAY CONFIG]\r\nQA KIND=Background\r\n");
    config.read(dir.file("odd.acx"));
    EXPECT_FALSE(config.qaKind);
    EXPECT_EQ(config.kind(), nivra::RunKind::Sample);
    ASSERT_TRUE(AssayConfig::defaults().write(dir.file("plain.acx")).ok());
    EXPECT_EQ(readFileBytes(dir.file("plain.acx")).find("QA KIND"), std::string::npos);

    // Saved over a file that had a kind, a limit and the stop, a configuration without them
    // takes them out (the keys it does not know stay).
    writeFileBytes(dir.file("bg.acx"), "[ASSAY CONFIG]\r\nQA KIND=background\r\nCLASS "
                                       "LIMIT=0.05\r\nSTOP WHEN DECIDED=1\r\nLAB NOTE=x\r\n");
    ASSERT_TRUE(AssayConfig::defaults().write(dir.file("bg.acx")).ok());
    const AssayConfig over(dir.file("bg.acx"));
    EXPECT_FALSE(over.qaKind || over.classLimit || over.stopWhenDecided);
    EXPECT_NE(readFileBytes(dir.file("bg.acx")).find("LAB NOTE=x\r\n"), std::string::npos);
}

// STOP WHEN DECIDED is read as a switch and written only when it is set.
TEST(AssayConfigFile, StopWhenDecidedIsAnOptionalSwitch) {
    TempDir dir;
    for (const auto& [text, set] :
         {std::pair{"STOP WHEN DECIDED=1\r\n", true}, std::pair{"STOP WHEN DECIDED=0\r\n", false},
          std::pair{"STOP WHEN DECIDED=yes\r\n", false}, std::pair{"", false}}) {
        writeFileBytes(dir.file("a.acx"),
                       std::string("[ASSAY CONFIG]\r\nCLASS LIMIT=0.05\r\n") + text);
        EXPECT_EQ(AssayConfig(dir.file("a.acx")).stopWhenDecided, set) << text;
    }
    AssayConfig config = AssayConfig::defaults();
    ASSERT_TRUE(config.write(dir.file("plain.acx")).ok());
    EXPECT_EQ(readFileBytes(dir.file("plain.acx")).find("STOP WHEN DECIDED"), std::string::npos);
    config.stopWhenDecided = true;
    ASSERT_TRUE(config.write(dir.file("stop.acx")).ok());
    EXPECT_NE(readFileBytes(dir.file("stop.acx")).find("STOP WHEN DECIDED=1\r\n"),
              std::string::npos);
    EXPECT_TRUE(AssayConfig(dir.file("stop.acx")).stopWhenDecided);
}
