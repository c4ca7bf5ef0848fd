#pragma once

#include "base/start_directory.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace nivra {
class AssayData;
} // namespace nivra

namespace nivra::ui {

class WindowMenu;
class AssessmentDlg;
class HistoryDlg;
class RunEvents;
class SlotBoard;
struct PointRange;

// The windows that Statistics Show opens beside the main window: the Assessment dialog of the
// active slot and the History window of the run history. Each is made when first asked for and
// stays, hidden, when closed; it follows the active slot and the runs while it is open. Both go
// with this object, before the slots they read.
class CompanionWindows final : public QObject {
    Q_OBJECT
public:
    using RegionSource = std::function<PointRange()>;
    // Takes a history run's record for the viewer, with the name its file label shows.
    using ViewerSink = std::function<void(std::unique_ptr<AssayData>, const std::string&)>;
    // Whether the viewer's record may be replaced (its unsaved edits saved or given up).
    using ViewerGuard = std::function<bool()>;

    // The History window shows the history of start.
    CompanionWindows(QWidget& window, WindowMenu& menu, SlotBoard& board, RunEvents& events,
                     const StartDirectory& start, RegionSource region, ViewerGuard mayReplaceViewer,
                     ViewerSink showInViewer);
    ~CompanionWindows() override;

    // An open Assessment dialog assesses the active slot again (once for all asks of one pass).
    void refreshAssessment();

    AssessmentDlg* assessment() const { return assessment_; }

signals:
    // A slot's record was changed here (a class limit typed in the Assessment dialog): it is
    // no longer saved.
    void recordEdited(int slot);

public:
    HistoryDlg* history() const { return history_; }

private:
    // Opens the dialog for the active slot, or raises it.
    void openAssessment();
    // Opens the History window, or raises it.
    void openHistory();
    // A run of the history into the viewer, after the question File Open asks first.
    void openRunInViewer(std::int64_t runId);

    QWidget& window_;
    WindowMenu& menu_;
    SlotBoard& slots_;
    RunEvents& events_;
    const StartDirectory start_;
    RegionSource region_;
    ViewerGuard mayReplaceViewer_;
    ViewerSink showInViewer_;
    AssessmentDlg* assessment_ = nullptr;
    HistoryDlg* history_ = nullptr;
};

} // namespace nivra::ui
