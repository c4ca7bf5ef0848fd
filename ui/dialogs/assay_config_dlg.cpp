#include "ui/dialogs/assay_config_dlg.h"

#include "base/start_directory.h"
#include "ui/controls/edit_fields.h"
#include "ui/controls/narrow_text.h"

namespace nivra::ui {

namespace {

using nivra::ui::FileDialogRequest;

// The Load and Save dialogs start in the folder that holds the assay configurations.
FileDialogRequest assayFileRequest(const StartDirectory& start) {
    FileDialogRequest request;
    request.defaultExtension = QStringLiteral("acx");
    request.filters = {{QStringLiteral("Assay Config Nivra (*.acx)"), QStringLiteral("*.acx")}};
    request.overwritePrompt = true;
    request.startFolder = nivra::ui::fromNarrow(start.file(nivra::kAssayConfigFolder));
    return request;
}

} // namespace

AssayConfigDlg::AssayConfigDlg(Prompts& prompts, const StartDirectory& start, QWidget* parent)
    : ConfigRecordDlg(prompts, nivra::res::assayConfigTemplate(), parent, assayFileRequest(start),
                      {QStringLiteral("File Loaded"), QStringLiteral("File Saved"),
                       QStringLiteral("Default File Saved.")},
                      AssayConfig::loadDefault(start)) {
    ui_ = form()->bind<AssayConfigUi>();
    connectButtons({ui_.load, ui_.save, ui_.saveAsDefault, ui_.close});
    showRecord();
}

AssayConfigDlg::~AssayConfigDlg() = default;

void AssayConfigDlg::showRecord() {
    showNumber(ui_.sampleArea, config_.sampleArea);
    showText(ui_.name, config_.name);
    showNumber(ui_.dwellHours, config_.dwellHours);
    showNumber(ui_.dwellMinutes, config_.dwellMinutes);
    showNumber(ui_.dwellSeconds, config_.dwellSeconds);
    showNumber(ui_.totalHours, config_.totalHours);
    showNumber(ui_.totalMinutes, config_.totalMinutes);
    showNumber(ui_.totalSeconds, config_.totalSeconds);
    showNumber(ui_.backgroundRate, config_.backgroundRate);
    showNumber(ui_.backgroundHours, config_.backgroundHours);
}

bool AssayConfigDlg::readFields() {
    if (!readWholeNumber(prompts_, ui_.sampleArea, config_.sampleArea))
        return false;
    config_.name = readText(ui_.name);
    for (auto [edit, value] : {std::pair{ui_.dwellHours, &config_.dwellHours},
                               {ui_.dwellMinutes, &config_.dwellMinutes},
                               {ui_.dwellSeconds, &config_.dwellSeconds},
                               {ui_.totalHours, &config_.totalHours},
                               {ui_.totalMinutes, &config_.totalMinutes},
                               {ui_.totalSeconds, &config_.totalSeconds}})
        if (!readWholeNumber(prompts_, edit, *value))
            return false;
    return readReal(prompts_, ui_.backgroundRate, config_.backgroundRate) &&
           readReal(prompts_, ui_.backgroundHours, config_.backgroundHours);
}

} // namespace nivra::ui
