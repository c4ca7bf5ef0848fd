// nivra-cli csv FILE.dax OUT.csv [--roi FIRST:LAST]: the CSV export of a data file, with the
// statistics selection of stats_display_config.pfx in the current directory when that file
// exists and all sixteen statistics otherwise.

#include "assay_data/assay_data.h"
#include "cli/command_registry.h"
#include "cli/export_selection.h"
#include "cli/range_option.h"

#include <cstdio>

namespace nivra::cli {
namespace {

constexpr const char* kName = "csv";

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "nivra-cli %s: %s\n", kName, message.c_str());
    return status;
}

int RunCsv(const std::vector<std::string>& args) {
    std::vector<std::string> paths;
    std::optional<PointRange> roi;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsRangeOption(arg)) {
            if (std::string problem = TakeRangeOption(args, i, roi); !problem.empty())
                return Fail(kExitUsage, problem);
        } else if (!arg.empty() && arg[0] == '-') {
            return Fail(kExitUsage, "unknown option '" + arg + "'");
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.size() != 2)
        return Fail(kExitUsage, "usage: nivra-cli csv FILE.dax OUT.csv [--roi FIRST:LAST]");
    const std::string& input = paths[0];
    const std::string& output = paths[1];

    std::string reason;
    if (!CanReadFile(input, reason))
        return Fail(kExitFailure, "cannot read '" + input + "': " + reason);

    const AssayData record(input);
    std::unique_ptr<AssayData> extract;
    if (roi) {
        std::string problem = RangeProblem(*roi, record.pointCount());
        if (!problem.empty())
            return Fail(kExitUsage, "bad range " + std::to_string(roi->first) + ":" +
                                        std::to_string(roi->last) + ": " + problem);
        extract = record.extractRange(roi->first, roi->last);
    }

    if (!(extract ? *extract : record).writeCsv(output, ExportSelection()))
        return Fail(kExitFailure, "cannot write '" + output + "'");
    return 0;
}

const CliCommandRegistration registration({
    kName,
    "csv FILE.dax OUT.csv [--roi FIRST:LAST]",
    "  Writes the CSV export of a data file: header lines, statistics, one line per point.\n"
    "  The statistics shown are those selected in stats_display_config.pfx in the current\n"
    "  directory, or all sixteen when there is no such file.\n"
    "  --roi FIRST:LAST  only points FIRST to LAST (1-based, inclusive), without header lines\n"
    "  Example: nivra-cli csv run.dax run.csv --roi 3:10",
    RunCsv,
});

} // namespace
} // namespace nivra::cli
