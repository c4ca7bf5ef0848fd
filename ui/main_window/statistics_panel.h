#pragma once

#include "base/start_directory.h"
#include "model/stats_show.h"

#include <QObject>
#include <functional>
#include <string>

class QFont;
class QListWidget;

namespace nivra {
class AssayData;
} // namespace nivra

namespace nivra::ui {

struct MainWindowUi;
class WindowMenu;
class SlotModel;
struct PointRange;

// The statistics pair of the main window: labels in one list box, values in the other, row for
// row, for the whole record ("All Data") or for the region of interest ("ROI"); and the
// "Statistics Show" menu, which chooses the statistics the pair and the CSV export show, kept in
// stats_display_config.pfx below the start directory. The statistics are computed by the
// record's own statistics block, with the selection and the background gate applied; nothing is
// computed or cached here. It handles its buttons and its menu items itself.
class StatisticsPanel final : public QObject {
    Q_OBJECT
public:
    using RegionSource = std::function<PointRange()>;
    // `region` gives the region of interest the ROI statistics are of; the selection's file is
    // below start.
    StatisticsPanel(const MainWindowUi& ui, WindowMenu& menu, const SlotModel& model,
                    RegionSource region, const StartDirectory& start);

    // Both lists get one font, so their rows stay side by side: a narrow face where one is
    // installed, at the largest size up to `font`'s at which every label and values of up to 14
    // characters fit their columns.
    void fitFont(const QFont& font);
    // Reads the selection from its file and shows it in the menu.
    void loadSelection();
    const StatsShow& selection() const { return selection_; }
    void clearValues();

private:
    void fill(const AssayData& data);
    void showAllData();
    void showRegion();
    // The check marks from the selection, and the selection saved.
    void applySelection();

    const SlotModel& slots_;
    RegionSource region_;
    const std::string selectionFile_;
    WindowMenu& menu_;
    QListWidget* labels_;
    QListWidget* values_;
    StatsShow selection_;
};

} // namespace nivra::ui
