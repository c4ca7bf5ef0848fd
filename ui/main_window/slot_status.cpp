#include "ui/main_window/slot_status.h"

#include "base/value_encoding.h"
#include "ui/controls/control_text.h"
#include "ui/controls/dialog_base.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/controls/range_slider.h"
#include "ui/main_window/command_states.h"
#include "ui/main_window/nivra_dlg.h"
#include "ui/main_window/slot_board.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

namespace nivra::ui {

using namespace nivra::ui::main;

SlotStatus::SlotStatus(CDialogBase& window, const SlotBoard& board)
    : slots_(board), menu_(*window.Menu()), statusLabel_(window.Control(kStatusLabel)),
      fileLabel_(window.Control(kFileLabel)),
      screenUpdatesButton_(window.Control(kScreenUpdatesButton)),
      slider_(window.ControlAs<CRangeSlider>(kRangeSlider)) {}

void SlotStatus::show() {
    const CounterSlot& slot = slots_.active();
    if (const std::optional<StatusControls> controls =
            StatusControlsFor(slot.state, slot.HasPoints())) {
        QString status = QString::fromLatin1(StatusText(slot.state));
        if (!slot.backupProblem.empty())
            status += QStringLiteral(", backup not saved");
        if (slot.silentSince)
            status += QStringLiteral(", counter not answering since %1")
                          .arg(FromNarrow(nivra::FormatLocalTime(*slot.silentSince)));
        SetControlText(statusLabel_, status);
        screenUpdatesButton_->setEnabled(controls->screenUpdatesButton);
        if (controls->slider != StatusControls::Slider::Unchanged)
            slider_->setEnabled(controls->slider == StatusControls::Slider::Enabled);
    }
    SetControlText(fileLabel_, FromNarrow(slot.fileName));
    showCommandStates();
}

void SlotStatus::showCommandStates() {
    const std::optional<CommandStates> states =
        CommandStatesFor(slots_.active().state, slots_.viewer().data != nullptr);
    if (!states) {
        ShowMessage(QStringLiteral("invalid counter state"));
        return;
    }
    using namespace nivra::res;
    menu_.EnableItem(kCmdFileNew, states->fileNew);
    menu_.EnableItem(kCmdFileOpen, states->fileOpen);
    for (int command : {kCmdFileSave, kCmdSaveRoi, kCmdSaveCsv, kCmdSaveRoiCsv})
        menu_.EnableItem(command, states->fileSave);
    menu_.EnableItem(kCmdRunStart, states->runStart);
    menu_.EnableItem(kCmdRunStop, states->runStop);
}

void SlotStatus::markActiveCounter() {
    for (int k = 1; k < kSlotCount; ++k)
        menu_.CheckItem(nivra::res::kCmdCounter1 + k - 1, slots_.isActive(k));
}

void SlotStatus::offerCounters(int count) {
    for (int k = 0; k < kSlotCount - 1; ++k)
        menu_.EnableItem(nivra::res::kCmdCounter1 + k, k < count);
}

} // namespace nivra::ui
