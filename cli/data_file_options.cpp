#include "cli/data_file_options.h"
#include "base/readable_file.h"
#include "cli/line_printer.h"
#include "model/data_file.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace nivra::cli {

namespace {

std::optional<int> parsePointNumber(const std::string& text) {
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

std::optional<PointRange> parsePointRange(const std::string& text) {
    auto colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    auto first = parsePointNumber(text.substr(0, colon));
    auto last = parsePointNumber(text.substr(colon + 1));
    if (!first || !last)
        return std::nullopt;
    return PointRange{*first, *last};
}

std::string rangeProblem(const PointRange& range, std::size_t pointCount) {
    if (range.first < 1)
        return "FIRST must be at least 1";
    if (static_cast<std::size_t>(range.last) > pointCount)
        return "LAST must not exceed the number of points (" + std::to_string(pointCount) + ")";
    if (range.first > range.last)
        return "FIRST must not exceed LAST";
    return {};
}

bool isRangeOption(const std::string& arg) {
    return arg == "--roi" || arg.rfind("--roi=", 0) == 0;
}

std::string takeRangeOption(const std::vector<std::string>& args, std::size_t& i,
                            std::optional<PointRange>& range) {
    std::string value;
    if (args[i] == "--roi") {
        if (i + 1 == args.size())
            return "--roi needs FIRST:LAST";
        value = args[++i];
    } else {
        value = args[i].substr(6);
    }
    range = parsePointRange(value);
    return range ? std::string{} : "bad range '" + value + "', expected FIRST:LAST";
}

std::vector<std::string> operandsAfterOptionsEnd(std::vector<std::string>& args) {
    const auto end = std::find(args.begin(), args.end(), "--");
    if (end == args.end())
        return {};
    std::vector<std::string> operands(end + 1, args.end());
    args.erase(end, args.end());
    return operands;
}

bool canReadFile(const std::string& path, std::string& reason) {
    return nivra::canReadRegularFile(path, reason);
}

int loadDataFile(const char* command, const std::string& path,
                 const std::optional<PointRange>& range, LoadedDataFile& loaded) {
    std::string problem;
    loaded.record = nivra::openDataFile(path, problem);
    if (!loaded.record) {
        printLine(stderr, std::string("nivra-cli ") + command + ": " + problem);
        return kExitFailure;
    }
    if (range) {
        const std::string problem = rangeProblem(*range, loaded.record->pointCount());
        if (!problem.empty()) {
            std::fprintf(stderr, "nivra-cli %s: bad range %d:%d: %s\n", command, range->first,
                         range->last, problem.c_str());
            return kExitUsage;
        }
        loaded.extract = loaded.record->extractRange(range->first, range->last);
    }
    return 0;
}

} // namespace nivra::cli
