// The PDF report, written by nivra-cli report as the operator runs it: its text (through
// pdftotext) holds what nivra-cli assess prints for the same file and options and the file's
// SHA-256; bad options are refused without writing anything. A page is kept as a picture in
// build/artifacts for a look.
#include "base/sha256.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

using namespace nivra;
using namespace nivra::test;
using ::testing::HasSubstr;

namespace {

ProgramResult cli(const TempDir& dir, const std::vector<std::string>& args) {
    return runProgram("nivra-cli", args, dir.path());
}

// A finished run's data file: a sample on a counter with a class limit in its configuration.
void writeSample(const std::string& path) {
    CounterConfig counter = CounterConfig::defaults();
    counter.name = "Counter 2 (large chamber)";
    counter.description = "gas-flow proportional counter, 1000 cm2";
    AssayConfig assay = AssayConfig::defaults();
    assay.name = "Solder lot 4711";
    assay.dwellHours = 1;
    assay.dwellMinutes = 0;
    assay.dwellSeconds = 0;
    assay.backgroundRate = 4.0;
    assay.backgroundHours = 100.0;
    assay.classLimit = 0.05;
    AssayData record(counter, assay, 2);
    record.appendHeaderLine("Start Time: 12/08/26 09:00:00");
    record.appendHeaderLine("Counter Desc: " + counter.description);
    for (int count : {61, 55, 70, 64, 58, 66, 59, 72, 63, 57, 68, 60})
        record.appendPoint(count);
    record.appendHeaderLine("End Time: 12/08/26 21:00:00");
    ASSERT_TRUE(saveDataFile(record, path));
}

// The text of a PDF as pdftotext lays it out, one page after the other (the path is one of
// the test's own, without quotes in it).
std::string pdfText(const std::string& pdf) {
    std::string text;
    FILE* pipe = ::popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r");
    if (!pipe)
        return text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0);
    return text;
}

// Whether one line of text holds the label and, after it, the value.
bool hasLine(const std::string& text, const std::string& label, const std::string& value) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const auto at = line.find(label);
        if (at != std::string::npos && line.find(value, at + label.size()) != std::string::npos)
            return true;
    }
    return false;
}

TEST(ReportCommand, HoldsTheFiguresOfAssessAndTheFilesDigest) {
    TempDir dir;
    writeSample(dir.file("lot.dax"));
    struct Case {
        std::vector<std::string> options;
        bool decision;
    };
    const Case cases[] = {
        {{}, true}, // the limit of the file's assay configuration
        {{"--roi", "3:10", "--urel-w", "0.05", "--class-limit", "0.2"}, true},
        {{"--class-limit=0"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        std::vector<std::string> assessArgs{"assess", "lot.dax"};
        assessArgs.insert(assessArgs.end(), c.options.begin(), c.options.end());
        const ProgramResult assessed = cli(dir, assessArgs);
        ASSERT_EQ(assessed.exitCode, 0) << assessed.err;

        std::vector<std::string> reportArgs{"report", "lot.dax", "--pdf", "lot.pdf"};
        reportArgs.insert(reportArgs.end(), c.options.begin(), c.options.end());
        const ProgramResult reported = cli(dir, reportArgs);
        ASSERT_EQ(reported.exitCode, 0) << reported.err;
        const std::string digest = sha256OfFile(dir.file("lot.dax"));
        EXPECT_EQ(reported.out, "Report written: lot.pdf\nData file SHA-256: " + digest + "\n");

        const std::string text = pdfText(dir.file("lot.pdf"));
        EXPECT_TRUE(hasLine(text, "SHA-256", digest)) << text;
        for (const char* expected :
             {"Counter 2 (large chamber)", "gas-flow proportional counter", "Solder lot 4711",
              "12/08/26 09:00:00", "12/08/26 21:00:00", "Nivra-USB"})
            EXPECT_THAT(text, HasSubstr(expected));
        for (const std::string& line : outputLines(assessed.out)) {
            const auto colon = line.find(": ");
            ASSERT_NE(colon, std::string::npos) << line;
            EXPECT_TRUE(hasLine(text, line.substr(0, colon), line.substr(colon + 2)))
                << "missing: " << line;
        }
        EXPECT_EQ(text.find("Class verdict") != std::string::npos, c.decision);
    }
    // A page for the eye.
    const std::string folder = std::string(NIVRA_BIN_DIR) + "/../artifacts";
    std::filesystem::create_directories(folder);
    const std::string toPng =
        "pdftoppm -png -r 80 '" + dir.file("lot.pdf") + "' '" + folder + "/report_page'";
    EXPECT_EQ(std::system(toPng.c_str()), 0);
}

TEST(ReportCommand, RefusesBadOptionsAndWritesNothing) {
    TempDir dir;
    writeSample(dir.file("lot.dax"));
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    const Case cases[] = {
        {{"lot.dax"}, 2, "usage: nivra-cli report FILE.dax --pdf OUT.pdf"},
        {{"lot.dax", "--pdf"}, 2, "--pdf needs a file name"},
        {{"lot.dax", "other.dax", "--pdf", "out.pdf"}, 2, "usage:"},
        {{"lot.dax", "--pdf", "out.pdf", "--class-limit", "-1"}, 2, "must be a rate of 0 or more"},
        {{"lot.dax", "--pdf", "out.pdf", "--urel-w", "x"}, 2, "bad number 'x' for --urel-w"},
        {{"lot.dax", "--pdf", "out.pdf", "--roi", "5:2"}, 2, "bad range"},
        {{"lot.dax", "--pdf", "out.pdf", "--roi", "1:99"}, 2, "bad range 1:99"},
        {{"lot.dax", "--pdf", "out.pdf", "--alpha", "0.1"}, 2, "unknown option '--alpha'"},
        {{"lot.dax", "--pdf", "lot.dax"}, 2, "is the same file as"},
        {{"missing.dax", "--pdf", "out.pdf"}, 1, "cannot read"},
        {{"empty.dax", "--pdf", "out.pdf"}, 1, "'empty.dax' has no points: nothing to report"},
        {{"lot.dax", "--pdf", "no/such/folder/out.pdf"}, 1, "cannot write"},
    };
    ASSERT_TRUE(saveDataFile(AssayData(CounterConfig::defaults(), AssayConfig::defaults(), 1),
                             dir.file("empty.dax")));
    const std::string before = readFileBytes(dir.file("lot.dax"));
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        std::vector<std::string> args{"report"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramResult r = cli(dir, args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_THAT(r.err, HasSubstr("nivra-cli report: "));
        EXPECT_THAT(r.err, HasSubstr(c.message));
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(fileExists(dir.file("out.pdf")));
    }
    EXPECT_EQ(readFileBytes(dir.file("lot.dax")), before);
}

} // namespace
