// nivra-cli background --counter N [--since DATE] [--write FILE.acx]: a counter's background
// rate pooled from its background runs in the run history, and optionally written into an assay
// configuration.

#include "base/local_time.h"
#include "base/value_encoding.h"
#include "cli/command_registry.h"
#include "cli/data_file_options.h"
#include "cli/line_printer.h"
#include "cli/option_value.h"
#include "cli/start_directory_capture.h"
#include "model/assay_config.h"
#include "storage/background_pool.h"
#include "storage/history_database.h"
#include "storage/history_location.h"

#include <cstdio>
#include <optional>

namespace nivra::cli {
namespace {

constexpr const char* kName = "background";
constexpr const char* kUsage =
    "usage: nivra-cli background --counter N [--since YYYY-MM-DD] [--write FILE.acx]";

int fail(int status, const std::string& message) {
    printLine(stderr, std::string("nivra-cli ") + kName + ": " + message);
    return status;
}

struct BackgroundOptions {
    std::optional<int> counter;
    std::optional<std::string> since;
    std::string assayFile;
};

std::string parseOptions(const std::vector<std::string>& args, BackgroundOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string problem;
        if (auto counter = takeOption(args, i, "--counter", problem)) {
            if (problem.empty() && !(options.counter = parseCounter(*counter)))
                problem = "bad counter number '" + *counter + "', expected 1 to 255";
        } else if (auto since = takeOption(args, i, "--since", problem)) {
            if (problem.empty() && !isIsoDate(*since))
                problem = "bad date '" + *since + "', expected YYYY-MM-DD";
            options.since = *since;
        } else if (auto file = takeOption(args, i, "--write", problem)) {
            options.assayFile = *file;
        } else {
            problem = "unknown option '" + args[i] + "'";
        }
        if (!problem.empty())
            return problem;
    }
    if (!options.counter)
        return std::string("missing --counter; ") + kUsage;
    return {};
}

int runBackground(const std::vector<std::string>& args) {
    BackgroundOptions options;
    if (std::string problem = parseOptions(args, options); !problem.empty())
        return fail(kExitUsage, problem);
    const std::optional<StartDirectory> start = captureStartDirectory(kName);
    if (!start)
        return kExitFailure;

    HistoryDatabase db;
    if (auto r = openStartDirectoryHistory(*start, db, HistoryDatabase::Access::Existing); !r)
        return fail(kExitFailure, r.error());
    RunFilter filter;
    filter.counter = options.counter;
    filter.kind = RunKind::Background;
    filter.since = options.since;
    std::vector<HistoryRun> runs;
    if (auto r = db.listRuns(filter, runs); !r)
        return fail(kExitFailure, r.error());
    const BackgroundPool pool = poolBackground(runs);
    if (pool.runs == 0)
        return fail(kExitFailure, "no background runs with counted time for counter " +
                                      std::to_string(*options.counter) +
                                      (options.since ? " since " + *options.since : ""));

    std::printf("Background rate (1/h): %s\nBackground time (h): %s\nRuns: %zu\n",
                formatC("%.6g", pool.rate()).c_str(), formatC("%.6g", pool.countedHours).c_str(),
                pool.runs);
    std::fflush(stdout);
    if (!options.assayFile.empty())
        if (const Outcome written = writeBackground(options.assayFile, pool); !written)
            return fail(kExitFailure,
                        "cannot write '" + options.assayFile + "': " + written.error());
    return 0;
}

const CliCommandRegistration registration({
    kName,
    "background --counter N [--since YYYY-MM-DD] [--write FILE.acx]",
    "  Counter N's background from its background runs in the run history, pooled: their\n"
    "  total counts over their total hours of points x dwell. Prints the rate (counts per\n"
    "  hour), the counted time and the number of runs.\n"
    "  --counter N           the counter\n"
    "  --since YYYY-MM-DD    only runs started on that day or later (local time)\n"
    "  --write FILE.acx      also set BACKGROUND and BACKGROUND_HOURS of that assay\n"
    "                        configuration to the pooled rate and time (the other keys stay)\n"
    "  Example: nivra-cli background --counter 1 --since 2026-01-01 --write assay_config/smear.acx",
    runBackground,
});

} // namespace
} // namespace nivra::cli
