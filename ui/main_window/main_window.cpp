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
#include "ui/main_window/slot_model.h"
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

MainWindow::MainWindow(AppContext context, QWidget* parent)
    : QMainWindow(parent), context_(std::move(context)), appIcon_(nivra::res::appIcon()) {
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

    slots_ = new SlotModel(this);
    const auto region = [this] { return roi_->selection(); };
    status_ = std::make_unique<SlotStatus>(ui_, context_.prompts, *menu_, *slots_);
    live_ = std::make_unique<LiveDisplay>(ui_);
    roi_ = std::make_unique<RoiView>(ui_, context_.prompts, *slots_);
    headers_ = std::make_unique<HeaderLines>(ui_, *slots_);
    statistics_ =
        std::make_unique<StatisticsPanel>(ui_, *menu_, *slots_, region, context_.startDirectory);
    files_ = std::make_unique<FileCommands>(context_.prompts, *menu_, *slots_,
                                            statistics_->selection(), region);
    runs_ = std::make_unique<RunControl>(*this, context_.prompts, *menu_, *slots_,
                                         context_.startDirectory, context_.history, context_.run,
                                         context_.runModal);
    dialogs_ = std::make_unique<DialogCommands>(*this, context_.prompts, *menu_, *slots_,
                                                context_.startDirectory, context_.runModal);
    companions_ = std::make_unique<CompanionWindows>(*this, context_.prompts, *menu_, *slots_,
                                                     context_.history, region,
                                                     [this] { return files_->mayReplaceViewer(); });
    countersWindow_ = new CountersWindow(
        *slots_, context_.notifier, *menu_, [this] { return now(); }, context_.settings,
        context_.startDirectory, this);
    wireMenu();
    wireSlotModel();
}

MainWindow::~MainWindow() {
    // The runs refer to this window and to the slots' records: neither may go before them.
    stopRunsAndWait();
}

void MainWindow::wireMenu() {
    using namespace nivra::res;
    WindowMenu& menu = *menu_;
    connect(menu.action(Command::Viewer), &QAction::triggered, this,
            [this] { slots_->select(kViewerSlot); });
    for (int slot = 1; slot < kSlotCount; ++slot)
        connect(menu.action(activeCounterCommand(slot)), &QAction::triggered, this,
                [this, slot] { slots_->select(slot); });
    connect(menu.action(Command::Exit), &QAction::triggered, this, &QWidget::close);
    connect(ui_.screenUpdates, &QPushButton::clicked, this,
            [this] { setScreenUpdates(!live_->screenUpdates()); });
    connect(roi_.get(), &RoiView::regionChanged, this,
            [this] { companions_->refreshAssessment(); });
    connect(dialogs_.get(), &DialogCommands::counterConfigurationClosed, countersWindow_,
            &CountersWindow::refresh);
}

void MainWindow::wireSlotModel() {
    SlotModel& model = *slots_;
    // Each handler reads the slot as the model has left it; only the active slot is shown.
    const auto ifActive = [this](auto show) {
        return [this, show](int slot) {
            if (slots_->isActive(slot))
                show();
        };
    };
    connect(&model, &SlotModel::activeSlotChanged, this, [this] { showActiveSlot(); });
    connect(&model, &SlotModel::countersOffered, this, [this] { status_->showOfferedCounters(); });
    connect(&model, &SlotModel::recordReplaced, this, ifActive([this] { showActiveSlot(); }));
    connect(&model, &SlotModel::statusChanged, this, ifActive([this] { refreshStatus(); }));
    connect(&model, &SlotModel::pointDeleted, this, ifActive([this] {
        roi_->showEditedRecord();
        refreshStatus();
    }));
    connect(&model, &SlotModel::headerLinesChanged, this, ifActive([this] { headers_->fill(); }));
    connect(&model, &SlotModel::classLimitChanged, this,
            ifActive([this] { companions_->refreshAssessment(); }));

    connect(&model, &SlotModel::runStarted, this, ifActive([this] {
        showRunRecord();
        showSecond(0, 0);
    }));
    connect(&model, &SlotModel::secondCounted, this,
            [this](int slot, qint64 lastSecond, qint64 dwell) {
                if (slots_->isActive(slot))
                    showSecond(lastSecond, dwell);
            });
    connect(&model, &SlotModel::pointClosed, this, ifActive([this] { showRunRecord(); }));
    connect(&model, &SlotModel::runEnded, this, [this](int slot) {
        if (slots_->isActive(slot))
            showRunEnd();
        live_->stopHeartbeat();
        // The end of any run brings the live redraw back, also for a slot that is not active.
        setScreenUpdates(true);
    });
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
    const nivra::CounterStartup startup = context_.startup
                                              ? context_.startup(context_.startDirectory)
                                              : nivra::runCounterStartup(context_.startDirectory);
    if (!context_.startDirectoryRead)
        context_.prompts.tell(QStringLiteral("GetStartingDirectory failed."));
    if (!startup.portListProblem.empty())
        context_.prompts.tell(
            fromNarrow("The port list cannot be read, so no counter is looked for: " +
                       startup.portListProblem));
    slots_->offerCounters(std::clamp(startup.offeredCounters, 0, nivra::kMaxOfferedCounters));

    // The rest of the window's initial state; the viewer is active, no point is named for
    // deletion.
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

RunEvents& MainWindow::runReports() const {
    return slots_->reports();
}

int MainWindow::activeSlot() const {
    return slots_->activeIndex();
}

const CounterSlot& MainWindow::slot(int index) const {
    return slots_->slot(index);
}

bool MainWindow::hasRuns() const {
    return slots_->hasRuns();
}

std::int64_t MainWindow::now() const {
    return context_.run.runClock().now();
}

void MainWindow::showPoints(int first, int last) {
    roi_->showPoints(first, last);
}

void MainWindow::stopRunsAndWait() {
    slots_->stopRunsAndWait();
}

// ---- the active slot's display ----

void MainWindow::refreshStatus() {
    status_->show();
    headers_->fill();
    companions_->refreshAssessment();
}

void MainWindow::showActiveSlot() {
    status_->markActiveCounter();
    statistics_->clearValues();
    roi_->clearDumps();
    headers_->clear();
    const CounterSlot& slot = slots_->active();
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
    const bool runRecord = slots_->activeIndex() != kViewerSlot && slot.data &&
                           (slot.state == RUNNING || slot.state == STOPPED);
    live_->showActive(slots_->activeIndex(), runRecord ? slot.data.get() : nullptr,
                      slot.state == RUNNING, now());
    setScreenUpdates(true);
    refreshStatus();
}

void MainWindow::setScreenUpdates(bool on) {
    if (on && roi_->showWholeRecord() > 0) {
        headers_->fill();
        live_->showProgress(slots_->active().data.get());
    }
    live_->setScreenUpdates(on);
}

// ---- run reports ----

void MainWindow::showSecond(std::int64_t lastSecond, std::int64_t dwellCounts) {
    // A second changes only the live texts, the heartbeat and the progress; the record's display
    // changes when a point closes.
    live_->showSecond(slots_->active().data.get(), lastSecond, dwellCounts, now());
}

void MainWindow::showRunRecord() {
    if (live_->screenUpdates()) {
        roi_->showWholeRecord();
        refreshStatus();
    } else {
        // The Assessment dialog follows the run's points also while the window's view stays.
        companions_->refreshAssessment();
    }
    live_->restartDwell();
    if (const AssayData* record = slots_->active().data.get())
        live_->showProgress(record);
}

void MainWindow::showRunEnd() {
    // The run has appended its end or stop line and maybe a last point.
    roi_->showWholeRecord();
    headers_->fill();
    live_->showProgress(slots_->active().data.get());
    refreshStatus();
    live_->clearTimeLeft();
}

} // namespace nivra::ui
