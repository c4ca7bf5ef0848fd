#include "cli/run_options.h"

#include "cli/option_value.h"

#include <set>
#include <system_error>
#include <utility>

namespace nivra::cli {

namespace {

constexpr const char* kUsage =
    "usage: nivra-cli run --counter N --assay FILE.acx [--counter-config FILE.ccx] "
    "--out FILE.dax [--csv FILE.csv] [--kind sample|background|source] [--no-backup] "
    "[--class-limit L] [--until-decided] [--counter N ...]";
constexpr const char* kSingleUsage =
    "usage: nivra-cli run --counter N --assay FILE.acx [--counter-config FILE.ccx] "
    "--out FILE.dax [--csv FILE.csv] [--kind sample|background|source] [--no-backup] "
    "[--class-limit L] [--until-decided]";

// A run as written on the command line, before its values are checked.
struct WrittenRun {
    std::string counterText;
    std::string kindText;
    std::string limitText;
    RunOptions options;
};

// Checks one run's values into its options; the problem, or "".
std::string checkRun(WrittenRun& run, bool several) {
    std::string missing;
    for (const auto& [name, value] :
         {std::pair{"--counter", &run.counterText}, std::pair{"--assay", &run.options.assayFile},
          std::pair{"--out", &run.options.outFile}})
        if (value->empty())
            missing += (missing.empty() ? "" : " and ") + std::string(name);
    if (!missing.empty()) {
        if (!several)
            return "missing " + missing + "; " + kSingleUsage;
        return "the run of counter " + run.counterText + " needs " + missing + "; " + kUsage;
    }
    const std::string prefix = several ? "counter " + run.counterText + ": " : "";
    if (!run.kindText.empty() && !(run.options.kind = parseRunKind(run.kindText)))
        return prefix + "bad kind '" + run.kindText + "', expected sample, background or source";
    if (!run.limitText.empty()) {
        double limit = 0.0;
        if (std::string problem = readClassLimit(run.limitText, limit); !problem.empty())
            return prefix + problem;
        run.options.classLimit = limit;
    }
    std::size_t used = 0;
    try {
        run.options.counter = std::stoi(run.counterText, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != run.counterText.size() || run.options.counter < 1 || run.options.counter > 255)
        return "bad counter number '" + run.counterText + "', expected 1 to 255";
    return {};
}

} // namespace

std::string parseRunOptions(const std::vector<std::string>& args, std::vector<RunOptions>& runs) {
    std::vector<WrittenRun> written(1);
    std::string leadingOption; // the first option given before any --counter
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        WrittenRun& run = written.back();
        if (name == "--no-backup" || name == "--until-decided") {
            (name == "--no-backup" ? run.options.noBackup : run.options.untilDecided) = true;
            if (run.counterText.empty() && leadingOption.empty())
                leadingOption = name;
            continue;
        }
        std::optional<std::string> value;
        if (auto equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        }
        if (name == "--counter") {
            if (!value || value->empty())
                return name + " needs a value";
            if (!run.counterText.empty())
                written.emplace_back();
            written.back().counterText = *value;
            continue;
        }
        std::string* target = name == "--assay"            ? &run.options.assayFile
                              : name == "--counter-config" ? &run.options.counterFile
                              : name == "--out"            ? &run.options.outFile
                              : name == "--csv"            ? &run.options.csvFile
                              : name == "--kind"           ? &run.kindText
                              : name == "--class-limit"    ? &run.limitText
                                                           : nullptr;
        if (!target)
            return "unknown option '" + name + "'";
        if (!value || value->empty())
            return name + " needs a value";
        // A second output of the same kind would silently replace the first one's name.
        if ((name == "--out" || name == "--csv") && !target->empty())
            return name + " is given twice" +
                   (run.counterText.empty() ? std::string() : " for counter " + run.counterText) +
                   "; each run writes one such file";
        *target = *value;
        if (run.counterText.empty() && leadingOption.empty())
            leadingOption = name;
    }

    const bool several = written.size() > 1;
    if (several && !leadingOption.empty())
        return leadingOption +
               " comes before the first --counter; with several counters, each run's options "
               "follow its --counter N";
    runs.clear();
    std::set<int> counters;
    for (WrittenRun& run : written) {
        if (std::string problem = checkRun(run, several); !problem.empty())
            return problem;
        if (!counters.insert(run.options.counter).second)
            return "counter " + std::to_string(run.options.counter) +
                   " is given twice; each counter runs once in a process";
        runs.push_back(run.options);
    }
    return {};
}

} // namespace nivra::cli
