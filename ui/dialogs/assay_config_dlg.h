#pragma once

#include "model/assay_config.h"
#include "ui/dialogs/config_file_dlg.h"
#include "ui/resources/assay_config_ui.h"

namespace nivra::ui {

// The "Assay Configuration" dialog: edits an assay configuration, loads and saves .acx files and
// writes the default configuration (assay_config/default.acx below the start directory). It
// always opens on the default configuration, read afresh when the dialog object is constructed.
// There is no OK button: the operator saves explicitly, and Close (or the close box) ends the
// dialog without writing anything. Return and Escape do nothing.
//
class AssayConfigDlg : public ConfigRecordDlg<AssayConfig> {
    Q_OBJECT
public:
    // Reads the default configuration file of the start directory; asks the operator through
    // `prompts`.
    AssayConfigDlg(Prompts& prompts, const StartDirectory& start, QWidget* parent = nullptr);
    ~AssayConfigDlg() override;

    const AssayConfigUi& ui() const { return ui_; }

private:
    void showRecord() override;
    // Fields are read in this order: sample area, name, the dwell time, the total time,
    // background rate, background time.
    bool readFields() override;

    AssayConfigUi ui_;
};

} // namespace nivra::ui
