// The report's content as plain data: the figures in both units, the expanded uncertainty, the
// start and end from the header lines, and the class decision only with a limit.
#include "model/assay_data.h"
#include "model/assessment.h"
#include "model/report_content.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace nivra;

namespace {

const ReportLine* find(const ReportContent& report, const std::string& label) {
    for (const ReportSection& section : report.sections)
        for (const ReportLine& line : section.lines)
            if (line.label == label)
                return &line;
    return nullptr;
}

double valueOf(const ReportContent& report, const std::string& label) {
    const ReportLine* line = find(report, label);
    return line ? std::strtod(line->value.c_str(), nullptr) : -1.0;
}

AssayData sample(std::vector<std::string> headerLines) {
    AssayConfig assay = AssayConfig::defaults();
    assay.dwellHours = 1;
    assay.dwellMinutes = 0;
    assay.dwellSeconds = 0;
    AssayData record(CounterConfig::defaults(), assay, -1);
    for (std::string& line : headerLines)
        record.appendHeaderLine(std::move(line));
    for (int count : {40, 44, 38, 47, 41})
        record.appendPoint(count);
    return record;
}

TEST(ReportContent, GivesTheFiguresInBothUnitsWithTheExpandedUncertainty) {
    const AssayData record = sample({"Start Time: 12/08/26 09:00:00", "STOP TIME: 12/08/26 14:00"});
    ReportInputs inputs;
    inputs.program = "Nivra-USB 3.04";
    inputs.reportDate = "2026-12-10T07:00:00+00:00";
    const ReportContent report = reportContent(record, record, inputs);
    const Assessment a = assess(record);

    const std::string perCm2h = " (\u03b1/(cm\u00b2\u00b7h))";
    const std::string perKhr = " (\u03b1/(khr\u00b7cm\u00b2))";
    EXPECT_NEAR(valueOf(report, "Net rate" + perCm2h), a.netRate, 1e-5 * a.netRate);
    EXPECT_NEAR(valueOf(report, "Net rate" + perKhr), 1000 * a.netRate, 1e-2 * a.netRate);
    EXPECT_NEAR(valueOf(report, "Expanded uncertainty, k = 2" + perCm2h), 2 * a.uncertainty,
                1e-5 * a.uncertainty);
    EXPECT_NEAR(valueOf(report, "Expanded uncertainty, k = 2" + perKhr), 2000 * a.uncertainty,
                1e-2 * a.uncertainty);
    EXPECT_EQ(find(report, "Start")->value, "12/08/26 09:00:00");
    EXPECT_EQ(find(report, "End")->value, "12/08/26 14:00"); // a stopped run's end
    EXPECT_EQ(find(report, "Points used")->value, "all 5");
    EXPECT_EQ(find(report, "Class verdict"), nullptr);
    EXPECT_EQ(report.footer, "Nivra-USB 3.04 \u2013 report made 2026-12-10T07:00:00+00:00");
    ASSERT_EQ(report.appendix.size(), 1u);
    EXPECT_EQ(report.appendix[0].lines.size(), 2u);
}

TEST(ReportContent, DecidesAgainstALimitAndSaysWhatWasNotRecorded) {
    const AssayData record = sample({});
    const auto extract = record.extractRange(2, 4);
    ReportInputs inputs;
    inputs.range = std::pair(2, 4);
    inputs.classLimit = 0.002;
    const ReportContent report = reportContent(record, *extract, inputs);
    EXPECT_EQ(find(report, "Start")->value, "not recorded");
    EXPECT_EQ(find(report, "End")->value, "not recorded");
    EXPECT_EQ(find(report, "Points used")->value, "2 to 4 of 5");
    EXPECT_EQ(find(report, "Points")->value, "3");
    ASSERT_NE(find(report, "Class verdict"), nullptr);
    EXPECT_EQ(find(report, "Class limit (\u03b1/(khr\u00b7cm\u00b2))")->value, "2");
    EXPECT_EQ(report.appendix[0].lines[0].value, "none");
}

} // namespace
