// Which sections a profile file holds, whether two paths that do not exist yet are one file (a
// run's outputs are compared before they are written), how file names are printed in output
// lines, and which links lead nowhere.

#include "base/dangling_link.h"
#include "base/printable_text.h"
#include "base/profile_sections.h"
#include "base/same_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <utility>

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

TEST(PrintableText, ControlCharactersAreEscapedSoANameStaysOnItsLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"run 1.dax", "run 1.dax"},
        {"a\nsaved file=\"x\"", "a\\nsaved file=\"x\""},
        {std::string("\r\t\x01\x1b\x7f", 5), "\\r\\t\\x01\\x1b\\x7f"},
        {std::string("nul\0end", 7), "nul\\x00end"},
        {"Z\xC3\xBCrich", "Z\xC3\xBCrich"}, // UTF-8 text is no control character
    };
    for (const auto& [text, printed] : cases)
        EXPECT_EQ(nivra::escapeControlCharacters(text), printed);
}
