#include "ui/main_window/slot_status.h"

#include "base/value_encoding.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/controls/range_slider.h"
#include "ui/main_window/command_states.h"
#include "ui/main_window/counter_slot.h"
#include "ui/main_window/slot_model.h"
#include "ui/resources/main_window_ui.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

#include <QLabel>
#include <QPushButton>

namespace nivra::ui {

SlotStatus::SlotStatus(const MainWindowUi& ui, Prompts& prompts, WindowMenu& menu,
                       const SlotModel& model)
    : prompts_(prompts), slots_(model), menu_(menu), ui_(ui) {}

void SlotStatus::show() {
    const CounterSlot& slot = slots_.active();
    if (const std::optional<StatusControls> controls =
            statusControlsFor(slot.state, slot.hasPoints())) {
        QString status = QString::fromLatin1(statusText(slot.state));
        const RunReportState& reports = slot.reports;
        if (reports.backupFailed())
            status += QStringLiteral(", backup not saved");
        if (reports.silentSince)
            status += QStringLiteral(", counter not answering since %1")
                          .arg(fromNarrow(nivra::formatLocalTime(*reports.silentSince)));
        if (reports.overLimitSince)
            status += QStringLiteral(", count rate above the counter's limit since %1")
                          .arg(fromNarrow(nivra::formatLocalTime(*reports.overLimitSince)));
        if (reports.garbledSince)
            status += QStringLiteral(", counter replies garbled since %1")
                          .arg(fromNarrow(nivra::formatLocalTime(*reports.garbledSince)));
        ui_.status->setText(status);
        ui_.screenUpdates->setEnabled(controls->screenUpdatesButton);
        if (controls->slider != StatusControls::Slider::Unchanged)
            ui_.slider->setEnabled(controls->slider == StatusControls::Slider::Enabled);
    }
    // A counter cleared for a run whose record has no file yet says so; the viewer and a counter
    // never cleared show nothing.
    const bool prepared = slot.state != VIEWER && slot.state != DEMO;
    ui_.fileLabel->setText(slot.fileName.empty() && prepared ? QStringLiteral("File: ")
                                                             : fromNarrow(slot.fileName));
    showCommandStates();
}

void SlotStatus::showCommandStates() {
    const std::optional<CommandStates> states =
        commandStatesFor(slots_.active().state, slots_.viewer().data != nullptr);
    if (!states) {
        prompts_.tell(QStringLiteral("invalid counter state"));
        return;
    }
    using namespace nivra::res;
    menu_.enableItem(Command::FileNew, states->fileNew);
    menu_.enableItem(Command::FileOpen, states->fileOpen);
    for (nivra::res::MenuCommand command :
         {Command::FileSave, Command::SaveRoi, Command::SaveCsv, Command::SaveRoiCsv})
        menu_.enableItem(command, states->fileSave);
    menu_.enableItem(Command::RunStart, states->runStart);
    menu_.enableItem(Command::RunStop, states->runStop);
}

void SlotStatus::markActiveCounter() {
    for (int k = 1; k < kSlotCount; ++k)
        menu_.checkItem(nivra::res::activeCounterCommand(k), slots_.isActive(k));
}

void SlotStatus::showOfferedCounters() {
    for (int k = 1; k < kSlotCount; ++k)
        menu_.enableItem(nivra::res::activeCounterCommand(k), slots_.isOffered(k));
}

} // namespace nivra::ui
