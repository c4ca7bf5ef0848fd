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

// UTF-16 little-endian bytes of ASCII text, as Windows saves a "Unicode" file.
std::string utf16(std::string_view ascii) {
    std::string bytes;
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

const std::string kUtf16Mark = "\xFF\xFE";
const std::string kUtf16Ae = std::string("\xE4\0", 2);              // ä
const std::string kUtf16Euro = std::string("\xAC\x20", 2);          // €
const std::string kUtf16Smile = std::string("\x3D\xD8\x00\xDE", 4); // U+1F600, a surrogate pair

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
        {"UTF-16 with its mark: read as Unicode, written back as UTF-16 with the mark",
         kUtf16Mark + utf16("[COUNTER CONFIG]\r\nDETECTOR EFFICIENCY=0.5\r\nCOUNTER NAME=Z") +
             kUtf16Ae + utf16("hler ") + kUtf16Smile + utf16("\r\n"),
         {{"DETECTOR EFFICIENCY", "counter config", "0.5"},
          {"COUNTER NAME", "COUNTER CONFIG", "Z\xC3\xA4hler \xF0\x9F\x98\x80"}},
         {"DETECTOR AREA", "COUNTER CONFIG", "\xE2\x82\xAC 7"},
         kUtf16Mark + utf16("[COUNTER CONFIG]\r\nDETECTOR EFFICIENCY=0.5\r\nCOUNTER NAME=Z") +
             kUtf16Ae + utf16("hler ") + kUtf16Smile + utf16("\r\nDETECTOR AREA=") + kUtf16Euro +
             utf16(" 7\r\n")},
        {"a NUL byte ends a value and a key",
         std::string("[S]\r\nV=12\0"
                     "99\r\nK\0junk=5\r\nE=\0x\r\n",
                     30),
         {{"V", "S", "12"}, {"K", "S", "5"}, {"Kjunk", "S", ""}, {"E", "S", ""}},
         {"V", "S", "7"},
         std::string("[S]\r\nV=7\r\nK\0junk=5\r\nE=\0x\r\n", 26)},
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

TEST(ProfileFileNul, ANulEndsTheNamesAndValuesGivenToAWrite) {
    TempDir dir;
    {
        ProfileFile file(dir.file("a.pfx"));
        EXPECT_TRUE(file.writeString(std::string("12\0junk", 7), std::string("K\0x", 3),
                                     std::string("S\0y", 3)));
    }
    EXPECT_EQ(readFileBytes(dir.file("a.pfx")), "[S]\r\nK=12\r\n");
}

TEST(CodePage, Utf16LittleEndianConvertsBothWays) {
    // A, ä, €, U+1F600 as a surrogate pair, then a lone high and a lone low surrogate.
    const std::string units("A\0\xE4\0\xAC\x20\x3D\xD8\x00\xDE\x3D\xD8"
                            "B\0\x00\xDC",
                            16);
    EXPECT_EQ(nivra::utf16LeToUtf8(units), "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD"
                                           "B\xEF\xBF\xBD");
    EXPECT_EQ(nivra::utf16LeToUtf8(units + "x"), nivra::utf16LeToUtf8(units)); // odd byte dropped
    EXPECT_EQ(nivra::utf8ToUtf16Le("A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"), units.substr(0, 10));
    EXPECT_EQ(nivra::utf8ToUtf16Le("\xE9"),
              std::string("\xE9\0", 2)); // a stray byte is Windows-1252
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
