#include "model/report_content.h"

#include "base/value_encoding.h"
#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/class_decision.h"
#include "model/counter_config.h"

#include <string_view>

namespace nivra {

namespace {

// Expanded uncertainty: the coverage factor of about 95 % for a normal distribution.
constexpr double kCoverageFactor = 2.0;
// One α/(cm²·h) is 1000 α/(khr·cm²): a kilohour is 1000 hours.
constexpr double kHoursPerKilohour = 1000.0;

const char* const kPerCm2Hour = " (\u03b1/(cm\u00b2\u00b7h))";
const char* const kPerKhrCm2 = " (\u03b1/(khr\u00b7cm\u00b2))";

std::string real(double value) {
    return formatC("%.6g", value);
}

std::string orNotRecorded(std::string text) {
    return text.empty() ? "not recorded" : text;
}

// "Label: value" split at its first ": ", as the assess lines are written.
ReportLine splitLine(const std::string& line) {
    const auto colon = line.find(": ");
    if (colon == std::string::npos)
        return {line, ""};
    return {line.substr(0, colon), line.substr(colon + 2)};
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

std::string headerLineValue(const std::vector<std::string>& headerLines,
                            const std::vector<std::string>& prefixes) {
    for (const std::string& line : headerLines)
        for (const std::string& prefix : prefixes)
            if (startsWith(line, prefix))
                return line.substr(prefix.size());
    return {};
}

ReportContent reportContent(const AssayData& record, const AssayData& view,
                            const ReportInputs& inputs) {
    const AssayData::Snapshot file = record.snapshot();
    const Assessment assessment = assess(view, inputs.settings);
    ReportContent report;
    report.title = "Alpha emissivity measurement report";
    report.footer = inputs.program + " \u2013 report made " + inputs.reportDate;

    const std::size_t allPoints = file.counts.size();
    const std::string pointsUsed = inputs.range ? formatC("%d to %d of %zu", inputs.range->first,
                                                          inputs.range->second, allPoints)
                                                : formatC("all %zu", allPoints);
    report.sections.push_back(
        {"Data file",
         {
             {"File", inputs.fileName},
             {"SHA-256", inputs.sha256},
             {"Counter", file.counterConfig.name},
             {"Counter description", file.counterConfig.description},
             {"Assay", file.assayConfig.name},
             {"Start", orNotRecorded(headerLineValue(file.headerLines, {"Start Time: "}))},
             {"End",
              orNotRecorded(headerLineValue(file.headerLines, {"End Time: ", "STOP TIME: "}))},
             {"Points used", pointsUsed},
         }});

    const double expanded = kCoverageFactor * assessment.uncertainty;
    report.sections.push_back(
        {"Result: efficiency-corrected net rate",
         {
             {std::string("Net rate") + kPerCm2Hour, real(assessment.netRate)},
             {std::string("Standard uncertainty") + kPerCm2Hour, real(assessment.uncertainty)},
             {std::string("Expanded uncertainty, k = 2") + kPerCm2Hour, real(expanded)},
             {std::string("Net rate") + kPerKhrCm2, real(assessment.netRate * kHoursPerKilohour)},
             {std::string("Standard uncertainty") + kPerKhrCm2,
              real(assessment.uncertainty * kHoursPerKilohour)},
             {std::string("Expanded uncertainty, k = 2") + kPerKhrCm2,
              real(expanded * kHoursPerKilohour)},
         }});

    // The assess figures, grouped: the measurement, the limits, the dispersion, the background.
    ReportSection measured{"Measurement", {}};
    ReportSection limits{"Characteristic limits (ISO 11929-1), 1/(cm2 h)", {}};
    ReportSection dispersion{"Dispersion of the points (chi-square test)", {}};
    ReportSection background{"Background used", {}};
    for (const AssessmentRow& row : assessmentRows(assessment)) {
        const std::string_view label = row.label;
        ReportSection& section =
            startsWith(label, "Background")   ? background
            : startsWith(label, "Dispersion") ? dispersion
            : (label == "Points" || label == "Count time (h)" || label == "Gross counts") ? measured
                                                                                          : limits;
        section.lines.push_back({row.label, row.value});
    }
    const AssessmentSettings& s = inputs.settings;
    limits.lines.push_back({"Probabilities", formatC("\u03b1 = %.6g, \u03b2 = %.6g, \u03b3 = %.6g",
                                                     s.alpha, s.beta, s.gamma)});
    limits.lines.push_back(
        {"Calibration uncertainty u_rel(w)", real(s.relativeCalibrationUncertainty)});
    report.sections.push_back(std::move(measured));
    report.sections.push_back(std::move(limits));

    if (inputs.classLimit > 0.0) {
        const AssayConfig assay = view.assayConfig();
        ReportSection decision{"Class decision", {}};
        for (const std::string& line :
             classDecisionLines(decideClass(assessment, inputs.classLimit, assay, s)))
            decision.lines.push_back(splitLine(line));
        decision.lines.insert(
            decision.lines.begin() + 1,
            {std::string("Class limit") + kPerKhrCm2, real(inputs.classLimit * kHoursPerKilohour)});
        report.sections.push_back(std::move(decision));
    }
    report.sections.push_back(std::move(dispersion));
    report.sections.push_back(std::move(background));

    ReportSection header{"Header lines of the data file", {}};
    for (const std::string& line : file.headerLines)
        header.lines.push_back({"", line});
    if (header.lines.empty())
        header.lines.push_back({"", "none"});
    report.appendix.push_back(std::move(header));
    return report;
}

} // namespace nivra
