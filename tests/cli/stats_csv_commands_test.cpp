// nivra-cli stats, csv and assess, run as the operator runs them.

#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;

extern char** environ;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs nivra-cli with the arguments in the folder dir and collects its output.
Outcome runCli(const TempDir& dir, const std::vector<std::string>& args) {
    const std::string program = std::string(NIVRA_BIN_DIR) + "/nivra-cli";
    const std::string outPath = dir.file(".stdout");
    const std::string errPath = dir.file(".stderr");
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.path().c_str());
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid;
    Outcome outcome;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }
    posix_spawn_file_actions_destroy(&actions);
    outcome.out = readFileBytes(outPath);
    outcome.err = readFileBytes(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    return outcome;
}

// The worked example as a data file: counts 10, 12, 8, 10 in 15-minute dwells, with a
// configured total of totalHours.
std::string workedExample(int totalHours = 1) {
    return std::string("[COUNTER CONFIG]\r\nCOUNTER NAME=c\r\nDESCRIPTION 0=d\r\n"
                       "DETECTOR AREA=100\r\nDETECTOR EFFICIENCY=0.500000\r\n"
                       "[ASSAY CONFIG]\r\nNAME=a\r\nSAMPLE_AREA=100\r\nDWELL HOURS=0\r\n"
                       "DWELL MINUTES=15\r\nDWELL SECONDS=0\r\nTOTAL HOURS=") +
           std::to_string(totalHours) +
           "\r\nTOTAL MINUTES=0\r\nTOTAL SECONDS=0\r\nBACKGROUND=2.000000\r\n"
           "BACKGROUND_HOURS=4.000000\r\n[ASSAY DESC]\r\nD0=first header line\r\n"
           "D1=second header line\r\n[ASSAY DATA]\r\nP0=10\r\nP1=12\r\nP2=8\r\n"
           "P3=10\r\n";
}

void writeWorkedExample(const std::string& path, int totalHours = 1) {
    writeFileBytes(path, workedExample(totalHours));
}

const std::string kWorkedStatistics = "Num Points: 4\n"
                                      "Total Counts: 40\n"
                                      "Time(hrs): 1.0000\n"
                                      "Mean: 10.0000\n"
                                      "Std dev: 1.6330\n"
                                      "CPH: 40.0000\n"
                                      "Net a/(cm2 hr): 0.3800\n"
                                      "+/- err: 0.0636\n"
                                      "LLD: 0.0330\n"
                                      "Det Eff(%): 50.00\n"
                                      "Net corr: 0.7600\n"
                                      "+/- err: 0.1273\n"
                                      "CDL95: 0.0329\n"
                                      "LOD90.0%: 0.2087\n"
                                      "LOD95.0%: 0.2546\n"
                                      "LOD99.7%: 0.3818\n";

// A failure: non-zero status, nothing on standard output, one line on standard error.
void expectOneLineError(const Outcome& outcome, const std::string& part) {
    EXPECT_NE(outcome.status, 0);
    EXPECT_EQ(outcome.out, "");
    EXPECT_THAT(outcome.err, MatchesRegex("nivra-cli [a-z]+: [^\n]*\n"));
    EXPECT_THAT(outcome.err, HasSubstr(part));
}

} // namespace

TEST(CliStats, PrintsTheStatisticsBlockOfTheWorkedExample) {
    TempDir dir;
    writeWorkedExample(dir.file("w.dax"));
    Outcome outcome = runCli(dir, {"stats", "w.dax"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, kWorkedStatistics);
    EXPECT_EQ(outcome.err, "");
}

// A record whose configured total (8 h) is far beyond its points: its rates use the time it
// counted, with or without --all, and so does the CSV export.
TEST(CliStats, EveryViewUsesPointsTimesDwell) {
    TempDir dir;
    writeWorkedExample(dir.file("w.dax"), 8);
    Outcome plain = runCli(dir, {"stats", "w.dax"});
    EXPECT_EQ(plain.out, kWorkedStatistics);
    Outcome csv = runCli(dir, {"csv", "w.dax", "w.csv"});
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_THAT(readFileBytes(dir.file("w.csv")), HasSubstr("Time(hrs): 1.0000\n"));

    Outcome all = runCli(dir, {"stats", "w.dax", "--all"});
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out, kWorkedStatistics);

    Outcome roi = runCli(dir, {"stats", "w.dax", "--roi", "2:3"});
    EXPECT_EQ(roi.status, 0);
    EXPECT_THAT(roi.out, HasSubstr("Num Points: 2\nTotal Counts: 20\nTime(hrs): 0.5000\n"));
    EXPECT_EQ(runCli(dir, {"stats", "--roi=4:4", "w.dax"}).out.substr(0, 14), "Num Points: 1\n");
}

TEST(CliStats, BadInputsGetOneLineErrors) {
    TempDir dir;
    writeWorkedExample(dir.file("w.dax"));
    expectOneLineError(runCli(dir, {"stats", "missing.dax"}), "cannot read 'missing.dax'");
    expectOneLineError(runCli(dir, {"stats", "."}), "cannot read");
    expectOneLineError(runCli(dir, {"stats", "w.dax", "--roi", "0:2"}), "FIRST");
    expectOneLineError(runCli(dir, {"stats", "w.dax", "--roi", "2:5"}), "LAST");
    expectOneLineError(runCli(dir, {"stats", "w.dax", "--roi", "3:2"}), "FIRST must not exceed");
    expectOneLineError(runCli(dir, {"stats", "w.dax", "--roi", "-1:2"}), "bad range");
    expectOneLineError(runCli(dir, {"stats", "w.dax", "--all", "--roi", "1:2"}), "--all");
    expectOneLineError(runCli(dir, {"stats", "w.dax", "--verbose"}), "--verbose");
}

TEST(CliCsv, WritesTheExportWithAllStatisticsWithoutASelectionFile) {
    TempDir dir;
    writeWorkedExample(dir.file("w.dax"));
    Outcome outcome = runCli(dir, {"csv", "w.dax", "w.csv"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(readFileBytes(dir.file("w.csv")), "first header line\nsecond header line\n" +
                                                    kWorkedStatistics + "10,\n12,\n8,\n10,\n");
}

TEST(CliCsv, UsesTheSelectionFileOfTheCurrentFolderAndTheRange) {
    TempDir dir;
    writeWorkedExample(dir.file("w.dax"));
    writeFileBytes(dir.file("stats_display_config.pfx"),
                   "[STATS SHOW]\r\nNumPoints=true\r\nCPH=TRUE\r\nLOD997=true\r\n");
    EXPECT_EQ(runCli(dir, {"csv", "w.dax", "w.csv"}).status, 0);
    EXPECT_EQ(readFileBytes(dir.file("w.csv")), "first header line\nsecond header line\n"
                                                "Num Points: 4\nLOD99.7%: 0.3818\n"
                                                "10,\n12,\n8,\n10,\n");

    EXPECT_EQ(runCli(dir, {"csv", "w.dax", "roi.csv", "--roi", "2:3"}).status, 0);
    EXPECT_EQ(readFileBytes(dir.file("roi.csv")), "Num Points: 2\nLOD99.7%: 0.5383\n12,\n8,\n");
}

TEST(CliCsv, BadInputsGetOneLineErrors) {
    TempDir dir;
    writeWorkedExample(dir.file("w.dax"));
    expectOneLineError(runCli(dir, {"csv", "missing.dax", "o.csv"}), "missing.dax");
    expectOneLineError(runCli(dir, {"csv", "w.dax", "no/such/folder.csv"}), "cannot write");
    expectOneLineError(runCli(dir, {"csv", "w.dax"}), "usage");
    expectOneLineError(runCli(dir, {"csv", "w.dax", "o.csv", "--roi", "1:9"}), "LAST");
    EXPECT_FALSE(nivra::test::fileExists(dir.file("o.csv")));
}

// The expected figures come from an independent evaluation of the formulas (Python's mpmath at
// 50 digits), printed "%.6g".
TEST(CliAssess, AssessesAllPointsOrARangeWithTheGivenSettings) {
    TempDir dir;
    // A configured total of 8 h: the count time is still points × dwell.
    writeWorkedExample(dir.file("w.dax"), 8);
    Outcome all = runCli(dir, {"assess", "w.dax"});
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.err, "");
    EXPECT_EQ(all.out, "Points: 4\nCount time (h): 1\nGross counts: 40\n"
                       "Background rate (1/h): 2\nBackground time (h): 4\n"
                       "Net rate (1/(cm2 h)): 0.76\nStandard uncertainty: 0.127279\n"
                       "Decision threshold: 0.0520148\nDetection limit: 0.158141\nDetected: yes\n"
                       "Best estimate: 0.76\nBest estimate uncertainty: 0.127279\n"
                       "Coverage interval: 0.510537 .. 1.00946\nDispersion chi2: 0.8\n"
                       "Dispersion dof: 3\nDispersion P: 0.150533\nDispersion verdict: pass\n");

    Outcome roi = runCli(dir, {"assess", "w.dax", "--roi=2:3", "--alpha", "0.01", "--beta=0.1",
                               "--gamma", "0.2", "--urel-w=0.05"});
    EXPECT_EQ(roi.status, 0);
    EXPECT_THAT(roi.out, HasSubstr("Points: 2\nCount time (h): 0.5\nGross counts: 20\n"));
    EXPECT_THAT(roi.out, HasSubstr("Decision threshold: 0.0986986\nDetection limit: 0.235211\n"));
    EXPECT_THAT(roi.out, HasSubstr("Best estimate: 0.760014\nBest estimate uncertainty: "
                                   "0.183395\nCoverage interval: 0.52495 .. 0.995068\n"));
}

// The worked example's net rate is 0.76 with u = 0.127 from one hour of counting; against 0.9 it
// needs 10 further quarter-hour dwells (u = 0.02·sqrt(40/t + 0.5) until 0.76 + 1.96·u ≤ 0.9).
TEST(CliAssess, ClassLimitFromTheOptionOrTheFile) {
    TempDir dir;
    writeWorkedExample(dir.file("w.dax"));
    const std::string plain = runCli(dir, {"assess", "w.dax"}).out;
    Outcome limited = runCli(dir, {"assess", "w.dax", "--class-limit", "0.9"});
    EXPECT_EQ(limited.status, 0);
    EXPECT_EQ(limited.out, plain + "Class limit (1/(cm2 h)): 0.9\nMethod suitable: yes\n"
                                   "Class verdict: undecided\nTime to decision (h): 2.5\n");

    std::string withLimit = workedExample();
    withLimit.insert(withLimit.find("[ASSAY DESC]"), "CLASS LIMIT=0.5\r\n");
    writeFileBytes(dir.file("l.dax"), withLimit);
    EXPECT_EQ(runCli(dir, {"assess", "l.dax"}).out,
              plain + "Class limit (1/(cm2 h)): 0.5\nMethod suitable: yes\n"
                      "Class verdict: above\nTime to decision (h): 0\n");
    // The option overrides the file; 0 means no limit, and the output is as without one.
    EXPECT_EQ(runCli(dir, {"assess", "l.dax", "--class-limit=0"}).out, plain);
    EXPECT_EQ(runCli(dir, {"assess", "w.dax", "--class-limit", "-1"}).status, 2);
}

TEST(CliAssess, BadOptionsExit2AndUnreadableFilesExit1) {
    TempDir dir;
    writeWorkedExample(dir.file("w.dax"));
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"assess", "w.dax", "--alpha", "0.5"},
                                               {"assess", "w.dax", "--beta=0"},
                                               {"assess", "w.dax", "--gamma", "1"},
                                               {"assess", "w.dax", "--urel-w", "-0.1"},
                                               {"assess", "w.dax", "--alpha", "0.05x"},
                                               {"assess", "w.dax", "--gamma"},
                                               {"assess", "w.dax", "--roi", "2:9"},
                                               {"assess", "w.dax", "--lambda", "1"},
                                               {"assess"}}) {
        Outcome outcome = runCli(dir, args);
        EXPECT_EQ(outcome.status, 2) << args.back();
        expectOneLineError(outcome, "");
    }
    Outcome missing = runCli(dir, {"assess", "missing.dax"});
    EXPECT_EQ(missing.status, 1);
    expectOneLineError(missing, "cannot read 'missing.dax'");
}

// Other files are said to be no data files; a FIFO or a device is refused without waiting on it.
TEST(CliDataFiles, StatsCsvAndAssessReadOnlyDataFiles) {
    TempDir dir;
    writeFileBytes(dir.file("ports.pfx"), "[CONFIG]\r\nPORT1=COM1\r\n");
    std::string damaged = workedExample();
    damaged.replace(damaged.find("P1=12"), 5, "P1=abc");
    writeFileBytes(dir.file("damaged.dax"), damaged);
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    for (const auto& [input, error] :
         {std::pair{"ports.pfx", "not a data file: ports.pfx"},
          {"damaged.dax", "damaged data file: damaged.dax: P1='abc' is not a count"},
          {"fifo", "cannot read 'fifo': is a FIFO"},
          {"/dev/zero", "cannot read '/dev/zero': is a device"}}) {
        EXPECT_EQ(runCli(dir, {"stats", input}).status, 1) << input;
        expectOneLineError(runCli(dir, {"stats", input}), std::string("stats: ") + error);
        expectOneLineError(runCli(dir, {"assess", input}), std::string("assess: ") + error);
        expectOneLineError(runCli(dir, {"csv", input, "o.csv"}), std::string("csv: ") + error);
    }
    EXPECT_FALSE(nivra::test::fileExists(dir.file("o.csv")));
}

TEST(CliCsv, AnOutputThatIsTheInputIsRefusedBeforeAnythingIsWritten) {
    TempDir dir;
    writeWorkedExample(dir.file("w.dax"));
    const std::string before = readFileBytes(dir.file("w.dax"));
    ASSERT_EQ(::symlink("w.dax", dir.file("soft.csv").c_str()), 0);
    for (const std::string output : {"w.dax", "./w.dax", "soft.csv"}) {
        Outcome outcome = runCli(dir, {"csv", "w.dax", output});
        EXPECT_EQ(outcome.status, 2) << output;
        expectOneLineError(outcome, "the output '" + output +
                                        "' is the same file as the input 'w.dax'; nothing was "
                                        "written");
    }
    expectOneLineError(runCli(dir, {"csv", "w.dax", "stats_display_config.pfx"}),
                       "is the same file as the statistics selection");
    EXPECT_EQ(readFileBytes(dir.file("w.dax")), before);
}

// Data files as the Windows version writes them, or as editors there save them.
TEST(CliWindowsFiles, ByteOrderMarkAndCrOnlyLinesGiveTheSameStatistics) {
    TempDir dir;
    std::string crOnly = workedExample();
    for (auto at = crOnly.find("\r\n"); at != crOnly.npos; at = crOnly.find("\r\n", at))
        crOnly.erase(at + 1, 1);
    writeFileBytes(dir.file("cr.dax"), crOnly);
    writeFileBytes(dir.file("bom.dax"), "\xEF\xBB\xBF" + workedExample());
    EXPECT_EQ(runCli(dir, {"stats", "cr.dax"}).out, kWorkedStatistics);
    EXPECT_EQ(runCli(dir, {"stats", "bom.dax"}).out, kWorkedStatistics);
}

TEST(CliWindowsFiles, CodePageHeaderLinesReachTheCsvByteForByte) {
    TempDir dir;
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high += static_cast<char>(b);
    std::string file = workedExample();
    file.replace(file.find("first header line"), 17, "\x93" + high + "\x94");
    writeFileBytes(dir.file("w.dax"), file);
    EXPECT_EQ(runCli(dir, {"csv", "w.dax", "w.csv"}).status, 0);
    EXPECT_EQ(readFileBytes(dir.file("w.csv")).substr(0, high.size() + 3),
              "\x93" + high + "\x94\n");
}

TEST(CliWindowsFiles, AnExactTieIsRoundedAwayFromZero) {
    TempDir dir;
    std::string file = workedExample();
    file.erase(file.find("[ASSAY DATA]"));
    file += "[ASSAY DATA]\r\n";
    for (int i = 0; i < 32; ++i) // 321 counts: a mean of 10.03125
        file += "P" + std::to_string(i) + "=" + (i == 0 ? "11" : "10") + "\r\n";
    writeFileBytes(dir.file("tie.dax"), file);
    EXPECT_THAT(runCli(dir, {"stats", "tie.dax"}).out, HasSubstr("\nMean: 10.0313\n"));
}
