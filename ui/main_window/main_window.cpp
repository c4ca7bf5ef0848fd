#include "ui/main_window/main_window.h"

#include "engine/run_clock.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/controls/template_form.h"
#include "ui/main_window/companion_windows.h"
#include "ui/main_window/counters_window.h"
#include "ui/main_window/dialog_commands.h"
#include "ui/main_window/file_commands.h"
#include "ui/main_window/header_lines.h"
#include "ui/main_window/live_display.h"
#include "ui/main_window/main_window_layout.h"
#include "ui/main_window/roi_view.h"
#include "ui/main_window/run_control.h"
#include "ui/main_window/run_events.h"
#include "ui/main_window/slot_status.h"
#include "ui/main_window/statistics_panel.h"
#include "ui/resources/app_icon.h"
#include "ui/resources/dialog_units.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"
#include "ui/resources/resource_ids.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <algorithm>

using namespace nivra::ui;

namespace nivra::ui {

namespace {

std::optional<nivra::StartDirectory> captureStart(const MainWindowEnvironment& environment) {
    return environment.startDirectory ? environment.startDirectory()
                                      : nivra::StartDirectory::capture();
}

// Without a readable current directory the window goes on (it says so when it starts) and keeps
// its files in the current directory, named relative to it: the folder it was started in,
// whose name could not be read.
nivra::StartDirectory startOrCurrent(const std::optional<nivra::StartDirectory>& captured) {
    return captured ? *captured : nivra::StartDirectory(".");
}

} // namespace

MainWindow::MainWindow(MainWindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent), environment_(std::move(environment)),
      capturedStart_(captureStart(environment_)), startDirectory_(startOrCurrent(capturedStart_)),
      appIcon_(nivra::res::appIcon()) {
    const nivra::res::DialogTemplate& layout = nivra::res::mainWindowTemplate();
    setWindowTitle(QString::fromUtf8(layout.caption));
    setFont(nivra::res::dialogFont(layout));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(254, 254, 254));
    palette.setColor(QPalette::Base, QColor(254, 254, 254)); // edits and lists share it
    setPalette(palette);
    setAutoFillBackground(true);

    menu_ = new WindowMenu(*nivra::res::findMenuTemplate(layout.menuId), this);
    setMenuBar(menu_->bar());
    client_ = new TemplateForm(layout, this);
    ui_ = client_->bind<MainWindowUi>();
    // Its layout is its smallest size; a larger window gives the chart and the lists the room.
    client_->makeStretchable(mainWindowStretch);
    setCentralWidget(client_);
    const QSize least(client_->templateSize().width(),
                      client_->templateSize().height() + menu_->bar()->sizeHint().height());
    setMinimumSize(least);
    resize(least);

    runEvents_ = new RunEvents(this);
    const auto region = [this] { return roi_->selection(); };
    status_ = std::make_unique<SlotStatus>(ui_, *menu_, slots_);
    live_ = std::make_unique<LiveDisplay>(ui_);
    roi_ = std::make_unique<RoiView>(ui_, slots_);
    headers_ = std::make_unique<HeaderLines>(ui_, slots_);
    statistics_ = std::make_unique<StatisticsPanel>(ui_, *menu_, slots_, region, startDirectory_);
    files_ = std::make_unique<FileCommands>(*menu_, slots_, statistics_->selection(), region);
    // Connects to the runs' reports first: a run's end has changed its slot before anything
    // else hears of it.
    runs_ = std::make_unique<RunControl>(*this, *menu_, slots_, *runEvents_, startDirectory_,
                                         environment_.run, environment_.runModal);
    dialogs_ = std::make_unique<DialogCommands>(*this, *menu_, slots_, startDirectory_,
                                                environment_.runModal);
    companions_ = std::make_unique<CompanionWindows>(
        *this, *menu_, slots_, *runEvents_, startDirectory_, region,
        [this] { return files_->mayReplaceViewer(); },
        [this](std::unique_ptr<AssayData> data, const std::string& name) {
            files_->showInViewer(std::move(data), name);
        });
    wireMenu();
    wireRunReports();
    // Made after everything else is wired: every report and every menu command reaches the
    // Counters window after the main window has handled it.
    countersWindow_ = new CountersWindow(
        slots_, *menu_, *runEvents_, [this] { return now(); }, environment_.settings,
        startDirectory_, this);
    connect(companions_.get(), &CompanionWindows::recordEdited, countersWindow_,
            &CountersWindow::refresh);
}

MainWindow::~MainWindow() {
    // The runs refer to this window and to the slots' records: neither may go before them.
    stopRunsAndWait();
}

void MainWindow::wireMenu() {
    using namespace nivra::res;
    WindowMenu& menu = *menu_;
    connect(menu.action(Command::Viewer), &QAction::triggered, this,
            [this] { showActiveCounter(kViewerSlot); });
    for (int slot = 1; slot < kSlotCount; ++slot)
        connect(menu.action(activeCounterCommand(slot)), &QAction::triggered, this,
                [this, slot] { showActiveCounter(slot); });
    connect(menu.action(Command::Exit), &QAction::triggered, this, &QWidget::close);
    connect(ui_.screenUpdates, &QPushButton::clicked, this,
            [this] { setScreenUpdates(!live_->screenUpdates()); });

    connect(roi_.get(), &RoiView::regionChanged, this,
            [this] { companions_->refreshAssessment(); });
    connect(roi_.get(), &RoiView::recordEdited, this, [this] { refreshStatus(); });
    connect(companions_.get(), &CompanionWindows::recordEdited, this, [this] { refreshStatus(); });
    connect(files_.get(), &FileCommands::activeSlotChanged, this, [this] { showActiveSlot(); });
    connect(files_.get(), &FileCommands::viewerFilled, this, [this] { showViewer(); });
    connect(files_.get(), &FileCommands::clearing, this,
            [this](bool resetLabels) { clearRecordDisplay(resetLabels); });
    connect(files_.get(), &FileCommands::statusChanged, this, [this] { refreshStatus(); });
    connect(runs_.get(), &RunControl::slotChanged, this,
            [this](int counter) { refreshIfActive(counter); });
    connect(runs_.get(), &RunControl::runEnded, this, [this](int counter) { showRunEnd(counter); });
}

void MainWindow::wireRunReports() {
    connect(
        runEvents_, &RunEvents::started, this,
        [this](int counter) {
            showRunRecord(counter);
            showSecond(counter, 0, 0);
        },
        Qt::QueuedConnection);
    connect(
        runEvents_, &RunEvents::secondReported, this,
        [this](int counter, qint64 lastSecond, qint64 dwell) {
            showSecond(counter, lastSecond, dwell);
        },
        Qt::QueuedConnection);
    connect(
        runEvents_, &RunEvents::pointReported, this,
        [this](int counter, int, int) { showRunRecord(counter); }, Qt::QueuedConnection);
}

void MainWindow::showEvent(QShowEvent* event) {
    initialise();
    QMainWindow::showEvent(event);
}

void MainWindow::initialise() {
    if (initialised_)
        return;
    initialised_ = true;
    dialogs_->addAboutItem();
    setWindowIcon(appIcon_);

    // Port list, discovery and text queries; the counters found are offered in the Active
    // Counter menu, at most four.
    status_->offerCounters(0);
    const nivra::CounterStartup startup = environment_.startup
                                              ? environment_.startup(startDirectory_)
                                              : nivra::runCounterStartup(startDirectory_);
    if (!capturedStart_)
        showMessage(QStringLiteral("GetStartingDirectory failed."));
    if (!startup.portListProblem.empty())
        showMessage(fromNarrow("The port list cannot be read, so no counter is looked for: " +
                               startup.portListProblem));
    status_->offerCounters(std::clamp(startup.offeredCounters, 0, nivra::kMaxOfferedCounters));

    // The rest of the window's initial state; the viewer is active, no point is named for
    // deletion.
    slots_.viewer().state = VIEWER;
    ui_.deletePointEdit->setText(QStringLiteral("0"));
    roi_->setSliderEnabled(false);
    QFont listFont(QStringLiteral("MS Shell Dlg"));
    listFont.setStyleHint(QFont::SansSerif);
    listFont.setPointSizeF(11.5);
    roi_->setListFont(listFont);
    statistics_->fitFont(listFont);
    statistics_->loadSelection();
    roi_->setView(1.0, 5.0, 2.0, 3.0);
    setScreenUpdates(true);
    refreshStatus();
    runs_->showLeftOverBackups();
    countersWindow_->restore();
    client_->focusFirstControl();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!files_->mayExit()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

// ---- state ----

bool MainWindow::screenUpdates() const {
    return live_->screenUpdates();
}

const StatsShow& MainWindow::statsSelection() const {
    return statistics_->selection();
}

AssessmentDlg* MainWindow::assessmentDialog() const {
    return companions_->assessment();
}

HistoryDlg* MainWindow::historyDialog() const {
    return companions_->history();
}

std::int64_t MainWindow::now() const {
    return environment_.run.runClock().now();
}

void MainWindow::showPoints(int first, int last) {
    roi_->showPoints(first, last);
}

void MainWindow::stopRunsAndWait() {
    slots_.stopRunsAndWait();
}

// ---- the active slot's display ----

void MainWindow::refreshStatus() {
    status_->show();
    headers_->fill();
    companions_->refreshAssessment();
}

void MainWindow::refreshIfActive(int slot) {
    if (slots_.isActive(slot))
        refreshStatus();
}

void MainWindow::showActiveCounter(int slot) {
    slots_.select(slot);
    showActiveSlot();
}

void MainWindow::showActiveSlot() {
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
    roi_->showRegionInEdits();
    // A counter's record filled by a run has a planned end; the viewer shows none.
    const bool runRecord = slots_.activeIndex() != kViewerSlot && slot.data &&
                           (slot.state == RUNNING || slot.state == STOPPED);
    live_->showActive(slots_.activeIndex(), runRecord ? slot.data.get() : nullptr,
                      slot.state == RUNNING, now());
    setScreenUpdates(true);
    refreshStatus();
}

void MainWindow::setScreenUpdates(bool on) {
    if (on && roi_->showWholeRecord() > 0) {
        headers_->fill();
        live_->showProgress(slots_.active().data.get());
    }
    live_->setScreenUpdates(on);
}

void MainWindow::showViewer() {
    showActiveSlot();
    roi_->setSliderEnabled(true);
    roi_->showRegionInEdits();
}

void MainWindow::clearRecordDisplay(bool resetLabels) {
    // Nothing of the record that goes stays on the screen: no chart, region or progress.
    roi_->showNoPoints();
    live_->showProgress(nullptr);
    statistics_->clearValues();
    roi_->clearDumps();
    if (resetLabels) {
        headers_->clear();
        live_->clearTimes();
    }
}

// ---- run reports ----

void MainWindow::showSecond(int counter, std::int64_t lastSecond, std::int64_t dwellCounts) {
    // Runs on other slots go on without touching the screen. A second changes only the live
    // texts, the heartbeat and the progress; the record's display changes when a point closes.
    if (slots_.isActive(counter))
        live_->showSecond(slots_.active().data.get(), lastSecond, dwellCounts, now());
}

void MainWindow::showRunRecord(int counter) {
    if (!slots_.isActive(counter))
        return;
    if (live_->screenUpdates()) {
        roi_->showWholeRecord();
        refreshStatus();
    } else {
        // The Assessment dialog follows the run's points also while the window's view stays.
        companions_->refreshAssessment();
    }
    live_->restartDwell();
    if (const AssayData* record = slots_.active().data.get())
        live_->showProgress(record);
}

void MainWindow::showRunEnd(int counter) {
    if (slots_.isActive(counter)) {
        // The run has appended its end or stop line and maybe a last point.
        roi_->showWholeRecord();
        headers_->fill();
        live_->showProgress(slots_.active().data.get());
        refreshStatus();
        live_->clearTimeLeft();
    }
    live_->stopHeartbeat();
    // The end of any run brings the live redraw back, also for a slot that is not active.
    setScreenUpdates(true);
}

} // namespace nivra::ui
