// nivra-cli run: an unattended assay on one counter, with the same run the window starts.

#include "base/atomic_file.h"
#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "cli/closed_output.h"
#include "cli/command_registry.h"
#include "cli/data_file_options.h"
#include "cli/export_selection.h"
#include "cli/output_overlap.h"
#include "counter_link/counter_startup.h"
#include "engine/assay_run.h"
#include "engine/backup_file.h"
#include "engine/run_clock.h"
#include "engine/run_history_observer.h"
#include "engine/run_observer.h"
#include "engine/time_left.h"
#include "model/assay_data.h"
#include "model/config_check.h"
#include "model/csv_export.h"
#include "model/data_file.h"
#include "model/run_kind.h"
#include "storage/history_database.h"
#include "storage/run_recorder.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>

namespace nivra::cli {

namespace {

constexpr const char* kName = "run";
constexpr const char* kMissingConfiguration =
    "Missing a configuration file nessesary to start assay";

volatile std::sig_atomic_t stopSignal = 0;

void OnStopSignal(int) {
    stopSignal = 1;
}

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "nivra-cli %s: %s\n", kName, message.c_str());
    return status;
}

struct RunOptions {
    int counter = 0;
    std::string assayFile;
    std::string counterFile;
    std::string outFile;
    std::string csvFile;
    std::optional<RunKind> kind; // instead of the assay configuration's QA KIND
    bool noBackup = false;
};

// Parses "--name VALUE" and "--name=VALUE"; returns the problem, or "" when all is well.
std::string ParseOptions(const std::vector<std::string>& args, RunOptions& options) {
    std::string counterText;
    std::string kindText;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        if (name == "--no-backup") {
            options.noBackup = true;
            continue;
        }
        std::optional<std::string> value;
        if (auto equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        }
        std::string* target = name == "--counter"          ? &counterText
                              : name == "--assay"          ? &options.assayFile
                              : name == "--counter-config" ? &options.counterFile
                              : name == "--out"            ? &options.outFile
                              : name == "--csv"            ? &options.csvFile
                              : name == "--kind"           ? &kindText
                                                           : nullptr;
        if (!target)
            return "unknown option '" + name + "'";
        if (!value || value->empty())
            return name + " needs a value";
        *target = *value;
    }
    if (counterText.empty() || options.assayFile.empty() || options.outFile.empty())
        return "usage: nivra-cli run --counter N --assay FILE.acx [--counter-config FILE.ccx] "
               "--out FILE.dax [--csv FILE.csv] [--kind sample|background|source] [--no-backup]";
    if (!kindText.empty() && !(options.kind = ParseRunKind(kindText)))
        return "bad kind '" + kindText + "', expected sample, background or source";
    std::size_t used = 0;
    try {
        options.counter = std::stoi(counterText, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != counterText.size() || options.counter < 1 || options.counter > 255)
        return "bad counter number '" + counterText + "', expected 1 to 255";
    return {};
}

// Prints what the run reports, on the run's own thread: one line when it starts, one per second
// and one per closed point, and lets the command wait for the end. What happens to the backup
// goes to standard error: a kept backup, and every change between failing and working saves.
class ProgressPrinter final : public RunObserver {
public:
    explicit ProgressPrinter(const AssayData& data) : data_(data) {}

    void runStarted(int counter) override {
        std::printf("start counter=%d end_time=\"%s\"\n", counter,
                    FormatLocalTime(data_.endTime()).c_str());
        std::fflush(stdout);
    }

    void secondCounted(int, std::int64_t lastSecond, std::int64_t dwellSoFar) override {
        std::printf("counts last_second=%lld dwell=%lld time_left=%s\n",
                    static_cast<long long>(lastSecond), static_cast<long long>(dwellSoFar),
                    FormatTimeLeft(data_.endTime(), SystemRunClock().Now()).c_str());
        std::fflush(stdout);
    }

    void backupKept(int, const std::string& keptPath) override {
        std::fprintf(stderr, "nivra-cli run: kept the backup of an interrupted run as '%s'\n",
                     keptPath.c_str());
    }

    void backupSaved(int counter, bool ok, const std::string& reason) override {
        const std::string path = BackupDataPath(counter);
        if (!ok && (!backupSaved_ || lastBackupOk_))
            std::fprintf(stderr, "nivra-cli run: backup not saved: '%s': %s\n", path.c_str(),
                         reason.c_str());
        else if (ok && backupSaved_ && !lastBackupOk_)
            std::fprintf(stderr, "nivra-cli run: backup saved again: '%s'\n", path.c_str());
        backupSaved_ = true;
        lastBackupOk_ = ok;
        lastBackupReason_ = reason;
        if (ok)
            backupPoints_ = data_.pointCount();
    }

    // Where the points are when the data file could not be saved.
    std::string backupHint(int counter) const {
        if (!backupSaved_)
            return "no backup was written";
        if (!lastBackupOk_)
            return "the backup file '" + BackupDataPath(counter) +
                   "' does not hold them: its last save failed (" + lastBackupReason_ + ")";
        return "the backup file '" + BackupDataPath(counter) + "' holds the record with " +
               std::to_string(backupPoints_) + (backupPoints_ == 1 ? " point" : " points");
    }

    // Faults go to standard error, one line when a stretch without an answer begins and one when
    // it ends; any such stretch makes the command end with kExitCounterFault.
    void counterFault(int counter, CounterFault fault, std::int64_t first,
                      std::int64_t last) override {
        switch (fault) {
        case CounterFault::NotAnswering:
            counterFaulted_ = true;
            std::fprintf(stderr, "fault counter=%d not-answering since=\"%s\"\n", counter,
                         FormatLocalTime(first).c_str());
            break;
        case CounterFault::AnsweringAgain:
            std::fprintf(stderr, "fault counter=%d answering again after=%llds\n", counter,
                         static_cast<long long>(last - first + 1));
            break;
        case CounterFault::WrappedOrReset:
            std::fprintf(stderr, "fault counter=%d wrapped-or-reset at=\"%s\"\n", counter,
                         FormatLocalTime(first).c_str());
            break;
        }
    }
    bool counterFaulted() const { return counterFaulted_; }

    void pointClosed(int, int number, std::int32_t count) override {
        std::printf("point %d %d\n", number, count);
        std::fflush(stdout);
    }

    void finished(int, EndReason reason) override {
        std::printf("finished by=%s points=%zu\n", reason == EndReason::Time ? "time" : "stop",
                    data_.pointCount());
        std::fflush(stdout);
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        finishedChanged_.notify_all();
    }

    bool waitForFinished(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return finishedChanged_.wait_for(lock, timeout, [this] { return finished_; });
    }

private:
    const AssayData& data_;
    // Written on the run's thread, read after its end.
    bool backupSaved_ = false;
    bool lastBackupOk_ = false;
    std::string lastBackupReason_;
    std::size_t backupPoints_ = 0;
    bool counterFaulted_ = false;
    std::mutex mutex_;
    std::condition_variable finishedChanged_;
    bool finished_ = false;
};

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A file size limit makes a write fail, and the failure is reported, instead of ending the
    // process in the middle of a run.
    ::signal(SIGXFSZ, SIG_IGN);
}

int RunAssay(const std::vector<std::string>& args) {
    RunOptions options;
    if (std::string problem = ParseOptions(args, options); !problem.empty())
        return Fail(kExitUsage, problem);
    // A closed pipe on standard output stops the printing, never the run.
    keepRunningWhenOutputCloses(kName);

    // Everything that can be checked is checked before the counter is touched.
    if (!CaptureStartingDirectory())
        return Fail(kExitFailure, "the current directory cannot be read");
    if (options.counterFile.empty())
        options.counterFile = CounterConfigPath(options.counter);
    std::string reason;
    for (const std::string* file : {&options.assayFile, &options.counterFile})
        if (!CanReadFile(*file, reason))
            return Fail(kExitFailure,
                        std::string(kMissingConfiguration) + ": '" + *file + "': " + reason);
    if (std::string clash = outputOverlap({{"--assay", options.assayFile},
                                           {"--counter-config", options.counterFile},
                                           {"the port list", StartPath(kPortConfigFile)},
                                           {"the statistics selection", kSelectionFile}},
                                          {{"the backup file", BackupDataPath(options.counter)},
                                           {"--out", options.outFile},
                                           {"--csv", options.csvFile}});
        !clash.empty())
        return Fail(kExitUsage, clash);
    // The run uses exactly the configurations that were checked.
    const CounterConfig counterConfig(options.counterFile);
    const AssayConfig assayConfig(options.assayFile);
    if (std::string problem =
            runConfigProblem(options.counterFile, counterConfig, options.assayFile, assayConfig,
                             SystemRunClock().Now());
        !problem.empty())
        return Fail(kExitFailure, problem);
    for (const std::string* file : {&options.outFile, &options.csvFile})
        if (!file->empty() && !CanWriteFile(*file))
            return Fail(kExitFailure, "cannot write '" + *file + "' (missing folder or read-only)");
    if (!options.noBackup)
        if (std::string problem = backupFolderProblem(options.counter); !problem.empty())
            return Fail(kExitFailure, "backups cannot be written to '" + backupFolder() +
                                          "': " + problem + " (--no-backup runs without them)");

    std::vector<SkippedPort> skipped;
    CounterStartup startup = RunCounterStartup(CCounterManager::Instance(), &skipped);
    if (CCounterManager::Instance().PortFor(static_cast<std::uint8_t>(options.counter)) == nullptr)
        return Fail(kExitFailure, "counter " + std::to_string(options.counter) +
                                      " was not found (nivra-cli discover tells why)");
    (void)startup;

    // The kind goes into the record's assay configuration, so that its data file says it too.
    AssayConfig assay = assayConfig;
    if (options.kind)
        assay.qaKind =
            *options.kind == RunKind::Sample ? std::nullopt : std::optional<RunKind>(options.kind);
    AssayData data(counterConfig, assay, options.counter);
    ProgressPrinter printer(data);
    // The run history is a journal: when it cannot be written, one line says so and the run
    // goes on.
    RunRecorder recorder(HistoryDatabase::DefaultPath(),
                         [](const std::string& message) { Fail(0, message); });
    RunHistoryObserver history(data, recorder, assay.kind(), printer);
    CatchStopSignals();
    RunEnvironment environment;
    environment.backups = !options.noBackup;
    std::unique_ptr<AssayRun> run = AssayRun::start(data, history, environment);
    if (!run)
        return Fail(kExitFailure, "Error creating run thread");
    bool stopRequested = false;
    while (!printer.waitForFinished(std::chrono::milliseconds(100))) {
        if (stopSignal && !stopRequested) {
            stopRequested = true;
            std::fprintf(stderr, "nivra-cli run: stopping\n");
            run->requestStop();
        }
    }
    run.reset(); // the run has reported its end; its thread returns right after

    if (!nivra::saveDataFile(data, options.outFile, reason))
        return Fail(kExitFailure, "the data could not be saved to '" + options.outFile +
                                      "': " + reason + "; " + printer.backupHint(options.counter));
    recorder.dataFileSaved(options.outFile);
    std::printf("saved file=\"%s\" points=%zu total_counts=%.0f\n", options.outFile.c_str(),
                data.pointCount(), data.sumCounts());
    if (!options.csvFile.empty()) {
        if (!nivra::writeCsvExport(data, options.csvFile, ExportSelection()))
            return Fail(kExitFailure, "the CSV could not be written to '" + options.csvFile + "'");
        std::printf("csv file=\"%s\"\n", options.csvFile.c_str());
    }
    return printer.counterFaulted() ? kExitCounterFault : 0;
}

const CliCommandRegistration registration({
    kName,
    "run --counter N --assay FILE.acx [--counter-config FILE.ccx] --out FILE.dax [--csv FILE.csv]\n"
    "      [--kind sample|background|source] [--no-backup]",
    "  Runs an assay on counter N without the window, in the current directory as start\n"
    "  directory: discovers the counters from port_config.pfx, loads both configurations, runs\n"
    "  the assay and saves the data file (and the CSV). The backup file backup_data/backup_N.dax\n"
    "  is rewritten after every point; a backup of an interrupted run found there is kept as\n"
    "  backup_N-YYYYMMDD-HHMMSS.dax. The run is recorded in the run history (history.sqlite; see\n"
    "  nivra-cli history). Ctrl+C or SIGTERM stops the run early; the points so far are saved.\n"
    "  Each option may also be written with =, as in --out=run1.dax.\n"
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
    "  Output, one line each: 'start counter=N end_time=\"...\"', every second\n"
    "  'counts last_second=C dwell=D time_left=D:HH:MM:SS', per closed point 'point K COUNT',\n"
    "  'finished by=time|stop points=K', 'saved file=\"...\" points=K total_counts=S' and with\n"
    "  --csv 'csv file=\"...\"'. Problems go to standard error with exit status 1 (2 for a bad\n"
    "  option); the counter is touched only when both configurations can be read and used and\n"
    "  the outputs can be written. A configuration is refused, naming its file and field, when\n"
    "  the file lacks its section, the dwell time is 0, the dwell or total time exceeds ten\n"
    "  years, the run would end after 2068, or an area or the efficiency is not above 0. An\n"
    "  output that is an input, the backup file or another output is refused (exit status 2).\n"
    "  When standard output is closed (a pipe into head), the printing stops, not the run.\n"
    "  A run history that cannot be written gives one line 'Run history not written: REASON'\n"
    "  on standard error; the run goes on.\n"
    "  Standard error also tells a kept backup and every change between failing and working\n"
    "  backup saves; the run goes on either way.\n"
    "  A counter that stops answering counts nothing, and each stretch without an answer is a\n"
    "  header line 'Counter not answering: FIRST to LAST (N s)' and two lines on standard\n"
    "  error, 'fault counter=N not-answering since=\"...\"' and 'fault counter=N answering\n"
    "  again after=Ns'; the run goes on, reopens a device that went away once a second, saves\n"
    "  its files and ends with exit status 3. A register that went back (wrapped or reset) is\n"
    "  'Counter register wrapped or reset at TIME' and 'fault counter=N wrapped-or-reset\n"
    "  at=\"...\"'. The counting limit: the one-byte register is read once a second and reset\n"
    "  above 60, so from about 195 counts per second counts are lost.\n"
    "  Example: nivra-cli run --counter 1 --assay assay_config/default.acx --out run1.dax \\\n"
    "           --csv run1.csv",
    RunAssay,
});

} // namespace

} // namespace nivra::cli
