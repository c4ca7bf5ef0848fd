// The file system questions and changes of base/file_system.h, the same on every system.

#include "base/file_system.h"
#include "base/local_time.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace {

using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;

TEST(FileSystem, RenameWithoutReplacingNeverOverwrites) {
    TempDir dir;
    writeFileBytes(dir.file("from.dax"), "new");
    writeFileBytes(dir.file("to.dax"), "kept");
    errno = 0;
    EXPECT_FALSE(nivra::renameWithoutReplacing(dir.file("from.dax"), dir.file("to.dax")));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(readFileBytes(dir.file("to.dax")), "kept");
    ASSERT_TRUE(nivra::renameWithoutReplacing(dir.file("from.dax"), dir.file("free.dax")));
    EXPECT_EQ(readFileBytes(dir.file("free.dax")), "new");
    EXPECT_FALSE(nivra::nameExists(dir.file("from.dax")));
}

TEST(FileSystem, NamesQuestionsAndRemovalAgreeWithEachOther) {
    TempDir dir;
    // A name beyond ASCII, as operators name their files on either system.
    const std::string name = "Z\xC3\xA4hlung \xC2\xB5"
                             "1.dax";
    writeFileBytes(dir.file(name), "x");
    EXPECT_TRUE(nivra::fileExists(dir.file(name)));
    EXPECT_TRUE(nivra::nameExists(dir.file(name)));
    const auto names = nivra::folderEntries(dir.path());
    EXPECT_EQ(names, std::vector<std::string>{name});
    std::FILE* file = nivra::openForReading(dir.file(name));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::fgetc(file), 'x');
    std::fclose(file);
    const auto modified = nivra::fileModificationTime(dir.file(name));
    ASSERT_TRUE(modified);
    EXPECT_LT(std::abs(*modified - static_cast<std::int64_t>(std::time(nullptr))), 60);
    EXPECT_TRUE(nivra::removeFile(dir.file(name)));
    EXPECT_FALSE(nivra::fileExists(dir.file(name)));
    EXPECT_FALSE(nivra::removeFile(dir.file(name)));
    EXPECT_FALSE(nivra::fileModificationTime(dir.file(name)));
    EXPECT_TRUE(nivra::folderEntries(dir.file("missing")).empty());
}

TEST(FileSystem, TheProbeFileTellsWhetherAFolderTakesAFileAndLeavesNothing) {
    TempDir dir;
    EXPECT_EQ(nivra::writeProbeFile(dir.file(".probe"), 4096), "");
    EXPECT_TRUE(nivra::folderEntries(dir.path()).empty());
    EXPECT_NE(nivra::writeProbeFile(dir.file("missing/.probe"), 4096), "");
}

TEST(FileSystem, ProcessAndMachineAreNamed) {
    EXPECT_GT(nivra::processId(), 0);
    EXPECT_FALSE(nivra::localMachineName().empty());
    const auto current = nivra::currentDirectory();
    ASSERT_TRUE(current);
    // Joined with '/' by the program on every system.
    EXPECT_EQ(current->find('\\'), std::string::npos);
}

// Header lines' time stamps read the same on every system: the Windows reader follows the C
// library of Linux.
TEST(LocalTimeStamps, FieldsOfHeaderLineStamps) {
    struct Case {
        const char* text;
        bool read;
        int year, month, day, hour, minute, second;
        const char* rest;
    };
    const Case cases[] = {
        {"12/08/25 14:03:07", true, 125, 11, 8, 14, 3, 7, ""},
        {"1/2/99 3:04:05 tail", true, 99, 0, 2, 3, 4, 5, " tail"},
        {"01/02/68 00:00:00", true, 168, 0, 2, 0, 0, 0, ""},
        {"01/02/69 23:59:59", true, 69, 0, 2, 23, 59, 59, ""},
        {"13/02/25 10:00:00", false, 0, 0, 0, 0, 0, 0, nullptr},
        {"12-08-25 14:03:07", false, 0, 0, 0, 0, 0, 0, nullptr},
        {"12/08/25 24:00:00", false, 0, 0, 0, 0, 0, 0, nullptr},
        {"", false, 0, 0, 0, 0, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::tm fields{};
        const char* rest = nivra::readTimeStampFields(c.text, fields);
        ASSERT_EQ(rest != nullptr, c.read);
        if (!rest)
            continue;
        EXPECT_STREQ(rest, c.rest);
        EXPECT_EQ(fields.tm_year, c.year);
        EXPECT_EQ(fields.tm_mon, c.month);
        EXPECT_EQ(fields.tm_mday, c.day);
        EXPECT_EQ(fields.tm_hour, c.hour);
        EXPECT_EQ(fields.tm_min, c.minute);
        EXPECT_EQ(fields.tm_sec, c.second);
    }
}

TEST(LocalTimeStamps, TheOffsetFromUtcMatchesTheCalendarFields) {
    const std::int64_t instant = 1765202587; // 2025-12-08T14:03:07Z
    const std::string iso = nivra::formatIsoLocalTime(instant);
    ASSERT_EQ(iso.size(), 25u) << iso;
    std::tm local{};
    ASSERT_TRUE(nivra::localCalendarTime(instant, local));
    EXPECT_EQ(std::stoi(iso.substr(11, 2)), local.tm_hour);
    const int sign = iso[19] == '-' ? -1 : 1;
    const int offsetMinutes =
        sign * (std::stoi(iso.substr(20, 2)) * 60 + std::stoi(iso.substr(23)));
    // The local wall clock less the offset is the instant's UTC time of day.
    const int utcMinutes =
        ((local.tm_hour * 60 + local.tm_min - offsetMinutes) % 1440 + 1440) % 1440;
    EXPECT_EQ(utcMinutes, 14 * 60 + 3);
}

} // namespace
