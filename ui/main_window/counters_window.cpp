#include "ui/main_window/counters_window.h"

#include "model/counter_config.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/notifications.h"
#include "ui/main_window/companion_placement.h"
#include "ui/main_window/slot_model.h"
#include "ui/main_window/sparkline.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <numeric>

namespace nivra::ui {

namespace {

// The drop-down that offers the counters.
constexpr int kActiveCounterPopup = 1;

// Room beside a cell's text for the grid and the cell's margins.
constexpr int kCellPadding = 16;

const QString kOpenKey = QStringLiteral("CountersWindow/open");
const QString kGeometryKey = QStringLiteral("CountersWindow/geometry");

std::unique_ptr<QSettings> userSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Corvane"),
                                       QCoreApplication::applicationName());
}

} // namespace

CountersWindow::CountersWindow(const SlotModel& model, Notifier& notifier, WindowMenu& menu,
                               Clock now, SettingsSource settings, const StartDirectory& start,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), slots_(model), notifier_(notifier), menu_(menu),
      menuBar_(menu.bar()), now_(std::move(now)),
      settings_(settings ? std::move(settings) : SettingsSource(userSettings)), start_(start) {
    makeTopLevel(*this);
    setWindowTitle(QStringLiteral("Counters"));
    setObjectName(QStringLiteral("countersWindow"));

    table_ = new QTableWidget(0, kColumnCount, this);
    table_->setHorizontalHeaderLabels({"Counter", "State", "Assay", "Points", "Progress",
                                       "Last Sec", "Curr Dwell", "Time Left", "End Time",
                                       "Decision", "Backup", "Points so far"});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(table_);

    connect(table_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { activateRow(row); });

    menu_.appendSeparator(kActiveCounterPopup);
    menu_.appendItem(kActiveCounterPopup, QStringLiteral("&Counters"),
                     nivra::res::Command::CountersWindow);
    connect(menu_.action(nivra::res::Command::CountersWindow), &QAction::triggered, this,
            [this] { open(); });

    // The model has applied each change when it announces it.
    connect(&model, &SlotModel::slotChanged, this, [this](int slot) { refreshSlot(slot); });
    // The active row is the bold one; the rows are the offered counters.
    connect(&model, &SlotModel::activeSlotChanged, this, [this] { refresh(); });
    connect(&model, &SlotModel::countersOffered, this, [this] { refresh(); });
    connect(&model, &SlotModel::runEnded, this,
            [this](int counter, nivra::EndReason reason) { notifyEnd(counter, reason); });
}

CountersWindow::~CountersWindow() {
    // The program ends with the window open: it opens again at the next start, where it was.
    if (isVisible())
        rememberPlace(std::nullopt);
}

void CountersWindow::open() {
    // The first time it opens where the operator left it, or else sized to its rows.
    bool fit = false;
    if (!placed_) {
        placed_ = true;
        rebuildRows();
        const std::unique_ptr<QSettings> settings = settings_();
        const QByteArray geometry =
            settings ? settings->value(kGeometryKey).toByteArray() : QByteArray();
        fit = geometry.isEmpty() || !restoreGeometry(geometry);
    }
    if (fit && menuBar_)
        placeClearOfMenuBar(*this, *menuBar_);
    show();
    refresh();
    if (fit)
        fitToContents();
    // A remembered place may be smaller than the rows and columns now need.
    growToFit();
    raise();
    activateWindow();
    menu_.checkItem(nivra::res::Command::CountersWindow, true);
    rememberPlace(true);
}

void CountersWindow::restore() {
    const std::unique_ptr<QSettings> settings = settings_();
    if (settings && settings->value(kOpenKey, false).toBool())
        open();
}

void CountersWindow::hideEvent(QHideEvent* event) {
    // Also hidden with the main window at the program's end: the place is kept, the window
    // stays remembered open.
    rememberPlace(std::nullopt);
    QWidget::hideEvent(event);
}

void CountersWindow::closeEvent(QCloseEvent* event) {
    rememberPlace(false);
    menu_.checkItem(nivra::res::Command::CountersWindow, false);
    event->accept();
}

void CountersWindow::rememberPlace(std::optional<bool> open) {
    const std::unique_ptr<QSettings> settings = settings_();
    if (!settings)
        return;
    if (open)
        settings->setValue(kOpenKey, *open);
    settings->setValue(kGeometryKey, saveGeometry());
    settings->sync();
    if (settings->status() != QSettings::NoError)
        std::fprintf(stderr, "nivra-usb: the Counters window's place could not be saved in %s\n",
                     settings->fileName().toLocal8Bit().constData());
}

std::vector<int> CountersWindow::shownSlots() const {
    std::vector<int> shown{kViewerSlot};
    for (int slot = 1; slot < kSlotCount; ++slot)
        if (slots_.isOffered(slot))
            shown.push_back(slot);
    return shown;
}

int CountersWindow::slotOfRow(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)]
                                                            : -1;
}

int CountersWindow::rowOfSlot(int slot) const {
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row] == slot)
            return static_cast<int>(row);
    return -1;
}

void CountersWindow::activateRow(int row) {
    const int slot = slotOfRow(row);
    if (slot < 0)
        return;
    // A grayed item cannot be chosen; the menu's command asks whatever it asks.
    const nivra::res::MenuCommand command = nivra::res::activeCounterCommand(slot);
    if (!menu_.isEnabled(command))
        return;
    menu_.action(command)->trigger();
    refresh();
}

void CountersWindow::rebuildRows() {
    rows_ = shownSlots();
    table_->setRowCount(static_cast<int>(rows_.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        for (int column = 0; column < kColumnCount; ++column)
            if (column != kProgressColumn && column != kSparklineColumn)
                table_->setItem(row, column, new QTableWidgetItem);
        // The drawn cells let a double click through to the row.
        auto* progress = new QProgressBar;
        progress->setRange(0, 100);
        progress->setTextVisible(true);
        progress->setAttribute(Qt::WA_TransparentForMouseEvents);
        table_->setCellWidget(row, kProgressColumn, progress);
        auto* sparkline = new Sparkline;
        sparkline->setAttribute(Qt::WA_TransparentForMouseEvents);
        table_->setCellWidget(row, kSparklineColumn, sparkline);
    }
    // No row is marked until the operator picks one; the active row is the bold one.
    table_->setCurrentItem(nullptr);
}

void CountersWindow::refresh() {
    if (!placed_)
        return;
    if (shownSlots() != rows_)
        rebuildRows();
    for (int slot : rows_)
        refreshSlot(slot);
    growToFit();
}

void CountersWindow::refreshSlot(int slot) {
    const int row = rowOfSlot(slot);
    if (row < 0 || !isVisible())
        return;
    const CounterSlot& record = slots_.slot(slot);
    std::string name;
    if (!record.data && slot != kViewerSlot)
        name = CounterConfig(start_.counterConfig(slot)).name;
    const CounterRow values =
        counterRow(slot, record.state, record.data.get(), name, record.reports, now_ ? now_() : 0,
                   decisions_[static_cast<std::size_t>(slot)]);

    const bool active = slots_.isActive(slot);
    // Widths are measured in bold, so that a row becoming the active one changes none.
    QFont bold = table_->font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    bool widened = false;
    auto set = [&](int column, const std::string& text, const std::string& toolTip = {}) {
        QTableWidgetItem* item = table_->item(row, column);
        item->setText(fromNarrow(text));
        item->setToolTip(fromNarrow(toolTip));
        QFont font = item->font();
        font.setBold(active);
        item->setFont(font);
        // Columns grow with their texts and never shrink, so the table does not jump every
        // second.
        const int needed = boldMetrics.horizontalAdvance(item->text()) + kCellPadding;
        if (needed > table_->columnWidth(column)) {
            table_->setColumnWidth(column, needed);
            widened = true;
        }
    };
    set(kCounterColumn, values.counter);
    set(kStateColumn, values.state, values.stateToolTip);
    set(kAssayColumn, values.assay);
    set(kPointsColumn, values.points);
    set(kLastSecondColumn, values.lastSecond);
    set(kDwellColumn, values.currentDwell);
    set(kTimeLeftColumn, values.timeLeft);
    set(kEndTimeColumn, values.endTime);
    set(kDecisionColumn, values.decision);
    set(kBackupColumn, values.backup, values.backupToolTip);
    qobject_cast<QProgressBar*>(table_->cellWidget(row, kProgressColumn))
        ->setValue(values.progress);
    qobject_cast<Sparkline*>(table_->cellWidget(row, kSparklineColumn))->setCounts(values.counts);
    // A column that widened during a run widens the window with it.
    if (widened)
        growToFit();
}

void CountersWindow::fitToContents() {
    // Room for the widest texts the columns take during a run, so the window opens with none
    // of them cut off.
    QFont bold = table_->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const std::array<std::pair<int, const char*>, 7> widest{
        {{kCounterColumn, "4: detector name"},
         {kStateColumn, "RUNNING"},
         {kPointsColumn, "9999 of 9999"},
         {kLastSecondColumn, "Last Sec"},
         {kDwellColumn, "Curr Dwell"},
         {kTimeLeftColumn, "00:00:00:00"},
         {kEndTimeColumn, "12/31/99 23:59:59"}}};
    table_->resizeColumnsToContents();
    for (const auto& [column, text] : widest)
        table_->setColumnWidth(
            column, std::max(table_->columnWidth(column),
                             metrics.horizontalAdvance(QString::fromLatin1(text)) + kCellPadding));
    table_->setColumnWidth(kProgressColumn, 90);
    table_->setColumnWidth(kSparklineColumn, Sparkline().sizeHint().width() + 8);

    resize(neededSize());
}

QSize CountersWindow::neededSize() const {
    // The whole table without scroll bars, and a little room to spare.
    constexpr int kSpare = 4;
    const int width = 2 * table_->frameWidth() + table_->horizontalHeader()->length() + kSpare;
    const int height = 2 * table_->frameWidth() + table_->horizontalHeader()->sizeHint().height() +
                       table_->verticalHeader()->length() + kSpare;
    const QMargins margins = layout()->contentsMargins();
    QSize needed(width + margins.left() + margins.right(),
                 height + margins.top() + margins.bottom());
    // Never beyond the screen: there the table scrolls, sideways under its last row.
    if (const QScreen* shownOn = screen()) {
        const QSize room = shownOn->availableGeometry().size();
        if (needed.width() > room.width())
            needed.rheight() += table_->horizontalScrollBar()->sizeHint().height();
        needed = needed.boundedTo(room);
    }
    return needed;
}

void CountersWindow::growToFit() {
    if (!isVisible() || isMaximized() || isFullScreen())
        return;
    // Grows only: a window the operator made larger stays as it is.
    const QSize grown = size().expandedTo(neededSize());
    if (grown != size())
        resize(grown);
}

void CountersWindow::notifyEnd(int counter, nivra::EndReason reason) {
    const CounterSlot& slot = slots_.slot(counter);
    std::size_t points = 0;
    std::int64_t total = 0;
    if (slot.data) {
        const std::vector<std::int32_t> counts = slot.data->counts();
        points = counts.size();
        total = std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
    }
    notifier_.notify(QStringLiteral("Nivra-USB"),
                     fromNarrow(runEndMessage(counter, reason, points, total)));
}

} // namespace nivra::ui
