#include "ui/main_window/run_control.h"

#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "engine/backup_file.h"
#include "engine/run_assembly.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/dialogs/run_config_dlg.h"
#include "ui/main_window/run_events.h"
#include "ui/main_window/slot_board.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

#include <QAction>
#include <QMetaObject>

namespace nivra::ui {

RunControl::RunControl(QWidget& window, WindowMenu& menu, SlotBoard& board, RunEvents& events,
                       const StartDirectory& startDirectory, RunEnvironment environment,
                       ModalRunner runModal)
    : window_(window), slots_(board), events_(events), start_(startDirectory),
      environment_(std::move(environment)), runModal_(std::move(runModal)) {
    environment_.backups = start_;
    connect(menu.action(nivra::res::Command::RunStart), &QAction::triggered, this,
            [this] { start(); });
    connect(menu.action(nivra::res::Command::RunStop), &QAction::triggered, this,
            [this] { stop(); });

    connect(
        &events, &RunEvents::backupKeptReported, this,
        [](int, const QString& keptPath) {
            showMessage(
                QStringLiteral("The backup of an interrupted run was kept as %1").arg(keptPath));
        },
        Qt::QueuedConnection);
    connect(
        &events, &RunEvents::backupSaveReported, this,
        [this](int counter, bool ok, const QString& reason) { onBackupSaved(counter, ok, reason); },
        Qt::QueuedConnection);
    connect(
        &events, &RunEvents::counterFaultReported, this,
        [this](int counter, nivra::CounterFault fault, qint64 first, qint64) {
            onCounterFault(counter, fault, first);
        },
        Qt::QueuedConnection);
    connect(
        &events, &RunEvents::ended, this,
        [this](int counter, nivra::EndReason) { onEnded(counter); }, Qt::QueuedConnection);
}

void RunControl::start() {
    CounterSlot& slot = slots_.active();
    const int counter = slots_.activeIndex();
    // A run starts only on a slot cleared for it. Checked before the dialog: once the dialog has
    // started a run, that run must have a slot to report to.
    if (slot.state != NEW) {
        showMessage(QStringLiteral("Assay Already Running for this counter, stop first"));
        return;
    }
    // Asked before the operator fills in the dialog.
    if (environment_.backups) {
        const std::string problem = nivra::backupFolderProblem(start_, counter);
        if (!problem.empty() &&
            ask(QStringLiteral("Backups cannot be written to %1: %2. Start anyway?")
                    .arg(fromNarrow(nivra::backupFolder(start_)), fromNarrow(problem)),
                MessageButtons::YesNo, Sound::Exclamation) != Answer::Yes)
            return;
    }
    RunConfigDlg dialog(counter, start_, &window_);
    const int result = runModal_ ? runModal_(dialog) : dialog.exec();
    if (result != QDialog::Accepted || !dialog.counterConfiguration() ||
        !dialog.assayConfiguration())
        return;
    // The dialog is modal, so the active slot is still the one it was opened for, and still NEW.
    // The run reports through the history's observer, which records the run and passes each
    // report on to the window; a history that cannot be written is said once and the run goes on.
    nivra::RunSetup setup{*dialog.counterConfiguration(), *dialog.assayConfiguration(), counter,
                          nivra::resolveHistoryLocation(start_),
                          [this](const std::string& message) { reportHistoryProblem(message); },
                          // The events object outlives the slots, whose observers call this
                          // from their writer.
                          [&events = events_, counter] { emit events.historyWritten(counter); }};
    nivra::AssembledRun assembled(std::move(setup));
    if (!assembled.start(events_, environment_)) {
        showMessage(QStringLiteral("Error creating run thread"));
        return;
    }
    // The run's first report reaches the window only after this handler: the slot holds the
    // run and its record by then.
    slot.data = std::move(assembled.data);
    slot.recorder = std::move(assembled.recorder);
    slot.history = std::move(assembled.history);
    slot.run = std::move(assembled.run);
    slot.saved = false;
    slot.state = RUNNING;
    emit slotChanged(counter);
}

void RunControl::stop() {
    CounterSlot& slot = slots_.active();
    if (slot.state != RUNNING) {
        showMessage(QStringLiteral("Can not stop: No assay running for active counter."));
        return;
    }
    const Answer answer = ask(
        QStringLiteral("Assay is currently running on this counter. Are you sure you want to stop "
                       "it? \n You will have the option to save this data if you stop."),
        MessageButtons::YesNo, Sound::Exclamation);
    // The slot stays RUNNING until the run reports its end.
    if (answer == Answer::Yes && slot.run)
        slot.run->requestStop();
}

void RunControl::onEnded(int counter) {
    CounterSlot& slot = slots_.slot(counter);
    slot.state = STOPPED;
    // The stretches, if any, ended with the run; their lines are recorded.
    slot.silentSince.reset();
    slot.overLimitSince.reset();
    slot.garbledSince.reset();
    // The run has reported its end; its thread returns right after.
    slot.run.reset();
    emit runEnded(counter);
}

// The first failure of a stretch is told in a message; the slot's status shows it until a save
// works again.
void RunControl::onBackupSaved(int counter, bool ok, const QString& reason) {
    CounterSlot& slot = slots_.slot(counter);
    if (ok == slot.backupProblem.empty())
        return;
    const bool firstFailure = slot.backupProblem.empty();
    slot.backupProblem = ok ? std::string() : toNarrow(reason);
    emit slotChanged(counter);
    if (firstFailure)
        showMessage(QStringLiteral("Backup not saved: %1: %2")
                        .arg(fromNarrow(start_.backupData(counter)), reason));
}

// A stretch without an answer is told once and shown in the slot's status while it lasts; a
// register that went back has only its header line, which the record holds.
void RunControl::onCounterFault(int counter, nivra::CounterFault fault, std::int64_t first) {
    CounterSlot& slot = slots_.slot(counter);
    switch (fault) {
    case nivra::CounterFault::NotAnswering:
        slot.silentSince = first;
        break;
    case nivra::CounterFault::AnsweringAgain:
        slot.silentSince.reset();
        break;
    case nivra::CounterFault::WrappedOrReset:
        break;
    case nivra::CounterFault::OverLimit:
        slot.overLimitSince = first;
        break;
    case nivra::CounterFault::OverLimitEnded:
        slot.overLimitSince.reset();
        break;
    case nivra::CounterFault::Garbled:
        slot.garbledSince = first;
        break;
    case nivra::CounterFault::GarbledEnded:
        slot.garbledSince.reset();
        break;
    }
    emit slotChanged(counter);
    if (fault == nivra::CounterFault::NotAnswering)
        showMessage(
            QStringLiteral("Counter %1 not answering since %2; the run goes on and records it")
                .arg(counter)
                .arg(fromNarrow(nivra::formatLocalTime(first))));
}

void RunControl::reportHistoryProblem(const std::string& message) {
    // The recorder reports from the thread that wrote (often the run's); the operator is told
    // from the window's thread, without the run waiting for the answer.
    const QString text = fromNarrow(message);
    QMetaObject::invokeMethod(
        this, [text] { showMessage(text); }, Qt::QueuedConnection);
}

void RunControl::showLeftOverBackups() {
    const std::vector<std::string> names = nivra::leftOverBackups(start_);
    if (names.empty())
        return;
    QStringList list;
    for (const std::string& name : names)
        list << fromNarrow(name);
    showMessage(QStringLiteral("Backups of interrupted runs in %1: %2")
                    .arg(fromNarrow(nivra::backupFolder(start_)), list.join(QStringLiteral(", "))));
}

} // namespace nivra::ui
