// nivra-cli run: unattended assays on one or more counters, with the same run the window starts.

#include "base/atomic_file.h"
#include "base/value_encoding.h"
#include "cli/closed_output.h"
#include "cli/command_registry.h"
#include "cli/data_file_options.h"
#include "cli/export_selection.h"
#include "cli/line_printer.h"
#include "cli/output_overlap.h"
#include "cli/progress_printer.h"
#include "cli/run_options.h"
#include "cli/skipped_port_text.h"
#include "cli/start_directory_capture.h"
#include "cli/stop_signals.h"
#include "counter_link/counter_startup.h"
#include "engine/backup_file.h"
#include "engine/run_assembly.h"
#include "engine/run_clock.h"
#include "model/assay_data.h"
#include "model/config_check.h"
#include "model/csv_export.h"
#include "model/data_file.h"
#include "model/run_kind.h"
#include "storage/history_location.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

namespace nivra::cli {

namespace {

constexpr const char* kName = "run";
constexpr const char* kMissingConfiguration =
    "Missing a configuration file nessesary to start assay";

int fail(int status, const std::string& message) {
    printLine(stderr, std::string("nivra-cli ") + kName + ": " + message);
    return status;
}

// The exit status of several runs is that of the worst one: a run whose files could not be
// saved (1) is worse than one whose counter did not answer for a while (3), which is worse than
// a clean one (0).
int worseStatus(int a, int b) {
    const auto rank = [](int status) {
        return status == kExitFailure ? 2 : status == kExitCounterFault ? 1 : 0;
    };
    return rank(b) > rank(a) ? b : a;
}

// One counter's run as the command carries it out: the assembled run and its printer. It stays
// where it was made, since the run and its observers refer to each other.
struct CounterRun {
    CounterRun(const RunOptions& runOptions, const CounterConfig& counterConfig,
               const AssayConfig& assay, const HistoryLocation& history, bool tagged,
               std::string backupFile)
        : options(runOptions),
          // The run history is a journal: when it cannot be written, one line says so and the
          // run goes on.
          parts({counterConfig,
                 assay,
                 runOptions.counter,
                 history,
                 [this](const std::string& message) { printer.error(message); },
                 {}}),
          data(*parts.data), printer(data, runOptions.counter, tagged, std::move(backupFile)) {}

    // Saves the data file and the CSV; the run's exit status.
    int saveFiles() {
        std::string reason;
        if (!nivra::saveDataFile(data, options.outFile, reason)) {
            printer.error("the data could not be saved to '" + options.outFile + "': " + reason +
                          "; " + printer.backupHint());
            return kExitFailure;
        }
        parts.recorder->dataFileSaved(options.outFile);
        printer.output("saved",
                       formatC(" file=\"%s\" points=%zu total_counts=%.0f", options.outFile.c_str(),
                               data.pointCount(), data.sumCounts()));
        if (!options.csvFile.empty()) {
            if (const Outcome written =
                    nivra::writeCsvExport(data, options.csvFile, exportSelection());
                !written) {
                printer.error("the CSV could not be written to '" + options.csvFile +
                              "': " + written.error());
                return kExitFailure;
            }
            printer.output("csv", " file=\"" + options.csvFile + "\"");
        }
        return printer.counterFaulted() ? kExitCounterFault : 0;
    }

    // The run reports to the printer, which reads the record: it stops and goes first.
    ~CounterRun() { parts.run.reset(); }
    CounterRun(const CounterRun&) = delete;
    CounterRun& operator=(const CounterRun&) = delete;

    const RunOptions options;
    AssembledRun parts;
    AssayData& data;
    ProgressPrinter printer;
};

// The files the runs read and write, for the check that no output destroys an input. With one
// run they carry their options' names; with several, the counter's too ("counter 2's --out").
std::string outputOverlap(const StartDirectory& start, const std::vector<RunOptions>& runs) {
    const bool several = runs.size() > 1;
    std::vector<CommandFile> inputs;
    std::vector<CommandFile> outputs;
    for (const RunOptions& run : runs) {
        const std::string owner = several ? "counter " + std::to_string(run.counter) + "'s " : "";
        inputs.push_back({owner + "--assay", run.assayFile});
        inputs.push_back({owner + "--counter-config", run.counterFile});
        outputs.push_back(
            {owner + (several ? "backup file" : "the backup file"), start.backupData(run.counter)});
        outputs.push_back({owner + "--out", run.outFile});
        outputs.push_back({owner + "--csv", run.csvFile});
    }
    inputs.push_back({"the port list", start.file(kPortConfigFile)});
    inputs.push_back({"the statistics selection", kSelectionFile});
    return outputOverlap(inputs, outputs);
}

// Why a counter that discovery did not find is missing, as the command's message.
std::string notFound(int counter, const std::vector<std::string>& heldElsewhere) {
    std::string message = "counter " + std::to_string(counter) + " was not found";
    if (heldElsewhere.empty())
        return message + " (nivra-cli discover tells why)";
    message += heldElsewhere.size() == 1 ? ": the device " : ": the devices ";
    for (std::size_t i = 0; i < heldElsewhere.size(); ++i)
        message += (i ? ", '" : "'") + heldElsewhere[i] + "'";
    return message + (heldElsewhere.size() == 1 ? " is" : " are") +
           " busy (held by another program)";
}

int runAssay(const std::vector<std::string>& args) {
    std::vector<RunOptions> runs;
    if (std::string problem = parseRunOptions(args, runs); !problem.empty())
        return fail(kExitUsage, problem);
    // A closed pipe on standard output stops the printing, never the runs.
    keepRunningWhenOutputCloses(kName);

    // Everything that can be checked is checked, for every run, before a counter is touched.
    const std::optional<StartDirectory> start = captureStartDirectory(kName);
    if (!start)
        return kExitFailure;
    std::string reason;
    for (RunOptions& run : runs) {
        if (run.counterFile.empty())
            run.counterFile = start->counterConfig(run.counter);
        for (const std::string* file : {&run.assayFile, &run.counterFile})
            if (!canReadFile(*file, reason))
                return fail(kExitFailure,
                            std::string(kMissingConfiguration) + ": '" + *file + "': " + reason);
    }
    if (std::string clash = outputOverlap(*start, runs); !clash.empty())
        return fail(kExitUsage, clash);
    // The runs use exactly the configurations that were checked.
    std::vector<std::pair<CounterConfig, AssayConfig>> configs;
    for (const RunOptions& run : runs) {
        configs.emplace_back(CounterConfig(run.counterFile), AssayConfig(run.assayFile));
        auto& [counterConfig, assayConfig] = configs.back();
        // The limit and the decision stop go into the record's assay configuration, so that its
        // data file says what the run was judged against.
        if (run.classLimit)
            assayConfig.classLimit =
                *run.classLimit > 0.0 ? run.classLimit : std::optional<double>();
        if (run.untilDecided) {
            if (!assayConfig.classLimit)
                return fail(
                    kExitUsage,
                    (runs.size() > 1 ? "counter " + std::to_string(run.counter) + ": "
                                     : std::string()) +
                        "--until-decided needs a class limit: " +
                        (run.classLimit
                             ? std::string("--class-limit 0 means none")
                             : "'" + run.assayFile + "' has no CLASS LIMIT; give --class-limit L"));
            assayConfig.stopWhenDecided = true;
        }
        if (std::string problem = runConfigProblem(run.counterFile, counterConfig, run.assayFile,
                                                   assayConfig, systemRunClock().now());
            !problem.empty())
            return fail(kExitFailure, problem);
    }
    for (const RunOptions& run : runs)
        for (const std::string* file : {&run.outFile, &run.csvFile})
            if (!file->empty())
                if (const Outcome writable = outputFileProblem(*file); !writable)
                    return fail(kExitFailure, "cannot write '" + *file + "': " + writable.error());
    for (const RunOptions& run : runs)
        if (!run.noBackup)
            if (std::string problem = backupFolderProblem(*start, run.counter); !problem.empty())
                return fail(kExitFailure, "backups cannot be written to '" + backupFolder(*start) +
                                              "': " + problem + " (--no-backup runs without them)");

    // One discovery for all runs: only one program can hold the devices.
    std::vector<SkippedPort> skipped;
    runCounterStartup(*start, CounterManager::instance(), &skipped);
    const std::vector<std::string> heldElsewhere =
        devicesHeldElsewhere(skipped, openDeviceNames(CounterManager::instance()));
    int missing = 0;
    for (const RunOptions& run : runs)
        if (CounterManager::instance().portFor(static_cast<std::uint8_t>(run.counter)) == nullptr) {
            fail(kExitFailure, notFound(run.counter, heldElsewhere));
            ++missing;
        }
    if (missing > 0)
        return kExitFailure;

    // One location for every run of the command; one that cannot be resolved is told by each
    // run's history, which the runs do not wait for.
    const HistoryLocation history = resolveHistoryLocation(*start);
    std::vector<std::unique_ptr<CounterRun>> counterRuns;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        // The kind goes into the record's assay configuration, so that its data file says it
        // too.
        AssayConfig assay = configs[i].second;
        if (runs[i].kind)
            assay.qaKind = *runs[i].kind == RunKind::Sample ? std::nullopt
                                                            : std::optional<RunKind>(runs[i].kind);
        counterRuns.push_back(std::make_unique<CounterRun>(runs[i], configs[i].first, assay,
                                                           history, runs.size() > 1,
                                                           start->backupData(runs[i].counter)));
    }
    catchStopSignals();
    int status = 0;
    for (auto& counterRun : counterRuns) {
        RunEnvironment environment;
        if (!counterRun->options.noBackup)
            environment.backups = *start;
        if (!counterRun->parts.start(counterRun->printer, environment)) {
            // The runs that did start are stopped, and save what they have.
            counterRun->printer.error("Error creating run thread");
            status = kExitFailure;
            stopRunsNow();
            break;
        }
    }

    // Ctrl+C stops every run; each ends and reports its end on its own.
    bool stopRequested = false;
    for (auto& counterRun : counterRuns) {
        if (!counterRun->parts.run)
            break;
        while (!counterRun->printer.waitForFinished(std::chrono::milliseconds(100))) {
            if (stopSignalled() && !stopRequested) {
                stopRequested = true;
                if (status == 0)
                    fail(0, "stopping");
                for (auto& other : counterRuns)
                    if (other->parts.run)
                        other->parts.run->requestStop();
            }
        }
    }
    // Each run has reported its end; its thread returns right after.
    for (auto& counterRun : counterRuns)
        counterRun->parts.run.reset();

    for (auto& counterRun : counterRuns)
        if (counterRun->printer.waitForFinished(std::chrono::milliseconds(0)))
            status = worseStatus(status, counterRun->saveFiles());
    return status;
}

const CliCommandRegistration registration({
    kName,
    "run --counter N --assay FILE.acx [--counter-config FILE.ccx] --out FILE.dax [--csv FILE.csv]\n"
    "      [--kind sample|background|source] [--no-backup] [--class-limit L] [--until-decided]\n"
    "      [--counter N ...]",
    "  Runs an assay on counter N without the window, in the current directory as start\n"
    "  directory: discovers the counters from port_config.pfx, loads both configurations, runs\n"
    "  the assay and saves the data file (and the CSV). The backup file backup_data/backup_N.dax\n"
    "  is rewritten after every point; a backup of an interrupted run found there is kept as\n"
    "  backup_N-YYYYMMDD-HHMMSS.dax. The run is recorded in the run history (history.sqlite; see\n"
    "  nivra-cli history). Ctrl+C, SIGTERM or SIGHUP (a remote login that closes) stops the run\n"
    "  early; the points so far are saved.\n"
    "  Each option may also be written with =, as in --out=run1.dax.\n"
    "  Several counters run in one process, which holds all their devices: each --counter N\n"
    "  starts the run of counter N, and the options after it, up to the next --counter, are that\n"
    "  run's (every option is per run; with several counters, one before the first --counter\n"
    "  is refused). One discovery, then all runs start together. Every output line names its\n"
    "  counter ('point counter=N K COUNT', 'nivra-cli run: counter N: ...'); Ctrl+C stops all\n"
    "  runs and each saves its own files. A counter given twice, two runs writing the same\n"
    "  file, or a problem with any run refuses the whole command before a counter is touched.\n"
    "  The exit status is that of the worst run: 1 when a run's files could not be saved, else\n"
    "  3 when a counter did not answer for a while, garbled its replies or counted above its\n"
    "  limit, else 0.\n"
    "  --counter N                the counter, numbered as nivra-cli discover lists them\n"
    "  --assay FILE.acx           the assay configuration\n"
    "  --counter-config FILE.ccx  the counter configuration (default counter_config/counterN.ccx)\n"
    "  --out FILE.dax             the data file saved at the end\n"
    "  --csv FILE.csv             also the CSV export, with the statistics selected in\n"
    "                             stats_display_config.pfx (all sixteen without that file)\n"
    "  --kind K                   the kind of the run in the history: sample, background or\n"
    "                             source (default: the QA KIND of the assay configuration)\n"
    "  --no-backup                run without the backup file; without this option a run\n"
    "                             that cannot write into backup_data is refused\n"
    "  --class-limit L            the customer's limit on the net rate, 1/(cm2 h), instead of\n"
    "                             the assay configuration's CLASS LIMIT (0: none); written\n"
    "                             into the data file's assay configuration\n"
    "  --until-decided            end the run at the first closed point, from the second on,\n"
    "                             at which the class verdict against the limit (as assess\n"
    "                             judges all points so far) is below or above; the key\n"
    "                             STOP WHEN DECIDED=1 of the assay configuration does the\n"
    "                             same. Refused (exit status 2) without a limit\n"
    "  Output, one line each: 'start counter=N end_time=\"...\"', every second\n"
    "  'counts last_second=C dwell=D time_left=D:HH:MM:SS', per closed point 'point K COUNT',\n"
    "  'finished by=time|stop points=K' (or 'finished by=decision verdict=below|above points=K',\n"
    "  when the data file's last header line is 'Decided VERDICT LIMIT at TIME'),\n"
    "  'saved file=\"...\" points=K total_counts=S' and with --csv 'csv file=\"...\"'.\n"
    "  Problems go to standard error with exit status 1 (2 for a bad option, naming a missing\n"
    "  one); the counter is touched only when both configurations can be\n"
    "  read and used and the outputs can be created (a missing or read-only folder, or a name too\n"
    "  long for the file system, is refused with the system's reason). --out or --csv given\n"
    "  twice for one run is refused. A counter behind a device that another program holds is\n"
    "  'not found: the device '...' is busy (held by another program)'. A configuration is\n"
    "  refused, naming its file and field, when the file lacks its section, the dwell time is 0,\n"
    "  the dwell or total time exceeds ten years, the run would end after 2068, or an area or\n"
    "  the efficiency is not above 0. An output that is an input, the backup file or another\n"
    "  output is refused (exit status 2).\n"
    "  When standard output is closed (a pipe into head), the printing stops, not the run.\n"
    "  A run history that cannot be written gives one line 'Run history not written: REASON'\n"
    "  on standard error; the run goes on.\n"
    "  Standard error also tells a kept backup and every change between failing and working\n"
    "  backup saves; the run goes on either way.\n"
    "  A counter that stops answering counts nothing, and each stretch without an answer is a\n"
    "  header line 'Counter not answering: FIRST to LAST (N s)' and two lines on standard\n"
    "  error, 'fault counter=N not-answering since=\"...\"' and 'fault counter=N answering\n"
    "  again after=Ns'; the run goes on, reopens a device that went away once a second, saves\n"
    "  its files and ends with exit status 3. A garbled reply (line noise) counts as no answer;\n"
    "  each stretch of them is 'Counter replies garbled: FIRST to LAST (N replies)' with\n"
    "  'fault counter=N garbled since=\"...\"' and 'fault counter=N garbled ended after=Ns',\n"
    "  exit status 3. The counting limit: the one-byte register is read 20 times a second and\n"
    "  its wraps are counted, so with four counters on one line counts are exact up to 2,000\n"
    "  counts per second per counter. Above about 3,000, or whenever a reading could hide a\n"
    "  whole turn of the register, the run records 'Count rate above the counter's limit:\n"
    "  FIRST to LAST, about N counts lost', prints 'fault counter=N over-limit since=\"...\"'\n"
    "  and 'fault counter=N over-limit ended after=Ns', and ends with exit status 3.\n"
    "  Example: nivra-cli run --counter 1 --assay assay_config/default.acx --out run1.dax \\\n"
    "           --csv run1.csv\n"
    "  Until decided: nivra-cli run --counter 1 --assay assay_config/default.acx \\\n"
    "           --out s1.dax --class-limit 0.05 --until-decided\n"
    "  Two counters: nivra-cli run --counter 1 --assay assay_config/default.acx --out c1.dax \\\n"
    "           --counter 2 --assay assay_config/default.acx --out c2.dax",
    runAssay,
});

} // namespace

} // namespace nivra::cli
