// nivra-cli report FILE.dax --pdf OUT.pdf [--roi FIRST:LAST] [--class-limit L] [--urel-w U]:
// the measurement report for a customer as an A4 PDF, with the figures nivra-cli assess prints
// for the same options, the SHA-256 of the data file and the pictures of the points. Built only
// with Qt; it paints offscreen and needs no display.

#include "base/local_time.h"
#include "base/sha256.h"
#include "cli/command_registry.h"
#include "cli/data_file_options.h"
#include "cli/line_printer.h"
#include "cli/option_value.h"
#include "cli/output_overlap.h"
#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/report_content.h"
#include "render/gui_session.h"
#include "render/report_file.h"

#include <cstdio>
#include <ctime>

namespace nivra::cli {
namespace {

constexpr const char* kName = "report";
constexpr const char* kUsage = "usage: nivra-cli report FILE.dax --pdf OUT.pdf [--roi FIRST:LAST] "
                               "[--class-limit L] [--urel-w U]";

int fail(int status, const std::string& message) {
    printLine(stderr, std::string("nivra-cli ") + kName + ": " + message);
    return status;
}

struct ReportOptions {
    std::string input;
    std::string pdf;
    std::optional<PointRange> roi;
    std::optional<double> classLimit;
    AssessmentSettings settings;
};

std::string parseOptions(std::vector<std::string> args, ReportOptions& options) {
    const std::vector<std::string> operands = operandsAfterOptionsEnd(args);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string problem;
        if (auto pdf = takeOption(args, i, "--pdf", problem)) {
            if (!problem.empty() || pdf->empty())
                return "--pdf needs a file name";
            options.pdf = *pdf;
        } else if (isRangeOption(arg)) {
            if (problem = takeRangeOption(args, i, options.roi); !problem.empty())
                return problem;
        } else if (auto p = takeClassLimit(args, i, options.classLimit)) {
            if (!p->empty())
                return *p;
        } else if (auto p = takeNumber(args, i, "--urel-w",
                                       options.settings.relativeCalibrationUncertainty)) {
            if (!p->empty())
                return *p;
        } else if (!arg.empty() && arg[0] == '-') {
            return "unknown option '" + arg + "'";
        } else {
            paths.push_back(arg);
        }
    }
    paths.insert(paths.end(), operands.begin(), operands.end());
    if (paths.size() != 1 || options.pdf.empty())
        return kUsage;
    options.input = paths.front();
    return assessmentSettingsProblem(options.settings);
}

int runReport(const std::vector<std::string>& args) {
    ReportOptions options;
    if (std::string problem = parseOptions(args, options); !problem.empty())
        return fail(kExitUsage, problem);
    if (std::string clash = outputOverlap({{"the input", options.input}}, {{"--pdf", options.pdf}});
        !clash.empty())
        return fail(kExitUsage, clash);

    LoadedDataFile loaded;
    if (int status = loadDataFile(kName, options.input, options.roi, loaded); status != 0)
        return status;
    // A report of no points would carry figures that are no numbers; a customer never gets one.
    if (loaded.view().pointCount() == 0)
        return fail(kExitFailure, "'" + options.input + "' has no points: nothing to report");
    const std::string digest = sha256OfFile(options.input);
    if (digest.empty())
        return fail(kExitFailure, "cannot read '" + options.input + "'");

    ReportInputs inputs;
    inputs.fileName = options.input;
    inputs.sha256 = digest;
    if (options.roi)
        inputs.range = std::pair(options.roi->first, options.roi->last);
    inputs.settings = options.settings;
    inputs.classLimit =
        options.classLimit.value_or(loaded.view().assayConfig().classLimit.value_or(0.0));
    inputs.program = std::string("Nivra-USB ") + NIVRA_VERSION;
    inputs.reportDate = formatIsoLocalTime(static_cast<std::int64_t>(std::time(nullptr)));
    const ReportContent content = reportContent(*loaded.record, loaded.view(), inputs);

    render::GuiSession gui;
    if (const Outcome written = render::writeReportPdf(options.pdf, content, loaded.view().counts(),
                                                       options.roi ? options.roi->first : 1);
        !written)
        return fail(kExitFailure, "cannot write '" + options.pdf + "': " + written.error());
    std::printf("Report written: %s\nData file SHA-256: %s\n", options.pdf.c_str(), digest.c_str());
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

const CliCommandRegistration registration({
    kName,
    "report FILE.dax --pdf OUT.pdf [--roi FIRST:LAST] [--class-limit L] [--urel-w U]",
    "  Writes the measurement report of a data file for the customer: an A4 PDF with the file\n"
    "  name and the SHA-256 of its bytes, the counter, the assay, start and end, the\n"
    "  efficiency-corrected net rate with its standard and expanded (k = 2) uncertainty in\n"
    "  alpha/(cm2 h) and alpha/(khr cm2), the figures of nivra-cli assess (characteristic\n"
    "  limits, dispersion, background), the class decision when there is a limit, the points\n"
    "  against time and their histogram, and the header lines. Needs no display.\n"
    "  --pdf OUT.pdf     the report to write (replaced as a whole; never the data file)\n"
    "  --roi FIRST:LAST  points FIRST to LAST (1-based, inclusive) instead of all points\n"
    "  --class-limit L   the customer's limit on the net rate, 1/(cm2 h) (default: the key\n"
    "                    CLASS LIMIT of the file's assay configuration; 0: none)\n"
    "  --urel-w U        relative standard uncertainty of the calibration factor (default 0)\n"
    "  Example: nivra-cli report run.dax --pdf run.pdf --class-limit 0.05",
    [](const std::vector<std::string>& args) { return runReport(args); },
});

} // namespace
} // namespace nivra::cli
