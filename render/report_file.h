#pragma once

#include "base/outcome.h"
#include "model/assessment.h"
#include "model/report_content.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>

namespace nivra::render {

// The report laid out as a PDF and written to pdfPath as a whole (never half written). Needs a
// QGuiApplication.
Outcome writeReportPdf(const std::string& pdfPath, const ReportContent& report,
                       std::span<const std::int32_t> counts, int firstNumber);

// A report of a saved data file, as the Assessment window asks for it.
struct DataFileReport {
    std::string dataFile; // the data file reported on
    std::string pdfFile;  // the report to write
    // The points assessed (1-based, inclusive), or none for all of them.
    std::optional<std::pair<int, int>> range;
    AssessmentSettings settings;
    std::string program;    // the program's name and version
    std::string reportDate; // when the report is made, as shown
};

// Reads the data file again and reports on what it holds, so that the figures and the SHA-256
// are of the same bytes; the class limit is the file's own CLASS LIMIT. Refuses a file that
// cannot be read and a choice of points without any. On success, sha256 holds the file's digest.
Outcome writeDataFileReport(const DataFileReport& request, std::string& sha256);

} // namespace nivra::render
