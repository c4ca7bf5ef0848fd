#include "files/profile_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using nivra::test::ReadFileBytes;
using nivra::test::TempDir;
using nivra::test::WriteFileBytes;

TEST(ProfileFile, SmokeRoundTrip) {
    TempDir dir;
    {
        CProfileFile file(dir.file("a.pfx"));
        EXPECT_EQ(file.WriteString("x", "NAME", "S"), 1);
    }
    CProfileFile file(dir.file("a.pfx"));
    EXPECT_EQ(file.ReadString("name", "s"), "x");
    EXPECT_EQ(ReadFileBytes(dir.file("a.pfx")), "[S]\r\nNAME=x\r\n");
}
