#include "ui/dialogs/assay_config_dlg.h"

#include "base/start_directory.h"
#include "ui/controls/narrow_text.h"
#include "ui/resources/assay_config_controls.h"
#include "ui/resources/resource_ids.h"

namespace nivra::ui {

namespace {

using nivra::ui::FileDialogRequest;
using namespace nivra::ui::assay_config;

// The Load and Save dialogs start in the folder that holds the assay configurations.
FileDialogRequest assayFileRequest() {
    FileDialogRequest request;
    request.defaultExtension = QStringLiteral("acx");
    request.filters = {{QStringLiteral("Assay Config Nivra (*.acx)"), QStringLiteral("*.acx")}};
    request.overwritePrompt = true;
    request.startFolder = nivra::ui::fromNarrow(nivra::startPath(nivra::kAssayConfigFolder));
    return request;
}

} // namespace

AssayConfigDlg::AssayConfigDlg(QWidget* parent)
    : ConfigRecordDlg(nivra::res::kDialogAssayConfig, parent,
                      {kLoadButton, kSaveButton, kSaveAsDefaultButton}, assayFileRequest(),
                      {QStringLiteral("File Loaded"), QStringLiteral("File Saved"),
                       QStringLiteral("Default File Saved.")},
                      AssayConfig::loadDefault(nivra::getStartingDirectory())) {}

AssayConfigDlg::~AssayConfigDlg() = default;

void AssayConfigDlg::doDataExchange(DataExchange& dx) {
    dx.wholeNumber(kSampleAreaEdit, sampleArea_);
    dx.text(kNameEdit, name_);
    dx.wholeNumber(kDwellHoursEdit, dwellHours_);
    dx.wholeNumber(kDwellMinutesEdit, dwellMinutes_);
    dx.wholeNumber(kDwellSecondsEdit, dwellSeconds_);
    dx.wholeNumber(kTotalHoursEdit, totalHours_);
    dx.wholeNumber(kTotalMinutesEdit, totalMinutes_);
    dx.wholeNumber(kTotalSecondsEdit, totalSeconds_);
    dx.text(kBackgroundRateEdit, backgroundRate_);
    dx.text(kBackgroundHoursEdit, backgroundHours_);
}

void AssayConfigDlg::valuesFromRecord() {
    sampleArea_ = config_.sampleArea;
    name_ = config_.name;
    dwellHours_ = config_.dwellHours;
    dwellMinutes_ = config_.dwellMinutes;
    dwellSeconds_ = config_.dwellSeconds;
    totalHours_ = config_.totalHours;
    totalMinutes_ = config_.totalMinutes;
    totalSeconds_ = config_.totalSeconds;
    backgroundHours_ = config_.backgroundHours;
    backgroundRate_ = config_.backgroundRate;
}

void AssayConfigDlg::valuesToRecord() {
    config_.sampleArea = sampleArea_;
    config_.name = name_;
    config_.dwellHours = dwellHours_;
    config_.dwellMinutes = dwellMinutes_;
    config_.dwellSeconds = dwellSeconds_;
    config_.totalHours = totalHours_;
    config_.totalMinutes = totalMinutes_;
    config_.totalSeconds = totalSeconds_;
    config_.backgroundHours = backgroundHours_;
    config_.backgroundRate = backgroundRate_;
}

void showAssayConfigDialog(QWidget* parent) {
    AssayConfigDlg dialog(parent);
    dialog.exec();
}

} // namespace nivra::ui
