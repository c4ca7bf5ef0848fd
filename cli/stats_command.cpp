// nivra-cli stats FILE.dax [--all | --roi FIRST:LAST]: the statistics block of a data file, one
// statistic per line, exactly as a CSV export writes it (all sixteen selected, the statistics
// that need a background only when there is one).

#include "cli/command_registry.h"
#include "cli/data_file_options.h"
#include "cli/line_printer.h"
#include "model/assay_data.h"
#include "model/statistics.h"
#include "model/stats_show.h"

#include <cstdio>

namespace nivra::cli {
namespace {

constexpr const char* kName = "stats";

int fail(int status, const std::string& message) {
    printLine(stderr, std::string("nivra-cli ") + kName + ": " + message);
    return status;
}

int runStats(std::vector<std::string> args) {
    const std::vector<std::string> operands = operandsAfterOptionsEnd(args);
    std::string path;
    bool all = false;
    std::optional<PointRange> roi;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--all") {
            all = true;
        } else if (isRangeOption(arg)) {
            if (std::string problem = takeRangeOption(args, i, roi); !problem.empty())
                return fail(kExitUsage, problem);
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
        return fail(kExitUsage, "missing data file; usage: nivra-cli stats FILE.dax "
                                "[--all | --roi FIRST:LAST]");
    if (all && roi)
        return fail(kExitUsage, "--all and --roi exclude each other");

    LoadedDataFile loaded;
    if (int status = loadDataFile(kName, path, roi, loaded); status != 0)
        return status;
    // The whole record with points × dwell as its time, as the window's All Data shows it (--all
    // says the same). A record without points keeps its configured time.
    if (!roi && loaded.record->pointCount() > 0)
        loaded.extract =
            loaded.record->extractRange(1, static_cast<int>(loaded.record->pointCount()));

    const StatsShow everything;
    for (const std::string& line : csvStatisticsLines(statisticsBlock(loaded.view(), everything)))
        std::printf("%s\n", line.c_str());
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

const CliCommandRegistration registration({
    kName,
    "stats FILE.dax [--all | --roi FIRST:LAST]",
    "  Prints the statistics of a data file, one per line, as a CSV export writes them.\n"
    "  The time base is the time counted, points x dwell, as the All Data view has it (a file\n"
    "  without points keeps its configured total time). A file that is not a data file is\n"
    "  refused.\n"
    "  --all             all points (the same as without an option)\n"
    "  --roi FIRST:LAST  points FIRST to LAST (1-based, inclusive), time base points x dwell\n"
    "  Example: nivra-cli stats run.dax --roi 3:10",
    [](const std::vector<std::string>& args) { return runStats(args); },
});

} // namespace
} // namespace nivra::cli
