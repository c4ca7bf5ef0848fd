// Profile files and the POSIX file modes and folders around them.

#include "base/profile_file.h"
#include "support/temp_dir.h"
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
using nivra::ProfileFile;
using nivra::test::fileExists;
using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;

TEST(ProfileFileFailures, ReadOnlyFileIsNotReplaced) {
    TempDir dir;
    std::string path = dir.file("ro.pfx");
    writeFileBytes(path, "[S]\r\nK=old\r\n");
    ::chmod(path.c_str(), 0444);
    {
        ProfileFile file(path);
        EXPECT_FALSE(file.writeString("new", "K", "S"));
    }
    EXPECT_EQ(readFileBytes(path), "[S]\r\nK=old\r\n");
}

TEST(ProfileFileFailures, CommitIntoVanishedFolderReportsFailure) {
    TempDir dir;
    std::string folder = dir.file("sub");
    ::mkdir(folder.c_str(), 0777);
    std::string path = folder + "/a.pfx";
    writeFileBytes(path, "[S]\r\nK=old\r\n");
    ProfileFile file(path);
    EXPECT_TRUE(file.writeString("new", "K", "S"));
    // The folder disappears between the write and the commit (a removed USB stick, say).
    ::unlink(path.c_str());
    ::rmdir(folder.c_str());
    EXPECT_FALSE(file.flush());
}

TEST(ProfileFileFailures, CommitKeepsPermissionsAndLeavesNoTemporaryFiles) {
    TempDir dir;
    std::string path = dir.file("a.pfx");
    writeFileBytes(path, "[S]\r\nK=old\r\n");
    ::chmod(path.c_str(), 0640);
    {
        ProfileFile file(path);
        file.writeString("new", "K", "S");
    }
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}
