#include "base/profile_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

using nivra::ProfileFile;

using nivra::test::fileExists;
using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;

namespace {

std::string read(const std::string& path, const std::string& key, const std::string& section) {
    ProfileFile file(path);
    return file.readString(key, section);
}

} // namespace

TEST(ProfileFileReading, MissingFileSectionOrKeyReadsEmpty) {
    TempDir dir;
    EXPECT_EQ(read(dir.file("none.pfx"), "NAME", "S"), "");
    writeFileBytes(dir.file("a.pfx"), "[S]\r\nNAME=x\r\n");
    EXPECT_EQ(read(dir.file("a.pfx"), "NAME", "OTHER"), "");
    EXPECT_EQ(read(dir.file("a.pfx"), "OTHER", "S"), "");
}

TEST(ProfileFileReading, NamesIgnoreCaseAndBlanks) {
    TempDir dir;
    writeFileBytes(dir.file("a.pfx"), "[Assay Config]\nname = x \n  Key2\t=\ty\n");
    EXPECT_EQ(read(dir.file("a.pfx"), "NAME", "ASSAY CONFIG"), "x");
    EXPECT_EQ(read(dir.file("a.pfx"), "key2", "assay config"), "y");
}

TEST(ProfileFileReading, OnePairOfMatchingQuotesIsRemoved) {
    TempDir dir;
    writeFileBytes(dir.file("a.pfx"),
                   "[S]\nA=\"quoted text\"\nB='single'\nC=\"unbalanced\nD=\"\"x\"\"\nE=\"mixed'\n");
    EXPECT_EQ(read(dir.file("a.pfx"), "A", "S"), "quoted text");
    EXPECT_EQ(read(dir.file("a.pfx"), "B", "S"), "single");
    EXPECT_EQ(read(dir.file("a.pfx"), "C", "S"), "\"unbalanced");
    EXPECT_EQ(read(dir.file("a.pfx"), "D", "S"), "\"x\"");
    EXPECT_EQ(read(dir.file("a.pfx"), "E", "S"), "\"mixed'");
}

TEST(ProfileFileReading, LongValuesAreCutTo254Characters) {
    TempDir dir;
    std::string value(300, 'v');
    {
        ProfileFile file(dir.file("a.pfx"));
        file.writeString(value, "LONG", "S");
        // The object's own view of a pending write is cut like a read from disk.
        EXPECT_EQ(file.readString("LONG", "S"), value.substr(0, 254));
    }
    EXPECT_EQ(read(dir.file("a.pfx"), "LONG", "S"), value.substr(0, 254));
    // The file keeps the whole value.
    EXPECT_NE(readFileBytes(dir.file("a.pfx")).find(value), std::string::npos);
}

TEST(ProfileFileReading, FirstOfDuplicateSectionsAndKeysWins) {
    TempDir dir;
    writeFileBytes(dir.file("a.pfx"), "[S]\nK=1\nK=2\n[S]\nK=3\nL=4\n");
    EXPECT_EQ(read(dir.file("a.pfx"), "K", "S"), "1");
    EXPECT_EQ(read(dir.file("a.pfx"), "L", "S"), "");
}

TEST(ProfileFileWriting, NewFileGetsSectionThenKeyWithCrLf) {
    TempDir dir;
    {
        ProfileFile file(dir.file("stats.pfx"));
        EXPECT_TRUE(file.writeBool(false, "Time", "STATS SHOW"));
    }
    EXPECT_EQ(readFileBytes(dir.file("stats.pfx")), "[STATS SHOW]\r\nTime=false\r\n");
}

TEST(ProfileFileWriting, ReplacesInPlaceAppendsKeysAndSectionsKeepsOtherLines) {
    TempDir dir;
    writeFileBytes(dir.file("a.pfx"), "; a comment\n[A]\nname = old\nmalformed line\n\n[B]\nX=1\n");
    {
        ProfileFile file(dir.file("a.pfx"));
        file.writeString("new", "NAME", "a");
        file.writeString("2", "Y", "A");
        file.writeString("3", "Z", "C");
    }
    EXPECT_EQ(readFileBytes(dir.file("a.pfx")),
              "; a comment\r\n[A]\r\nNAME=new\r\nmalformed line\r\nY=2\r\n\r\n[B]\r\nX=1\r\n"
              "[C]\r\nZ=3\r\n");
}

TEST(ProfileFileWriting, ReadAfterWriteSeesValueInSameAndLaterObject) {
    TempDir dir;
    ProfileFile writer(dir.file("a.pfx"));
    writer.writeString("1", "K", "S");
    EXPECT_EQ(writer.readString("K", "S"), "1");
    writer.writeString("2", "K", "S");
    EXPECT_TRUE(writer.flush());
    EXPECT_EQ(read(dir.file("a.pfx"), "K", "S"), "2");
}

TEST(ProfileFileWriting, ManyKeysReadBackThroughSecondObject) {
    TempDir dir;
    {
        ProfileFile file(dir.file("many.pfx"));
        for (int i = 0; i < 5000; ++i)
            file.writeString(std::to_string(i * 7), "P" + std::to_string(i), "DATA");
    }
    ProfileFile file(dir.file("many.pfx"));
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(file.readString("p" + std::to_string(i), "data"), std::to_string(i * 7));
}

// Many writes at once are put in place as one batch; a read after each write puts each in place
// on its own. Both must leave the same file: keys replaced in place (the first of duplicate keys),
// a key written twice in the batch kept once with its last value, new keys before the blank
// lines that end a section, sections in the order first written.
TEST(ProfileFileWriting, BatchOfWritesEndsLikeWritesOneByOne) {
    TempDir dir;
    const std::string original = "; comment\r\n[DATA]\r\nP0=old\r\nDUP=first\r\nDUP=second\r\n"
                                 "\r\n[OTHER]\r\nX=1\r\n";
    const auto writeAll = [](ProfileFile& file, bool readBetween) {
        for (int i = 0; i < 100000; ++i) {
            const std::string section = i % 3 == 0 ? "other" : (i % 7 == 0 ? "NEW" : "Data");
            const std::string key = i % 5 == 0 ? "dup" : "P" + std::to_string(i % 50000);
            ASSERT_TRUE(file.writeString(std::to_string(i), key, section));
            if (readBetween)
                file.readString(key, section);
        }
    };
    writeFileBytes(dir.file("batch.pfx"), original);
    writeFileBytes(dir.file("single.pfx"), original);
    {
        ProfileFile batch(dir.file("batch.pfx"));
        writeAll(batch, false);
        EXPECT_EQ(batch.readString("dup", "DATA"), "99985");
        EXPECT_EQ(batch.readString("P0", "data"), "old");
    }
    {
        ProfileFile single(dir.file("single.pfx"));
        writeAll(single, true);
    }
    const std::string written = readFileBytes(dir.file("batch.pfx"));
    EXPECT_EQ(written, readFileBytes(dir.file("single.pfx")));
    EXPECT_NE(written.find("dup=99985\r\nDUP=second\r\n"), std::string::npos);
    EXPECT_NE(written.find("\r\n\r\n[OTHER]\r\nX=1\r\n"), std::string::npos);
    // Read back, the first of the duplicate keys answers.
    EXPECT_EQ(read(dir.file("batch.pfx"), "DUP", "data"), "99985");
    EXPECT_EQ(read(dir.file("batch.pfx"), "P49999", "data"), "49999");
}

TEST(ProfileFileWriting, BatchOfNewKeysGoesBeforeTheBlankLinesAndIsFoundInAnyOrder) {
    TempDir dir;
    writeFileBytes(dir.file("a.pfx"), "[S]\r\nA=1\r\n\r\n[T]\r\n");
    {
        ProfileFile file(dir.file("a.pfx"));
        for (int i = 0; i < 3000; ++i)
            ASSERT_TRUE(file.writeString(std::to_string(i), "K" + std::to_string(i), "S"));
        for (int i = 2999; i >= 0; i -= 7)
            ASSERT_EQ(file.readString("K" + std::to_string(i), "S"), std::to_string(i));
        EXPECT_EQ(file.readString("A", "S"), "1");
    }
    const std::string written = readFileBytes(dir.file("a.pfx"));
    EXPECT_EQ(written.rfind("[S]\r\nA=1\r\nK0=0\r\nK1=1\r\n", 0), 0u);
    EXPECT_TRUE(written.ends_with("\r\nK2999=2999\r\n\r\n[T]\r\n"));
}

TEST(ProfileFileWriting, DeleteSectionRemovesOnlyThatSection) {
    TempDir dir;
    writeFileBytes(dir.file("a.pfx"), "[A]\nK=1\n[B]\nP0=5\nP1=6\n[C]\nK=3\n");
    {
        ProfileFile file(dir.file("a.pfx"));
        EXPECT_TRUE(file.deleteSection("b"));
        EXPECT_EQ(file.readString("P0", "B"), "");
        file.writeString("9", "P0", "B");
    }
    EXPECT_EQ(readFileBytes(dir.file("a.pfx")), "[A]\r\nK=1\r\n[C]\r\nK=3\r\n[B]\r\nP0=9\r\n");
}

// A deleted key goes with every line of it, pending writes included; the keys after it are still
// found, and a later write of it appends it again.
TEST(ProfileFileWriting, DeleteKeyRemovesEveryLineOfItInItsSectionOnly) {
    TempDir dir;
    writeFileBytes(dir.file("a.pfx"), "[A]\nK=1\nL=2\nk = 3\nM=4\n[B]\nK=5\n");
    {
        ProfileFile file(dir.file("a.pfx"));
        file.writeString("7", "K", "A");
        EXPECT_TRUE(file.deleteKey(" k ", "a"));
        EXPECT_EQ(file.readString("K", "A"), "");
        EXPECT_EQ(file.readString("M", "A"), "4");
        EXPECT_EQ(file.readString("K", "B"), "5");
        EXPECT_TRUE(file.deleteKey("none", "A"));
        EXPECT_TRUE(file.deleteKey("K", "no such section"));
        file.writeString("8", "M", "A");
    }
    EXPECT_EQ(readFileBytes(dir.file("a.pfx")), "[A]\r\nL=2\r\nM=8\r\n[B]\r\nK=5\r\n");
}

TEST(ProfileFileSafety, LineBreaksInValuesBecomeBlanks) {
    TempDir dir;
    {
        ProfileFile file(dir.file("a.pfx"));
        EXPECT_TRUE(file.writeString("one\r\ntwo\nthree\rfour\n[EVIL]\nX=1", "DESC", "S"));
    }
    EXPECT_EQ(readFileBytes(dir.file("a.pfx")), "[S]\r\nDESC=one two three four [EVIL] X=1\r\n");
    EXPECT_EQ(read(dir.file("a.pfx"), "X", "EVIL"), "");
}

TEST(ProfileFileSafety, NamesThatWouldCorruptTheFileAreRefused) {
    TempDir dir;
    ProfileFile file(dir.file("a.pfx"));
    EXPECT_FALSE(file.writeString("v", "A=B", "S"));
    EXPECT_FALSE(file.writeString("v", "A\nB", "S"));
    EXPECT_FALSE(file.writeString("v", "", "S"));
    EXPECT_FALSE(file.writeString("v", "[K]", "S"));
    EXPECT_FALSE(file.writeString("v", "K", "S\r\n[T"));
    EXPECT_TRUE(file.flush());
    EXPECT_FALSE(fileExists(dir.file("a.pfx")));
}

TEST(ProfileFileFailures, MissingFolderWritesNothingAndCreatesNothing) {
    TempDir dir;
    std::string path = dir.file("counter_config/counter1.ccx");
    {
        ProfileFile file(path);
        EXPECT_FALSE(file.writeString("x", "COUNTER NAME", "COUNTER CONFIG"));
    }
    EXPECT_FALSE(fileExists(dir.file("counter_config")));
}
