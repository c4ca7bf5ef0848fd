#pragma once

#include "model/assay_config.h"
#include "ui/dialogs/config_file_dlg.h"

#include <cstdint>
#include <string>

namespace nivra::ui {

// The "Assay Configuration" dialog: edits an assay configuration, loads and saves .acx files and
// writes the default configuration (assay_config/default.acx below the start directory). It
// always opens on the default configuration, read afresh when the dialog object is constructed.
// There is no OK button: the operator saves explicitly, and Close (or the close box) ends the
// dialog without writing anything. Return and Escape do nothing. Its controls are named in
// ui/resources/assay_config_controls.h.
//
// The main window opens it for Configuration > Assay with
//     showAssayConfigDialog(this);
class AssayConfigDlg : public ConfigRecordDlg<AssayConfig> {
    Q_OBJECT
public:
    // Reads the default configuration file.
    explicit AssayConfigDlg(QWidget* parent = nullptr);
    ~AssayConfigDlg() override;

protected:
    // Fields are read in this order: sample area, name, the dwell time, the total time,
    // background rate, background time. A field that does not convert stops the reading there.
    void doDataExchange(DataExchange& dx) override;

private:
    void valuesFromRecord() override;
    void valuesToRecord() override;

    // The values shown in the edits; the record's file path is never one of them.
    std::string name_;
    std::uint32_t dwellHours_ = 0;
    std::uint32_t dwellMinutes_ = 0;
    std::uint32_t dwellSeconds_ = 0;
    std::uint32_t totalHours_ = 0;
    std::uint32_t totalMinutes_ = 0;
    std::uint32_t totalSeconds_ = 0;
    std::uint32_t sampleArea_ = 0;
    double backgroundHours_ = 0.0;
    double backgroundRate_ = 0.0;
};

// Runs the assay configuration dialog modally over parent (may be null). The result is of no
// interest to the caller: everything the operator keeps is in the files written.
void showAssayConfigDialog(QWidget* parent);

} // namespace nivra::ui
