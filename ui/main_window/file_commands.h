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

class WindowMenu;
class SlotBoard;
struct PointRange;

// The File menu: New, which clears the active counter slot for a new run; Open, which loads a
// data file into the viewer; Save and Save CSV of the active slot's record and of its region of
// interest; and the way out (Exit and the close box), which first offers unsaved data for
// saving. It connects its menu items itself; the window redisplays on its signals.
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
    FileCommands(WindowMenu& menu, SlotBoard& board, const StatsShow& shown, RegionSource region);

    // Save As a data file of the active slot; true when the record was written.
    bool save();
    // Before the viewer takes another record: its unsaved edits are offered for saving
    // ("Viewer data not saved, would you like to save?"). False when the operator cancelled or
    // the save asked for did not happen; true when saved, given up, or nothing was unsaved.
    bool mayReplaceViewer();
    // The viewer shows data, read from the file or history entry named fileName, and becomes
    // the active slot.
    void showInViewer(std::unique_ptr<AssayData> data, const std::string& fileName);
    // The way out: false when the operator stays (a run goes on, a question was cancelled, a
    // save asked for did not happen).
    bool mayExit();

signals:
    // Another slot became the active one: the window shows it.
    void activeSlotChanged();
    // The viewer holds a new record and is active.
    void viewerFilled();
    // The active slot is about to be cleared for a new run: its record's display goes, and with
    // resetLabels its header lines and planned times too.
    void clearing(bool resetLabels);
    // The active slot's state, file name or saved flag changed.
    void statusChanged();

private:
    void clearForNewRun();
    void resetForNewRun(bool resetLabels);
    void open();
    void saveCsv();
    void saveRegion(bool csv);

    SlotBoard& slots_;
    const StatsShow& shown_;
    RegionSource region_;
};

} // namespace nivra::ui
