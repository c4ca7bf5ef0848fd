#include "base/profile_file.h"
#include "data_file_record.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;
using nivra::ProfileFile;

using nivra::test::dataFileRecord;
using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;
using ::testing::ElementsAre;

TEST(DataFileSave, RoundTripGivesTheRecordBack) {
    TempDir dir;
    const AssayData record = dataFileRecord({12, -5, 0, 2147483647, -2147483647 - 1},
                                            {"Start Time: 12/08/25 14:03:07", "b"});
    ASSERT_TRUE(nivra::saveDataFile(record, dir.file("r.dax")));
    EXPECT_NE(readFileBytes(dir.file("r.dax")).find("[ASSAY DATA]\r\nP0=12\r\nP1=-5\r\n"),
              std::string::npos);

    AssayData back = *nivra::readDataFile(dir.file("r.dax"));
    EXPECT_EQ(back.counts(), record.counts());
    EXPECT_EQ(back.headerLines(), record.headerLines());
    EXPECT_EQ(back.counterNumber(), -1);
    EXPECT_EQ(back.counterConfig().name, "Counter 1");
    EXPECT_EQ(back.assayConfig().backgroundRate, 2.5);
    EXPECT_EQ(back.assayConfig().totalSpan(), record.assayConfig().totalSpan());
}

// A record without points still has its point section, so that it opens as a data file.
TEST(DataFileSave, EmptyRecordWritesAnEmptyPointSection) {
    TempDir dir;
    ASSERT_TRUE(nivra::saveDataFile(dataFileRecord({}), dir.file("e.dax")));
    const std::string text = readFileBytes(dir.file("e.dax"));
    EXPECT_EQ(text.find("ASSAY DESC"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n[ASSAY DATA]\r\n"));
    std::string problem;
    ASSERT_NE(nivra::openDataFile(dir.file("e.dax"), problem), nullptr) << problem;
    AssayData back = *nivra::readDataFile(dir.file("e.dax"));
    EXPECT_EQ(back.pointCount(), 0u);
    EXPECT_EQ(back.headerLineCount(), 0u);
}

// Saving writes exactly the bytes the profile layer writes for the same keys into a new file.
TEST(DataFileSave, LayoutMatchesTheProfileLayer) {
    TempDir dir;
    const AssayData record = dataFileRecord({3, 4}, {"one", "two\r\nlines"});
    ASSERT_TRUE(nivra::saveDataFile(record, dir.file("saved.dax")));
    {
        ProfileFile file(dir.file("profile.dax"));
        record.counterConfig().writeTo(file);
        record.assayConfig().writeTo(file);
        file.writeString("one", "D0", "ASSAY DESC");
        file.writeString("two\r\nlines", "D1", "ASSAY DESC");
        file.writeString("3", "P0", "ASSAY DATA");
        file.writeString("4", "P1", "ASSAY DATA");
    }
    EXPECT_EQ(readFileBytes(dir.file("saved.dax")), readFileBytes(dir.file("profile.dax")));
}

TEST(DataFileSave, NoStaleKeysAfterAShorterSave) {
    TempDir dir;
    const std::string path = dir.file("r.dax");
    ASSERT_TRUE(nivra::saveDataFile(dataFileRecord({1, 2, 3, 4, 5}, {"a", "b", "c"}), path));
    ASSERT_TRUE(nivra::saveDataFile(dataFileRecord({7, 8, 9}, {"z"}), path));
    EXPECT_THAT(nivra::readDataFile(path)->counts(), ElementsAre(7, 8, 9));
    EXPECT_THAT(nivra::readDataFile(path)->headerLines(), ElementsAre("z"));
    ASSERT_TRUE(nivra::saveDataFile(dataFileRecord({}), path));
    EXPECT_EQ(nivra::readDataFile(path)->pointCount(), 0u);
    EXPECT_EQ(nivra::readDataFile(path)->headerLineCount(), 0u);
}

TEST(DataFileSave, HeaderLinesComeBackAsTheyWere) {
    TempDir dir;
    const std::string longLine(300, 'h');
    ASSERT_TRUE(nivra::saveDataFile(
        dataFileRecord({1}, {"  indented", "trailing ", "\"quoted\"", "'single'", "\"", "",
                             "after the empty line", longLine}),
        dir.file("r.dax")));
    // An empty line comes back as one blank instead of ending the list; a line longer than the
    // profile layer's limit comes back cut.
    EXPECT_THAT(nivra::readDataFile(dir.file("r.dax"))->headerLines(),
                ElementsAre("  indented", "trailing ", "\"quoted\"", "'single'", "\"", " ",
                            "after the empty line", longLine.substr(0, 254)));
}

TEST(DataFileSave, TextGoesOutInTheCodePageOrAfterAKeptByteOrderMark) {
    TempDir dir;
    // "Zähler – 5 µSv", and an indented line too long for quotes on Windows.
    const std::string text = "Z\xC3\xA4hler \xE2\x80\x93 5 \xC2\xB5Sv";
    const std::string indented = " " + std::string(300, 'x');
    AssayData record = dataFileRecord({1}, {text, indented});
    ASSERT_TRUE(nivra::saveDataFile(record, dir.file("cp.dax")));
    const std::string bytes = readFileBytes(dir.file("cp.dax"));
    EXPECT_NE(
        bytes.find("\r\nD0=Z\xE4hler \x96 5 \xB5Sv\r\nD1=\" " + std::string(251, 'x') + "\"\r\n"),
        std::string::npos);
    EXPECT_THAT(nivra::readDataFile(dir.file("cp.dax"))->headerLines(),
                ElementsAre(text, indented.substr(0, 252)));

    writeFileBytes(dir.file("bom.dax"), "\xEF\xBB\xBF[ASSAY DATA]\r\nP0=5\r\n");
    ASSERT_TRUE(nivra::saveDataFile(record, dir.file("bom.dax")));
    const std::string marked = readFileBytes(dir.file("bom.dax"));
    EXPECT_EQ(marked.substr(0, 21), "\xEF\xBB\xBF[COUNTER CONFIG]\r\n");
    EXPECT_NE(marked.find("\r\nD0=" + text + "\r\n"), std::string::npos);
    EXPECT_THAT(nivra::readDataFile(dir.file("bom.dax"))->headerLines(),
                ElementsAre(text, indented.substr(0, 252)));
}

TEST(DataFileLoad, PointsAreScannedLikeTheCIntegerConversion) {
    TempDir dir;
    writeFileBytes(dir.file("r.dax"),
                   "[ASSAY DATA]\r\nP0=12\r\nP1=abc\r\nP2=7\r\nP3=8 units\r\nP4= -3\r\n");
    EXPECT_THAT(nivra::readDataFile(dir.file("r.dax"))->counts(), ElementsAre(12, 12, 7, 8, -3));
    writeFileBytes(dir.file("s.dax"), "[ASSAY DATA]\r\nP0=abc\r\nP1=4\r\n");
    EXPECT_THAT(nivra::readDataFile(dir.file("s.dax"))->counts(), ElementsAre(0, 4));
}

TEST(DataFileLoad, AGapOrAnEmptyValueEndsEachList) {
    TempDir dir;
    writeFileBytes(dir.file("r.dax"), "[ASSAY DESC]\r\nD0=first\r\nD1=\r\nD2=third\r\n"
                                      "[ASSAY DATA]\r\nP0=4\r\nP2=6\r\n");
    AssayData back = *nivra::readDataFile(dir.file("r.dax"));
    EXPECT_THAT(back.counts(), ElementsAre(4));
    EXPECT_THAT(back.headerLines(), ElementsAre("first"));
}

TEST(DataFileLoad, MissingFileReadsAsARecordWithoutPoints) {
    TempDir dir;
    AssayData missing = *nivra::readDataFile(dir.file("missing.dax"));
    EXPECT_EQ(missing.pointCount(), 0u);
    EXPECT_EQ(missing.assayConfig().name, "");
    EXPECT_EQ(missing.assayConfig().sampleArea, 1000u);
    EXPECT_EQ(missing.counterConfig().detectorArea, 1000u);
}

TEST(DataFileCheck, WholeNumbersInRangeAreCounts) {
    TempDir dir;
    writeFileBytes(dir.file("ok.dax"), "[COUNTER CONFIG]\r\n[ASSAY CONFIG]\r\n[ASSAY DATA]\r\n"
                                       "P0=0\r\nP1= 007 \r\nP2=-5\r\nP3=2147483647\r\n"
                                       "P4=-2147483648\r\nP6=junk after the gap\r\n");
    std::string problem;
    const auto record = nivra::openDataFile(dir.file("ok.dax"), problem);
    ASSERT_NE(record, nullptr) << problem;
    EXPECT_THAT(record->counts(), ElementsAre(0, 7, -5, 2147483647, -2147483647 - 1));
}

// A file far too large for a data file is refused by its size, without being read: a sparse
// file of 2 GB costs neither time nor memory.
TEST(DataFileCheck, AFileTooLargeIsRefusedByItsSize) {
    TempDir dir;
    const std::string path = dir.file("huge.dax");
    writeFileBytes(path, "[COUNTER CONFIG]\r\n[ASSAY CONFIG]\r\n[ASSAY DATA]\r\n");
    std::filesystem::resize_file(path, std::uintmax_t{2} << 30);
    EXPECT_EQ(nivra::dataFileProblem(path), "not a data file: " + path + " (it is larger than " +
                                                std::to_string(nivra::kMaxDataFileBytes) +
                                                " bytes)");
}
