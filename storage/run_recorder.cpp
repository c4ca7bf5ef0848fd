#include "storage/run_recorder.h"

#include "base/local_time.h"
#include "base/sha256.h"

#include <filesystem>

namespace nivra {

RunRecorder::RunRecorder(std::string path, Reporter reporter)
    : path_(std::move(path)), reporter_(std::move(reporter)) {}

RunRecorder::~RunRecorder() = default;

std::int64_t RunRecorder::runId() const {
    std::lock_guard lock(mutex_);
    return run_.id;
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
    endEpoch_ = endEpoch;
    endPending_ = true;
    return sync();
}

StorageResult RunRecorder::dataFileSaved(const std::string& path) {
    std::lock_guard lock(mutex_);
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    dataFile_ = error ? path : absolute.lexically_normal().string();
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

StorageResult RunRecorder::sync() {
    StorageResult result = writePending();
    if (!result && !reported_) {
        reported_ = true;
        if (reporter_)
            reporter_(kReportPrefix + result.error());
    }
    return result;
}

// Writes whatever is not written yet, oldest first. Nothing is recorded before the run started.
StorageResult RunRecorder::writePending() {
    if (!started_)
        return {};
    if (!db_) {
        auto db = std::make_unique<HistoryDatabase>();
        if (auto r = db->open(path_); !r)
            return r;
        db_ = std::move(db);
    }
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
    if (dataFilePending_) {
        if (auto r = db_->setDataFile(run_.id, dataFile_, dataFileHash_); !r)
            return r;
        dataFilePending_ = false;
    }
    return {};
}

} // namespace nivra
