// The run history from the window: the reports of a run's recorder, and the History window.

#include "storage/history_browser.h"
#include "storage/history_database.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/dialogs/history_dlg.h"
#include "ui/main_window/nivra_dlg.h"
#include "ui/main_window/run_events.h"

#include <QMetaObject>

void CNivraDlg::ReportHistoryProblem(const std::string& message) {
    // The recorder reports from the thread that wrote (often the run's); the operator is told
    // from the window's thread, without the run waiting for the answer.
    const QString text = nivra::ui::FromNarrow(message);
    QMetaObject::invokeMethod(
        this, [text] { nivra::ui::ShowMessage(text); }, Qt::QueuedConnection);
}

void CNivraDlg::OnHistory() {
    if (!history_) {
        history_ = new nivra::ui::HistoryDlg(
            nivra::HistoryBrowser(nivra::HistoryDatabase::DefaultPath()),
            [this](std::int64_t runId) { OpenRunInViewer(runId); }, this);
        // A run's reports come after the history has been written: the window then shows them.
        const auto refresh = [this] {
            if (history_->isVisible())
                history_->ScheduleRefresh();
        };
        connect(runEvents_, &nivra::ui::RunEvents::started, history_, refresh);
        connect(runEvents_, &nivra::ui::RunEvents::pointReported, history_, refresh);
        connect(runEvents_, &nivra::ui::RunEvents::ended, history_, refresh);
    }
    history_->Refresh();
    history_->show();
    history_->raise();
    history_->activateWindow();
}

void CNivraDlg::OpenRunInViewer(std::int64_t runId) {
    // The viewer's unsaved data is not replaced, as with File Open.
    if (!slots_[kViewerSlot].saved) {
        nivra::ui::ShowMessage(QStringLiteral("Viewer data not saved, save first"));
        return;
    }
    std::unique_ptr<AssayData> record;
    const nivra::HistoryBrowser browser(nivra::HistoryDatabase::DefaultPath());
    if (const nivra::StorageResult result = browser.record(runId, record); !result) {
        nivra::ui::ShowMessage(nivra::ui::FromNarrow(result.error()));
        return;
    }
    ShowInViewer(std::move(record), "History run " + std::to_string(runId));
}
