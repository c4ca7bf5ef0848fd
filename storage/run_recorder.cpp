#include "storage/run_recorder.h"

#include "base/local_time.h"
#include "base/sha256.h"
#include "storage/history_location.h"
#include "storage/history_spool.h"

#include "base/file_system.h"
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>

namespace nivra {

namespace {

// A key no other run of any PC has: the machine, the process, the start and 64 random bits.
std::string newRunKey(const std::string& host, std::int64_t startEpoch) {
    std::random_device random;
    const unsigned long long bits = (static_cast<unsigned long long>(random()) << 32) ^
                                    static_cast<unsigned long long>(random());
    char tail[40];
    std::snprintf(tail, sizeof tail, "/%lld/%lld/%016llx", processId(),
                  static_cast<long long>(startEpoch), bits);
    return host + tail;
}

} // namespace

RunRecorder::RunRecorder(HistoryLocation location, Reporter reporter)
    : RunRecorder(std::move(location), std::move(reporter), Settings{}) {}

RunRecorder::RunRecorder(HistoryLocation location, Reporter reporter, Settings settings)
    : location_(std::move(location)), reporter_(std::move(reporter)),
      settings_(std::move(settings)) {}

RunRecorder::~RunRecorder() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (heart_.joinable())
        heart_.join();
}

std::int64_t RunRecorder::runId() const {
    std::lock_guard lock(mutex_);
    return run_.id;
}

bool RunRecorder::heldLocally() const {
    std::lock_guard lock(mutex_);
    return spooling_;
}

std::string RunRecorder::spoolPath() const {
    if (!settings_.spoolPath.empty())
        return settings_.spoolPath;
    return location_.startDirectory ? historySpoolPath(*location_.startDirectory) : std::string();
}

std::int64_t RunRecorder::now() const {
    return settings_.clock ? settings_.clock() : static_cast<std::int64_t>(std::time(nullptr));
}

StorageResult RunRecorder::started(int counter, const CounterConfig& counterConfig,
                                   const AssayConfig& assayConfig, RunKind kind,
                                   std::int64_t startEpoch) {
    std::lock_guard lock(mutex_);
    started_ = true;
    run_.counter = counter;
    run_.kind = kind;
    run_.startEpoch = startEpoch;
    run_.startTime = formatIsoLocalTime(startEpoch);
    run_.counterConfig = counterConfig;
    run_.assayConfig = assayConfig;
    const std::string host = localHostName();
    if (!host.empty())
        run_.host = host;
    if (location_.startDirectory)
        run_.startDirectory = location_.startDirectory->path();
    run_.runKey = newRunKey(host, startEpoch);
    if (!heart_.joinable())
        heart_ = std::thread([this] { keepAlive(); });
    return sync();
}

StorageResult RunRecorder::pointClosed(int number, std::int32_t count) {
    std::lock_guard lock(mutex_);
    const int last = points_.empty() ? 0 : points_.back().first;
    const int stored = number > last ? number : last + 1;
    points_.emplace_back(stored, count);
    livePoints_.push_back(stored);
    return sync();
}

StorageResult RunRecorder::headerLinesChanged(const std::vector<std::string>& lines) {
    std::lock_guard lock(mutex_);
    headerLines_ = lines;
    headerLinesPending_ = true;
    return sync();
}

StorageResult RunRecorder::ended(RunEnd reason, std::int64_t endEpoch) {
    std::lock_guard lock(mutex_);
    run_.endReason = reason;
    ended_ = true;
    endEpoch_ = endEpoch;
    endPending_ = true;
    return sync();
}

StorageResult RunRecorder::dataFileSaved(const std::string& path) {
    std::lock_guard lock(mutex_);
    dataFile_ = absolutePath(path);
    dataFileHash_ = sha256OfFile(path);
    dataFilePending_ = true;
    return sync();
}

StorageResult RunRecorder::pointDeleted(int number) {
    std::lock_guard lock(mutex_);
    if (number >= 1 && static_cast<std::size_t>(number) <= livePoints_.size()) {
        deletesPending_.push_back(livePoints_[static_cast<std::size_t>(number) - 1]);
        livePoints_.erase(livePoints_.begin() + (number - 1));
    }
    return sync();
}

StorageResult RunRecorder::classLimitChanged(std::optional<double> limit) {
    std::lock_guard lock(mutex_);
    run_.assayConfig.classLimit = limit;
    classLimitPending_ = true;
    return sync();
}

void RunRecorder::report(const std::string& message) {
    if (reporter_)
        reporter_(message);
}

// Renews the heartbeat of the running run, and keeps trying the server while the run is held
// locally, until the run ended and is in the history.
void RunRecorder::keepAlive() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (wake_.wait_for(lock, settings_.heartbeat, [this] { return stopping_; }))
            return;
        if (ended_ && !needsMerge_)
            return;
        if (needsMerge_) {
            sync();
        } else if (db_ && run_.id != 0) {
            if (auto r = db_->renewHeartbeat(run_.id); !r)
                failed(r);
        }
    }
}

StorageResult RunRecorder::openHistory() {
    if (db_ && !db_->isBroken())
        return {};
    db_.reset();
    if (!location_.problem.empty())
        return StorageResult::failure(location_.problem);
    auto db = std::make_unique<HistoryDatabase>();
    db->setClock(settings_.clock);
    if (auto r = db->open(location_.location); !r)
        return r;
    db_ = std::move(db);
    // Runs an earlier program held locally go first.
    if (db_->isServer())
        deliverSpool(*db_, spoolPath());
    return {};
}

StorageResult RunRecorder::sync() {
    if (!started_)
        return {};
    if (needsMerge_) {
        if (spooling_ && now() - lastAttempt_ < settings_.retrySeconds)
            return writeSpool();
        return mergeIntoHistory();
    }
    if (auto r = writePending(); !r)
        return failed(r);
    return {};
}

// A write failed: the whole run goes into the history with a later write. A server's run is
// held in the spool meanwhile.
StorageResult RunRecorder::failed(const StorageResult& failure) {
    needsMerge_ = true;
    const bool server =
        db_ ? db_->isServer() : HistoryDatabase::isServerLocation(location_.location);
    if (db_ && db_->isServer())
        db_.reset(); // a new connection with the next attempt
    if (!server) {
        if (!reported_) {
            reported_ = true;
            report(kReportPrefix + failure.error());
        }
        return failure;
    }
    lastAttempt_ = now();
    if (!spooling_) {
        spooling_ = true;
        report(kHeldLocallyPrefix + failure.error());
    }
    return writeSpool();
}

StorageResult RunRecorder::mergeIntoHistory() {
    StorageResult r = openHistory();
    std::int64_t id = 0;
    bool added = false;
    if (r)
        r = db_->mergeRun(snapshot(), id, added);
    if (!r)
        return failed(r);
    run_.id = id;
    pointsWritten_ = points_.size();
    deletesPending_.clear();
    headerLinesPending_ = endPending_ = classLimitPending_ = dataFilePending_ = false;
    needsMerge_ = false;
    if (spooling_) {
        spooling_ = false;
        spool_.reset();
        // The spool's copy of the run (and whatever else it holds) is in the history now.
        deliverSpool(*db_, spoolPath());
        report(kDeliveredReport);
    }
    return {};
}

StorageResult RunRecorder::writeSpool() {
    StorageResult r;
    if (!spool_) {
        auto spool = std::make_unique<HistoryDatabase>();
        spool->setClock(settings_.clock);
        const std::string path = spoolPath();
        r = path.empty() ? StorageResult::failure("no local spool: the history was named without "
                                                  "a start directory")
                         : spool->open(path);
        if (r)
            spool_ = std::move(spool);
    }
    std::int64_t id = 0;
    bool added = false;
    if (r)
        r = spool_->mergeRun(snapshot(), id, added);
    if (!r) {
        spool_.reset();
        if (!reported_) {
            reported_ = true;
            report(kReportPrefix + r.error());
        }
    }
    return r;
}

// The run as far as it went, for a history that gets it whole.
HistoryRunDetail RunRecorder::snapshot() const {
    HistoryRunDetail detail;
    detail.run = run_;
    detail.run.id = 0;
    detail.run.points = 0;
    detail.run.totalCounts = 0;
    if (ended_) {
        detail.run.endTime = formatIsoLocalTime(endEpoch_);
    } else {
        detail.run.endReason = RunEnd::Running;
        detail.run.heartbeatEpoch = now();
    }
    for (const auto& [number, count] : points_) {
        const bool live =
            std::find(livePoints_.begin(), livePoints_.end(), number) != livePoints_.end();
        detail.points.push_back({number, count, !live});
    }
    detail.headerLines = headerLines_;
    if (!dataFile_.empty())
        detail.run.dataFile = dataFile_;
    if (!dataFileHash_.empty())
        detail.run.contentHash = dataFileHash_;
    return detail;
}

// Writes whatever is not written yet, oldest first.
StorageResult RunRecorder::writePending() {
    if (auto r = openHistory(); !r)
        return r;
    if (run_.id == 0) {
        // The run goes in as it was at its start; what happened since follows below.
        HistoryRun row = run_;
        row.endReason = RunEnd::Running;
        if (auto r = db_->insertRun(row); !r)
            return r;
        run_.id = row.id;
    }
    if (pointsWritten_ < points_.size()) {
        const std::vector<std::pair<int, std::int32_t>> batch(points_.begin() + pointsWritten_,
                                                              points_.end());
        if (auto r = db_->appendPoints(run_.id, batch); !r)
            return r;
        pointsWritten_ = points_.size();
    }
    while (!deletesPending_.empty()) {
        if (auto r = db_->markPointDeleted(run_.id, deletesPending_.front()); !r)
            return r;
        deletesPending_.erase(deletesPending_.begin());
    }
    if (headerLinesPending_) {
        if (auto r = db_->setHeaderLines(run_.id, headerLines_); !r)
            return r;
        headerLinesPending_ = false;
    }
    if (endPending_) {
        if (auto r = db_->endRun(run_.id, run_.endReason, endEpoch_); !r)
            return r;
        endPending_ = false;
    }
    if (classLimitPending_) {
        if (auto r = db_->setClassLimit(run_.id, run_.assayConfig.classLimit); !r)
            return r;
        classLimitPending_ = false;
    }
    if (dataFilePending_) {
        if (auto r = db_->setDataFile(run_.id, dataFile_, dataFileHash_); !r)
            return r;
        dataFilePending_ = false;
    }
    return {};
}

} // namespace nivra
