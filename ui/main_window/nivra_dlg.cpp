#include "ui/main_window/nivra_dlg.h"

#include "base/start_directory.h"
#include "engine/assay_run.h"
#include "engine/run_clock.h"
#include "model/statistic.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/controls/range_slider.h"
#include "ui/dialogs/assessment_dlg.h"
#include "ui/main_window/chart_widget.h"
#include "ui/main_window/counters_window.h"
#include "ui/main_window/run_events.h"
#include "ui/resources/app_icon.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"
#include "ui/resources/resource_ids.h"
#include "ui/resources/string_resources.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QListWidget>
#include <QProgressBar>
#include <algorithm>

using namespace nivra::ui::main;

namespace {

// The drop-down of the window menu that also offers "&About Nivra...".
constexpr int kAboutPopup = 5;

} // namespace

CNivraDlg::CNivraDlg(NivraDlgEnvironment environment, QWidget* parent)
    : CDialogBase(nivra::res::kDialogMain, parent), environment_(std::move(environment)),
      appIcon_(nivra::res::AppIcon()) {
    SetBackgroundColor(QColor(254, 254, 254));
    // The program's own window, not a dialog of another: desktops give it a taskbar entry and
    // let it minimise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(false);

    chart_ = ControlAs<CChartWidget>(kChart);
    rangeSlider_ = ControlAs<CRangeSlider>(kRangeSlider);
    progressBar_ = ControlAs<QProgressBar>(kProgressBar);
    heartbeatBox_ = ControlAs<QCheckBox>(kHeartbeatBox);
    connect(rangeSlider_, &CRangeSlider::rangeChanged, this,
            [this](CRangeSlider::Part, bool finished) { OnRangeChanged(finished); });

    runEvents_ = new nivra::ui::RunEvents(this);
    using nivra::ui::RunEvents;
    connect(
        runEvents_, &RunEvents::started, this,
        [this](int counter) {
            OnRunRecordChanged(counter);
            OnRunSecond(counter, 0, 0);
        },
        Qt::QueuedConnection);
    connect(
        runEvents_, &RunEvents::secondReported, this,
        [this](int counter, qint64 lastSecond, qint64 dwell) {
            OnRunSecond(counter, lastSecond, dwell);
        },
        Qt::QueuedConnection);
    connect(
        runEvents_, &RunEvents::pointReported, this,
        [this](int counter, int, int) { OnRunRecordChanged(counter); }, Qt::QueuedConnection);
    connect(
        runEvents_, &RunEvents::backupKeptReported, this,
        [this](int, const QString& keptPath) { OnBackupKept(keptPath); }, Qt::QueuedConnection);
    connect(
        runEvents_, &RunEvents::backupSaveReported, this,
        [this](int counter, bool ok, const QString& reason) { OnBackupSaved(counter, ok, reason); },
        Qt::QueuedConnection);
    connect(
        runEvents_, &RunEvents::counterFaultReported, this,
        [this](int counter, nivra::CounterFault fault, qint64 first, qint64) {
            OnCounterFault(counter, fault, first);
        },
        Qt::QueuedConnection);
    connect(
        runEvents_, &RunEvents::ended, this,
        [this](int counter, nivra::EndReason) { OnRunFinished(counter); }, Qt::QueuedConnection);
    // Connected after the window itself: every report reaches the Counters window after the
    // main window has handled it.
    countersWindow_ = new nivra::ui::CountersWindow(
        *this, *runEvents_, [this] { return Now(); }, environment_.settings);

    using namespace nivra::res;
    OnCommand(kCmdViewer, [this] { OnActiveCounter(kViewerSlot); });
    OnCommandRange(kCmdCounter1, kCmdCounter1 + 3,
                   [this](int command) { OnActiveCounter(command - kCmdCounter1 + 1); });
    OnCommand(kCmdRunStart, [this] { OnStart(); });
    OnCommand(kCmdRunStop, [this] { OnStop(); });
    OnCommand(kCmdFileNew, [this] { OnFileNew(); });
    OnCommand(kCmdFileOpen, [this] { OnFileOpen(); });
    OnCommand(kCmdFileSave, [this] { OnFileSave(); });
    OnCommand(kCmdSaveCsv, [this] { OnSaveCsv(); });
    OnCommand(kCmdSaveRoi, [this] { OnSaveRoi(false); });
    OnCommand(kCmdSaveRoiCsv, [this] { OnSaveRoi(true); });
    OnCommand(kCmdFilePrint, [this] { OnPrint(); });
    OnCommand(kCmdExit, [this] { OnCancel(); });
    OnCommand(kCmdConfigCounter, [this] { OnCounterConfig(); });
    OnCommand(kCmdConfigAssay, [this] { OnAssayConfig(); });
    OnCommand(kCmdAbout, [this] { OnAbout(); });
    OnCommand(kCmdAboutBox, [this] { OnAbout(); });
    OnCommand(kCmdAssessment, [this] { OnAssessment(); });
    OnCommand(kCmdHistory, [this] { OnHistory(); });
    OnCommandRange(kCmdFirstStatistic, kCmdFirstStatistic + kStatisticCount - 1,
                   [this](int command) { OnStatsShow(command); });
    OnCommand(kScreenUpdatesButton, [this] { OnScreenUpdatesButton(); });
    OnCommand(kDataDumpButton, [this] { FillDataDump(); });
    OnCommand(kRoiDumpButton, [this] { FillRoiDump(); });
    OnCommand(kAllDataButton, [this] { OnAllData(); });
    OnCommand(kRoiStatsButton, [this] { OnRoiStatistics(); });
    for (int button : {kLowDownButton, kLowUpButton, kHighDownButton, kHighUpButton})
        OnCommand(button, [this, button] { OnRoiStep(button); });
    OnCommand(kSetRoiButton, [this] { OnSetRoi(); });
    OnCommand(kDeletePointButton, [this] { OnDeletePoint(); });
    OnCommand(kAddHeaderButton, [this] { OnAddHeaderLine(); });
    OnCommand(kDelHeaderButton, [this] { OnDelHeaderLine(); });
}

CNivraDlg::~CNivraDlg() {
    // The runs refer to this window and to the slots' records: neither may go before them.
    StopRunsAndWait();
    // The Assessment dialog reads the slots: it goes before they do.
    delete assessment_;
}

void CNivraDlg::DoDataExchange(CDataExchange& dx) {
    CDialogBase::DoDataExchange(dx);
    dx.Text(kHeaderEdit, headerText_);
    dx.Text(kDeletePointEdit, deletePointNumber_);
    dx.Text(kRoiMinEdit, roiMin_);
    dx.Text(kRoiMaxEdit, roiMax_);
}

bool CNivraDlg::OnInitDialog() {
    CDialogBase::OnInitDialog();

    // The window system offers no menu of ours on the caption bar, so "&About Nivra..." goes to
    // the end of the About drop-down.
    const QString about = nivra::res::LoadStringResource(nivra::res::kStringAboutMenu);
    if (!about.isEmpty()) {
        Menu()->AppendSeparator(kAboutPopup);
        Menu()->AppendItem(kAboutPopup, about, nivra::res::kCmdAboutBox);
    }
    setWindowIcon(appIcon_);

    // Start directory, port list, discovery and text queries; the counters found are offered
    // in the Active Counter menu, at most four.
    for (int k = 0; k < 4; ++k)
        Menu()->EnableItem(nivra::res::kCmdCounter1 + k, false);
    const nivra::CounterStartup startup =
        environment_.startup ? environment_.startup() : nivra::RunCounterStartup();
    if (!startup.startDirectoryRead)
        nivra::ui::ShowMessage(QStringLiteral("GetStartingDirectory failed."));
    if (!startup.portListProblem.empty())
        nivra::ui::ShowMessage(nivra::ui::FromNarrow("The port list cannot be read, so no counter "
                                                     "is looked for: " +
                                                     startup.portListProblem));
    const int offered = std::clamp(startup.offeredCounters, 0, nivra::kMaxOfferedCounters);
    for (int k = 0; k < offered; ++k)
        Menu()->EnableItem(nivra::res::kCmdCounter1 + k, true);

    // The rest of the window's initial state; the viewer is active.
    slots_[kViewerSlot].state = VIEWER;
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    rangeSlider_->setEnabled(false);
    listFont_ = QFont(QStringLiteral("MS Shell Dlg"));
    listFont_.setStyleHint(QFont::SansSerif);
    listFont_.setPointSizeF(11.5);
    for (int id : {kDataDumpList, kRoiDumpList})
        Control(id)->setFont(listFont_);
    // The statistics pair is narrower than its texts at the dumps' size. Both lists get one
    // font, so their rows stay side by side: a narrow face where one is installed, at the
    // largest size at which every label and values of up to 14 characters fit their columns.
    QStringList labels{QStringLiteral("ROI min"), QStringLiteral("ROI max")};
    for (const nivra::StatisticNames& names : nivra::kStatisticNames)
        labels << QString::fromUtf8(names.listLabel);
    auto* labelList = ControlAs<QListWidget>(kStatsLabelList);
    auto* valueList = ControlAs<QListWidget>(kStatsValueList);
    QFont statsFont = FittingFont(*labelList, listFont_, labels);
    statsFont = FittingFont(*valueList, statsFont,
                            {QStringLiteral("123456789.1234"), QStringLiteral("-12345678.1234")});
    labelList->setFont(statsFont);
    valueList->setFont(statsFont);
    statsShow_.load(nivra::StartPath(nivra::kStatsDisplayFile));
    ApplyStatsShow();
    SetRoiView(1.0, 5.0, 2.0, 3.0);
    SetScreenUpdates(true);
    RefreshStatus();
    ShowLeftOverBackups();
    countersWindow_->restore();
    return true;
}

bool CNivraDlg::HasRuns() const {
    return std::any_of(slots_.begin(), slots_.end(),
                       [](const CounterSlot& slot) { return slot.run != nullptr; });
}

int CNivraDlg::RunModal(CDialogBase& dialog) {
    return environment_.runModal ? environment_.runModal(dialog) : dialog.exec();
}

std::int64_t CNivraDlg::Now() const {
    return environment_.run.Clock().Now();
}

QFont CNivraDlg::FittingFont(const QListWidget& list, QFont font, const QStringList& texts) {
    // A list item is drawn with a few pixels of margin; the statistics never need more rows
    // than the list shows, so no scroll bar takes room.
    const int room = list.contentsRect().width() - 6;
    const auto widest = [&](const QFont& f) {
        const QFontMetrics metrics(f);
        int width = 0;
        for (const QString& text : texts)
            width = std::max(width, metrics.horizontalAdvance(text));
        return width;
    };
    QFont narrow(QStringLiteral("Liberation Sans Narrow"));
    narrow.setPointSizeF(font.pointSizeF());
    if (QFontInfo(narrow).family() == narrow.family())
        font = narrow;
    while (font.pointSizeF() > 6.0 && widest(font) > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

void CNivraDlg::SetText(int id, const std::string& text) {
    SetItemText(id, nivra::ui::FromNarrow(text));
}

void CNivraDlg::ClearList(int id) {
    if (auto* list = ControlAs<QListWidget>(id))
        list->clear();
}

// ---- run reports ----

void CNivraDlg::StopRunsAndWait() {
    for (CounterSlot& slot : slots_)
        if (slot.run)
            slot.run->requestStop();
    // Each run ends within one pass of its worker; destroying it waits for that. Their last
    // reports, still queued for this window, find the slots without a run.
    for (CounterSlot& slot : slots_)
        slot.run.reset();
}
