// What nivra-cli does with its command line itself: help, version, the end of the options, file
// names that hold control characters, and outputs that are links.

#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

using nivra::test::ProgramResult;
using nivra::test::readFileBytes;
using nivra::test::runProgram;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

const std::string kDataFile =
    "[COUNTER CONFIG]\r\nDETECTOR AREA=100\r\nDETECTOR EFFICIENCY=0.500000\r\n"
    "[ASSAY CONFIG]\r\nSAMPLE_AREA=100\r\nDWELL HOURS=1\r\nDWELL MINUTES=0\r\nDWELL SECONDS=0\r\n"
    "TOTAL HOURS=2\r\nTOTAL MINUTES=0\r\nTOTAL SECONDS=0\r\n[ASSAY DATA]\r\nP0=10\r\nP1=12\r\n";

ProgramResult cli(const TempDir& dir, const std::vector<std::string>& args) {
    return runProgram("nivra-cli", args, dir.path());
}

} // namespace

TEST(CliManners, HelpOfOneCommandIsThatCommandsAloneAndTheVersionIsTold) {
    TempDir dir;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"stats", "--help"},
                                                 {"stats", "w.dax", "-h"},
                                                 {"help", "stats"},
                                                 {"--help", "stats"}}) {
        const ProgramResult help = cli(dir, args);
        EXPECT_EQ(help.exitCode, 0) << args[0];
        EXPECT_THAT(help.out, StartsWith("nivra-cli stats FILE.dax"));
        EXPECT_THAT(help.out, Not(HasSubstr("nivra-cli run ")));
    }
    EXPECT_EQ(cli(dir, {"help", "nonsense"}).exitCode, 2);
    const ProgramResult version = cli(dir, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_THAT(version.out, ::testing::MatchesRegex("nivra-cli [0-9]+\\.[0-9]+\n"));
}

// After "--" every argument is a file, even one named like an option.
TEST(CliManners, DoubleDashEndsTheOptions) {
    TempDir dir;
    writeFileBytes(dir.file("--help"), kDataFile);
    writeFileBytes(dir.file("-all.dax"), kDataFile);
    const ProgramResult stats = cli(dir, {"stats", "--", "--help"});
    EXPECT_EQ(stats.exitCode, 0) << stats.err;
    EXPECT_THAT(stats.out, StartsWith("Num Points: 2\n"));
    EXPECT_EQ(cli(dir, {"assess", "--", "-all.dax"}).exitCode, 0);
    EXPECT_EQ(cli(dir, {"csv", "--all", "-all.dax", "o.csv"}).exitCode, 2);
    EXPECT_EQ(cli(dir, {"csv", "--", "-all.dax", "-o.csv"}).exitCode, 0);
    EXPECT_THAT(readFileBytes(dir.file("-o.csv")), HasSubstr("10,\n12,\n"));
    EXPECT_EQ(cli(dir, {"stats", "--", "-all.dax", "--help"}).exitCode, 2);
}

// A file name with a line break cannot forge an output line: it is printed escaped.
TEST(CliManners, ControlCharactersInANameArePrintedEscaped) {
    TempDir dir;
    const ProgramResult result = cli(dir, {"stats", "x\npoint 1 99\n.dax"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "nivra-cli stats: cannot read 'x\\npoint 1 99\\n.dax': No such file or "
                          "directory\n");
}

// A CSV written to a name that is a link replaces the link; the file it pointed to stays. A
// write that fails says the system's reason.
TEST(CliManners, ACsvOutputThatIsALinkIsReplacedNotWrittenThrough) {
    TempDir dir;
    writeFileBytes(dir.file("w.dax"), kDataFile);
    writeFileBytes(dir.file("other.txt"), "keep me");
    ASSERT_EQ(::symlink("other.txt", dir.file("out.csv").c_str()), 0);
    const ProgramResult csv = cli(dir, {"csv", "w.dax", "out.csv"});
    EXPECT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(readFileBytes(dir.file("other.txt")), "keep me");
    EXPECT_THAT(readFileBytes(dir.file("out.csv")), HasSubstr("10,\n12,\n"));
    char target[16];
    EXPECT_EQ(::readlink(dir.file("out.csv").c_str(), target, sizeof target), -1);

    const ProgramResult missing = cli(dir, {"csv", "w.dax", "no/such/folder.csv"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_THAT(missing.err,
                HasSubstr("cannot write 'no/such/folder.csv': No such file or directory\n"));
}
