// Links that lead to nothing (symbolic links as POSIX systems make them).

#include "base/dangling_link.h"
#include "base/printable_text.h"
#include "base/profile_sections.h"
#include "base/same_file.h"
#include "support/temp_dir.h"
#include <gtest/gtest.h>
#include <unistd.h>
#include <utility>

TEST(DanglingLink, OnlyALinkToNothingIsDangling) {
    nivra::test::TempDir dir;
    nivra::test::writeFileBytes(dir.file("file"), "x");
    ASSERT_EQ(::symlink("file", dir.file("good").c_str()), 0);
    ASSERT_EQ(::symlink("missing", dir.file("dangling").c_str()), 0);
    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    EXPECT_FALSE(nivra::isDanglingLink(dir.file("file")));
    EXPECT_FALSE(nivra::isDanglingLink(dir.file("good")));
    EXPECT_FALSE(nivra::isDanglingLink(dir.file("nothing")));
    EXPECT_TRUE(nivra::isDanglingLink(dir.file("dangling")));
    EXPECT_TRUE(nivra::isDanglingLink(dir.file("loop")));
}
