// nivra-cli csv FILE.dax OUT.csv [--roi FIRST:LAST]: the CSV export of a data file, with the
// statistics selection of stats_display_config.pfx in the current directory when that file
// exists and all sixteen statistics otherwise.

#include "cli/command_registry.h"
#include "cli/data_file_options.h"
#include "cli/export_selection.h"
#include "cli/line_printer.h"
#include "cli/output_overlap.h"
#include "model/assay_data.h"
#include "model/csv_export.h"

#include <cstdio>

namespace nivra::cli {
namespace {

constexpr const char* kName = "csv";

int fail(int status, const std::string& message) {
    printLine(stderr, std::string("nivra-cli ") + kName + ": " + message);
    return status;
}

int runCsv(std::vector<std::string> args) {
    const std::vector<std::string> operands = operandsAfterOptionsEnd(args);
    std::vector<std::string> paths;
    std::optional<PointRange> roi;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (isRangeOption(arg)) {
            if (std::string problem = takeRangeOption(args, i, roi); !problem.empty())
                return fail(kExitUsage, problem);
        } else if (!arg.empty() && arg[0] == '-') {
            return fail(kExitUsage, "unknown option '" + arg + "'");
        } else {
            paths.push_back(arg);
        }
    }
    paths.insert(paths.end(), operands.begin(), operands.end());
    if (paths.size() != 2)
        return fail(kExitUsage, "usage: nivra-cli csv FILE.dax OUT.csv [--roi FIRST:LAST]");
    const std::string& input = paths[0];
    const std::string& output = paths[1];
    if (std::string clash =
            outputOverlap({{"the input", input}, {"the statistics selection", kSelectionFile}},
                          {{"the output", output}});
        !clash.empty())
        return fail(kExitUsage, clash);

    LoadedDataFile loaded;
    if (int status = loadDataFile(kName, input, roi, loaded); status != 0)
        return status;
    if (const Outcome written = nivra::writeCsvExport(loaded.view(), output, exportSelection());
        !written)
        return fail(kExitFailure, "cannot write '" + output + "': " + written.error());
    return 0;
}

const CliCommandRegistration registration({
    kName,
    "csv FILE.dax OUT.csv [--roi FIRST:LAST]",
    "  Writes the CSV export of a data file: header lines, statistics, one line per point.\n"
    "  The statistics shown are those selected in stats_display_config.pfx in the current\n"
    "  directory, or all sixteen when there is no such file. The output may not be the data file\n"
    "  or the selection file (by name or by link); a file that is not a data file is refused.\n"
    "  --roi FIRST:LAST  only points FIRST to LAST (1-based, inclusive), without header lines\n"
    "  Example: nivra-cli csv run.dax run.csv --roi 3:10",
    [](const std::vector<std::string>& args) { return runCsv(args); },
});

} // namespace
} // namespace nivra::cli
