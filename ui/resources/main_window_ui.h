#pragma once

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace nivra::ui {

class ChartWidget;
class RangeSlider;

// The controls of the main window that its parts work with.
struct MainWindowUi {
    ChartWidget* chart = nullptr;
    QLabel* activeLabel = nullptr;
    QLabel* status = nullptr;
    QLabel* fileLabel = nullptr;
    QProgressBar* progress = nullptr;
    QCheckBox* heartbeat = nullptr;
    QLabel* countsLastSecond = nullptr;
    QLabel* countsDwell = nullptr;
    QLabel* endTime = nullptr;
    QLabel* timeLeft = nullptr;
    QPushButton* screenUpdates = nullptr;
    // The region of interest under the chart.
    RangeSlider* slider = nullptr;
    QPushButton* lowDown = nullptr;  // "<" left of the slider
    QPushButton* lowUp = nullptr;    // ">" left of the slider
    QPushButton* highDown = nullptr; // "<" right of the slider
    QPushButton* highUp = nullptr;   // ">" right of the slider
    QPushButton* setRoi = nullptr;
    QLineEdit* roiMin = nullptr;
    QLineEdit* roiMax = nullptr;
    // The statistics panel.
    QListWidget* statsLabels = nullptr;
    QListWidget* statsValues = nullptr;
    QPushButton* allData = nullptr;
    QPushButton* roiStats = nullptr;
    // Deleting a point, and the dump lists.
    QLineEdit* deletePointEdit = nullptr;
    QPushButton* deletePoint = nullptr;
    QListWidget* dataDump = nullptr;
    QListWidget* roiDump = nullptr;
    QPushButton* dataDumpButton = nullptr;
    QPushButton* roiDumpButton = nullptr;
    // The header lines.
    QListWidget* headerList = nullptr;
    QLineEdit* headerEdit = nullptr;
    QPushButton* addHeader = nullptr;
    QPushButton* delHeader = nullptr;
};

} // namespace nivra::ui
