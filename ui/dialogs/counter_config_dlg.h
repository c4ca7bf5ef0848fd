#pragma once

#include "base/start_directory.h"
#include "model/counter_config.h"
#include "ui/dialogs/config_file_dlg.h"
#include "ui/resources/counter_config_ui.h"

#include <QString>

namespace nivra::ui {

// The counter configuration dialog for one slot of the main window: edits the configuration of
// counter N, kept in counter_config/counter<N>.ccx below the start directory (N = 0 for the
// viewer, 1 to 4 for the counters). "Save As Default" writes that slot file, which the run start
// dialog reads for the counter; Load and Save work on any .ccx file. The slot file is read when
// the dialog object is constructed. There is no OK button: Close (or the close box) ends the
// dialog without writing anything. Return and Escape do nothing.
class CounterConfigDlg : public ConfigRecordDlg<CounterConfig> {
    Q_OBJECT
public:
    // counterNumber: the slot's number, 0 for the viewer; its file is below start.
    CounterConfigDlg(Prompts& prompts, int counterNumber, const StartDirectory& start,
                     QWidget* parent = nullptr);
    ~CounterConfigDlg() override;

    const CounterConfigUi& ui() const { return ui_; }

private:
    void showRecord() override;
    // Fields are read in this order: name, description, detector area, detector efficiency.
    bool readFields() override;

    CounterConfigUi ui_;
};

} // namespace nivra::ui
