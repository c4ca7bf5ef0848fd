#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace nivra {
class AssayData;
class StatsShow;
} // namespace nivra

namespace nivra::ui {

class Prompts;
class WindowMenu;
class SlotModel;
struct PointRange;

// The File menu: New, which clears the active counter slot for a new run; Open, which loads a
// data file into the viewer; Save and Save CSV of the active slot's record and of its region of
// interest; and the way out (Exit and the close box), which first offers unsaved data for
// saving. It connects its menu items itself and changes the slots through the slot model.
//
// Every save tells the operator its outcome: the success text only when the file was written,
// "data not saved" for a cancelled dialog, and the file's name with "File not saved" when it
// could not be written.
class FileCommands final : public QObject {
    Q_OBJECT
public:
    using RegionSource = std::function<PointRange()>;
    // `shown` is the statistics selection the CSV exports carry; `region` the region of
    // interest that Save ROI writes.
    FileCommands(Prompts& prompts, WindowMenu& menu, SlotModel& model, const StatsShow& shown,
                 RegionSource region);

    // Save As a data file of the active slot; true when the record was written.
    bool save();
    // Before the viewer takes another record: its unsaved edits are offered for saving
    // ("Viewer data not saved, would you like to save?"). False when the operator cancelled or
    // the save asked for did not happen; true when saved, given up, or nothing was unsaved.
    bool mayReplaceViewer();
    // The way out: false when the operator stays (a run goes on, a question was cancelled, a
    // save asked for did not happen).
    bool mayExit();

private:
    void clearForNewRun();
    void open();
    void saveCsv();
    void saveRegion(bool csv);

    Prompts& prompts_;
    SlotModel& slots_;
    const StatsShow& shown_;
    RegionSource region_;
};

} // namespace nivra::ui
