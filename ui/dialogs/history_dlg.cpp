#include "ui/dialogs/history_dlg.h"

#include "base/value_encoding.h"
#include "storage/background_pool.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/plots/control_chart_plot.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

namespace nivra::ui {

namespace {

constexpr RunKind kKinds[] = {RunKind::Sample, RunKind::Background, RunKind::Source};

const QStringList kColumns = {QStringLiteral("ID"),     QStringLiteral("Counter"),
                              QStringLiteral("Kind"),   QStringLiteral("Start"),
                              QStringLiteral("End"),    QStringLiteral("Points"),
                              QStringLiteral("Counts"), QStringLiteral("CPH"),
                              QStringLiteral("Assay"),  QStringLiteral("Data File")};

QPushButton* makeButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    return button;
}

void addCounters(QComboBox* box, bool withAll) {
    if (withAll)
        box->addItem(QStringLiteral("All counters"), 0);
    for (int counter = 1; counter <= 4; ++counter)
        box->addItem(QStringLiteral("Counter %1").arg(counter), counter);
}

void addKinds(QComboBox* box, bool withSample) {
    for (RunKind kind : kKinds)
        if (withSample || kind != RunKind::Sample)
            box->addItem(QString::fromLatin1(runKindName(kind)), static_cast<int>(kind));
}

std::optional<std::string> dateOf(const QLineEdit* edit) {
    const QString text = edit->text().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    return text.toStdString();
}

} // namespace

HistoryDlg::HistoryDlg(Prompts& prompts, HistoryBrowser browser, OpenRunFunction openRun,
                       QWidget* parent)
    : QDialog(parent), prompts_(prompts), browser_(std::move(browser)),
      openRun_(std::move(openRun)) {
    setWindowTitle(QStringLiteral("Run History"));
    setModal(false);
    tabs_ = new QTabWidget(this);

    // The runs: filters above the table, commands on the selected run below it.
    auto* runsPage = new QWidget(tabs_);
    counterFilter_ = new QComboBox(runsPage);
    addCounters(counterFilter_, true);
    kindFilter_ = new QComboBox(runsPage);
    kindFilter_->addItem(QStringLiteral("All kinds"), -1);
    addKinds(kindFilter_, true);
    since_ = new QLineEdit(runsPage);
    until_ = new QLineEdit(runsPage);
    for (QLineEdit* edit : {since_, until_}) {
        edit->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
        edit->setMaxLength(10);
        // Room for the placeholder and the edit's frame and margins.
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("YYYY-MM-DD")) +
                            24);
    }
    auto* apply = makeButton(QStringLiteral("Apply"), runsPage);
    auto* filters = new QHBoxLayout;
    filters->addWidget(counterFilter_);
    filters->addWidget(kindFilter_);
    filters->addWidget(new QLabel(QStringLiteral("Since"), runsPage));
    filters->addWidget(since_);
    filters->addWidget(new QLabel(QStringLiteral("Until"), runsPage));
    filters->addWidget(until_);
    filters->addWidget(apply);
    filters->addStretch(1);

    table_ = new QTableWidget(0, static_cast<int>(kColumns.size()), runsPage);
    table_->setHorizontalHeaderLabels(kColumns);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several runs may be selected, to pool backgrounds; Open and Set Kind take the first.
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);

    auto* open = makeButton(QStringLiteral("Open in Viewer"), runsPage);
    newKind_ = new QComboBox(runsPage);
    addKinds(newKind_, true);
    auto* setKind = makeButton(QStringLiteral("Set Kind"), runsPage);
    auto* useAsBackground = makeButton(QStringLiteral("Use as background…"), runsPage);
    problem_ = new QLabel(runsPage);
    problem_->setWordWrap(true);
    auto* commands = new QHBoxLayout;
    commands->addWidget(open);
    commands->addSpacing(12);
    commands->addWidget(newKind_);
    commands->addWidget(setKind);
    commands->addSpacing(12);
    commands->addWidget(useAsBackground);
    commands->addStretch(1);

    auto* runsLayout = new QVBoxLayout(runsPage);
    runsLayout->addLayout(filters);
    runsLayout->addWidget(table_, 1);
    runsLayout->addLayout(commands);
    runsLayout->addWidget(problem_);
    tabs_->addTab(runsPage, QStringLiteral("Runs"));

    // The control chart of one counter and kind.
    auto* chartPage = new QWidget(tabs_);
    chartCounter_ = new QComboBox(chartPage);
    addCounters(chartCounter_, false);
    chartKind_ = new QComboBox(chartPage);
    addKinds(chartKind_, false);
    chart_ = new QPlainTextEdit(chartPage);
    chart_->setReadOnly(true);
    chart_->setLineWrapMode(QPlainTextEdit::NoWrap);
    chart_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* chartChoice = new QHBoxLayout;
    chartChoice->addWidget(chartCounter_);
    chartChoice->addWidget(chartKind_);
    chartChoice->addStretch(1);
    // The chart drawn above its table; the operator moves the border between them.
    chartPlot_ = new ControlChartPlot(chartPage);
    auto* chartSplitter = new QSplitter(Qt::Vertical, chartPage);
    chartSplitter->addWidget(chartPlot_);
    chartSplitter->addWidget(chart_);
    chartSplitter->setStretchFactor(0, 3);
    chartSplitter->setStretchFactor(1, 2);
    chartSplitter->setChildrenCollapsible(false);
    auto* chartLayout = new QVBoxLayout(chartPage);
    chartLayout->addLayout(chartChoice);
    chartLayout->addWidget(chartSplitter, 1);
    tabs_->addTab(chartPage, QStringLiteral("Control Chart"));

    auto* print = makeButton(QStringLiteral("Print"), this);
    auto* refresh = makeButton(QStringLiteral("Refresh"), this);
    auto* close = makeButton(QStringLiteral("Close"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(refresh);
    bottom->addStretch(1);
    bottom->addWidget(print);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(bottom);

    connect(apply, &QPushButton::clicked, this, [this] { fillRuns(); });
    connect(open, &QPushButton::clicked, this, [this] { openSelected(); });
    connect(setKind, &QPushButton::clicked, this,
            [this] { setSelectedKind(static_cast<RunKind>(newKind_->currentData().toInt())); });
    connect(useAsBackground, &QPushButton::clicked, this, [this] { useSelectedAsBackground(); });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { openSelected(); });
    for (QComboBox* box : {chartCounter_, chartKind_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { fillChart(); });
    connect(refresh, &QPushButton::clicked, this, [this] { this->refresh(); });
    connect(print, &QPushButton::clicked, this,
            [this] { printWindowContents(prompts_, *this, true); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    resize(980, 520);
}

void HistoryDlg::refresh() {
    refresh_.done();
    ++refreshes_;
    fillRuns();
    fillChart();
}

void HistoryDlg::scheduleRefresh() {
    refresh_.schedule();
}

void HistoryDlg::setFilter(int counter, std::optional<RunKind> kind, const QString& since,
                           const QString& until) {
    counterFilter_->setCurrentIndex(counterFilter_->findData(counter));
    kindFilter_->setCurrentIndex(kindFilter_->findData(kind ? static_cast<int>(*kind) : -1));
    since_->setText(since);
    until_->setText(until);
    tabs_->setCurrentIndex(0);
    fillRuns();
}

void HistoryDlg::fillRuns() {
    const std::int64_t selected = selectedRun();
    RunFilter filter;
    if (const int counter = counterFilter_->currentData().toInt(); counter > 0)
        filter.counter = counter;
    if (const int kind = kindFilter_->currentData().toInt(); kind >= 0)
        filter.kind = static_cast<RunKind>(kind);
    filter.since = dateOf(since_);
    filter.until = dateOf(until_);
    std::vector<HistoryRun> runs;
    const StorageResult result = browser_.runs(filter, runs);
    showProblem(result);
    runs_ = runs;
    table_->setRowCount(static_cast<int>(runs.size()));
    for (int row = 0; row < static_cast<int>(runs.size()); ++row) {
        const HistoryRun& run = runs[static_cast<std::size_t>(row)];
        const QStringList cells = {QString::number(run.id),
                                   run.counter ? QString::number(*run.counter)
                                               : QStringLiteral("-"),
                                   QString::fromLatin1(runKindName(run.kind)),
                                   fromNarrow(run.startTime),
                                   QString::fromLatin1(runEndName(run.endReason)),
                                   QString::number(run.points),
                                   QString::number(run.totalCounts),
                                   QString::number(run.countsPerHour(), 'f', 2),
                                   fromNarrow(run.assayConfig.name),
                                   run.dataFile ? fromNarrow(*run.dataFile) : QString()};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column == 0)
                item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(run.id));
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
    if (selected != 0)
        selectRun(selected);
}

void HistoryDlg::fillChart() {
    std::string text;
    std::optional<ControlChart> chart;
    const StorageResult result =
        browser_.chartText(chartCounter_->currentData().toInt(),
                           static_cast<RunKind>(chartKind_->currentData().toInt()), text, &chart);
    chart_->setPlainText(result ? fromNarrow(text) : fromNarrow(result.error()));
    chartPlot_->setChart(std::move(chart),
                         QStringLiteral("Control chart: %1, %2 runs")
                             .arg(chartCounter_->currentText(), chartKind_->currentText()));
}

void HistoryDlg::showProblem(const StorageResult& result) {
    problem_->setText(result ? QString() : fromNarrow(result.error()));
}

std::int64_t HistoryDlg::selectedRun() const {
    const QList<QTableWidgetItem*> items = table_->selectedItems();
    if (items.isEmpty())
        return 0;
    const QTableWidgetItem* idItem = table_->item(items.first()->row(), 0);
    return idItem ? idItem->data(Qt::UserRole).toLongLong() : 0;
}

std::vector<std::int64_t> HistoryDlg::selectedRuns() const {
    std::set<int> rows;
    for (const QTableWidgetItem* item : table_->selectedItems())
        rows.insert(item->row());
    std::vector<std::int64_t> ids;
    for (int row : rows)
        ids.push_back(table_->item(row, 0)->data(Qt::UserRole).toLongLong());
    return ids;
}

void HistoryDlg::selectRun(std::int64_t runId) {
    selectRuns({runId});
}

void HistoryDlg::selectRuns(const std::vector<std::int64_t>& runIds) {
    QItemSelection selection;
    for (int row = 0; row < table_->rowCount(); ++row)
        if (std::ranges::count(runIds, table_->item(row, 0)->data(Qt::UserRole).toLongLong()))
            selection.select(table_->model()->index(row, 0),
                             table_->model()->index(row, table_->columnCount() - 1));
    table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void HistoryDlg::useSelectedAsBackground() {
    std::vector<HistoryRun> backgrounds;
    std::set<int> counters;
    for (std::int64_t id : selectedRuns())
        for (const HistoryRun& run : runs_)
            if (run.id == id && run.kind == RunKind::Background) {
                backgrounds.push_back(run);
                counters.insert(run.counter.value_or(0));
            }
    if (backgrounds.empty()) {
        prompts_.tell(QStringLiteral("Select the background runs to pool first."));
        return;
    }
    if (counters.size() > 1) {
        prompts_.tell(QStringLiteral("The selected background runs are from more than one "
                                     "counter; a background belongs to one counter."));
        return;
    }
    const BackgroundPool pool = poolBackground(backgrounds);
    if (pool.runs == 0) {
        prompts_.tell(QStringLiteral("The selected background runs have no counted time."));
        return;
    }
    FileDialogRequest request;
    request.defaultExtension = QStringLiteral("acx");
    request.filters = {{QStringLiteral("Assay Config Nivra (*.acx)"), QStringLiteral("*.acx")}};
    const std::optional<QString> path = prompts_.fileDialog(request);
    if (!path)
        return;
    const std::string summary =
        formatC("Background rate (1/h): %.6g\nBackground time (h): %.6g\nRuns: %zu", pool.rate(),
                pool.countedHours, pool.runs);
    if (const Outcome written = writeBackground(toNarrow(*path), pool); !written)
        prompts_.tell(
            QStringLiteral("Cannot write '%1': %2").arg(*path, fromNarrow(written.error())));
    else
        prompts_.tell(fromNarrow(summary) + QStringLiteral("\nwritten to ") + *path);
}

void HistoryDlg::openSelected() {
    if (const std::int64_t id = selectedRun(); id != 0 && openRun_)
        openRun_(id);
}

void HistoryDlg::setSelectedKind(RunKind kind) {
    const std::int64_t id = selectedRun();
    if (id == 0)
        return;
    const StorageResult result = browser_.setKind(id, kind);
    // The table shows what the history holds afterwards, changed or not.
    fillRuns();
    fillChart();
    showProblem(result);
}

void HistoryDlg::showChart(int counter, RunKind kind) {
    tabs_->setCurrentIndex(1);
    chartCounter_->setCurrentIndex(chartCounter_->findData(counter));
    chartKind_->setCurrentIndex(chartKind_->findData(static_cast<int>(kind)));
    fillChart();
}

PrintOutcome HistoryDlg::print(QPrinter& printer) {
    return printWindowContents(prompts_, *this, printer, true);
}

std::vector<std::int64_t> HistoryDlg::runIds() const {
    std::vector<std::int64_t> ids;
    for (int row = 0; row < table_->rowCount(); ++row)
        ids.push_back(table_->item(row, 0)->data(Qt::UserRole).toLongLong());
    return ids;
}

QString HistoryDlg::rowText(std::int64_t runId) const {
    for (int row = 0; row < table_->rowCount(); ++row) {
        if (table_->item(row, 0)->data(Qt::UserRole).toLongLong() != runId)
            continue;
        QStringList cells;
        for (int column = 0; column < table_->columnCount(); ++column)
            cells << table_->item(row, column)->text();
        return cells.join(QStringLiteral(" | "));
    }
    return {};
}

QString HistoryDlg::chartText() const {
    return chart_->toPlainText();
}

QString HistoryDlg::problem() const {
    return problem_->text();
}

} // namespace nivra::ui
