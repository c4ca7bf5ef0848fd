// nivra-cli assess FILE.dax [--roi FIRST:LAST] [--alpha A] [--beta B] [--gamma G] [--urel-w U]
// [--class-limit L]: the characteristic limits of a data file's net activity and the dispersion
// test of its points, one figure per line; with a class limit (the option, or the key
// "CLASS LIMIT" of the file's assay configuration) also the verdict against it and the time
// still needed to decide.

#include "cli/command_registry.h"
#include "cli/data_file_options.h"
#include "cli/line_printer.h"
#include "cli/option_value.h"
#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/assessment.h"
#include "model/class_decision.h"

#include <cstdio>

namespace nivra::cli {
namespace {

constexpr const char* kName = "assess";

int fail(int status, const std::string& message) {
    printLine(stderr, std::string("nivra-cli ") + kName + ": " + message);
    return status;
}

struct NumberOption {
    const char* name;
    double AssessmentSettings::*field;
};

constexpr NumberOption kNumberOptions[] = {
    {"--alpha", &AssessmentSettings::alpha},
    {"--beta", &AssessmentSettings::beta},
    {"--gamma", &AssessmentSettings::gamma},
    {"--urel-w", &AssessmentSettings::relativeCalibrationUncertainty},
};

// Takes one of the settings' number options at args[i]. Returns nothing when args[i] is none
// of them, else the problem or "".
std::optional<std::string> takeNumberOption(const std::vector<std::string>& args, std::size_t& i,
                                            AssessmentSettings& settings) {
    for (const NumberOption& option : kNumberOptions)
        if (auto problem = takeNumber(args, i, option.name, settings.*option.field))
            return problem;
    return std::nullopt;
}

int runAssess(std::vector<std::string> args) {
    const std::vector<std::string> operands = operandsAfterOptionsEnd(args);
    std::string path;
    std::optional<PointRange> roi;
    AssessmentSettings settings;
    std::optional<double> limitOption;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (auto problem = takeClassLimit(args, i, limitOption)) {
            if (!problem->empty())
                return fail(kExitUsage, *problem);
        } else if (isRangeOption(arg)) {
            if (std::string problem = takeRangeOption(args, i, roi); !problem.empty())
                return fail(kExitUsage, problem);
        } else if (auto problem = takeNumberOption(args, i, settings)) {
            if (!problem->empty())
                return fail(kExitUsage, *problem);
        } else if (!arg.empty() && arg[0] == '-') {
            return fail(kExitUsage, "unknown option '" + arg + "'");
        } else if (path.empty()) {
            path = arg;
        } else {
            return fail(kExitUsage, "unexpected argument '" + arg + "'");
        }
    }
    for (const std::string& operand : operands) {
        if (!path.empty())
            return fail(kExitUsage, "unexpected argument '" + operand + "'");
        path = operand;
    }
    if (path.empty())
        return fail(kExitUsage, "missing data file; usage: nivra-cli assess FILE.dax "
                                "[--roi FIRST:LAST] [--alpha A] [--beta B] [--gamma G] "
                                "[--urel-w U] [--class-limit L]");
    if (std::string problem = assessmentSettingsProblem(settings); !problem.empty())
        return fail(kExitUsage, problem);

    LoadedDataFile loaded;
    if (int status = loadDataFile(kName, path, roi, loaded); status != 0)
        return status;
    // All points, or the range's extract: the count time is points × dwell either way.
    const AssayData& view = loaded.view();
    const Assessment assessment = assess(view, settings);
    std::vector<std::string> lines = assessmentLines(assessment);
    const AssayConfig assay = view.assayConfig();
    const double limit = limitOption.value_or(assay.classLimit.value_or(0.0));
    if (limit > 0.0) {
        const std::vector<std::string> decision =
            classDecisionLines(decideClass(assessment, limit, assay, settings));
        lines.insert(lines.end(), decision.begin(), decision.end());
    }
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

const CliCommandRegistration registration({
    kName,
    "assess FILE.dax [--roi FIRST:LAST] [--alpha A] [--beta B] [--gamma G] [--urel-w U] "
    "[--class-limit L]",
    "  Prints the characteristic limits of the efficiency-corrected net rate (ISO 11929-1:\n"
    "  decision threshold, detection limit, best estimate and coverage interval) and a\n"
    "  chi-square test of whether the points scatter like Poisson counts. The count time is\n"
    "  points x dwell.\n"
    "  --roi FIRST:LAST  points FIRST to LAST (1-based, inclusive) instead of all points\n"
    "  --alpha A         probability of a false detection (default 0.05, below 0.5)\n"
    "  --beta B          probability of missing activity at the detection limit (default\n"
    "                    0.05, below 0.5)\n"
    "  --gamma G         1 - G is the probability of the coverage interval (default 0.05)\n"
    "  --urel-w U        relative standard uncertainty of the calibration factor\n"
    "                    1 / (sample area x efficiency) (default 0)\n"
    "  --class-limit L   the customer's limit on the net rate, 1/(cm2 h) (default: the key\n"
    "                    CLASS LIMIT of the file's assay configuration; 0: none). Adds the\n"
    "                    lines Class limit, Method suitable (detection limit at or below L),\n"
    "                    Class verdict (below: coverage interval at or below L; above: above\n"
    "                    L; else undecided) and Time to decision (h) (further dwells at the\n"
    "                    observed rate until decided; none beyond 100000 dwells)\n"
    "  Example: nivra-cli assess run.dax --roi 3:10 --urel-w 0.05",
    [](const std::vector<std::string>& args) { return runAssess(args); },
});

} // namespace
} // namespace nivra::cli
