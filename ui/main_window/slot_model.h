#pragma once

#include "engine/run_observer.h"
#include "ui/main_window/counter_slot.h"

#include <QObject>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace nivra {
struct AssembledRun;
} // namespace nivra

namespace nivra::ui {

class RunEvents;

// The main window's five slots (the viewer and counters 1 to 4), which of them is active, and
// which counters the window offers. It is the only receiver of the runs' reports and the only
// writer of a slot: every change, a run's report or an operator's edit, is applied here first
// and announced afterwards, so whoever hears of it reads the slot as it now is, in whatever
// order the listeners were connected. Views read slots through the const accessors and change
// them only through the functions below.
//
// Each change emits its own signal and then slotChanged for the slot, which is all a view
// needs that shows every slot at once.
class SlotModel final : public QObject {
    Q_OBJECT
public:
    explicit SlotModel(QObject* parent = nullptr);
    // Stops every run still attached to a slot and waits until each has ended.
    ~SlotModel() override;

    // ---- reading ----
    int activeIndex() const { return active_; }
    bool isActive(int index) const { return index == active_; }
    const CounterSlot& active() const { return slot(active_); }
    const CounterSlot& slot(int index) const { return slots_.at(static_cast<std::size_t>(index)); }
    const CounterSlot& viewer() const { return slot(kViewerSlot); }
    // Whether any slot has a run attached.
    bool hasRuns() const;
    // Counters 1 to offeredCounters() are offered in the Active Counter menu.
    int offeredCounters() const { return offered_; }
    bool isOffered(int index) const { return index == kViewerSlot || index <= offered_; }
    // Where runs report: hand it to a run as its observer.
    RunEvents& reports() const { return *events_; }

    // ---- changing ----
    // Makes a slot the active one.
    void select(int index);
    // Offers counters 1 to `count`.
    void offerCounters(int count);
    // The run just started on a NEW slot, with its record, recorder and history observer: the
    // slot holds them and is RUNNING, its record unsaved.
    void attachRun(int index, nivra::AssembledRun&& run);
    // Asks the slot's run to stop; the slot stays RUNNING until the run reports its end.
    void requestStop(int index);
    // Clears a DEMO or STOPPED slot for a new run: no record, no file, NEW.
    void clearForNewRun(int index);
    // The viewer holds `data`, read from `fileName` (a path or "History run N"), saved as read,
    // and becomes the active slot.
    void fillViewer(std::unique_ptr<AssayData> data, const std::string& fileName);
    // The slot's record was written to `path`: saved, and named by it, also in the history.
    void markSaved(int index, const std::string& path);
    // Deletes point `number` (1-based) of the slot's record; false, with nothing changed, when
    // the record has no such point.
    bool deletePoint(int index, std::size_t number);
    void appendHeaderLine(int index, const std::string& line);
    // Removes header line `line` (0-based); false when there is none.
    bool removeHeaderLine(int index, std::size_t line);
    void setClassLimit(int index, std::optional<double> limit);
    // Stops every run still attached to a slot and waits until each has ended. Returns at once
    // when no run is attached. Their last reports, still queued, find the slots without a run.
    void stopRunsAndWait();

signals:
    void activeSlotChanged(int slot);
    void countersOffered(int count);
    // After every change of a slot, following the change's own signal below.
    void slotChanged(int slot);

    // The slot's record was replaced or released (run attached, File New, a record for the
    // viewer).
    void recordReplaced(int slot);
    // State, file name, saved flag or what the run reported about its counter and backups.
    void statusChanged(int slot);
    void pointDeleted(int slot, int number);
    void headerLinesChanged(int slot);
    void classLimitChanged(int slot);

    // The run's reports, once applied to the slot.
    void runStarted(int slot);
    void secondCounted(int slot, qint64 lastSecond, qint64 dwellSoFar);
    void pointClosed(int slot);
    void runEnded(int slot, nivra::EndReason reason);
    // The first failed backup save after working ones (or after none).
    void backupFailed(int slot, const QString& reason);
    // The backup of an interrupted run was kept under another name.
    void backupKept(int slot, const QString& keptPath);
    // The counter stopped answering at `since`.
    void counterSilent(int slot, qint64 since);
    // A write of the run's history has reached it.
    void historyWritten(int slot);

private:
    CounterSlot& edit(int index) { return slots_.at(static_cast<std::size_t>(index)); }
    static bool valid(int index) { return index >= 0 && index < kSlotCount; }
    void onSecond(int index, std::int64_t lastSecond, std::int64_t dwellSoFar);
    void onPoint(int index);
    void onFault(int index, nivra::CounterFault fault, std::int64_t first);
    void onBackupSaved(int index, bool ok, const QString& reason);
    void onEnded(int index, nivra::EndReason reason);

    std::array<CounterSlot, kSlotCount> slots_;
    int active_ = kViewerSlot;
    int offered_ = 0;
    RunEvents* events_;
};

} // namespace nivra::ui
