#include "ui/main_window/slot_model.h"

#include "engine/assay_run.h"
#include "engine/run_assembly.h"
#include "storage/run_recorder.h"
#include "ui/controls/narrow_text.h"
#include "ui/main_window/run_events.h"

#include <algorithm>

namespace nivra::ui {

SlotModel::SlotModel(QObject* parent) : QObject(parent), events_(new RunEvents(this)) {
    edit(kViewerSlot).state = VIEWER;

    // The runs report on their own threads; each report is applied here, on the window's
    // thread, in the order the run made them.
    connect(
        events_, &RunEvents::started, this,
        [this](int index) {
            if (!valid(index))
                return;
            // A new run: nothing of the last run's reports applies any more.
            edit(index).reports = RunReportState{};
            emit runStarted(index);
            emit slotChanged(index);
        },
        Qt::QueuedConnection);
    connect(
        events_, &RunEvents::secondReported, this,
        [this](int index, qint64 lastSecond, qint64 dwell) { onSecond(index, lastSecond, dwell); },
        Qt::QueuedConnection);
    connect(
        events_, &RunEvents::pointReported, this, [this](int index, int, int) { onPoint(index); },
        Qt::QueuedConnection);
    connect(
        events_, &RunEvents::counterFaultReported, this,
        [this](int index, nivra::CounterFault fault, qint64 first, qint64) {
            onFault(index, fault, first);
        },
        Qt::QueuedConnection);
    connect(
        events_, &RunEvents::backupSaveReported, this,
        [this](int index, bool ok, const QString& reason) { onBackupSaved(index, ok, reason); },
        Qt::QueuedConnection);
    connect(
        events_, &RunEvents::backupKeptReported, this,
        [this](int index, const QString& keptPath) { emit backupKept(index, keptPath); },
        Qt::QueuedConnection);
    connect(
        events_, &RunEvents::ended, this,
        [this](int index, nivra::EndReason reason) { onEnded(index, reason); },
        Qt::QueuedConnection);
    // Emitted on the history writer's thread.
    connect(
        events_, &RunEvents::historyWritten, this,
        [this](int index) { emit historyWritten(index); }, Qt::QueuedConnection);
}

SlotModel::~SlotModel() {
    stopRunsAndWait();
}

bool SlotModel::hasRuns() const {
    return std::any_of(slots_.begin(), slots_.end(),
                       [](const CounterSlot& slot) { return slot.run != nullptr; });
}

// ---- changes asked for by the operator ----

void SlotModel::select(int index) {
    if (!valid(index))
        return;
    active_ = index;
    emit activeSlotChanged(index);
}

void SlotModel::offerCounters(int count) {
    offered_ = std::clamp(count, 0, kSlotCount - 1);
    emit countersOffered(offered_);
}

void SlotModel::attachRun(int index, nivra::AssembledRun&& run) {
    CounterSlot& slot = edit(index);
    slot.data = std::move(run.data);
    slot.recorder = std::move(run.recorder);
    slot.history = std::move(run.history);
    slot.run = std::move(run.run);
    slot.fileName.clear();
    slot.saved = false;
    slot.state = RUNNING;
    slot.reports = RunReportState{};
    emit recordReplaced(index);
    emit statusChanged(index);
    emit slotChanged(index);
}

void SlotModel::requestStop(int index) {
    if (const CounterSlot& slot = this->slot(index); slot.run)
        slot.run->requestStop();
}

void SlotModel::clearForNewRun(int index) {
    CounterSlot& slot = edit(index);
    // Only a slot whose run has ended is cleared: the recorder and observer go with the record.
    if (slot.run)
        return;
    slot.history.reset();
    slot.recorder.reset();
    slot.data.reset();
    slot.fileName.clear();
    slot.state = NEW;
    slot.saved = true;
    // They were about the record that goes now.
    slot.reports = RunReportState{};
    emit recordReplaced(index);
    emit statusChanged(index);
    emit slotChanged(index);
}

void SlotModel::fillViewer(std::unique_ptr<AssayData> data, const std::string& fileName) {
    CounterSlot& viewer = edit(kViewerSlot);
    viewer.data = std::move(data);
    viewer.fileName = fileName;
    // As read: nothing in it is unsaved (edits given up before have gone with the old record).
    viewer.saved = true;
    emit recordReplaced(kViewerSlot);
    emit statusChanged(kViewerSlot);
    emit slotChanged(kViewerSlot);
    if (!isActive(kViewerSlot))
        select(kViewerSlot);
}

void SlotModel::markSaved(int index, const std::string& path) {
    CounterSlot& slot = edit(index);
    slot.saved = true;
    slot.fileName = path;
    // The run's row in the history names the file it was last saved to.
    if (slot.recorder)
        slot.recorder->dataFileSaved(path);
    emit statusChanged(index);
    emit slotChanged(index);
}

bool SlotModel::deletePoint(int index, std::size_t number) {
    CounterSlot& slot = edit(index);
    // Points are only ever appended meanwhile (a run may still go on), so a number that is in
    // range now names the same point when it is deleted.
    if (number < 1 || number > slot.pointCount() ||
        !slot.data->deletePoint(static_cast<int>(number - 1)))
        return false;
    // An edit of the record: File New, Open and Exit ask before it is discarded.
    slot.saved = false;
    // The history marks the run's point deleted, numbered as the operator saw it.
    if (slot.recorder)
        slot.recorder->pointDeleted(static_cast<int>(number));
    emit pointDeleted(index, static_cast<int>(number));
    emit slotChanged(index);
    return true;
}

void SlotModel::appendHeaderLine(int index, const std::string& line) {
    CounterSlot& slot = edit(index);
    if (!slot.data)
        return;
    slot.data->appendHeaderLine(line);
    slot.saved = false;
    emit headerLinesChanged(index);
    emit slotChanged(index);
}

bool SlotModel::removeHeaderLine(int index, std::size_t line) {
    CounterSlot& slot = edit(index);
    if (!slot.data || !slot.data->removeHeaderLine(line))
        return false;
    slot.saved = false;
    emit headerLinesChanged(index);
    emit slotChanged(index);
    return true;
}

void SlotModel::setClassLimit(int index, std::optional<double> limit) {
    CounterSlot& slot = edit(index);
    if (!slot.data)
        return;
    slot.data->setClassLimit(limit);
    if (slot.recorder)
        slot.recorder->classLimitChanged(limit);
    slot.saved = false;
    emit classLimitChanged(index);
    emit slotChanged(index);
}

void SlotModel::stopRunsAndWait() {
    for (CounterSlot& slot : slots_)
        if (slot.run)
            slot.run->requestStop();
    // Each run ends within one pass of its worker; destroying it waits for that.
    for (CounterSlot& slot : slots_)
        slot.run.reset();
}

// ---- the runs' reports ----

void SlotModel::onSecond(int index, std::int64_t lastSecond, std::int64_t dwellSoFar) {
    if (!valid(index))
        return;
    RunReportState& reports = edit(index).reports;
    reports.lastSecond = lastSecond;
    reports.dwellSoFar = dwellSoFar;
    emit secondCounted(index, lastSecond, dwellSoFar);
    emit slotChanged(index);
}

void SlotModel::onPoint(int index) {
    if (!valid(index))
        return;
    // A closed point starts the next dwell from nothing.
    edit(index).reports.dwellSoFar = 0;
    emit pointClosed(index);
    emit slotChanged(index);
}

// A stretch of faults shows in the slot's status while it lasts; a register that went back has
// only its header line, which the record holds.
void SlotModel::onFault(int index, nivra::CounterFault fault, std::int64_t first) {
    if (!valid(index))
        return;
    RunReportState& reports = edit(index).reports;
    switch (fault) {
    case nivra::CounterFault::NotAnswering:
        reports.silentSince = first;
        break;
    case nivra::CounterFault::AnsweringAgain:
        reports.silentSince.reset();
        break;
    case nivra::CounterFault::WrappedOrReset:
        break;
    case nivra::CounterFault::OverLimit:
        reports.overLimitSince = first;
        break;
    case nivra::CounterFault::OverLimitEnded:
        reports.overLimitSince.reset();
        break;
    case nivra::CounterFault::Garbled:
        reports.garbledSince = first;
        break;
    case nivra::CounterFault::GarbledEnded:
        reports.garbledSince.reset();
        break;
    }
    emit statusChanged(index);
    if (fault == nivra::CounterFault::NotAnswering)
        emit counterSilent(index, first);
    emit slotChanged(index);
}

void SlotModel::onBackupSaved(int index, bool ok, const QString& reason) {
    if (!valid(index))
        return;
    RunReportState& reports = edit(index).reports;
    const bool firstFailure = !ok && !reports.backupFailed();
    const bool changed = reports.backupSaved != ok;
    reports.backupSaved = ok;
    reports.backupFailure = ok ? std::string() : toNarrow(reason);
    if (changed)
        emit statusChanged(index);
    if (firstFailure)
        emit backupFailed(index, reason);
    emit slotChanged(index);
}

void SlotModel::onEnded(int index, nivra::EndReason reason) {
    if (!valid(index))
        return;
    CounterSlot& slot = edit(index);
    slot.state = STOPPED;
    slot.reports.ended = reason;
    // The stretches, if any, ended with the run; their lines are recorded.
    slot.reports.silentSince.reset();
    slot.reports.overLimitSince.reset();
    slot.reports.garbledSince.reset();
    // The run has reported its end; its thread returns right after.
    slot.run.reset();
    emit runEnded(index, reason);
    emit statusChanged(index);
    emit slotChanged(index);
}

} // namespace nivra::ui
