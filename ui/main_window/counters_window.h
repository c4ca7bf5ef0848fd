#pragma once

#include "base/start_directory.h"
#include "engine/run_observer.h"
#include "ui/main_window/counter_rows.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSettings;
class QTableWidget;

namespace nivra::ui {

class WindowMenu;
class Notifier;
class SlotModel;

// The Counters window: every counter found at start-up and the viewer at a glance, one row each
// (number and name, state, assay, points so far of planned, progress, counts of the last second
// and of the current dwell, time left, end time, the last backup save and a sparkline of the
// points). It renders every slot from the slot model as the model announces changes, so runs on
// counters that are not active show here while the main window shows its active slot
// undisturbed. Double-clicking a row chooses
// that slot's Active Counter item, with whatever the menu would do and ask. When a run ends its
// row says how and when, and a desktop notification says so.
//
// The window belongs to the main window and exists from the main window's construction on, also
// while it is closed. Whether it was open, and where, is kept in the settings and restored
// at the next start.
class CountersWindow final : public QWidget {
    Q_OBJECT
public:
    using Clock = std::function<std::int64_t()>;
    // Gives the settings where the window keeps whether it is open and its place.
    using SettingsSource = std::function<std::unique_ptr<QSettings>()>;

    // Adds the "Counters" item to the main window's menu and follows the slot model. Run ends
    // are told through `notifier`; the counters' names come from their configurations below
    // start.
    CountersWindow(const SlotModel& model, Notifier& notifier, WindowMenu& menu, Clock now,
                   SettingsSource settings, const StartDirectory& start, QWidget* parent);
    ~CountersWindow() override;

    // Shows the window (at its remembered place the first time), raises it, and remembers it
    // open.
    void open();
    // Opens the window if it was open when the program last ended.
    void restore();
    // Rewrites every row from the slots (the counter names are read again from their
    // configurations).
    void refresh();

    QTableWidget* table() const { return table_; }
    // The slot shown in a row (0 the viewer), or -1.
    int slotOfRow(int row) const;
    int rowOfSlot(int slot) const;
    // What a double click on the row does: the slot's Active Counter item, if the menu offers it.
    void activateRow(int row);

    enum Column {
        kCounterColumn,
        kStateColumn,
        kAssayColumn,
        kPointsColumn,
        kProgressColumn,
        kLastSecondColumn,
        kDwellColumn,
        kTimeLeftColumn,
        kEndTimeColumn,
        kDecisionColumn,
        kBackupColumn,
        kSparklineColumn,
        kColumnCount
    };

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The slots with a row: the viewer and the counters the Active Counter menu offers.
    std::vector<int> shownSlots() const;
    void rebuildRows();
    void refreshSlot(int slot);
    void fitToContents();
    // The size that shows every row and column whole, within the screen.
    QSize neededSize() const;
    // Grows the open window to neededSize() where it is smaller.
    void growToFit();
    // Saves the window's place, and whether it is open when `open` says.
    void rememberPlace(std::optional<bool> open);
    // The desktop notification of a run's end.
    void notifyEnd(int counter, nivra::EndReason reason);

    const SlotModel& slots_;
    Notifier& notifier_;
    WindowMenu& menu_;
    QWidget* menuBar_;
    Clock now_;
    SettingsSource settings_;
    const StartDirectory start_;
    QTableWidget* table_ = nullptr;
    std::vector<int> rows_; // the slot of each row
    std::array<ClassDecisionText, kSlotCount> decisions_;
    bool placed_ = false;
};

} // namespace nivra::ui
