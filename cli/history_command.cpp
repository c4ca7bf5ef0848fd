// nivra-cli history: the runs of the run history (history.sqlite in the start directory, or the
// file or server history_config.pfx or NIVRA_HISTORY names), one run in detail, a run written out
// as a data file or CSV, imports of data files, the local spool sent to the server, and a PC's
// history copied to the server.

#include "base/file_system.h"
#include "base/local_time.h"
#include "base/same_file.h"
#include "cli/command_registry.h"
#include "cli/data_file_options.h"
#include "cli/export_selection.h"
#include "cli/line_printer.h"
#include "cli/option_value.h"
#include "cli/start_directory_capture.h"
#include "model/assay_data.h"
#include "model/csv_export.h"
#include "model/data_file.h"
#include "model/statistics.h"
#include "model/stats_show.h"
#include "storage/history_copy.h"
#include "storage/history_database.h"
#include "storage/history_import.h"
#include "storage/history_location.h"
#include "storage/history_record.h"
#include "storage/history_spool.h"

#include <cstdio>
#include <optional>

namespace nivra::cli {
namespace {

constexpr const char* kName = "history";

int fail(int status, const std::string& message) {
    printLine(stderr, std::string("nivra-cli ") + kName + ": " + message);
    return status;
}

// The history of the start directory (the current directory), opened for the command.
int openHistory(HistoryDatabase& db, HistoryDatabase::Access access) {
    const std::optional<StartDirectory> start = captureStartDirectory(kName);
    if (!start)
        return kExitFailure;
    if (auto r = openStartDirectoryHistory(*start, db, access); !r)
        return fail(kExitFailure, r.error());
    return 0;
}

// --- history [--counter N] [--kind K] [--since DATE] [--until DATE] ---------------------------

int listRuns(const std::vector<std::string>& args) {
    RunFilter filter;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string problem;
        if (auto value = takeOption(args, i, "--counter", problem)) {
            if (!problem.empty() || !(filter.counter = parseCounter(*value)))
                return fail(kExitUsage, problem.empty() ? "bad counter number '" + *value +
                                                              "', expected 1 to 255"
                                                        : problem);
        } else if (auto kind = takeOption(args, i, "--kind", problem)) {
            if (!problem.empty() || !(filter.kind = parseRunKind(*kind)))
                return fail(kExitUsage, problem.empty() ? "bad kind '" + *kind +
                                                              "', expected sample, background "
                                                              "or source"
                                                        : problem);
        } else if (auto since = takeOption(args, i, "--since", problem)) {
            if (!problem.empty() || !isIsoDate(*since))
                return fail(kExitUsage, problem.empty()
                                            ? "bad date '" + *since + "', expected YYYY-MM-DD"
                                            : problem);
            filter.since = *since;
        } else if (auto until = takeOption(args, i, "--until", problem)) {
            if (!problem.empty() || !isIsoDate(*until))
                return fail(kExitUsage, problem.empty()
                                            ? "bad date '" + *until + "', expected YYYY-MM-DD"
                                            : problem);
            filter.until = *until;
        } else {
            return fail(kExitUsage, "unknown option '" + args[i] + "'");
        }
    }

    HistoryDatabase db;
    if (int status = openHistory(db, HistoryDatabase::Access::Existing); status != 0)
        return status;
    std::vector<HistoryRun> runs;
    if (auto r = db.listRuns(filter, runs); !r)
        return fail(kExitFailure, r.error());
    // A server's history holds the runs of several PCs: each line says which one and which
    // start directory recorded the run.
    const bool where = db.isServer();
    std::printf("%5s  %7s  %-10s  %-25s  %-11s  %6s  %12s  %12s  %s%s\n", "ID", "COUNTER", "KIND",
                "START", "END", "POINTS", "TOTAL COUNTS", "COUNTS/HOUR",
                where ? "HOST             START DIRECTORY                 " : "", "ASSAY");
    for (const HistoryRun& run : runs) {
        std::string place;
        if (where) {
            char text[512];
            std::snprintf(text, sizeof text, "%-15s  %-30s  ", run.host.value_or("-").c_str(),
                          run.startDirectory.value_or("-").c_str());
            place = text;
        }
        std::printf("%5lld  %7s  %-10s  %-25s  %-11s  %6lld  %12lld  %12.4f  %s%s\n",
                    static_cast<long long>(run.id),
                    run.counter ? std::to_string(*run.counter).c_str() : "-", runKindName(run.kind),
                    run.startTime.c_str(), runEndName(run.endReason),
                    static_cast<long long>(run.points), static_cast<long long>(run.totalCounts),
                    run.countsPerHour(), place.c_str(), run.assayConfig.name.c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

// --- history import [--counter N] [--kind K] PATH... ------------------------------------------

int importFiles(std::vector<std::string> args) {
    const std::vector<std::string> operands = operandsAfterOptionsEnd(args);
    ImportOptions options;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string problem;
        if (auto value = takeOption(args, i, "--counter", problem)) {
            if (!problem.empty() || !(options.counter = parseCounter(*value)))
                return fail(kExitUsage, problem.empty() ? "bad counter number '" + *value +
                                                              "', expected 1 to 255"
                                                        : problem);
        } else if (auto kind = takeOption(args, i, "--kind", problem)) {
            if (!problem.empty() || !(options.kind = parseRunKind(*kind)))
                return fail(kExitUsage, problem.empty() ? "bad kind '" + *kind +
                                                              "', expected sample, background "
                                                              "or source"
                                                        : problem);
        } else if (!args[i].empty() && args[i][0] == '-') {
            return fail(kExitUsage, "unknown option '" + args[i] + "'");
        } else {
            paths.push_back(args[i]);
        }
    }
    paths.insert(paths.end(), operands.begin(), operands.end());
    if (paths.empty())
        return fail(kExitUsage, "usage: nivra-cli history import [--counter N] [--kind K] PATH...");

    HistoryDatabase db;
    if (int status = openHistory(db, HistoryDatabase::Access::Create); status != 0)
        return status;
    // One line per file, whatever becomes of it; a refused file never stops the others.
    std::size_t imported = 0, duplicates = 0, refused = 0;
    for (const std::string& path : paths) {
        std::vector<std::string> problems;
        for (const std::string& file : dataFilesAt(path, problems)) {
            const ImportOutcome outcome = importDataFile(db, file, options);
            const std::string id = std::to_string(outcome.runId);
            switch (outcome.status) {
            case ImportOutcome::Status::Imported:
                ++imported;
                printLine(stdout, "imported " + file + " as run " + id);
                break;
            case ImportOutcome::Status::Duplicate:
                ++duplicates;
                printLine(stdout, "skipped " + file + ": the same content is run " + id);
                break;
            case ImportOutcome::Status::Unreadable:
                ++refused;
                printLine(stdout, "not imported " + file + ": " + outcome.reason);
                break;
            case ImportOutcome::Status::NotWritten:
                ++refused;
                printLine(stdout,
                          "not imported " + file + ": Run history not written: " + outcome.reason);
                break;
            }
        }
        for (const std::string& problem : problems) {
            ++refused;
            printLine(stdout, "not imported " + problem);
        }
    }
    printLine(stdout, std::to_string(imported) + " imported, " + std::to_string(duplicates) +
                          " skipped as duplicates, " + std::to_string(refused) + " refused");
    return refused == 0 ? 0 : kExitFailure;
}

// --- history show ID / history export ID --dax FILE | --csv FILE -------------------------------

// onServer tells whether the history is a laboratory's server.
int loadRun(const std::string& idText, HistoryRunDetail& detail, bool* onServer = nullptr) {
    const auto id = parseId(idText);
    if (!id)
        return fail(kExitUsage, "bad run id '" + idText + "'");
    HistoryDatabase db;
    if (int status = openHistory(db, HistoryDatabase::Access::Existing); status != 0)
        return status;
    bool found = false;
    if (auto r = db.loadRun(*id, detail, found); !r)
        return fail(kExitFailure, r.error());
    if (!found)
        return fail(kExitFailure, "there is no run " + idText);
    if (onServer)
        *onServer = db.isServer();
    return 0;
}

int showRun(const std::vector<std::string>& args) {
    if (args.size() != 1)
        return fail(kExitUsage, "usage: nivra-cli history show ID");
    HistoryRunDetail detail;
    bool onServer = false;
    if (int status = loadRun(args[0], detail, &onServer); status != 0)
        return status;
    const HistoryRun& run = detail.run;
    std::printf("run %lld: counter %s, %s, %s\n", static_cast<long long>(run.id),
                run.counter ? std::to_string(*run.counter).c_str() : "unknown",
                runKindName(run.kind), run.source == RunSource::Import ? "imported" : "recorded");
    std::printf("start %s, end %s (%s)\n", run.startTime.c_str(),
                run.endTime ? run.endTime->c_str() : "unknown", runEndName(run.endReason));
    printLine(stdout, "points " + std::to_string(run.points) + ", total counts " +
                          std::to_string(run.totalCounts) + ", data file " +
                          (run.dataFile ? *run.dataFile : std::string("none")));
    // A server holds the runs of several PCs: which one recorded it, and where.
    if (onServer && (run.host || run.startDirectory))
        printLine(stdout, "recorded on " + run.host.value_or("an unknown host") + " in " +
                              run.startDirectory.value_or("an unknown start directory"));
    const auto record = recordOfRun(detail);
    std::printf("[%s]\n", CounterConfig::kSection);
    for (const auto& [key, value] : record->counterConfig().entries())
        std::printf("%s=%s\n", key, value.c_str());
    std::printf("[%s]\n", AssayConfig::kSection);
    const AssayConfig assay = record->assayConfig();
    for (const auto& [key, value] : assay.entries())
        std::printf("%s=%s\n", key, value.c_str());
    for (const auto& [key, value] : assay.optionalEntries())
        std::printf("%s=%s\n", key, value.c_str());
    std::printf("[header lines]\n");
    for (const std::string& line : record->headerLines())
        std::printf("%s\n", line.c_str());
    // The statistics of all points with their points × dwell as time base: nivra-cli stats --all.
    std::printf("[statistics]\n");
    const auto all = record->extractRange(1, static_cast<int>(record->pointCount()));
    for (const std::string& line : csvStatisticsLines(statisticsBlock(*all, StatsShow())))
        std::printf("%s\n", line.c_str());
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

int exportRun(const std::vector<std::string>& args) {
    std::string idText, daxFile, csvFile;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string problem;
        if (auto dax = takeOption(args, i, "--dax", problem)) {
            daxFile = *dax;
        } else if (auto csv = takeOption(args, i, "--csv", problem)) {
            csvFile = *csv;
        } else if (!args[i].empty() && args[i][0] == '-') {
            return fail(kExitUsage, "unknown option '" + args[i] + "'");
        } else if (idText.empty()) {
            idText = args[i];
        } else {
            return fail(kExitUsage, "unexpected argument '" + args[i] + "'");
        }
        if (!problem.empty())
            return fail(kExitUsage, problem);
    }
    if (idText.empty() || (daxFile.empty() && csvFile.empty()))
        return fail(kExitUsage, "usage: nivra-cli history export ID --dax FILE | --csv FILE");
    HistoryRunDetail detail;
    if (int status = loadRun(idText, detail); status != 0)
        return status;
    const auto record = recordOfRun(detail);
    std::string reason;
    if (!daxFile.empty() && !saveDataFile(*record, daxFile, reason))
        return fail(kExitFailure, "cannot write '" + daxFile + "': " + reason);
    if (!csvFile.empty())
        if (const Outcome written = writeCsvExport(*record, csvFile, exportSelection()); !written)
            return fail(kExitFailure, "cannot write '" + csvFile + "': " + written.error());
    return 0;
}

// --- history sync ------------------------------------------------------------------------------

int syncSpool(const std::vector<std::string>& args) {
    if (!args.empty())
        return fail(kExitUsage, "usage: nivra-cli history sync");
    const std::optional<StartDirectory> start = captureStartDirectory(kName);
    if (!start)
        return kExitFailure;
    std::string location;
    if (auto r = historyLocation(*start, location); !r)
        return fail(kExitFailure, r.error());
    SpoolDelivery delivery;
    const std::string spoolPath = historySpoolPath(*start);
    const bool spooled = fileExists(spoolPath);
    HistoryDatabase db;
    if (!spooled) {
        // Nothing is held locally: the history is not even opened.
    } else if (auto r = db.open(location); !r) {
        // The history cannot be reached: everything spooled is still there.
        delivery.problem = r.error();
        HistoryDatabase spool;
        std::vector<HistoryRun> runs;
        if (spool.open(spoolPath, HistoryDatabase::Access::Existing) && spool.listRuns({}, runs))
            delivery.left = runs.size();
    } else {
        delivery = deliverSpool(db, spoolPath);
    }
    std::printf("%zu runs sent to the history, %zu left in %s\n", delivery.delivered, delivery.left,
                kHistorySpoolFile);
    std::fflush(stdout);
    if (!delivery.problem.empty())
        return fail(kExitFailure, delivery.problem);
    return delivery.left == 0 ? 0 : kExitFailure;
}

// --- history migrate --to URI [--from FILE] ----------------------------------------------------

int migrateHistory(const std::vector<std::string>& args) {
    std::string target, source;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string problem;
        if (auto to = takeOption(args, i, "--to", problem)) {
            target = *to;
        } else if (auto from = takeOption(args, i, "--from", problem)) {
            source = *from;
        } else {
            return fail(kExitUsage, "unknown option '" + args[i] + "'");
        }
        if (!problem.empty())
            return fail(kExitUsage, problem);
    }
    if (target.empty())
        return fail(kExitUsage, "usage: nivra-cli history migrate --to URI [--from FILE]");
    const std::optional<StartDirectory> start = captureStartDirectory(kName);
    if (!start)
        return kExitFailure;
    if (source.empty())
        source = defaultHistoryFile(*start);
    if (!HistoryDatabase::isServerLocation(target) && isSameFile(source, target))
        return fail(kExitUsage, "'" + target + "' is the history the runs come from");
    HistoryDatabase from, to;
    if (auto r = from.open(source, HistoryDatabase::Access::Existing); !r)
        return fail(kExitFailure, r.error());
    if (auto r = to.open(target); !r)
        return fail(kExitFailure, r.error());
    const HistoryCopySummary summary = copyHistory(from, to);
    std::fflush(stdout);
    for (const std::string& problem : summary.problems)
        std::fprintf(stderr, "nivra-cli %s: not copied: %s\n", kName, problem.c_str());
    std::printf("%zu runs copied to %s, %zu there already, %zu refused\n", summary.added,
                shownLocation(target).c_str(), summary.present, summary.refused);
    std::fflush(stdout);
    return summary.refused == 0 ? 0 : kExitFailure;
}

int runHistory(const std::vector<std::string>& args) {
    if (!args.empty()) {
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (args[0] == "import")
            return importFiles(rest);
        if (args[0] == "show")
            return showRun(rest);
        if (args[0] == "export")
            return exportRun(rest);
        if (args[0] == "sync")
            return syncSpool(rest);
        if (args[0] == "migrate")
            return migrateHistory(rest);
    }
    return listRuns(args);
}

const CliCommandRegistration registration({
    kName,
    "history [--counter N] [--kind K] [--since YYYY-MM-DD] [--until YYYY-MM-DD]\n"
    "  nivra-cli history show ID\n"
    "  nivra-cli history export ID --dax FILE.dax | --csv FILE.csv\n"
    "  nivra-cli history import [--counter N] [--kind K] PATH...\n"
    "  nivra-cli history sync\n"
    "  nivra-cli history migrate --to URI [--from FILE]",
    "  The run history of the start directory (the current directory), in history.sqlite: every\n"
    "  run nivra-cli run made there, and the data files imported. NIVRA_HISTORY, or else LOCATION\n"
    "  in section [HISTORY] of history_config.pfx, may name another SQLite file or a PostgreSQL\n"
    "  server the PCs of a laboratory share (postgresql://HOST/DATABASE?user=ROLE).\n"
    "  Without a subcommand: one line per run, newest first: id, counter, kind, start time, end\n"
    "  reason (time, stop, interrupted, running), points, total counts, counts per hour (over\n"
    "  points x dwell), assay name.\n"
    "  --counter N           only runs on counter N\n"
    "  --kind K              only runs of kind K: sample, background or source\n"
    "  --since YYYY-MM-DD    only runs started on that day or later (local time)\n"
    "  --until YYYY-MM-DD    only runs started on that day or earlier\n"
    "  show ID: the run's configurations, header lines and statistics over all its points (as\n"
    "  nivra-cli stats prints them for its data file with the All Data time base).\n"
    "  export ID: writes the run as the window would save it.\n"
    "  --dax FILE.dax        as a data file\n"
    "  --csv FILE.csv        as a CSV export, with the statistics selected in\n"
    "                        stats_display_config.pfx (all sixteen without that file)\n"
    "  import PATH...: imports data files, and every .dax file below a folder, as runs; a file\n"
    "  whose content is in the history already is skipped. One line per file (imported, skipped,\n"
    "  or not imported and why) and a summary; a refused file (unreadable, not a data file,\n"
    "  damaged) never stops the others; exit status 1 when any file was refused. After --,\n"
    "  every argument is a path.\n"
    "  --counter N           the counter the files come from (data files do not say)\n"
    "  --kind K              their kind, instead of the QA KIND of their assay configuration\n"
    "  sync: sends the runs held in history_spool.sqlite while the server was away; says how\n"
    "  many were sent and how many are left (exit status 1 while any are left).\n"
    "  migrate --to URI: copies every run of history.sqlite (or of --from FILE) to the history\n"
    "  at URI; runs it has already are matched and not copied again. One summary line; exit\n"
    "  status 1 when a run was refused.\n"
    "  Example: nivra-cli history --counter 1 --since 2026-03-01\n"
    "           nivra-cli history import --counter 1 old_runs/",
    runHistory,
});

} // namespace
} // namespace nivra::cli
