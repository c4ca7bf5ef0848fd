// nivra-cli qa: the control chart of a counter's background or check-source runs from the run
// history, with Poisson limits around the mean rate of reference runs.

#include "base/atomic_file.h"
#include "cli/command_registry.h"
#include "cli/control_chart_svg.h"
#include "cli/data_file_options.h"
#include "cli/line_printer.h"
#include "cli/start_directory_capture.h"
#include "model/control_chart.h"
#include "storage/control_chart_report.h"
#include "storage/history_database.h"
#include "storage/history_location.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace nivra::cli {
namespace {

constexpr const char* kName = "qa";
// Without --reference, the first runs of the counter and kind are the reference.

int fail(int status, const std::string& message) {
    printLine(stderr, std::string("nivra-cli ") + kName + ": " + message);
    return status;
}

struct QaOptions {
    std::optional<int> counter;
    std::optional<RunKind> kind;
    std::optional<std::pair<std::int64_t, std::int64_t>> reference;
    std::string svgFile;
};

std::optional<std::int64_t> parseNumber(const std::string& text) {
    if (text.empty() || text.size() > 18 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoll(text);
}

std::string parseOptions(const std::vector<std::string>& args, QaOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        if (auto equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        }
        if (name != "--counter" && name != "--kind" && name != "--reference" && name != "--svg")
            return "unknown option '" + name + "'";
        if (value.empty())
            return name + " needs a value";
        if (name == "--counter") {
            auto number = parseNumber(value);
            if (!number || *number < 1 || *number > 255)
                return "bad counter number '" + value + "', expected 1 to 255";
            options.counter = static_cast<int>(*number);
        } else if (name == "--kind") {
            options.kind = parseRunKind(value);
            if (!options.kind || *options.kind == RunKind::Sample)
                return "bad kind '" + value + "', expected background or source";
        } else if (name == "--reference") {
            const auto colon = value.find(':');
            auto first = parseNumber(value.substr(0, colon));
            auto last =
                colon == std::string::npos ? std::nullopt : parseNumber(value.substr(colon + 1));
            if (!first || !last || *first > *last)
                return "bad reference '" + value + "', expected FIRST_ID:LAST_ID";
            options.reference = std::pair(*first, *last);
        } else {
            options.svgFile = value;
        }
    }
    if (!options.counter || !options.kind)
        return "usage: nivra-cli qa --counter N --kind background|source "
               "[--reference FIRST_ID:LAST_ID] [--svg FILE]";
    return {};
}

int runQa(const std::vector<std::string>& args) {
    QaOptions options;
    if (std::string problem = parseOptions(args, options); !problem.empty())
        return fail(kExitUsage, problem);
    const std::optional<StartDirectory> start = captureStartDirectory(kName);
    if (!start)
        return kExitFailure;
    if (!options.svgFile.empty())
        if (const Outcome writable = outputFileProblem(options.svgFile); !writable)
            return fail(kExitFailure,
                        "cannot write '" + options.svgFile + "': " + writable.error());

    HistoryDatabase db;
    if (auto r = openStartDirectoryHistory(*start, db, HistoryDatabase::Access::Existing); !r)
        return fail(kExitFailure, r.error());
    RunFilter filter;
    filter.counter = options.counter;
    filter.kind = options.kind;
    filter.oldestFirst = true;
    std::vector<HistoryRun> runs;
    if (auto r = db.listRuns(filter, runs); !r)
        return fail(kExitFailure, r.error());

    // Runs without counting time have no rate; they are left out and counted.
    const ControlChartReport report = buildChartReport(runs, options.reference);
    const std::string what =
        "counter " + std::to_string(*options.counter) + ", " + runKindName(*options.kind);
    if (!report.chart)
        return fail(kExitFailure, "no reference runs with counting time for " + what);
    const ControlChart& chart = *report.chart;
    std::fputs(controlChartText(chart, report.withoutTime).c_str(), stdout);
    std::fflush(stdout);

    if (!options.svgFile.empty())
        if (const Outcome written = writeFileAtomically(
                options.svgFile, controlChartSvg(chart, "Control chart: " + what + " runs"));
            !written)
            return fail(kExitFailure, "cannot write '" + options.svgFile + "': " + written.error());
    return 0;
}

const CliCommandRegistration registration({
    kName,
    "qa --counter N --kind background|source [--reference FIRST_ID:LAST_ID] [--svg FILE]",
    "  The control chart of counter N's background or check-source runs from the run history,\n"
    "  in time order. The reference runs give the mean rate (counts per hour, pooled: their\n"
    "  total counts over their total hours of points x dwell); each run of time t gets\n"
    "  z = (rate - mean) / sqrt(mean / t). Flags: 'action' beyond 3, 'warning' for the second\n"
    "  of two runs beyond 2 on the same side within three in a row, 'trend' for the seventh and\n"
    "  later run in a row on one side of the mean. One line per run (REF * marks the reference\n"
    "  runs) and a last line with the mean rate, the number of runs and the number flagged.\n"
    "  --counter N                    the counter\n"
    "  --kind background|source       the kind of runs\n"
    "  --reference FIRST_ID:LAST_ID   the reference runs: those with ids FIRST_ID to LAST_ID\n"
    "                                 (default: the first 20 runs of the counter and kind)\n"
    "  --svg FILE                     also the chart as an SVG picture: z of each run, the\n"
    "                                 mean, the 2 and 3 limits, flagged runs in red\n"
    "  Example: nivra-cli qa --counter 1 --kind background --svg background1.svg",
    runQa,
});

} // namespace
} // namespace nivra::cli
