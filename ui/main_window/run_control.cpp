#include "ui/main_window/run_control.h"

#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "engine/backup_file.h"
#include "engine/run_assembly.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/dialogs/run_config_dlg.h"
#include "ui/main_window/run_events.h"
#include "ui/main_window/slot_model.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

#include <QAction>
#include <QMetaObject>

namespace nivra::ui {

RunControl::RunControl(QWidget& window, Prompts& prompts, WindowMenu& menu, SlotModel& model,
                       const StartDirectory& startDirectory, nivra::HistoryLocation history,
                       RunEnvironment environment, ModalRunner runModal)
    : window_(window), prompts_(prompts), slots_(model), start_(startDirectory),
      history_(std::move(history)), environment_(std::move(environment)),
      runModal_(std::move(runModal)) {
    environment_.backups = start_;
    connect(menu.action(nivra::res::Command::RunStart), &QAction::triggered, this,
            [this] { start(); });
    connect(menu.action(nivra::res::Command::RunStop), &QAction::triggered, this,
            [this] { stop(); });

    connect(&model, &SlotModel::backupKept, this, [this](int, const QString& keptPath) {
        prompts_.tell(
            QStringLiteral("The backup of an interrupted run was kept as %1").arg(keptPath));
    });
    // The first failure of a stretch is told in a message; the slot's status shows it until a
    // save works again.
    connect(&model, &SlotModel::backupFailed, this, [this](int counter, const QString& reason) {
        prompts_.tell(QStringLiteral("Backup not saved: %1: %2")
                          .arg(fromNarrow(start_.backupData(counter)), reason));
    });
    // A stretch without an answer is told once and shown in the slot's status while it lasts.
    connect(&model, &SlotModel::counterSilent, this, [this](int counter, qint64 since) {
        prompts_.tell(
            QStringLiteral("Counter %1 not answering since %2; the run goes on and records it")
                .arg(counter)
                .arg(fromNarrow(nivra::formatLocalTime(since))));
    });
}

void RunControl::start() {
    const CounterSlot& slot = slots_.active();
    const int counter = slots_.activeIndex();
    // A run starts only on a slot cleared for it. Checked before the dialog: once the dialog has
    // started a run, that run must have a slot to report to.
    if (slot.state != NEW) {
        prompts_.tell(QStringLiteral("Assay Already Running for this counter, stop first"));
        return;
    }
    // Asked before the operator fills in the dialog.
    if (environment_.backups) {
        const std::string problem = nivra::backupFolderProblem(start_, counter);
        if (!problem.empty() &&
            prompts_.ask(QStringLiteral("Backups cannot be written to %1: %2. Start anyway?")
                             .arg(fromNarrow(nivra::backupFolder(start_)), fromNarrow(problem)),
                         MessageButtons::YesNo, Sound::Exclamation) != Answer::Yes)
            return;
    }
    RunConfigDlg dialog(prompts_, counter, start_, &window_);
    const int result = runModal_ ? runModal_(dialog) : dialog.exec();
    if (result != QDialog::Accepted || !dialog.counterConfiguration() ||
        !dialog.assayConfiguration())
        return;
    // The dialog is modal, so the active slot is still the one it was opened for, and still NEW.
    // The run reports through the history's observer, which records the run and passes each
    // report on to the window; a history that cannot be written is said once and the run goes on.
    nivra::RunSetup setup{
        *dialog.counterConfiguration(), *dialog.assayConfiguration(), counter, history_,
        [this](const std::string& message) { reportHistoryProblem(message); },
        // The events object outlives the slots, whose observers call this
        // from their writer.
        [&events = slots_.reports(), counter] { emit events.historyWritten(counter); }};
    nivra::AssembledRun assembled(std::move(setup));
    if (!assembled.start(slots_.reports(), environment_)) {
        prompts_.tell(QStringLiteral("Error creating run thread"));
        return;
    }
    // The run's first report reaches the slot model only after this handler: the slot holds
    // the run and its record by then.
    slots_.attachRun(counter, std::move(assembled));
}

void RunControl::stop() {
    if (slots_.active().state != RUNNING) {
        prompts_.tell(QStringLiteral("Can not stop: No assay running for active counter."));
        return;
    }
    const Answer answer = prompts_.ask(
        QStringLiteral("Assay is currently running on this counter. Are you sure you want to stop "
                       "it? \n You will have the option to save this data if you stop."),
        MessageButtons::YesNo, Sound::Exclamation);
    // The slot stays RUNNING until the run reports its end.
    if (answer == Answer::Yes)
        slots_.requestStop(slots_.activeIndex());
}

void RunControl::reportHistoryProblem(const std::string& message) {
    // The recorder reports from the thread that wrote (often the run's); the operator is told
    // from the window's thread, without the run waiting for the answer.
    const QString text = fromNarrow(message);
    QMetaObject::invokeMethod(
        this, [this, text] { prompts_.tell(text); }, Qt::QueuedConnection);
}

void RunControl::showLeftOverBackups() {
    const std::vector<std::string> names = nivra::leftOverBackups(start_);
    if (names.empty())
        return;
    QStringList list;
    for (const std::string& name : names)
        list << fromNarrow(name);
    prompts_.tell(
        QStringLiteral("Backups of interrupted runs in %1: %2")
            .arg(fromNarrow(nivra::backupFolder(start_)), list.join(QStringLiteral(", "))));
}

} // namespace nivra::ui
