#pragma once

#include "model/counter_config.h"
#include "ui/dialogs/config_file_dlg.h"

#include <QString>
#include <cstdint>
#include <string>

namespace nivra::ui {

// The counter configuration dialog for one slot of the main window: edits the configuration of
// counter N, kept in counter_config/counter<N>.ccx below the start directory (N = 0 for the
// viewer, 1 to 4 for the counters). "Save As Default" writes that slot file, which the run start
// dialog reads for the counter; Load and Save work on any .ccx file. The slot file is read when
// the dialog object is constructed. There is no OK button: Close (or the close box) ends the
// dialog without writing anything. Return and Escape do nothing. Its controls are named in
// ui/resources/counter_config_controls.h.
//
// The main window opens it for Configuration > Counter on its active slot with
//     showCounterConfigDialog(this, activeSlot);
class CounterConfigDlg : public ConfigRecordDlg<CounterConfig> {
    Q_OBJECT
public:
    // counterNumber: the slot's number, 0 for the viewer.
    explicit CounterConfigDlg(int counterNumber, QWidget* parent = nullptr);
    ~CounterConfigDlg() override;

protected:
    // Fields are read in this order: name, description, detector area, detector efficiency. A
    // field that does not convert stops the reading there.
    void doDataExchange(DataExchange& dx) override;
    bool onInitDialog() override;

private:
    void valuesFromRecord() override;
    void valuesToRecord() override;
    QString title_;

    // The values shown in the edits; the record's file path is never one of them.
    std::string name_;
    std::string description_;
    std::uint32_t detectorArea_ = 0;
    double detectorEfficiency_ = 0.0;
};

// Runs the counter configuration dialog modally over parent (may be null) for the given slot
// (0 for the viewer, 1 to 4 for the counters). The result is of no interest to the caller.
void showCounterConfigDialog(QWidget* parent, int slotNumber);

} // namespace nivra::ui
