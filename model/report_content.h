#pragma once

#include "model/assessment.h"

#include <optional>
#include <string>
#include <vector>

// What a measurement report for a customer says, as plain text: titled sections of labelled
// figures, laid out on paper by the render layer. The figures are those of nivra-cli assess
// (the same assessment and the same "%.6g" texts), so a report and the command never disagree.
namespace nivra {

class AssayData;

// What the report needs beyond the data file's record.
struct ReportInputs {
    std::string fileName; // as the operator named the data file
    std::string sha256;   // of the data file's bytes, 64 hex digits
    // The points assessed (1-based, inclusive), or none for all of them.
    std::optional<std::pair<int, int>> range;
    AssessmentSettings settings;
    double classLimit = 0.0; // alphas per cm² and hour; 0: none
    std::string program;     // the program's name and version
    std::string reportDate;  // when the report was made, as shown
};

// One line of a section: a label and its value. A line without a label is text of its own (a
// header line of the data file).
struct ReportLine {
    std::string label;
    std::string value;
};

struct ReportSection {
    std::string title;
    std::vector<ReportLine> lines;
};

struct ReportContent {
    std::string title;
    std::vector<ReportSection> sections; // before the pictures of the points
    std::vector<ReportSection> appendix; // after them
    std::string footer;                  // program and report date
};

// The report of record (the file as read: its configurations and header lines) whose points
// view (the whole record or the range's extract) were assessed. Sections: the data file, the
// result with its standard and expanded (k = 2) uncertainty in α/(cm²·h) and α/(khr·cm²), the
// characteristic limits, the class decision (only with a limit), the dispersion, the background
// used; the appendix holds the header lines.
ReportContent reportContent(const AssayData& record, const AssayData& view,
                            const ReportInputs& inputs);

// The header line that begins with one of the prefixes, without the prefix; "" when none does.
std::string headerLineValue(const std::vector<std::string>& headerLines,
                            const std::vector<std::string>& prefixes);

} // namespace nivra
