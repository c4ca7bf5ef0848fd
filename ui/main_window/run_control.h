#pragma once

#include "engine/run_environment.h"
#include "engine/run_observer.h"

#include <QDialog>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

namespace nivra::ui {
class WindowMenu;

class RunEvents;
class SlotBoard;

// Start and Stop of the Assay Run menu, and what the runs report about a slot's state: the end
// of a run, backup saves, counters that stop answering, and the backups kept from interrupted
// runs. It connects its menu items and those reports itself, before anything else listens to
// the reports; the window redisplays on its signals.
class RunControl final : public QObject {
    Q_OBJECT
public:
    using ModalRunner = std::function<int(QDialog&)>;
    // The run dialog opens over `window` through `runModal`; runs take their clock and counters
    // from `environment` and report to `events`.
    // The runs keep their backups and find their history below startDirectory.
    RunControl(QWidget& window, WindowMenu& menu, SlotBoard& board, RunEvents& events,
               const StartDirectory& startDirectory, RunEnvironment environment,
               ModalRunner runModal);

    // Names the kept and interrupted backups of the backup folder; once, at start-up.
    void showLeftOverBackups();

signals:
    // A slot's state, status or record changed (a run started, a backup or counter problem
    // came or went): the window shows it again if it is the active one.
    void slotChanged(int counter);
    // A slot's run has ended and let go of the slot, which is STOPPED with the run's last lines
    // in its record.
    void runEnded(int counter);

private:
    void start();
    void stop();
    void onEnded(int counter);
    void onBackupSaved(int counter, bool ok, const QString& reason);
    void onCounterFault(int counter, nivra::CounterFault fault, std::int64_t first);
    // "Run history not written: <reason>" from a run's recorder, on any thread: shown to the
    // operator from the window's thread.
    void reportHistoryProblem(const std::string& message);

    QWidget& window_;
    SlotBoard& slots_;
    RunEvents& events_;
    const StartDirectory start_;
    RunEnvironment environment_;
    ModalRunner runModal_;
};

} // namespace nivra::ui
