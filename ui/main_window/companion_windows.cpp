#include "ui/main_window/companion_windows.h"

#include "storage/history_browser.h"
#include "storage/history_database.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/dialogs/assessment_dlg.h"
#include "ui/dialogs/history_dlg.h"
#include "ui/main_window/companion_placement.h"
#include "ui/main_window/roi_view.h"
#include "ui/main_window/slot_model.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

#include <QAction>
#include <QMenuBar>
#include <filesystem>

namespace nivra::ui {

CompanionWindows::CompanionWindows(QWidget& window, Prompts& prompts, WindowMenu& menu,
                                   SlotModel& model, nivra::HistoryLocation history,
                                   RegionSource region, ViewerGuard mayReplaceViewer)
    : window_(window), prompts_(prompts), menu_(menu), slots_(model),
      historyLocation_(std::move(history)), region_(std::move(region)),
      mayReplaceViewer_(std::move(mayReplaceViewer)) {
    connect(menu.action(nivra::res::Command::Assessment), &QAction::triggered, this,
            [this] { openAssessment(); });
    connect(menu.action(nivra::res::Command::History), &QAction::triggered, this,
            [this] { openHistory(); });
}

CompanionWindows::~CompanionWindows() {
    // Both read what this object and the slots hold: they go first.
    delete assessment_;
    delete history_;
}

void CompanionWindows::openAssessment() {
    if (!assessment_) {
        assessment_ = new AssessmentDlg(
            prompts_,
            [this] {
                AssessmentSource source;
                source.record = slots_.active().data.get();
                source.slot = slots_.activeIndex();
                const PointRange region = region_();
                source.roiFirst = region.first;
                source.roiLast = region.last;
                const CounterSlot& active = slots_.active();
                // A file name that is no file ("History run 3") holds no record.
                std::error_code error;
                if (active.data && active.saved &&
                    std::filesystem::is_regular_file(active.fileName, error))
                    source.dataFile = active.fileName;
                return source;
            },
            &window_,
            [this](int slot, std::optional<double> limit) { slots_.setClassLimit(slot, limit); });
        makeTopLevel(*assessment_);
        placeClearOfMenuBar(*assessment_, *menu_.bar());
    }
    assessment_->refresh();
    assessment_->show();
    assessment_->raise();
    assessment_->activateWindow();
}

void CompanionWindows::refreshAssessment() {
    if (assessment_ && assessment_->isVisible())
        assessment_->scheduleRefresh();
}

void CompanionWindows::openHistory() {
    if (!history_) {
        history_ = new HistoryDlg(
            prompts_, nivra::HistoryBrowser(historyLocation_),
            [this](std::int64_t runId) { openRunInViewer(runId); }, &window_);
        makeTopLevel(*history_);
        placeClearOfMenuBar(*history_, *menu_.bar());
        // The history is written beside the run, by a writer of its own: the window reads it
        // again whenever a write has reached it.
        const auto refresh = [this] {
            if (history_->isVisible())
                history_->scheduleRefresh();
        };
        connect(&slots_, &SlotModel::historyWritten, history_, refresh);
    }
    history_->refresh();
    history_->show();
    history_->raise();
    history_->activateWindow();
}

void CompanionWindows::openRunInViewer(std::int64_t runId) {
    // The viewer's unsaved data is offered for saving first, as with File Open.
    if (!mayReplaceViewer_())
        return;
    std::unique_ptr<AssayData> record;
    const nivra::HistoryBrowser browser(historyLocation_);
    if (const nivra::StorageResult result = browser.record(runId, record); !result) {
        prompts_.tell(fromNarrow(result.error()));
        return;
    }
    slots_.fillViewer(std::move(record), "History run " + std::to_string(runId));
}

} // namespace nivra::ui
