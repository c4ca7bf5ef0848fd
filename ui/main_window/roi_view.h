#pragma once

#include <QObject>
#include <cstdint>

class QFont;
class QLineEdit;
class QListWidget;

namespace nivra::ui {

class ChartWidget;
class Prompts;
struct MainWindowUi;
class RangeSlider;
class SlotModel;

// A run of points by their 1-based numbers, first to last inclusive.
struct PointRange {
    int first = 0;
    int last = 0;
};

// The chart and the region of interest of the active slot's record: the range slider with its
// two ROI edits, the four step buttons and "Set ROI", "Delete" of a single point, and the data
// and ROI dump lists. It handles its own buttons.
class RoiView final : public QObject {
    Q_OBJECT
public:
    RoiView(const MainWindowUi& ui, Prompts& prompts, SlotModel& model);

    // Points first to last (1-based, inclusive) of the active slot's record in the chart.
    void showPoints(int first, int last);
    // Shows every point of the active slot and makes the region all of them. Returns the number
    // of points (0: nothing was shown).
    int showWholeRecord();
    void clearChart();
    // A slot without points: an empty chart, and slider and ROI edits on point 1, whatever the
    // operator had typed.
    void showNoPoints();
    // The slider's full range and selection, and the ROI edits from the selection.
    void setView(double min, double max, double low, double high);
    void setSliderEnabled(bool enabled);
    // Writes ROI min and max into their edits, whatever the operator typed there.
    void showRegionInEdits();
    // The font of the two dump lists.
    void setListFont(const QFont& font);
    // The slider's selection as point numbers, each edge truncated toward zero.
    PointRange selection() const;

    // The data dump list (every point) and the ROI dump list (the points of the slider's range).
    void fillDataDump();
    void fillRoiDump();
    void clearDumps();
    // The active slot's record after a point was deleted: all of it in chart and region, and
    // the dump lists on the screen as the record now is.
    void showEditedRecord();

signals:
    // The region of interest was set anew by the operator.
    void regionChanged();

private:
    enum class Edge { Low, High };
    // One of the four buttons beside the slider moves an edge one point down (step -1) or up.
    void stepRegion(Edge edge, int step);
    void setRegion();
    void deletePoint();
    // The slider moved; finished once the operator has let go.
    void sliderMoved(bool finished);
    // Writes an ROI edit unless the operator has the focus in it or has typed into it since it
    // was last written.
    void writeUnlessTyped(QLineEdit* edit, std::uint32_t value);

    Prompts& prompts_;
    SlotModel& slots_;
    ChartWidget* chart_;
    RangeSlider* slider_;
    QLineEdit* roiMinEdit_;
    QLineEdit* roiMaxEdit_;
    QListWidget* dataDump_;
    QListWidget* roiDump_;
    QLineEdit* deletePointEdit_;
    // The region as last read from or written to the ROI edits; an edit that does not convert
    // leaves its value.
    std::uint32_t roiMin_ = 0;
    std::uint32_t roiMax_ = 0;
};

} // namespace nivra::ui
