// nivra-cli history and qa, run as the operator runs them on data files imported into the run
// history of a start directory.

#include "model/assay_data.h"
#include "model/data_file.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;

using nivra::test::ProgramResult;
using nivra::test::readFileBytes;
using nivra::test::runProgram;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

// The texts of an SVG picture that would reach past its left or right edge, each estimated at
// 7 units a character (12-unit sans-serif) from its anchor. Turned texts are left out.
std::vector<std::string> textsOffThePicture(const std::string& svg, double width) {
    std::vector<std::string> off;
    const std::regex text(
        R"re(<text x="([-0-9.]+)" y="[-0-9.]+"( text-anchor="(\w+)")?[^>]*>([^<]*)</text>)re");
    for (std::sregex_iterator it(svg.begin(), svg.end(), text), end; it != end; ++it) {
        const std::smatch& m = *it;
        if (m.str(0).find("transform") != std::string::npos)
            continue;
        const double x = std::stod(m.str(1));
        const double w = 7.0 * static_cast<double>(m.str(4).size());
        const double left = m.str(3) == "middle" ? x - w / 2 : m.str(3) == "end" ? x - w : x;
        if (left < 0 || left + w > width)
            off.push_back(m.str(4));
    }
    return off;
}

class CliHistory : public ::testing::Test {
protected:
    ProgramResult cli(const std::vector<std::string>& args) {
        return runProgram("nivra-cli", args, dir_.path());
    }

    // A finished run of one-hour points started on the given day of March 2026.
    void saveRun(const std::string& name, int day, std::vector<std::int32_t> counts) {
        AssayConfig assay = AssayConfig::defaults();
        assay.dwellHours = 1;
        assay.dwellMinutes = assay.dwellSeconds = 0;
        AssayData record(CounterConfig::defaults(), assay, 1);
        record.appendHeaderLine("Start Time: 03/" + std::to_string(day) + "/26 08:00:00");
        record.appendHeaderLine("End Time: 03/" + std::to_string(day) + "/26 18:00:00");
        for (auto count : counts)
            record.appendPoint(count);
        ASSERT_TRUE(nivra::saveDataFile(record, dir_.file(name)));
    }

    static std::vector<std::string> lines(const std::string& text) {
        return nivra::test::outputLines(text);
    }

    TempDir dir_;
};

} // namespace

TEST_F(CliHistory, ImportsAFolderOnceListsAndExportsItsRuns) {
    std::filesystem::create_directories(dir_.file("old/2026"));
    saveRun("old/2026/a.dax", 10, {5, 6, 7});
    saveRun("old/b.dax", 12, {8});
    writeFileBytes(dir_.file("old/broken.dax"), "no sections here\n");

    ProgramResult first = cli({"history", "import", "--counter", "2", "old"});
    EXPECT_EQ(first.exitCode, 1) << first.err;
    EXPECT_THAT(first.out, HasSubstr("imported old/2026/a.dax as run 1\n"));
    EXPECT_THAT(first.out, HasSubstr("not imported old/broken.dax: not a data file"));
    EXPECT_THAT(first.out, HasSubstr("2 imported, 0 skipped as duplicates, 1 refused\n"));
    ProgramResult again = cli({"history", "import", "old/2026", "old/b.dax"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_THAT(again.out, HasSubstr("skipped old/b.dax: the same content is run 2\n"));
    EXPECT_THAT(again.out, HasSubstr("0 imported, 2 skipped as duplicates, 0 refused\n"));

    ProgramResult list = cli({"history", "--counter", "2", "--since", "2026-03-11"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    auto lines = this->lines(list.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_THAT(lines[1], ::testing::MatchesRegex(
                              "    2        2  sample      2026-03-12T08:00:00[+-][0-9:]{5}  time "
                              "             1             8        8.0000  default assay config"));
    EXPECT_EQ(cli({"history", "--kind", "daily"}).exitCode, 2);
    EXPECT_EQ(cli({"history", "--until", "2026-02-30"}).exitCode, 2);

    // Export writes what the window saves; show prints what stats --all prints.
    ASSERT_EQ(cli({"history", "export", "1", "--dax", "a.dax", "--csv", "a.csv"}).exitCode, 0);
    EXPECT_EQ(readFileBytes(dir_.file("a.dax")), readFileBytes(dir_.file("old/2026/a.dax")));
    ASSERT_EQ(cli({"csv", "old/2026/a.dax", "expected.csv"}).exitCode, 0);
    EXPECT_EQ(readFileBytes(dir_.file("a.csv")), readFileBytes(dir_.file("expected.csv")));
    ProgramResult show = cli({"history", "show", "1"});
    ProgramResult stats = cli({"stats", "old/2026/a.dax", "--all"});
    EXPECT_THAT(show.out, HasSubstr("DWELL HOURS=1\nDWELL MINUTES=0\n"));
    EXPECT_THAT(show.out, HasSubstr("[statistics]\n" + stats.out));
    EXPECT_THAT(cli({"history", "show", "9"}).err, HasSubstr("there is no run 9"));
}

// One bad file in a folder never stops the import: each file gets its line, the refused ones
// with their reason, and the summary and the exit status tell that some were refused.
TEST_F(CliHistory, ImportGoesOnPastBadFilesWithOneLineEach) {
    std::filesystem::create_directories(dir_.file("mix"));
    saveRun("mix/a.dax", 10, {5, 6});
    saveRun("mix/b.dax", 11, {7});
    std::string text = readFileBytes(dir_.file("mix/b.dax"));
    text.replace(text.find("DETECTOR EFFICIENCY=") + 20, 8, "nan");
    writeFileBytes(dir_.file("mix/b.dax"), text);
    saveRun("mix/c.dax", 12, {1, 2});
    text = readFileBytes(dir_.file("mix/c.dax"));
    writeFileBytes(dir_.file("mix/c.dax"), text.replace(text.find("P1=2"), 4, "P1=1e3"));
    ASSERT_EQ(::mkfifo(dir_.file("mix/d.dax").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("gone.dax", dir_.file("mix/e.dax").c_str()), 0);
    saveRun("mix/f.dax", 13, {9});

    ProgramResult result = cli({"history", "import", "mix"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(lines(result.out),
              (std::vector<std::string>{
                  "imported mix/a.dax as run 1",
                  "not imported mix/b.dax: DETECTOR EFFICIENCY is not a finite number",
                  "not imported mix/c.dax: damaged data file: mix/c.dax: P1='1e3' is not a count",
                  "not imported mix/d.dax: cannot read 'mix/d.dax': is a FIFO",
                  "not imported mix/e.dax: cannot read 'mix/e.dax': No such file or directory",
                  "imported mix/f.dax as run 2",
                  "2 imported, 0 skipped as duplicates, 4 refused",
              }));
}

// A run history that is a link to a missing file is refused, never created where it points.
TEST_F(CliHistory, AHistoryLinkToAMissingFileIsRefused) {
    saveRun("a.dax", 10, {5});
    ASSERT_EQ(::symlink("elsewhere/history.sqlite", dir_.file("history.sqlite").c_str()), 0);
    std::filesystem::create_directories(dir_.file("elsewhere"));
    ProgramResult result = cli({"history", "import", "a.dax"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.err, HasSubstr("history.sqlite is a link to a missing file"));
    EXPECT_FALSE(std::filesystem::exists(dir_.file("elsewhere/history.sqlite")));
}

TEST_F(CliHistory, QaFlagsRunsAgainstTheReferenceAndDrawsTheChart) {
    EXPECT_THAT(cli({"qa", "--counter", "1", "--kind", "background"}).err,
                HasSubstr("no run history here yet"));
    // Five reference runs of 100 counts per hour, then one at 131 (z = 3.1) and one at 85.
    const std::vector<std::int32_t> counts{100, 100, 100, 100, 100, 131, 85};
    for (std::size_t i = 0; i < counts.size(); ++i)
        saveRun("bg" + std::to_string(i) + ".dax", static_cast<int>(i + 1), {counts[i]});
    ASSERT_EQ(cli({"history", "import", "--counter", "1", "--kind", "background", "."}).exitCode,
              0);

    ProgramResult qa = cli({"qa", "--counter", "1", "--kind", "background", "--reference", "1:5",
                            "--svg", "chart.svg"});
    ASSERT_EQ(qa.exitCode, 0) << qa.err;
    auto lines = this->lines(qa.out);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_THAT(lines[6], ::testing::EndsWith("   131.0000    +3.10  action"));
    EXPECT_THAT(lines[7], ::testing::EndsWith("    85.0000    -1.50  -"));
    EXPECT_EQ(lines[8], "mean rate 100.0000 counts/hour from 5 reference runs; 7 runs, 1 flagged");
    const std::string svg = readFileBytes(dir_.file("chart.svg"));
    EXPECT_THAT(svg, StartsWith("<svg "));
    EXPECT_THAT(svg, HasSubstr("run 6: 131.0000/h, z +3.10, action"));
    EXPECT_THAT(svg, HasSubstr(">mean 100.0000/h</text>"));
    EXPECT_THAT(textsOffThePicture(svg, 900), ::testing::IsEmpty());
    EXPECT_EQ(cli({"qa", "--counter", "1", "--kind", "sample"}).exitCode, 2);
    EXPECT_THAT(cli({"qa", "--counter", "3", "--kind", "source"}).err,
                HasSubstr("no reference runs"));
}

// Pooled, not averaged: 3 h with 30 counts and 1 h with 2 counts give 32 / 4 h, not the mean
// of 10 and 2 per hour.
TEST_F(CliHistory, BackgroundPoolsTheCountersBackgroundRunsAndWritesThemIntoAnAssay) {
    EXPECT_EQ(cli({"background"}).exitCode, 2);
    saveRun("b1.dax", 10, {10, 10, 10});
    saveRun("b2.dax", 12, {2});
    saveRun("s.dax", 13, {500});
    ASSERT_EQ(
        cli({"history", "import", "--counter", "1", "--kind", "background", "b1.dax", "b2.dax"})
            .exitCode,
        0);
    ASSERT_EQ(cli({"history", "import", "--counter", "1", "s.dax"}).exitCode, 0);
    EXPECT_EQ(cli({"background", "--counter", "1"}).out,
              "Background rate (1/h): 8\nBackground time (h): 4\nRuns: 2\n");
    EXPECT_EQ(cli({"background", "--counter=1", "--since", "2026-03-11"}).out,
              "Background rate (1/h): 2\nBackground time (h): 1\nRuns: 1\n");
    ProgramResult none = cli({"background", "--counter", "2"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_THAT(none.err, HasSubstr("no background runs with counted time for counter 2"));

    writeFileBytes(dir_.file("smear.acx"),
                   "; kept\r\n[ASSAY CONFIG]\r\nNAME=smear\r\nBACKGROUND=1.000000\r\n"
                   "SAMPLE_AREA=100\r\nBACKGROUND_HOURS=0.000000\r\n[OTHER]\r\nX=1\r\n");
    ASSERT_EQ(cli({"background", "--counter", "1", "--write", "smear.acx"}).exitCode, 0);
    EXPECT_EQ(readFileBytes(dir_.file("smear.acx")),
              "; kept\r\n[ASSAY CONFIG]\r\nNAME=smear\r\nBACKGROUND=8.000000\r\n"
              "SAMPLE_AREA=100\r\nBACKGROUND_HOURS=4.000000\r\n[OTHER]\r\nX=1\r\n");
    // A file that is no assay configuration is left alone.
    writeFileBytes(dir_.file("ports.pfx"), "[CONFIG]\r\nPORT1=COM1\r\n");
    EXPECT_EQ(cli({"background", "--counter", "1", "--write", "ports.pfx"}).exitCode, 1);
    EXPECT_EQ(readFileBytes(dir_.file("ports.pfx")), "[CONFIG]\r\nPORT1=COM1\r\n");
}
