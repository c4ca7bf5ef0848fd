#include "ui/main_window/live_display.h"

#include "model/assay_data.h"
#include "ui/controls/narrow_text.h"
#include "ui/main_window/live_texts.h"
#include "ui/resources/main_window_ui.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace nivra::ui {

LiveDisplay::LiveDisplay(const MainWindowUi& ui)
    : labels_{ui.activeLabel, ui.countsLastSecond, ui.countsDwell, ui.endTime, ui.timeLeft},
      heartbeat_(ui.heartbeat), progress_(ui.progress), screenUpdatesButton_(ui.screenUpdates) {
    for (std::size_t k = 0; k < labels_.size(); ++k)
        shown_[k] = labels_[k]->text();
    initial_ = shown_;
    progress_->setRange(0, 100);
    progress_->setValue(0);
}

void LiveDisplay::write(Label label, const QString& text) {
    if (shown_[label] == text)
        return;
    shown_[label] = text;
    labels_[label]->setText(text);
}

void LiveDisplay::write(Label label, const std::string& text) {
    write(label, fromNarrow(text));
}

void LiveDisplay::showSecond(const AssayData* record, std::int64_t lastSecond,
                             std::int64_t dwellCounts, std::int64_t now) {
    write(kLastSecond, countsLastSecondText(lastSecond));
    write(kDwell, countsCurrentDwellText(dwellCounts));
    heartbeat_->setChecked(!heartbeat_->isChecked());
    if (!record)
        return;
    showProgress(record);
    const std::int64_t endTime = record->endTime();
    write(kEndTime, endTimeText(endTime));
    write(kTimeLeft, timeLeftText(endTime, now));
}

void LiveDisplay::restartDwell() {
    write(kDwell, countsCurrentDwellText(0));
}

void LiveDisplay::showProgress(const AssayData* record) {
    progress_->setValue(record ? progressPosition(record->progress()) : 0);
}

void LiveDisplay::showActive(int slot, const AssayData* runRecord, bool running, std::int64_t now) {
    write(kActive, activeLabelText(slot));
    // The counts shown belong to the slot that was active: the labels read as at the start
    // until this slot's run reports its next second.
    write(kLastSecond, initial_[kLastSecond]);
    write(kDwell, initial_[kDwell]);
    clearTimes();
    stopHeartbeat();
    if (!runRecord || runRecord->endTime() <= 0)
        return;
    write(kEndTime, endTimeText(runRecord->endTime()));
    if (running)
        write(kTimeLeft, timeLeftText(runRecord->endTime(), now));
}

void LiveDisplay::clearTimes() {
    write(kEndTime, QStringLiteral("End Time: "));
    write(kTimeLeft, QStringLiteral("Time Left:"));
}

void LiveDisplay::clearTimeLeft() {
    write(kTimeLeft, QStringLiteral("Time Left:"));
}

void LiveDisplay::stopHeartbeat() {
    heartbeat_->setChecked(false);
}

void LiveDisplay::setScreenUpdates(bool on) {
    screenUpdatesButton_->setText(on ? QStringLiteral("Disable Screen Updates")
                                     : QStringLiteral("Enable Screen Updates"));
    screenUpdates_ = on;
}

} // namespace nivra::ui
