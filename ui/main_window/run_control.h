#pragma once

#include "engine/run_environment.h"
#include "engine/run_observer.h"
#include "storage/history_location.h"

#include <QDialog>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

namespace nivra::ui {
class WindowMenu;

class Prompts;
class SlotModel;

// Start and Stop of the Assay Run menu, and what the operator is told of the runs: a backup
// save that failed, a counter that stopped answering, the backups kept from interrupted runs,
// a run history that cannot be written. It connects its menu items itself and learns of the
// runs from the slot model.
class RunControl final : public QObject {
    Q_OBJECT
public:
    using ModalRunner = std::function<int(QDialog&)>;
    // The run dialog opens over `window` through `runModal`; runs take their clock and counters
    // from `environment` and report to the slot model. The runs keep their backups below
    // startDirectory and are recorded in the history at `history`.
    RunControl(QWidget& window, Prompts& prompts, WindowMenu& menu, SlotModel& model,
               const StartDirectory& startDirectory, nivra::HistoryLocation history,
               RunEnvironment environment, ModalRunner runModal);

    // Names the kept and interrupted backups of the backup folder; once, at start-up.
    void showLeftOverBackups();

private:
    void start();
    void stop();
    // "Run history not written: <reason>" from a run's recorder, on any thread: shown to the
    // operator from the window's thread.
    void reportHistoryProblem(const std::string& message);

    QWidget& window_;
    Prompts& prompts_;
    SlotModel& slots_;
    const StartDirectory start_;
    const nivra::HistoryLocation history_;
    RunEnvironment environment_;
    ModalRunner runModal_;
};

} // namespace nivra::ui
