#include "storage/history_database.h"

#include "base/dangling_link.h"
#include "base/local_time.h"
#include "base/start_directory.h"
#include "storage/process_identity.h"

#include <chrono>
#include <iterator>
#include <thread>
#include <unistd.h>

namespace nivra {

namespace {

// How long a write waits for another program's write lock. Writes are single short
// transactions, so a wait this long only happens when something holds the file for good.
constexpr int kBusyMilliseconds = 2000;
constexpr int kOpenAttempts = 10;

// One step per schema version: kMigrations[v] brings a file from version v to v + 1.
constexpr const char* kMigrations[] = {
    // Version 1: runs with their configurations, points, header lines.
    R"sql(
CREATE TABLE runs (
    id INTEGER PRIMARY KEY,
    counter INTEGER,
    counter_name TEXT NOT NULL,
    counter_description TEXT NOT NULL,
    assay_name TEXT NOT NULL,
    kind TEXT NOT NULL DEFAULT 'sample' CHECK (kind IN ('sample', 'background', 'source')),
    start_time TEXT NOT NULL,
    end_time TEXT,
    end_reason TEXT NOT NULL CHECK (end_reason IN ('time', 'stop', 'interrupted', 'running')),
    dwell_seconds INTEGER NOT NULL,
    total_seconds INTEGER NOT NULL,
    points INTEGER NOT NULL DEFAULT 0,
    total_counts INTEGER NOT NULL DEFAULT 0,
    sample_area INTEGER NOT NULL,
    detector_area INTEGER NOT NULL,
    efficiency REAL NOT NULL,
    background_rate REAL NOT NULL,
    background_hours REAL NOT NULL,
    data_file TEXT,
    source TEXT NOT NULL CHECK (source IN ('run', 'import')),
    content_hash TEXT UNIQUE,
    -- the start as seconds since the epoch, for ordering across changes of the UTC offset
    start_epoch INTEGER NOT NULL,
    -- the dwell and total times as configured (hours, minutes, seconds are not normalised), so
    -- that the configuration can be written again exactly
    dwell_h INTEGER NOT NULL, dwell_m INTEGER NOT NULL, dwell_s INTEGER NOT NULL,
    total_h INTEGER NOT NULL, total_m INTEGER NOT NULL, total_s INTEGER NOT NULL,
    -- the program recording a running run: its process id and start stamp
    owner_pid INTEGER,
    owner_start TEXT
);
CREATE INDEX runs_by_start ON runs (start_epoch);
CREATE INDEX runs_by_counter_kind ON runs (counter, kind, start_epoch);
CREATE INDEX runs_running ON runs (end_reason) WHERE end_reason = 'running';
CREATE TABLE points (
    run_id INTEGER NOT NULL REFERENCES runs (id) ON DELETE CASCADE,
    number INTEGER NOT NULL CHECK (number >= 1),
    count INTEGER NOT NULL,
    deleted INTEGER NOT NULL DEFAULT 0 CHECK (deleted IN (0, 1)),
    PRIMARY KEY (run_id, number)
) WITHOUT ROWID;
CREATE TABLE header_lines (
    run_id INTEGER NOT NULL REFERENCES runs (id) ON DELETE CASCADE,
    number INTEGER NOT NULL,
    text TEXT NOT NULL,
    PRIMARY KEY (run_id, number)
) WITHOUT ROWID;
)sql",
};
static_assert(std::size(kMigrations) == HistoryDatabase::kSchemaVersion);

constexpr const char* kRunColumns =
    "id, counter, kind, start_epoch, start_time, end_time, end_reason, points, total_counts, "
    "data_file, source, content_hash, counter_name, counter_description, detector_area, "
    "efficiency, assay_name, sample_area, dwell_h, dwell_m, dwell_s, total_h, total_m, total_s, "
    "background_rate, background_hours";

HistoryRun readRun(const SqliteStatement& row) {
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
    return run;
}

StorageResult insertRunRow(SqliteDatabase& db, HistoryRun& run) {
    SqliteStatement insert;
    if (auto r = db.prepare(
            "INSERT INTO runs (counter, kind, start_epoch, start_time, end_time, end_reason, "
            "points, total_counts, data_file, source, content_hash, counter_name, "
            "counter_description, detector_area, efficiency, assay_name, sample_area, dwell_h, "
            "dwell_m, dwell_s, total_h, total_m, total_s, background_rate, background_hours, "
            "dwell_seconds, total_seconds, owner_pid, owner_start) VALUES (?1, ?2, ?3, ?4, ?5, "
            "?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21, ?22, "
            "?23, ?24, ?25, ?26, ?27, ?28, ?29)",
            insert);
        !r)
        return r;
    const AssayConfig& assay = run.assayConfig;
    const bool owned = run.source == RunSource::Run && run.endReason == RunEnd::Running;
    insert.bind(1, run.counter)
        .bind(2, runKindName(run.kind))
        .bind(3, run.startEpoch)
        .bind(4, run.startTime)
        .bind(5, run.endTime)
        .bind(6, runEndName(run.endReason))
        .bind(7, run.points)
        .bind(8, run.totalCounts)
        .bind(9, run.dataFile)
        .bind(10, run.source == RunSource::Import ? "import" : "run")
        .bind(11, run.contentHash)
        .bind(12, run.counterConfig.name)
        .bind(13, run.counterConfig.description)
        .bind(14, std::int64_t{run.counterConfig.detectorArea})
        .bind(15, run.counterConfig.detectorEfficiency)
        .bind(16, assay.name)
        .bind(17, std::int64_t{assay.sampleArea})
        .bind(18, std::int64_t{assay.dwellHours})
        .bind(19, std::int64_t{assay.dwellMinutes})
        .bind(20, std::int64_t{assay.dwellSeconds})
        .bind(21, std::int64_t{assay.totalHours})
        .bind(22, std::int64_t{assay.totalMinutes})
        .bind(23, std::int64_t{assay.totalSeconds})
        .bind(24, assay.backgroundRate)
        .bind(25, assay.backgroundHours)
        .bind(26, assay.dwellSpan())
        .bind(27, assay.totalSpan());
    if (owned) {
        insert.bind(28, static_cast<std::int64_t>(::getpid())).bind(29, ownStartStamp());
    } else {
        insert.bindNull(28).bindNull(29);
    }
    if (auto r = insert.run(); !r)
        return r;
    run.id = db.lastInsertId();
    return {};
}

StorageResult insertPoints(SqliteDatabase& db, std::int64_t runId,
                           const std::vector<HistoryPoint>& points) {
    SqliteStatement insert;
    if (auto r = db.prepare(
            "INSERT INTO points (run_id, number, count, deleted) VALUES (?1, ?2, ?3, ?4)", insert);
        !r)
        return r;
    for (const HistoryPoint& point : points) {
        insert.bind(1, runId).bind(2, point.number).bind(3, std::int64_t{point.count});
        insert.bind(4, point.deleted ? 1 : 0);
        if (auto r = insert.run(); !r)
            return r;
    }
    return {};
}

StorageResult insertHeaderLines(SqliteDatabase& db, std::int64_t runId,
                                const std::vector<std::string>& lines) {
    SqliteStatement insert;
    if (auto r = db.prepare("INSERT INTO header_lines (run_id, number, text) VALUES (?1, ?2, ?3)",
                            insert);
        !r)
        return r;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        insert.bind(1, runId).bind(2, static_cast<std::int64_t>(i)).bind(3, lines[i]);
        if (auto r = insert.run(); !r)
            return r;
    }
    return {};
}

// Runs one prepared statement with its parameters bound by bindAll.
template <typename Bind>
StorageResult runStatement(SqliteDatabase& db, const char* sql, Bind bindAll) {
    SqliteStatement statement;
    if (auto r = db.prepare(sql, statement); !r)
        return r;
    bindAll(statement);
    return statement.run();
}

} // namespace

std::string HistoryDatabase::defaultPath() {
    return startPath(kFileName);
}

StorageResult HistoryDatabase::open(const std::string& path, Access access) {
    // Through a link to a missing file, SQLite would create the history wherever it points.
    if (isDanglingLink(path))
        return StorageResult::failure(path + " is a link to a missing file; the run history is "
                                             "not created through it");
    if (access == Access::Existing && ::access(path.c_str(), F_OK) != 0)
        return StorageResult::failure("no run history here yet (" + path + " does not exist)");
    StorageResult result;
    // Two programs that open a new history at the same moment may find it locked while the
    // other one switches it to WAL or creates its tables, a step SQLite's busy wait does not
    // cover; the whole opening is tried again a few times before it counts as failed.
    for (int attempt = 0;; ++attempt) {
        if (auto r = db_.open(path, SqliteDatabase::Mode::ReadWriteCreate, kBusyMilliseconds); !r)
            return r;
        result = configure();
        if (result)
            result = migrate();
        if (result)
            result = markInterruptedRuns();
        if (result || attempt >= kOpenAttempts ||
            result.error().find("database is locked") == std::string::npos)
            break;
        db_.close();
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * (attempt + 1)));
    }
    if (!result) {
        db_.close();
        return StorageResult::failure(result.error() + " (" + path + ")");
    }
    return {};
}

StorageResult HistoryDatabase::configure() {
    // journal_mode answers with the mode it set; a file system without shared memory keeps the
    // rollback journal, which is slower but just as safe, so the answer is not checked.
    SqliteStatement wal;
    if (auto r = db_.prepare("PRAGMA journal_mode = WAL", wal); !r)
        return r;
    if (wal.step() == SqliteStatement::Step::Error)
        return StorageResult::failure(wal.error());
    // NORMAL: in WAL mode a commit survives a crash of the program; only a power cut may lose
    // the last commits, which the data files and backups of the run still hold.
    return db_.execute("PRAGMA foreign_keys = ON; PRAGMA synchronous = NORMAL");
}

StorageResult HistoryDatabase::migrate() {
    std::int64_t version = 0;
    if (auto r = db_.queryInt("PRAGMA user_version", version); !r)
        return r;
    if (version > kSchemaVersion)
        return StorageResult::failure("the run history was written by a newer version of the "
                                      "program (schema " +
                                      std::to_string(version) + ")");
    while (version < kSchemaVersion) {
        SqliteTransaction transaction(db_);
        if (auto r = transaction.begin(); !r)
            return r;
        // Another program may have migrated the file while this one waited for the lock.
        if (auto r = db_.queryInt("PRAGMA user_version", version); !r)
            return r;
        if (version >= kSchemaVersion)
            break;
        if (auto r = db_.execute(kMigrations[version]); !r)
            return r;
        if (auto r = db_.execute("PRAGMA user_version = " + std::to_string(version + 1)); !r)
            return r;
        if (auto r = transaction.commit(); !r)
            return r;
        ++version;
    }
    schemaVersion_ = static_cast<int>(version);
    return {};
}

StorageResult HistoryDatabase::markInterruptedRuns() {
    auto findDead = [this](std::vector<std::int64_t>& dead) -> StorageResult {
        SqliteStatement running;
        if (auto r = db_.prepare("SELECT id, owner_pid, owner_start FROM runs "
                                 "WHERE end_reason = 'running'",
                                 running);
            !r)
            return r;
        SqliteStatement::Step step;
        while ((step = running.step()) == SqliteStatement::Step::Row)
            if (!processIsAlive(static_cast<int>(running.int64(1)), running.text(2)))
                dead.push_back(running.int64(0));
        return step == SqliteStatement::Step::Done ? StorageResult()
                                                   : StorageResult::failure(running.error());
    };
    // Looked at first without the write lock: nearly always nothing is to be done.
    std::vector<std::int64_t> dead;
    if (auto r = findDead(dead); !r || dead.empty())
        return r;
    SqliteTransaction transaction(db_);
    if (auto r = transaction.begin(); !r)
        return r;
    dead.clear();
    if (auto r = findDead(dead); !r)
        return r;
    for (std::int64_t id : dead)
        if (auto r = runStatement(db_,
                                  "UPDATE runs SET end_reason = 'interrupted', owner_pid = NULL, "
                                  "owner_start = NULL WHERE id = ?1 AND end_reason = 'running'",
                                  [id](SqliteStatement& s) { s.bind(1, id); });
            !r)
            return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::insertRun(HistoryRun& run) {
    return insertRunRow(db_, run);
}

StorageResult
HistoryDatabase::appendPoints(std::int64_t runId,
                              const std::vector<std::pair<int, std::int32_t>>& points) {
    SqliteTransaction transaction(db_);
    if (auto r = transaction.begin(); !r)
        return r;
    std::vector<HistoryPoint> rows;
    std::int64_t sum = 0;
    for (const auto& [number, count] : points) {
        rows.push_back({number, count, false});
        sum += count;
    }
    if (auto r = insertPoints(db_, runId, rows); !r)
        return r;
    if (auto r = runStatement(
            db_,
            "UPDATE runs SET points = points + ?2, total_counts = total_counts + "
            "?3 WHERE id = ?1",
            [&](SqliteStatement& s) {
                s.bind(1, runId).bind(2, static_cast<std::int64_t>(points.size())).bind(3, sum);
            });
        !r)
        return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::setHeaderLines(std::int64_t runId,
                                              const std::vector<std::string>& lines) {
    SqliteTransaction transaction(db_);
    if (auto r = transaction.begin(); !r)
        return r;
    if (auto r = runStatement(db_, "DELETE FROM header_lines WHERE run_id = ?1",
                              [&](SqliteStatement& s) { s.bind(1, runId); });
        !r)
        return r;
    if (auto r = insertHeaderLines(db_, runId, lines); !r)
        return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::endRun(std::int64_t runId, RunEnd reason, std::int64_t endEpoch) {
    return runStatement(
        db_,
        "UPDATE runs SET end_reason = ?2, end_time = ?3, owner_pid = NULL, "
        "owner_start = NULL WHERE id = ?1",
        [&](SqliteStatement& s) {
            s.bind(1, runId).bind(2, runEndName(reason)).bind(3, formatIsoLocalTime(endEpoch));
        });
}

StorageResult HistoryDatabase::setDataFile(std::int64_t runId, const std::string& path,
                                           const std::string& contentHash) {
    SqliteTransaction transaction(db_);
    if (auto r = transaction.begin(); !r)
        return r;
    if (auto r = runStatement(db_, "UPDATE runs SET data_file = ?2 WHERE id = ?1",
                              [&](SqliteStatement& s) { s.bind(1, runId).bind(2, path); });
        !r)
        return r;
    // The digest lets an import recognise the file as this run. When another run already has
    // the same content (a copy imported before), the digest stays with that run.
    if (!contentHash.empty())
        if (auto r =
                runStatement(db_, "UPDATE OR IGNORE runs SET content_hash = ?2 WHERE id = ?1",
                             [&](SqliteStatement& s) { s.bind(1, runId).bind(2, contentHash); });
            !r)
            return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::markPointDeleted(std::int64_t runId, int number) {
    SqliteTransaction transaction(db_);
    if (auto r = transaction.begin(); !r)
        return r;
    if (auto r = runStatement(db_,
                              "UPDATE runs SET points = points - 1, total_counts = total_counts - "
                              "(SELECT count FROM points WHERE run_id = ?1 AND number = ?2) "
                              "WHERE id = ?1 AND EXISTS (SELECT 1 FROM points WHERE run_id = ?1 "
                              "AND number = ?2 AND deleted = 0)",
                              [&](SqliteStatement& s) { s.bind(1, runId).bind(2, number); });
        !r)
        return r;
    if (auto r =
            runStatement(db_, "UPDATE points SET deleted = 1 WHERE run_id = ?1 AND number = ?2",
                         [&](SqliteStatement& s) { s.bind(1, runId).bind(2, number); });
        !r)
        return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::setKind(std::int64_t runId, RunKind kind) {
    return runStatement(db_, "UPDATE runs SET kind = ?2 WHERE id = ?1",
                        [&](SqliteStatement& s) { s.bind(1, runId).bind(2, runKindName(kind)); });
}

StorageResult HistoryDatabase::importRun(HistoryRunDetail& detail,
                                         std::optional<std::int64_t>& duplicateOf) {
    duplicateOf.reset();
    SqliteTransaction transaction(db_);
    if (auto r = transaction.begin(); !r)
        return r;
    if (detail.run.contentHash) {
        SqliteStatement same;
        if (auto r = db_.prepare("SELECT id FROM runs WHERE content_hash = ?1", same); !r)
            return r;
        same.bind(1, *detail.run.contentHash);
        switch (same.step()) {
        case SqliteStatement::Step::Row:
            duplicateOf = same.int64(0);
            return {};
        case SqliteStatement::Step::Error:
            return StorageResult::failure(same.error());
        case SqliteStatement::Step::Done:
            break;
        }
    }
    detail.run.source = RunSource::Import;
    detail.run.points = 0;
    detail.run.totalCounts = 0;
    for (const HistoryPoint& point : detail.points)
        if (!point.deleted) {
            ++detail.run.points;
            detail.run.totalCounts += point.count;
        }
    if (auto r = insertRunRow(db_, detail.run); !r)
        return r;
    if (auto r = insertPoints(db_, detail.run.id, detail.points); !r)
        return r;
    if (auto r = insertHeaderLines(db_, detail.run.id, detail.headerLines); !r)
        return r;
    return transaction.commit();
}

StorageResult HistoryDatabase::listRuns(const RunFilter& filter, std::vector<HistoryRun>& runs) {
    runs.clear();
    std::string sql = std::string("SELECT ") + kRunColumns +
                      " FROM runs WHERE (?1 IS NULL OR counter = ?1) AND (?2 IS NULL OR kind = ?2)"
                      " AND (?3 IS NULL OR substr(start_time, 1, 10) >= ?3)"
                      " AND (?4 IS NULL OR substr(start_time, 1, 10) <= ?4)"
                      " AND (?5 IS NULL OR id >= ?5) AND (?6 IS NULL OR id <= ?6)";
    sql += filter.oldestFirst ? " ORDER BY start_epoch, id" : " ORDER BY start_epoch DESC, id DESC";
    SqliteStatement query;
    if (auto r = db_.prepare(sql, query); !r)
        return r;
    query.bind(1, filter.counter);
    if (filter.kind)
        query.bind(2, runKindName(*filter.kind));
    else
        query.bindNull(2);
    query.bind(3, filter.since)
        .bind(4, filter.until)
        .bind(5, filter.firstId)
        .bind(6, filter.lastId);
    SqliteStatement::Step step;
    while ((step = query.step()) == SqliteStatement::Step::Row)
        runs.push_back(readRun(query));
    return step == SqliteStatement::Step::Done ? StorageResult()
                                               : StorageResult::failure(query.error());
}

StorageResult HistoryDatabase::loadRun(std::int64_t runId, HistoryRunDetail& detail, bool& found) {
    found = false;
    detail = HistoryRunDetail{};
    // One read transaction, so that run, points and lines belong together while a run writes.
    if (auto r = db_.execute("BEGIN"); !r)
        return r;
    struct EndRead {
        SqliteDatabase& db;
        ~EndRead() { db.execute("COMMIT"); }
    } endRead{db_};

    SqliteStatement run;
    if (auto r =
            db_.prepare(std::string("SELECT ") + kRunColumns + " FROM runs WHERE id = ?1", run);
        !r)
        return r;
    run.bind(1, runId);
    switch (run.step()) {
    case SqliteStatement::Step::Done:
        return {};
    case SqliteStatement::Step::Error:
        return StorageResult::failure(run.error());
    case SqliteStatement::Step::Row:
        detail.run = readRun(run);
        break;
    }

    SqliteStatement points;
    if (auto r = db_.prepare("SELECT number, count, deleted FROM points WHERE run_id = ?1 "
                             "ORDER BY number",
                             points);
        !r)
        return r;
    points.bind(1, runId);
    SqliteStatement::Step step;
    while ((step = points.step()) == SqliteStatement::Step::Row)
        detail.points.push_back({static_cast<int>(points.int64(0)),
                                 static_cast<std::int32_t>(points.int64(1)), points.int64(2) != 0});
    if (step == SqliteStatement::Step::Error)
        return StorageResult::failure(points.error());

    SqliteStatement lines;
    if (auto r =
            db_.prepare("SELECT text FROM header_lines WHERE run_id = ?1 ORDER BY number", lines);
        !r)
        return r;
    lines.bind(1, runId);
    while ((step = lines.step()) == SqliteStatement::Step::Row)
        detail.headerLines.push_back(lines.text(0));
    if (step == SqliteStatement::Step::Error)
        return StorageResult::failure(lines.error());
    found = true;
    return {};
}

} // namespace nivra
