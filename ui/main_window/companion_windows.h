#pragma once

#include "storage/history_location.h"

#include <QObject>
#include <cstdint>
#include <functional>

namespace nivra::ui {

class WindowMenu;
class AssessmentDlg;
class HistoryDlg;
class Prompts;
class SlotModel;
struct PointRange;

// The windows that Statistics Show opens beside the main window: the Assessment dialog of the
// active slot and the History window of the run history. Each is made when first asked for and
// stays, hidden, when closed; it follows the active slot and the runs while it is open. Both go
// with this object, before the slots they read.
class CompanionWindows final : public QObject {
    Q_OBJECT
public:
    using RegionSource = std::function<PointRange()>;
    // Whether the viewer's record may be replaced (its unsaved edits saved or given up).
    using ViewerGuard = std::function<bool()>;

    // The History window shows the history at `history`.
    CompanionWindows(QWidget& window, Prompts& prompts, WindowMenu& menu, SlotModel& model,
                     nivra::HistoryLocation history, RegionSource region,
                     ViewerGuard mayReplaceViewer);
    ~CompanionWindows() override;

    // An open Assessment dialog assesses the active slot again (once for all asks of one pass).
    void refreshAssessment();

    AssessmentDlg* assessment() const { return assessment_; }
    HistoryDlg* history() const { return history_; }

private:
    // Opens the dialog for the active slot, or raises it.
    void openAssessment();
    // Opens the History window, or raises it.
    void openHistory();
    // A run of the history into the viewer, after the question File Open asks first.
    void openRunInViewer(std::int64_t runId);

    QWidget& window_;
    Prompts& prompts_;
    WindowMenu& menu_;
    SlotModel& slots_;
    const nivra::HistoryLocation historyLocation_;
    RegionSource region_;
    ViewerGuard mayReplaceViewer_;
    AssessmentDlg* assessment_ = nullptr;
    HistoryDlg* history_ = nullptr;
};

} // namespace nivra::ui
