// Which sections a profile file holds, and whether two paths that do not exist yet are one file
// (a run's outputs are compared before they are written).

#include "base/profile_sections.h"
#include "base/same_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

TEST(ProfileSections, FoundByTheRulesOfTheProfileReader) {
    EXPECT_TRUE(nivra::hasProfileSection("x=1\n  [ assay config ]  \n", "ASSAY CONFIG"));
    EXPECT_TRUE(nivra::hasProfileSection("a=1\r[COUNTER CONFIG]\rb=2", "COUNTER CONFIG"));
    EXPECT_TRUE(nivra::hasProfileSection("\xEF\xBB\xBF[ASSAY DATA]", "ASSAY DATA"));
    for (const char* text : {"", "NAME=[ASSAY CONFIG]\n", "[ASSAY CONFIG\n", "[ASSAY CONFIGS]"})
        EXPECT_FALSE(nivra::hasProfileSection(text, "ASSAY CONFIG")) << text;
}

TEST(SameFile, FilesToBeAreComparedByTheirPlace) {
    nivra::test::TempDir dir;
    EXPECT_TRUE(nivra::isSameFile(dir.file("new.csv"), dir.path() + "//./new.csv"));
    EXPECT_FALSE(nivra::isSameFile(dir.file("new.csv"), dir.file("new.dax")));
}
