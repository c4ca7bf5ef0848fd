// Files that come from the Windows version of the program: its code page, and the reading and
// writing rules of the Windows profile functions.

#include "base/code_page.h"
#include "base/profile_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using nivra::ProfileFile;

using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;

namespace {

struct Read {
    std::string key;
    std::string section;
    std::string expected;
};

// A starting file, what reading it gives, and (when write is set) one write and the bytes after.
struct FileCase {
    const char* what;
    std::string start;
    std::vector<Read> reads;
    Read write{};
    std::string bytesAfter{};
};

std::string quoted(std::size_t inner) {
    return "\"" + std::string(inner, 'q') + "\"";
}

} // namespace

TEST(ProfileFileWindowsRules, EachCaseReadsAndWritesAsOnWindows) {
    const std::vector<FileCase> cases = {
        {"byte-order mark: skipped, text is UTF-8, the mark stays",
         "\xEF\xBB\xBF[COUNTER CONFIG]\r\nDETECTOR AREA=50\r\nNAME=Z\xC3\xA4hler\r\n",
         {{"DETECTOR AREA", "COUNTER CONFIG", "50"}, {"NAME", "counter config", "Z\xC3\xA4hler"}},
         {"NAME", "COUNTER CONFIG", "\xE2\x9C\x93 \xE2\x82\xAC"},
         "\xEF\xBB\xBF[COUNTER CONFIG]\r\nDETECTOR AREA=50\r\nNAME=\xE2\x9C\x93 \xE2\x82\xAC\r\n"},
        {"CR-only line ends",
         "[S]\ra=1\rb=2\r",
         {{"a", "S", "1"}, {"b", "S", "2"}},
         {"c", "S", "3"},
         "[S]\r\na=1\r\nb=2\r\nc=3\r\n"},
        {"CR, LF and CR LF mixed",
         "[S]\r\na=1\rb=2\nc=3",
         {{"a", "S", "1"}, {"b", "S", "2"}, {"c", "S", "3"}}},
        {"CR, vertical tab, form feed and Ctrl-Z around names and values",
         "[S]\r\na=1 \r\r\n\vb\f=\t2\x1A\r\n\x1A",
         {{"a", "S", "1"}, {"b", "S", "2"}}},
        {"a key without '=' is filled in where it stands",
         "[S]\r\nnoeq\r\nb=2\r\n",
         {{"noeq", "S", ""}, {"b", "S", "2"}},
         {"NOEQ", "S", "5"},
         "[S]\r\nNOEQ=5\r\nb=2\r\n"},
        {"quoted values of 253, 254 and 255 characters",
         "[S]\r\na=" + quoted(253) + "\r\nb=" + quoted(254) + "\r\nc=" + quoted(255) + "\r\n",
         {{"a", "S", std::string(253, 'q')},
          {"b", "S", std::string(253, 'q')},
          {"c", "S", std::string(254, 'q')}}},
        {"keys before the first section line form the section \"\"",
         "top=1\r\n[S]\r\nk=2\r\n",
         {{"top", "", "1"}, {"top", "S", ""}, {"k", "S", "2"}},
         {"new", "", "3"},
         "top=1\r\nnew=3\r\n[S]\r\nk=2\r\n"},
        {"a section name runs to the last ']'",
         "[B]]\r\nk=1\r\n",
         {{"k", "B]", "1"}, {"k", "B", ""}},
         {"k", "B]", "2"},
         "[B]]\r\nk=2\r\n"},
        {"a line with '[' but no ']' is no section line",
         "[S]\r\n[A\r\nk=1\r\n",
         {{"k", "S", "1"}, {"k", "A", ""}, {"[A", "S", ""}}},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.file("case.pfx");
        writeFileBytes(path, c.start);
        {
            ProfileFile file(path);
            for (const Read& read : c.reads)
                EXPECT_EQ(file.readString(read.key, read.section), read.expected) << read.key;
            if (!c.write.key.empty()) {
                EXPECT_TRUE(file.writeString(c.write.expected, c.write.key, c.write.section));
            }
        }
        EXPECT_EQ(readFileBytes(path), c.write.key.empty() ? c.start : c.bytesAfter);
        if (!c.write.key.empty()) {
            ProfileFile file(path);
            EXPECT_EQ(file.readString(c.write.key, c.write.section), c.write.expected);
        }
    }
}

TEST(ProfileFileCodePage, EveryByteSurvivesReadingAndWritingAgain) {
    std::string all = "x";
    for (int b = 0x20; b <= 0xFF; ++b)
        all += static_cast<char>(b);
    std::string start = "[S]\r\nALL=" + all + "\r\n";
    for (int b = 0x80; b <= 0xFF; ++b)
        start += "K" + std::to_string(b) + "=" + static_cast<char>(b) + "\r\n";

    TempDir dir;
    writeFileBytes(dir.file("a.pfx"), start);
    {
        ProfileFile file(dir.file("a.pfx"));
        const std::string text = file.readString("ALL", "S");
        EXPECT_EQ(text, nivra::cp1252ToUtf8(all));
        EXPECT_EQ(file.readString("K128", "S"), "\xE2\x82\xAC"); // €
        EXPECT_EQ(file.readString("K150", "S"), "\xE2\x80\x93"); // –
        EXPECT_EQ(file.readString("K129", "S"), "\xC2\x81");     // undefined: U+0081
        EXPECT_EQ(file.readString("K181", "S"), "\xC2\xB5");     // µ
        EXPECT_EQ(file.readString("K233", "S"), "\xC3\xA9");     // é
        file.writeString(text, "ALL", "S");
        for (int b = 0x80; b <= 0xFF; ++b) {
            const std::string key = "K" + std::to_string(b);
            file.writeString(file.readString(key, "S"), key, "S");
        }
    }
    EXPECT_EQ(readFileBytes(dir.file("a.pfx")), start);
}

TEST(ProfileFileCodePage, TypedTextIsWrittenInTheCodePageAndOldUtf8FilesStillRead) {
    TempDir dir;
    {
        ProfileFile file(dir.file("a.pfx"));
        // µ é € – and a check mark, which the code page cannot hold.
        file.writeString("\xC2\xB5 \xC3\xA9 \xE2\x82\xAC \xE2\x80\x93 \xE2\x9C\x93", "D", "S");
    }
    EXPECT_EQ(readFileBytes(dir.file("a.pfx")), "[S]\r\nD=\xB5 \xE9 \x80 \x96 ?\r\n");

    // Earlier builds wrote UTF-8. A value in which every high byte forms a valid multi-byte
    // sequence reads as UTF-8; anything else, as the code page.
    writeFileBytes(dir.file("b.pfx"), "[S]\r\nOLD=Z\xC3\xA4hler \xC2\xB5\r\nCP=caf\xE9\r\n"
                                      "LOOKALIKE=\xC2\x80\r\nMIXED=\xC3\xA4\xE9\r\n");
    ProfileFile file(dir.file("b.pfx"));
    EXPECT_EQ(file.readString("OLD", "S"), "Z\xC3\xA4hler \xC2\xB5");
    EXPECT_EQ(file.readString("CP", "S"), "caf\xC3\xA9");
    EXPECT_EQ(file.readString("LOOKALIKE", "S"), "\xC3\x82\xE2\x82\xAC"); // Â€, no control
    EXPECT_EQ(file.readString("MIXED", "S"), "\xC3\x83\xC2\xA4\xC3\xA9");
}

TEST(CodePage, ConvertsBothWaysAndRepairsStrayBytes) {
    EXPECT_EQ(nivra::utf8ToCp1252("\xE2\x80\x9C\xC5\xA0\xC5\xB8\xE2\x80\x9D"), "\x93\x8A\x9F\x94");
    EXPECT_EQ(nivra::utf8ToCp1252("\xC2\x80 \xF0\x9F\x98\x80"), "? ?");
    EXPECT_EQ(nivra::utf8ToCp1252("raw \xE9"), "raw \xE9");
    EXPECT_EQ(nivra::repairUtf8("ok \xC3\xA9 raw \xE9 \xED\xA0\x80"),
              "ok \xC3\xA9 raw \xC3\xA9 \xC3\xAD\xC2\xA0\xE2\x82\xAC");
    EXPECT_EQ(nivra::characterCount("\xC3\xA9t\xC3\xA9", true), 3u);
    EXPECT_EQ(nivra::prefixBytes("\xC3\xA9t\xC3\xA9", 2, true), 3u);
}
