#include "ui/main_window/nivra_dlg.h"

#include "engine/run_clock.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/main_window/companion_windows.h"
#include "ui/main_window/counters_window.h"
#include "ui/main_window/dialog_commands.h"
#include "ui/main_window/file_commands.h"
#include "ui/main_window/header_lines.h"
#include "ui/main_window/live_display.h"
#include "ui/main_window/roi_view.h"
#include "ui/main_window/run_control.h"
#include "ui/main_window/run_events.h"
#include "ui/main_window/slot_status.h"
#include "ui/main_window/statistics_panel.h"
#include "ui/resources/app_icon.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"
#include "ui/resources/resource_ids.h"

#include <QAction>
#include <algorithm>

using namespace nivra::ui;
using namespace nivra::ui::main;

CNivraDlg::CNivraDlg(NivraDlgEnvironment environment, QWidget* parent)
    : CDialogBase(nivra::res::kDialogMain, parent), environment_(std::move(environment)),
      appIcon_(nivra::res::AppIcon()) {
    SetBackgroundColor(QColor(254, 254, 254));
    // The program's own window, not a dialog of another: desktops give it a taskbar entry and
    // let it minimise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(false);

    runEvents_ = new RunEvents(this);
    const auto region = [this] { return roi_->selection(); };
    status_ = std::make_unique<SlotStatus>(*this, slots_);
    live_ = std::make_unique<LiveDisplay>(*this);
    roi_ = std::make_unique<RoiView>(*this, slots_);
    headers_ = std::make_unique<HeaderLines>(*this, slots_);
    statistics_ = std::make_unique<StatisticsPanel>(*this, slots_, region);
    files_ = std::make_unique<FileCommands>(*Menu(), slots_, statistics_->selection(), region);
    // Connects to the runs' reports first: a run's end has changed its slot before anything
    // else hears of it.
    runs_ = std::make_unique<RunControl>(*this, slots_, *runEvents_, environment_.run,
                                         environment_.runModal);
    dialogs_ = std::make_unique<DialogCommands>(*this, slots_, environment_.runModal);
    companions_ = std::make_unique<CompanionWindows>(
        *this, slots_, *runEvents_, region,
        [this](std::unique_ptr<AssayData> data, const std::string& name) {
            files_->showInViewer(std::move(data), name);
        });
    WireMenu();
    WireRunReports();
    // Made after everything else is wired: every report and every menu command reaches the
    // Counters window after the main window has handled it.
    countersWindow_ = new CountersWindow(
        slots_, *Menu(), *runEvents_, [this] { return Now(); }, environment_.settings, this);
}

CNivraDlg::~CNivraDlg() {
    // The runs refer to this window and to the slots' records: neither may go before them.
    StopRunsAndWait();
}

void CNivraDlg::WireMenu() {
    using namespace nivra::res;
    CWindowMenu& menu = *Menu();
    connect(menu.Action(kCmdViewer), &QAction::triggered, this,
            [this] { ShowActiveCounter(kViewerSlot); });
    for (int slot = 1; slot < kSlotCount; ++slot)
        connect(menu.Action(kCmdCounter1 + slot - 1), &QAction::triggered, this,
                [this, slot] { ShowActiveCounter(slot); });
    connect(menu.Action(kCmdExit), &QAction::triggered, this, [this] { OnCancel(); });
    OnCommand(kScreenUpdatesButton, [this] { SetScreenUpdates(!live_->screenUpdates()); });

    connect(roi_.get(), &RoiView::regionChanged, this,
            [this] { companions_->refreshAssessment(); });
    connect(roi_.get(), &RoiView::recordEdited, this, [this] { RefreshStatus(); });
    connect(files_.get(), &FileCommands::activeSlotChanged, this, [this] { ShowActiveSlot(); });
    connect(files_.get(), &FileCommands::viewerFilled, this, [this] { ShowViewer(); });
    connect(files_.get(), &FileCommands::clearing, this,
            [this](bool resetLabels) { ClearRecordDisplay(resetLabels); });
    connect(files_.get(), &FileCommands::statusChanged, this, [this] { RefreshStatus(); });
    connect(runs_.get(), &RunControl::slotChanged, this,
            [this](int counter) { RefreshIfActive(counter); });
    connect(runs_.get(), &RunControl::runEnded, this, [this](int counter) { ShowRunEnd(counter); });
}

void CNivraDlg::WireRunReports() {
    connect(
        runEvents_, &RunEvents::started, this,
        [this](int counter) {
            ShowRunRecord(counter);
            ShowSecond(counter, 0, 0);
        },
        Qt::QueuedConnection);
    connect(
        runEvents_, &RunEvents::secondReported, this,
        [this](int counter, qint64 lastSecond, qint64 dwell) {
            ShowSecond(counter, lastSecond, dwell);
        },
        Qt::QueuedConnection);
    connect(
        runEvents_, &RunEvents::pointReported, this,
        [this](int counter, int, int) { ShowRunRecord(counter); }, Qt::QueuedConnection);
}

void CNivraDlg::DoDataExchange(CDataExchange& dx) {
    CDialogBase::DoDataExchange(dx);
    headers_->exchange(dx);
    roi_->exchange(dx);
}

bool CNivraDlg::OnInitDialog() {
    CDialogBase::OnInitDialog();
    dialogs_->addAboutItem();
    setWindowIcon(appIcon_);

    // Start directory, port list, discovery and text queries; the counters found are offered
    // in the Active Counter menu, at most four.
    status_->offerCounters(0);
    const nivra::CounterStartup startup =
        environment_.startup ? environment_.startup() : nivra::RunCounterStartup();
    if (!startup.startDirectoryRead)
        ShowMessage(QStringLiteral("GetStartingDirectory failed."));
    if (!startup.portListProblem.empty())
        ShowMessage(FromNarrow("The port list cannot be read, so no counter is looked for: " +
                               startup.portListProblem));
    status_->offerCounters(std::clamp(startup.offeredCounters, 0, nivra::kMaxOfferedCounters));

    // The rest of the window's initial state; the viewer is active.
    slots_.viewer().state = VIEWER;
    roi_->setSliderEnabled(false);
    QFont listFont(QStringLiteral("MS Shell Dlg"));
    listFont.setStyleHint(QFont::SansSerif);
    listFont.setPointSizeF(11.5);
    roi_->setListFont(listFont);
    statistics_->fitFont(listFont);
    statistics_->loadSelection();
    roi_->setView(1.0, 5.0, 2.0, 3.0);
    SetScreenUpdates(true);
    RefreshStatus();
    runs_->showLeftOverBackups();
    countersWindow_->restore();
    return true;
}

void CNivraDlg::OnCancel() {
    if (files_->mayExit())
        CDialogBase::OnCancel();
}

// ---- state ----

bool CNivraDlg::ScreenUpdates() const {
    return live_->screenUpdates();
}

const StatsShow& CNivraDlg::StatsSelection() const {
    return statistics_->selection();
}

AssessmentDlg* CNivraDlg::AssessmentDialog() const {
    return companions_->assessment();
}

HistoryDlg* CNivraDlg::HistoryDialog() const {
    return companions_->history();
}

std::int64_t CNivraDlg::Now() const {
    return environment_.run.Clock().Now();
}

void CNivraDlg::ShowPoints(int first, int last) {
    roi_->showPoints(first, last);
}

void CNivraDlg::StopRunsAndWait() {
    slots_.stopRunsAndWait();
}

// ---- the active slot's display ----

void CNivraDlg::RefreshStatus() {
    status_->show();
    headers_->fill();
    companions_->refreshAssessment();
}

void CNivraDlg::RefreshIfActive(int slot) {
    if (slots_.isActive(slot))
        RefreshStatus();
}

void CNivraDlg::ShowActiveCounter(int slot) {
    slots_.select(slot);
    ShowActiveSlot();
}

void CNivraDlg::ShowActiveSlot() {
    status_->markActiveCounter();
    statistics_->clearValues();
    roi_->clearDumps();
    headers_->clear();
    const CounterSlot& slot = slots_.active();
    if (roi_->showWholeRecord() > 0) {
        live_->showProgress(slot.data.get());
        roi_->fillDataDump();
        roi_->fillRoiDump();
    } else {
        roi_->showNoPoints();
        live_->showProgress(nullptr);
    }
    UpdateData(false);
    live_->showActive(slots_.activeIndex());
    SetScreenUpdates(true);
    RefreshStatus();
}

void CNivraDlg::SetScreenUpdates(bool on) {
    if (on && roi_->showWholeRecord() > 0) {
        headers_->fill();
        live_->showProgress(slots_.active().data.get());
    }
    live_->setScreenUpdates(on);
}

void CNivraDlg::ShowViewer() {
    ShowActiveSlot();
    roi_->setSliderEnabled(true);
    UpdateData(false);
}

void CNivraDlg::ClearRecordDisplay(bool resetLabels) {
    roi_->clearChart();
    statistics_->clearValues();
    roi_->clearDumps();
    if (resetLabels) {
        headers_->clear();
        live_->clearTimes();
    }
}

// ---- run reports ----

void CNivraDlg::ShowSecond(int counter, std::int64_t lastSecond, std::int64_t dwellCounts) {
    // Runs on other slots go on without touching the screen. A second changes only the live
    // texts, the heartbeat and the progress; the record's display changes when a point closes.
    if (slots_.isActive(counter))
        live_->showSecond(slots_.active().data.get(), lastSecond, dwellCounts, Now());
}

void CNivraDlg::ShowRunRecord(int counter) {
    if (!slots_.isActive(counter))
        return;
    if (live_->screenUpdates()) {
        roi_->showWholeRecord();
        RefreshStatus();
    } else {
        // The Assessment dialog follows the run's points also while the window's view stays.
        companions_->refreshAssessment();
    }
    live_->restartDwell();
    if (const AssayData* record = slots_.active().data.get())
        live_->showProgress(record);
}

void CNivraDlg::ShowRunEnd(int counter) {
    if (slots_.isActive(counter)) {
        // The run has appended its end or stop line and maybe a last point.
        roi_->showWholeRecord();
        headers_->fill();
        live_->showProgress(slots_.active().data.get());
        RefreshStatus();
    }
    live_->stopHeartbeat();
    // The end of any run brings the live redraw back, also for a slot that is not active.
    SetScreenUpdates(true);
}
