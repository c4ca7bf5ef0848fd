#pragma once

#include "model/run_kind.h"

#include <optional>
#include <string>
#include <vector>

// The command line of nivra-cli run: one or more runs, each a counter with the options that
// belong to it.
namespace nivra::cli {

// The options of one counter's run.
struct RunOptions {
    int counter = 0;
    std::string assayFile;
    std::string counterFile; // "" for the counter's default configuration file
    std::string outFile;
    std::string csvFile;
    std::optional<RunKind> kind; // instead of the assay configuration's QA KIND
    bool noBackup = false;
    // --class-limit L: instead of the assay configuration's CLASS LIMIT (0: none).
    std::optional<double> classLimit;
    // --until-decided: the run ends at the first verdict against the class limit.
    bool untilDecided = false;
};

// Parses the arguments of nivra-cli run into one RunOptions per --counter, in their order. Each
// --counter N starts a run, and the options after it up to the next --counter belong to that
// run; with a single --counter, options before it belong to it as well. Options are written
// "--name VALUE" or "--name=VALUE"; a repeated option of a run keeps its last value, except --out
// and --csv, which are refused when given twice for one run. Returns the problem ("unknown
// option '--fast'", "missing --out; usage: ...", "counter 1 is given twice; ..."), or "" when
// every run is complete.
std::string parseRunOptions(const std::vector<std::string>& args, std::vector<RunOptions>& runs);

} // namespace nivra::cli
