// The active slot's status and the commands its state allows; Start and Stop of a run.

#include "base/value_encoding.h"
#include "engine/assay_run.h"
#include "engine/backup_file.h"
#include "engine/run_history_observer.h"
#include "storage/history_database.h"
#include "storage/run_recorder.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/controls/range_slider.h"
#include "ui/dialogs/run_config_dlg.h"
#include "ui/main_window/command_states.h"
#include "ui/main_window/nivra_dlg.h"
#include "ui/main_window/run_events.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

#include <QListWidget>

using namespace nivra::ui::main;

void CNivraDlg::RefreshStatus() {
    const CounterSlot& slot = ActiveSlotRecord();
    if (const std::optional<StatusControls> controls =
            StatusControlsFor(slot.state, slot.HasPoints())) {
        QString status = QString::fromLatin1(StatusText(slot.state));
        if (!slot.backupProblem.empty())
            status += QStringLiteral(", backup not saved");
        if (slot.silentSince)
            status += QStringLiteral(", counter not answering since %1")
                          .arg(nivra::ui::FromNarrow(nivra::FormatLocalTime(*slot.silentSince)));
        SetItemText(kStatusLabel, status);
        EnableItem(kScreenUpdatesButton, controls->screenUpdatesButton);
        if (controls->slider != StatusControls::Slider::Unchanged)
            rangeSlider_->setEnabled(controls->slider == StatusControls::Slider::Enabled);
    }
    SetText(kFileLabel, slot.fileName);
    FillHeaderList();
    UpdateCommandStates();
    RefreshAssessment();
}

void CNivraDlg::FillHeaderList() {
    auto* list = ControlAs<QListWidget>(kHeaderList);
    // The operator's selection survives a refresh while its line is still there.
    const int selected = list->currentRow();
    list->clear();
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.data)
        return;
    QStringList lines;
    for (const std::string& line : slot.data->headerLines())
        lines << nivra::ui::FromNarrow(line);
    list->addItems(lines);
    if (selected >= 0 && selected < list->count())
        list->setCurrentRow(selected);
}

void CNivraDlg::UpdateCommandStates() {
    const std::optional<CommandStates> states =
        CommandStatesFor(ActiveSlotRecord().state, slots_[kViewerSlot].data != nullptr);
    if (!states) {
        nivra::ui::ShowMessage(QStringLiteral("invalid counter state"));
        return;
    }
    using namespace nivra::res;
    CWindowMenu* menu = Menu();
    menu->EnableItem(kCmdFileNew, states->fileNew);
    menu->EnableItem(kCmdFileOpen, states->fileOpen);
    for (int command : {kCmdFileSave, kCmdSaveRoi, kCmdSaveCsv, kCmdSaveRoiCsv})
        menu->EnableItem(command, states->fileSave);
    menu->EnableItem(kCmdRunStart, states->runStart);
    menu->EnableItem(kCmdRunStop, states->runStop);
}

void CNivraDlg::OnStart() {
    CounterSlot& slot = ActiveSlotRecord();
    // A run starts only on a slot cleared for it. Checked before the dialog: once the dialog has
    // started a run, that run must have a slot to report to.
    if (slot.state != NEW) {
        nivra::ui::ShowMessage(
            QStringLiteral("Assay Already Running for this counter, stop first"));
        return;
    }
    // Asked before the operator fills in the dialog.
    if (environment_.run.backups) {
        const std::string problem = nivra::backupFolderProblem(activeSlot_);
        if (!problem.empty() &&
            nivra::ui::Ask(QStringLiteral("Backups cannot be written to %1: %2. Start anyway?")
                               .arg(nivra::ui::FromNarrow(nivra::backupFolder()),
                                    nivra::ui::FromNarrow(problem)),
                           nivra::ui::MessageButtons::YesNo,
                           nivra::ui::Sound::Exclamation) != nivra::ui::Answer::Yes)
            return;
    }
    CAssayRunConfigDlg dialog(activeSlot_, this);
    if (RunModal(dialog) != Accepted || !dialog.CounterConfiguration() ||
        !dialog.AssayConfiguration())
        return;
    // The dialog is modal, so the active slot is still the one it was opened for, and still NEW.
    auto data = std::make_unique<AssayData>(*dialog.CounterConfiguration(),
                                            *dialog.AssayConfiguration(), activeSlot_);
    // The run reports through the history's observer, which records the run and passes each
    // report on to the window; a history that cannot be written is said once and the run goes on.
    auto recorder = std::make_unique<nivra::RunRecorder>(
        nivra::HistoryDatabase::DefaultPath(),
        [this](const std::string& message) { ReportHistoryProblem(message); });
    auto history = std::make_unique<nivra::RunHistoryObserver>(
        *data, *recorder, data->assayConfig().kind(), RunReports(), environment_.run.Clock());
    std::unique_ptr<nivra::AssayRun> run =
        nivra::AssayRun::start(*data, *history, environment_.run);
    if (!run) {
        nivra::ui::ShowMessage(QStringLiteral("Error creating run thread"));
        return;
    }
    // The run's first report reaches the window only after this handler: the slot holds the
    // run and its record by then.
    slot.data = std::move(data);
    slot.recorder = std::move(recorder);
    slot.history = std::move(history);
    slot.run = std::move(run);
    slot.saved = false;
    slot.state = RUNNING;
    RefreshStatus();
}

void CNivraDlg::OnStop() {
    CounterSlot& slot = ActiveSlotRecord();
    if (slot.state != RUNNING) {
        nivra::ui::ShowMessage(
            QStringLiteral("Can not stop: No assay running for active counter."));
        return;
    }
    const nivra::ui::Answer answer = nivra::ui::Ask(
        QStringLiteral("Assay is currently running on this counter. Are you sure you want to stop "
                       "it? \n You will have the option to save this data if you stop."),
        nivra::ui::MessageButtons::YesNo, nivra::ui::Sound::Exclamation);
    // The slot stays RUNNING until the run reports its end.
    if (answer == nivra::ui::Answer::Yes && slot.run)
        slot.run->requestStop();
}
