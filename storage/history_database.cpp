#include "storage/history_database.h"

#include "base/dangling_link.h"
#include "base/file_system.h"
#include "base/local_time.h"
#include "base/start_directory.h"
#include "storage/history_location.h"
#include "storage/history_schema.h"
#include "storage/server_connection.h"
#include "storage/sqlite_connection.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace nivra {

namespace {

// How long a write waits for another program's write lock. Writes are single short
// transactions, so a wait this long only happens when something holds the file for good.
constexpr int kBusyMilliseconds = 2000;
constexpr int kOpenAttempts = 10;
// How long a server that does not answer may take before it counts as away.
constexpr int kConnectTimeoutSeconds = 5;

constexpr const char* kRunColumns =
    "id, counter, kind, start_epoch, start_time, end_time, end_reason, points, total_counts, "
    "data_file, source, content_hash, counter_name, counter_description, detector_area, "
    "efficiency, assay_name, sample_area, dwell_h, dwell_m, dwell_s, total_h, total_m, total_s, "
    "background_rate, background_hours, host, start_directory, run_key, heartbeat_epoch, "
    "class_limit, stop_when_decided";

HistoryRun readRun(const SqlRow& row) {
    HistoryRun run;
    run.id = row.int64(0);
    if (auto counter = row.optionalInt64(1))
        run.counter = static_cast<int>(*counter);
    run.kind = parseRunKind(row.text(2)).value_or(RunKind::Sample);
    run.startEpoch = row.int64(3);
    run.startTime = row.text(4);
    run.endTime = row.optionalText(5);
    run.endReason = parseRunEnd(row.text(6)).value_or(RunEnd::Interrupted);
    run.points = row.int64(7);
    run.totalCounts = row.int64(8);
    run.dataFile = row.optionalText(9);
    run.source = row.text(10) == "import" ? RunSource::Import : RunSource::Run;
    run.contentHash = row.optionalText(11);
    run.counterConfig.name = row.text(12);
    run.counterConfig.description = row.text(13);
    run.counterConfig.detectorArea = static_cast<std::uint32_t>(row.int64(14));
    run.counterConfig.detectorEfficiency = row.real(15);
    AssayConfig& assay = run.assayConfig;
    assay.name = row.text(16);
    assay.sampleArea = static_cast<std::uint32_t>(row.int64(17));
    assay.dwellHours = static_cast<std::uint32_t>(row.int64(18));
    assay.dwellMinutes = static_cast<std::uint32_t>(row.int64(19));
    assay.dwellSeconds = static_cast<std::uint32_t>(row.int64(20));
    assay.totalHours = static_cast<std::uint32_t>(row.int64(21));
    assay.totalMinutes = static_cast<std::uint32_t>(row.int64(22));
    assay.totalSeconds = static_cast<std::uint32_t>(row.int64(23));
    assay.backgroundRate = row.real(24);
    assay.backgroundHours = row.real(25);
    run.host = row.optionalText(26);
    run.startDirectory = row.optionalText(27);
    run.runKey = row.optionalText(28);
    run.heartbeatEpoch = row.optionalInt64(29);
    assay.classLimit = row.optionalReal(30);
    assay.stopWhenDecided = row.int64(31) != 0;
    return run;
}

StorageResult insertRunRow(SqlConnection& db, HistoryRun& run, std::int64_t now) {
    const AssayConfig& assay = run.assayConfig;
    if (run.endReason == RunEnd::Running && !run.heartbeatEpoch)
        run.heartbeatEpoch = now;
    run.id = 0;
    return db.query(
        "INSERT INTO runs (counter, kind, start_epoch, start_time, end_time, end_reason, "
        "points, total_counts, data_file, source, content_hash, counter_name, "
        "counter_description, detector_area, efficiency, assay_name, sample_area, dwell_h, "
        "dwell_m, dwell_s, total_h, total_m, total_s, background_rate, background_hours, "
        "dwell_seconds, total_seconds, host, start_directory, run_key, heartbeat_epoch, "
        "class_limit, stop_when_decided) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, "
        "?19, ?20, ?21, ?22, ?23, ?24, ?25, ?26, ?27, ?28, ?29, ?30, ?31, ?32, ?33) RETURNING id",
        {sqlValue(run.counter),
         runKindName(run.kind),
         run.startEpoch,
         run.startTime,
         sqlValue(run.endTime),
         runEndName(run.endReason),
         run.points,
         run.totalCounts,
         sqlValue(run.dataFile),
         run.source == RunSource::Import ? "import" : "run",
         sqlValue(run.contentHash),
         run.counterConfig.name,
         run.counterConfig.description,
         std::int64_t{run.counterConfig.detectorArea},
         run.counterConfig.detectorEfficiency,
         assay.name,
         std::int64_t{assay.sampleArea},
         std::int64_t{assay.dwellHours},
         std::int64_t{assay.dwellMinutes},
         std::int64_t{assay.dwellSeconds},
         std::int64_t{assay.totalHours},
         std::int64_t{assay.totalMinutes},
         std::int64_t{assay.totalSeconds},
         assay.backgroundRate,
         assay.backgroundHours,
         assay.dwellSpan(),
         assay.totalSpan(),
         sqlValue(run.host),
         sqlValue(run.startDirectory),
         sqlValue(run.runKey),
         sqlValue(run.heartbeatEpoch),
         sqlValue(assay.classLimit),
         std::int64_t{assay.stopWhenDecided ? 1 : 0}},
        [&run](const SqlRow& row) { run.id = row.int64(0); });
}

StorageResult insertPoints(SqlConnection& db, std::int64_t runId,
                           const std::vector<HistoryPoint>& points, bool skipPresent) {
    const char* sql =
        skipPresent ? "INSERT INTO points (run_id, number, count, deleted) VALUES (?1, ?2, ?3, ?4) "
                      "ON CONFLICT DO NOTHING"
                    : "INSERT INTO points (run_id, number, count, deleted) VALUES (?1, ?2, ?3, ?4)";
    for (const HistoryPoint& point : points)
        if (auto r = db.query(sql, {runId, std::int64_t{point.number}, std::int64_t{point.count},
                                    std::int64_t{point.deleted ? 1 : 0}});
            !r)
            return r;
    return {};
}

StorageResult insertHeaderLines(SqlConnection& db, std::int64_t runId,
                                const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (auto r = db.query("INSERT INTO header_lines (run_id, number, text) VALUES (?1, ?2, ?3)",
                              {runId, static_cast<std::int64_t>(i), lines[i]});
            !r)
            return r;
    return {};
}

StorageResult replaceHeaderLines(SqlConnection& db, std::int64_t runId,
                                 const std::vector<std::string>& lines) {
    if (auto r = db.query("DELETE FROM header_lines WHERE run_id = ?1", {runId}); !r)
        return r;
    return insertHeaderLines(db, runId, lines);
}

// The digest lets an import recognise the data file as this run. When another run already has
// the same content (a copy imported before), the digest stays with that run.
StorageResult setContentHash(SqlConnection& db, std::int64_t runId, const std::string& hash) {
    return db.query("UPDATE runs SET content_hash = ?2 WHERE id = ?1 AND NOT EXISTS "
                    "(SELECT 1 FROM runs WHERE content_hash = ?2)",
                    {runId, hash});
}

// The run's totals counted again from its points.
StorageResult recountTotals(SqlConnection& db, std::int64_t runId) {
    return db.query("UPDATE runs SET points = (SELECT count(*) FROM points WHERE run_id = ?1 AND "
                    "deleted = 0), total_counts = (SELECT coalesce(sum(count), 0) FROM points "
                    "WHERE run_id = ?1 AND deleted = 0) WHERE id = ?1",
                    {runId});
}

StorageResult findRun(SqlConnection& db, const char* column, const std::string& value,
                      std::optional<std::int64_t>& id) {
    id.reset();
    return db.query(std::string("SELECT id FROM runs WHERE ") + column + " = ?1", {value},
                    [&id](const SqlRow& row) { id = row.int64(0); });
}

} // namespace

HistoryDatabase::HistoryDatabase() = default;
HistoryDatabase::~HistoryDatabase() = default;
HistoryDatabase::HistoryDatabase(HistoryDatabase&&) noexcept = default;
HistoryDatabase& HistoryDatabase::operator=(HistoryDatabase&&) noexcept = default;

bool HistoryDatabase::isServerLocation(const std::string& location) {
    return location.rfind("postgresql://", 0) == 0 || location.rfind("postgres://", 0) == 0;
}

bool HistoryDatabase::isServer() const {
    return db_ && db_->dialect() == SqlDialect::Postgres;
}

bool HistoryDatabase::isBroken() const {
    return db_ && db_->isBroken();
}

std::int64_t HistoryDatabase::now() const {
    return clock_ ? clock_() : static_cast<std::int64_t>(std::time(nullptr));
}

StorageResult HistoryDatabase::open(const std::string& location, Access access) {
    db_.reset();
    const bool server = isServerLocation(location);
    // Through a link to a missing file, SQLite would create the history wherever it points.
    if (!server && isDanglingLink(location))
        return StorageResult::failure(location + " is a link to a missing file; the run history "
                                                 "is not created through it");
    if (!server && access == Access::Existing && !fileExists(location))
        return StorageResult::failure("no run history here yet (" + location + " does not exist)");
    StorageResult result;
    // Two programs that open a new history file at the same moment may find it locked while the
    // other one switches it to WAL or creates its tables, a step SQLite's busy wait does not
    // cover; the whole opening is tried again a few times before it counts as failed.
    for (int attempt = 0;; ++attempt) {
        result = openOnce(location);
        if (result || server || attempt >= kOpenAttempts ||
            result.error().find("database is locked") == std::string::npos)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * (attempt + 1)));
    }
    if (!result) {
        db_.reset();
        return StorageResult::failure(result.error() + " (" + shownLocation(location) + ")");
    }
    return {};
}

StorageResult HistoryDatabase::openOnce(const std::string& location) {
    db_.reset();
    if (isServerLocation(location)) {
        StorageResult failure;
        db_ = openServerConnection(location, kConnectTimeoutSeconds, failure);
        if (!db_)
            return failure;
    } else {
        auto file = std::make_unique<SqliteConnection>();
        if (auto r = file->open(location, kBusyMilliseconds); !r)
            return r;
        // journal_mode answers with the mode it set; a file system without shared memory keeps
        // the rollback journal, which is slower but just as safe, so the answer is not checked.
        // NORMAL: in WAL mode a commit survives a crash of the program; only a power cut may
        // lose the last commits, which the data files and backups of the run still hold.
        if (auto r = file->query("PRAGMA journal_mode = WAL", {}, {}); !r)
            return r;
        if (auto r = file->execute("PRAGMA foreign_keys = ON; PRAGMA synchronous = NORMAL"); !r)
            return r;
        db_ = std::move(file);
    }
    if (auto r = migrate(); !r)
        return r;
    return markInterruptedRuns();
}

StorageResult HistoryDatabase::migrate() {
    // Nearly always the history is up to date: that is seen without a lock, and a history that
    // is only read stays unchanged.
    if (std::int64_t version = 0; readSchemaVersion(*db_, version) && version == kSchemaVersion) {
        schemaVersion_ = kSchemaVersion;
        return {};
    }
    for (;;) {
        SqlTransaction transaction(*db_);
        if (auto r = transaction.begin(); !r)
            return r;
        std::int64_t version = 0;
        if (auto r = lockAndReadSchemaVersion(*db_, version); !r)
            return r;
        if (version > kSchemaVersion)
            return StorageResult::failure("the run history was written by a newer version of "
                                          "the program (schema " +
                                          std::to_string(version) + ")");
        if (version == kSchemaVersion) {
            schemaVersion_ = static_cast<int>(version);
            return transaction.commit();
        }
        if (auto r = db_->execute(historySchemaStep(db_->dialect(), static_cast<int>(version))); !r)
            return StorageResult::failure("the run history cannot be brought to schema " +
                                          std::to_string(version + 1) + ": " + r.error());
        if (auto r = writeSchemaVersion(*db_, version + 1); !r)
            return r;
        if (auto r = transaction.commit(); !r)
            return r;
    }
}

StorageResult HistoryDatabase::markInterruptedRuns() {
    const std::int64_t stale = now() - kLeaseSeconds;
    const char* const where =
        " WHERE end_reason = 'running' AND (heartbeat_epoch IS NULL OR heartbeat_epoch < ?1)";
    // Looked at first without writing: nearly always nothing is to be done, and a history that
    // is only read stays unchanged.
    std::int64_t expired = 0;
    if (auto r = db_->query(std::string("SELECT count(*) FROM runs") + where, {stale},
                            [&expired](const SqlRow& row) { expired = row.int64(0); });
        !r || expired == 0)
        return r;
    return db_->query(std::string("UPDATE runs SET end_reason = 'interrupted'") + where, {stale});
}

StorageResult HistoryDatabase::insertRun(HistoryRun& run) {
    return insertRunRow(*db_, run, now());
}

StorageResult
HistoryDatabase::appendPoints(std::int64_t runId,
                              const std::vector<std::pair<int, std::int32_t>>& points) {
    if (points.empty())
        return {};
    // The points and the totals go as one script of numbers only (nothing to quote), so that a
    // server takes a point in one round trip.
    const std::string id = std::to_string(runId);
    std::string script = "INSERT INTO points (run_id, number, count, deleted) VALUES ";
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const auto& [number, count] = points[i];
        script += (i ? ", (" : "(") + id + ", " + std::to_string(number) + ", " +
                  std::to_string(count) + ", 0)";
        sum += count;
    }
    script += "; UPDATE runs SET points = points + " + std::to_string(points.size()) +
              ", total_counts = total_counts + " + std::to_string(sum) + " WHERE id = " + id + ";";
    return db_->executeAtomically(script);
}

StorageResult HistoryDatabase::setHeaderLines(std::int64_t runId,
                                              const std::vector<std::string>& lines) {
    SqlTransaction transaction(*db_);
    if (auto r = transaction.begin(); !r)
        return r;
    if (auto r = replaceHeaderLines(*db_, runId, lines); !r)
        return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::endRun(std::int64_t runId, RunEnd reason, std::int64_t endEpoch) {
    return db_->query("UPDATE runs SET end_reason = ?2, end_time = ?3 WHERE id = ?1",
                      {runId, runEndName(reason), formatIsoLocalTime(endEpoch)});
}

StorageResult HistoryDatabase::setDataFile(std::int64_t runId, const std::string& path,
                                           const std::string& contentHash) {
    SqlTransaction transaction(*db_);
    if (auto r = transaction.begin(); !r)
        return r;
    if (auto r = db_->query("UPDATE runs SET data_file = ?2 WHERE id = ?1", {runId, path}); !r)
        return r;
    if (!contentHash.empty())
        if (auto r = setContentHash(*db_, runId, contentHash); !r)
            return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::setClassLimit(std::int64_t runId, std::optional<double> limit) {
    return db_->query("UPDATE runs SET class_limit = ?2 WHERE id = ?1", {runId, sqlValue(limit)});
}

StorageResult HistoryDatabase::markPointDeleted(std::int64_t runId, int number) {
    SqlTransaction transaction(*db_);
    if (auto r = transaction.begin(); !r)
        return r;
    if (auto r = db_->query("UPDATE runs SET points = points - 1, total_counts = total_counts - "
                            "(SELECT count FROM points WHERE run_id = ?1 AND number = ?2) "
                            "WHERE id = ?1 AND EXISTS (SELECT 1 FROM points WHERE run_id = ?1 "
                            "AND number = ?2 AND deleted = 0)",
                            {runId, std::int64_t{number}});
        !r)
        return r;
    if (auto r = db_->query("UPDATE points SET deleted = 1 WHERE run_id = ?1 AND number = ?2",
                            {runId, std::int64_t{number}});
        !r)
        return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::setKind(std::int64_t runId, RunKind kind) {
    return db_->query("UPDATE runs SET kind = ?2 WHERE id = ?1", {runId, runKindName(kind)});
}

StorageResult HistoryDatabase::renewHeartbeat(std::int64_t runId) {
    return db_->query("UPDATE runs SET heartbeat_epoch = ?2, end_reason = 'running' WHERE id = ?1 "
                      "AND end_reason IN ('running', 'interrupted') AND end_time IS NULL",
                      {runId, now()});
}

StorageResult HistoryDatabase::mergeRun(const HistoryRunDetail& detail, std::int64_t& id,
                                        bool& added) {
    id = 0;
    added = false;
    SqlTransaction transaction(*db_);
    if (auto r = transaction.begin(); !r)
        return r;
    std::optional<std::int64_t> existing;
    if (detail.run.runKey)
        if (auto r = findRun(*db_, "run_key", *detail.run.runKey, existing); !r)
            return r;
    if (!existing && detail.run.contentHash)
        if (auto r = findRun(*db_, "content_hash", *detail.run.contentHash, existing); !r)
            return r;

    if (!existing) {
        HistoryRun row = detail.run;
        if (auto r = insertRunRow(*db_, row, now()); !r)
            return r;
        if (auto r = insertPoints(*db_, row.id, detail.points, false); !r)
            return r;
        if (auto r = insertHeaderLines(*db_, row.id, detail.headerLines); !r)
            return r;
        id = row.id;
        added = true;
    } else {
        id = *existing;
        if (auto r = insertPoints(*db_, id, detail.points, true); !r)
            return r;
        for (const HistoryPoint& point : detail.points)
            if (point.deleted)
                if (auto r = db_->query(
                        "UPDATE points SET deleted = 1 WHERE run_id = ?1 AND number = ?2",
                        {id, std::int64_t{point.number}});
                    !r)
                    return r;
        // Header lines only grow while a run goes on: a shorter list is an older copy.
        std::int64_t lines = 0;
        if (auto r = db_->query("SELECT count(*) FROM header_lines WHERE run_id = ?1", {id},
                                [&lines](const SqlRow& row) { lines = row.int64(0); });
            !r)
            return r;
        if (static_cast<std::int64_t>(detail.headerLines.size()) >= lines)
            if (auto r = replaceHeaderLines(*db_, id, detail.headerLines); !r)
                return r;
        const HistoryRun& run = detail.run;
        if (run.endReason == RunEnd::Time || run.endReason == RunEnd::Stop) {
            if (auto r = db_->query("UPDATE runs SET end_reason = ?2, end_time = ?3 WHERE id = ?1",
                                    {id, runEndName(run.endReason), sqlValue(run.endTime)});
                !r)
                return r;
        } else if (run.endReason == RunEnd::Running && run.heartbeatEpoch) {
            if (auto r = db_->query("UPDATE runs SET end_reason = 'running', heartbeat_epoch = ?2 "
                                    "WHERE id = ?1 AND end_time IS NULL AND (heartbeat_epoch IS "
                                    "NULL OR heartbeat_epoch < ?2)",
                                    {id, *run.heartbeatEpoch});
                !r)
                return r;
        }
        if (run.dataFile)
            if (auto r =
                    db_->query("UPDATE runs SET data_file = ?2 WHERE id = ?1", {id, *run.dataFile});
                !r)
                return r;
        if (auto r = setClassLimit(id, run.assayConfig.classLimit); !r)
            return r;
        if (run.contentHash)
            if (auto r = setContentHash(*db_, id, *run.contentHash); !r)
                return r;
    }
    if (auto r = recountTotals(*db_, id); !r)
        return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::deleteRun(std::int64_t runId) {
    SqlTransaction transaction(*db_);
    if (auto r = transaction.begin(); !r)
        return r;
    for (const char* sql :
         {"DELETE FROM points WHERE run_id = ?1", "DELETE FROM header_lines WHERE run_id = ?1",
          "DELETE FROM runs WHERE id = ?1"})
        if (auto r = db_->query(sql, {runId}); !r)
            return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::importRun(HistoryRunDetail& detail,
                                         std::optional<std::int64_t>& duplicateOf) {
    duplicateOf.reset();
    SqlTransaction transaction(*db_);
    if (auto r = transaction.begin(); !r)
        return r;
    if (detail.run.contentHash) {
        if (auto r = findRun(*db_, "content_hash", *detail.run.contentHash, duplicateOf); !r)
            return r;
        if (duplicateOf)
            return {};
    }
    detail.run.source = RunSource::Import;
    detail.run.points = 0;
    detail.run.totalCounts = 0;
    for (const HistoryPoint& point : detail.points)
        if (!point.deleted) {
            ++detail.run.points;
            detail.run.totalCounts += point.count;
        }
    if (auto r = insertRunRow(*db_, detail.run, now()); !r)
        return r;
    if (auto r = insertPoints(*db_, detail.run.id, detail.points, false); !r)
        return r;
    if (auto r = insertHeaderLines(*db_, detail.run.id, detail.headerLines); !r)
        return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::listRuns(const RunFilter& filter, std::vector<HistoryRun>& runs) {
    runs.clear();
    std::string sql = std::string("SELECT ") + kRunColumns +
                      // The casts give the server the type of a parameter that is NULL.
                      " FROM runs WHERE (CAST(?1 AS BIGINT) IS NULL OR counter = ?1)"
                      " AND (CAST(?2 AS TEXT) IS NULL OR kind = ?2)"
                      " AND (CAST(?3 AS TEXT) IS NULL OR substr(start_time, 1, 10) >= ?3)"
                      " AND (CAST(?4 AS TEXT) IS NULL OR substr(start_time, 1, 10) <= ?4)"
                      " AND (CAST(?5 AS BIGINT) IS NULL OR id >= ?5)"
                      " AND (CAST(?6 AS BIGINT) IS NULL OR id <= ?6)";
    sql += filter.oldestFirst ? " ORDER BY start_epoch, id" : " ORDER BY start_epoch DESC, id DESC";
    return db_->query(sql,
                      {sqlValue(filter.counter),
                       filter.kind ? SqlValue(std::string(runKindName(*filter.kind))) : SqlValue(),
                       sqlValue(filter.since), sqlValue(filter.until), sqlValue(filter.firstId),
                       sqlValue(filter.lastId)},
                      [&runs](const SqlRow& row) { runs.push_back(readRun(row)); });
}

StorageResult HistoryDatabase::loadRun(std::int64_t runId, HistoryRunDetail& detail, bool& found) {
    found = false;
    detail = HistoryRunDetail{};
    // One transaction, so that run, points and lines belong together while a run writes.
    SqlTransaction transaction(*db_);
    if (auto r = transaction.beginRead(); !r)
        return r;
    bool present = false;
    if (auto r =
            db_->query(std::string("SELECT ") + kRunColumns + " FROM runs WHERE id = ?1", {runId},
                       [&](const SqlRow& row) {
                           detail.run = readRun(row);
                           present = true;
                       });
        !r || !present)
        return r;
    if (auto r = db_->query("SELECT number, count, deleted FROM points WHERE run_id = ?1 "
                            "ORDER BY number",
                            {runId},
                            [&detail](const SqlRow& row) {
                                detail.points.push_back({static_cast<int>(row.int64(0)),
                                                         static_cast<std::int32_t>(row.int64(1)),
                                                         row.int64(2) != 0});
                            });
        !r)
        return r;
    if (auto r =
            db_->query("SELECT text FROM header_lines WHERE run_id = ?1 ORDER BY number", {runId},
                       [&detail](const SqlRow& row) { detail.headerLines.push_back(row.text(0)); });
        !r)
        return r;
    found = true;
    return transaction.commit();
}

} // namespace nivra
