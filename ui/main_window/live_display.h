#pragma once

#include <QString>
#include <array>
#include <cstdint>

class QCheckBox;
class QLabel;
class QPushButton;
class QProgressBar;
class QWidget;

namespace nivra {
class AssayData;
} // namespace nivra

namespace nivra::ui {

struct MainWindowUi;

// The run's live display for the active slot: the active-counter label, the counts of the last
// second and of the current dwell, the planned end and the time left, the heartbeat and the
// progress bar; and the switch that stops the per-second redraw of chart and region of interest.
//
// A report writes only the labels whose text changed: every write goes through this class,
// which remembers what each label shows.
class LiveDisplay {
public:
    // Takes the window's live controls; the progress bar starts empty on a 0 to 100 scale.
    explicit LiveDisplay(const MainWindowUi& ui);

    // One second of the active slot's run: the counts, the heartbeat, and for a record its
    // progress, planned end and the time left at `now`.
    void showSecond(const AssayData* record, std::int64_t lastSecond, std::int64_t dwellCounts,
                    std::int64_t now);
    // A point closed: the current dwell starts again from 0.
    void restartDwell();
    // The record's progress; an empty bar without a record.
    void showProgress(const AssayData* record);
    // A newly active slot: its label, no counts of another slot's run, the heartbeat off; the
    // planned end of the run that filled `runRecord` (null: none), and while `running` the time
    // left at `now`.
    void showActive(int slot, const AssayData* runRecord, bool running, std::int64_t now);
    // No planned end or time left.
    void clearTimes();
    // The run has ended: no time is left to count down.
    void clearTimeLeft();
    void stopHeartbeat();

    // Whether chart and region of interest follow the run's points; the button offers the
    // opposite.
    bool screenUpdates() const { return screenUpdates_; }
    void setScreenUpdates(bool on);

private:
    enum Label { kActive, kLastSecond, kDwell, kEndTime, kTimeLeft, kLabelCount };
    void write(Label label, const QString& text);
    void write(Label label, const std::string& text);

    std::array<QLabel*, kLabelCount> labels_{};
    std::array<QString, kLabelCount> shown_;
    std::array<QString, kLabelCount> initial_;
    QCheckBox* heartbeat_;
    QProgressBar* progress_;
    QPushButton* screenUpdatesButton_;
    bool screenUpdates_ = true;
};

} // namespace nivra::ui
