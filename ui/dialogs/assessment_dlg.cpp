#include "ui/dialogs/assessment_dlg.h"

#include "base/local_time.h"
#include "base/value_encoding.h"
#include "model/assay_data.h"
#include "model/class_decision.h"
#include "render/report_file.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/plots/count_histogram_plot.h"
#include "ui/plots/points_plot.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <ctime>
#include <memory>

namespace nivra::ui {

namespace {

QString slotName(int slot) {
    return slot == 0 ? QStringLiteral("Viewer") : QStringLiteral("Counter %1").arg(slot);
}

// "Class verdict: below" as its label and its value.
std::pair<QString, QString> splitLine(const std::string& line) {
    const std::size_t colon = line.find(": ");
    return {QString::fromStdString(line.substr(0, colon)),
            QString::fromStdString(colon == std::string::npos ? "" : line.substr(colon + 2))};
}

QString limitText(std::optional<double> limit) {
    return limit && *limit > 0.0 ? QString::fromStdString(formatC("%.6g", *limit)) : QString();
}

} // namespace

AssessmentDlg::AssessmentDlg(Prompts& prompts, SourceFunction source, QWidget* parent,
                             LimitFunction setLimit)
    : QDialog(parent), prompts_(prompts), source_(std::move(source)),
      setLimit_(std::move(setLimit)) {
    setWindowTitle(QStringLiteral("Assessment"));
    setModal(false);

    heading_ = new QLabel(this);
    QFont headingFont = heading_->font();
    headingFont.setBold(true);
    heading_->setFont(headingFont);

    // The seventeen figures, label and value side by side, in their fixed order.
    auto* figures = new QGroupBox(QStringLiteral("Figures"), this);
    auto* grid = new QGridLayout(figures);
    grid->setHorizontalSpacing(14);
    const std::vector<AssessmentRow> rows = assessmentRows(Assessment{});
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto* label = new QLabel(QString::fromUtf8(rows[i].label), figures);
        auto* value = new QLabel(figures);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(label, static_cast<int>(i), 0);
        grid->addWidget(value, static_cast<int>(i), 1);
        labels_.push_back(label);
        values_.push_back(value);
    }
    // Room for usual values from the start, so the pictures do not jump at the first refresh; a
    // longer value widens the column (a label never shows less than its text).
    grid->setColumnMinimumWidth(
        1, figures->fontMetrics().horizontalAdvance(QStringLiteral("-0.000000 .. -0.000000")));
    grid->setRowStretch(static_cast<int>(rows.size()), 1);
    grid->setColumnStretch(1, 1);

    // The class decision: the limit to type, then the three lines nivra-cli assess adds.
    auto* decision = new QGroupBox(QStringLiteral("Class decision"), this);
    auto* decisionGrid = new QGridLayout(decision);
    decisionGrid->setHorizontalSpacing(14);
    const std::vector<std::string> decisionRows = classDecisionLines(ClassDecision{});
    decisionGrid->addWidget(new QLabel(splitLine(decisionRows[0]).first, decision), 0, 0);
    limitEdit_ = new QLineEdit(decision);
    limitEdit_->setPlaceholderText(QStringLiteral("none"));
    limitEdit_->setToolTip(QStringLiteral("The class limit in alphas per cm² and hour; empty or 0 "
                                          "for none. It is saved with the record."));
    decisionGrid->addWidget(limitEdit_, 0, 1);
    for (std::size_t i = 1; i < decisionRows.size(); ++i) {
        auto* label = new QLabel(splitLine(decisionRows[i]).first, decision);
        auto* value = new QLabel(decision);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        decisionGrid->addWidget(label, static_cast<int>(i), 0);
        decisionGrid->addWidget(value, static_cast<int>(i), 1);
        decisionLabels_.push_back(label);
        decisionValues_.push_back(value);
    }
    decisionGrid->setColumnStretch(1, 1);
    connect(limitEdit_, &QLineEdit::editingFinished, this, [this] { applyTypedLimit(); });
    auto* left = new QVBoxLayout;
    left->addWidget(figures, 1);
    left->addWidget(decision, 0);

    pointsPlot_ = new PointsPlot(this);
    histogramPlot_ = new CountHistogramPlot(this);
    auto* plots = new QVBoxLayout;
    plots->addWidget(pointsPlot_, 1);
    plots->addWidget(histogramPlot_, 1);

    auto* middle = new QHBoxLayout;
    middle->addLayout(left, 0);
    middle->addLayout(plots, 1);

    allDataButton_ = new QPushButton(QStringLiteral("All Data"), this);
    roiButton_ = new QPushButton(QStringLiteral("ROI"), this);
    for (QPushButton* button : {allDataButton_, roiButton_}) {
        button->setCheckable(true);
        button->setAutoExclusive(true);
        button->setAutoDefault(false);
    }
    allDataButton_->setChecked(true);
    auto* pdfButton = new QPushButton(QStringLiteral("Save PDF…"), this);
    pdfButton->setAutoDefault(false);
    connect(pdfButton, &QPushButton::clicked, this, [this] { savePdf(); });
    auto* printButton = new QPushButton(QStringLiteral("Print"), this);
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    printButton->setAutoDefault(false);
    closeButton->setAutoDefault(false);
    connect(allDataButton_, &QPushButton::clicked, this,
            [this] { setRange(AssessmentRange::AllData); });
    connect(roiButton_, &QPushButton::clicked, this, [this] { setRange(AssessmentRange::Roi); });
    connect(printButton, &QPushButton::clicked, this, [this] { onPrint(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(allDataButton_);
    buttons->addWidget(roiButton_);
    buttons->addStretch(1);
    buttons->addWidget(pdfButton);
    buttons->addWidget(printButton);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    resize(1060, 680);
}

AssessmentDlg::~AssessmentDlg() {
    // A focused limit field reports the end of its editing while the dialog's base destroys it,
    // when this object is no AssessmentDlg any more: nothing may answer it then.
    limitEdit_->disconnect(this);
}

void AssessmentDlg::scheduleRefresh() {
    refresh_.schedule();
}

void AssessmentDlg::setRange(AssessmentRange range) {
    range_ = range;
    (range == AssessmentRange::AllData ? allDataButton_ : roiButton_)->setChecked(true);
    refresh();
}

void AssessmentDlg::refresh() {
    refresh_.done();
    ++refreshes_;
    const AssessmentSource source = source_ ? source_() : AssessmentSource{};
    const bool roi = range_ == AssessmentRange::Roi;
    slot_ = source.slot;
    limit_ = source.record ? source.record->assayConfig().classLimit : std::nullopt;
    // What the operator is typing stays until the field is left.
    if (!limitEdit_->hasFocus())
        limitEdit_->setText(limitText(limit_));
    limitEdit_->setEnabled(source.record != nullptr);

    // One extract of the record: figures and pictures come from the same points, even while a
    // run appends to the record.
    std::vector<std::int32_t> counts;
    std::unique_ptr<AssayData> extract;
    int first = 1;
    if (source.record) {
        const int last = roi ? source.roiLast : static_cast<int>(source.record->pointCount());
        first = roi ? std::max(source.roiFirst, 1) : 1;
        extract = source.record->extractRange(first, last);
        counts = extract->counts();
    }

    QString heading = slotName(source.slot) + (roi ? QStringLiteral(", ROI") : ", All Data");
    if (counts.empty()) {
        heading += QStringLiteral(": no points to assess");
        showFigures({});
        showDecision({});
    } else {
        heading += QStringLiteral(": points %1 to %2")
                       .arg(first)
                       .arg(first + static_cast<int>(counts.size()) - 1);
        const AssayConfig assay = extract->assayConfig();
        const Assessment assessment = assess(counts, assay, extract->counterConfig());
        showFigures(assessmentRows(assessment));
        const double limit = limit_.value_or(0.0);
        showDecision(limit > 0.0 ? classDecisionLines(decideClass(assessment, limit, assay, {}))
                                 : std::vector<std::string>{});
    }
    heading_->setText(heading);
    pointsPlot_->setPoints(counts, first);
    histogramPlot_->setCounts(std::move(counts));
}

void AssessmentDlg::showFigures(const std::vector<AssessmentRow>& rows) {
    for (std::size_t i = 0; i < values_.size(); ++i)
        values_[i]->setText(i < rows.size() ? QString::fromStdString(rows[i].value) : QString());
}

void AssessmentDlg::showDecision(const std::vector<std::string>& lines) {
    // The first line is the limit, which the field shows.
    for (std::size_t i = 0; i < decisionValues_.size(); ++i)
        decisionValues_[i]->setText(i + 1 < lines.size() ? splitLine(lines[i + 1]).second
                                                         : QString());
}

void AssessmentDlg::typeClassLimit(const QString& text) {
    limitEdit_->setText(text);
    applyTypedLimit();
}

void AssessmentDlg::applyTypedLimit() {
    const QString text = limitEdit_->text().trimmed();
    std::optional<double> limit;
    if (!text.isEmpty()) {
        double typed = 0.0;
        if (!parseNumber(text.toStdString(), typed) || !std::isfinite(typed) || typed < 0.0) {
            limitEdit_->setText(limitText(limit_));
            prompts_.tell(QStringLiteral("Enter the class limit in alphas per cm² and hour: a "
                                         "number of 0 or more, or nothing for none."));
            return;
        }
        if (typed > 0.0)
            limit = typed;
    }
    if (limit == limit_ || (!limit && limit_.value_or(0.0) == 0.0))
        return;
    if (setLimit_)
        setLimit_(slot_, limit);
    refresh();
}

QStringList AssessmentDlg::decisionLines() const {
    QStringList lines;
    if (decisionValues_.front()->text().isEmpty())
        return lines;
    lines << QStringLiteral("Class limit (1/(cm2 h)): ") + limitText(limit_);
    for (std::size_t i = 0; i < decisionValues_.size(); ++i)
        lines << decisionLabels_[i]->text() + QStringLiteral(": ") + decisionValues_[i]->text();
    return lines;
}

QString AssessmentDlg::heading() const {
    return heading_->text();
}

QStringList AssessmentDlg::figureLines() const {
    QStringList lines;
    for (std::size_t i = 0; i < values_.size(); ++i)
        if (!values_[i]->text().isEmpty())
            lines << labels_[i]->text() + QStringLiteral(": ") + values_[i]->text();
    return lines;
}

void AssessmentDlg::savePdf() {
    const AssessmentSource source = source_ ? source_() : AssessmentSource{};
    if (source.dataFile.empty()) {
        prompts_.tell(QStringLiteral("Save the data to a data file first: the report names the "
                                     "data file and the SHA-256 of its bytes."));
        return;
    }
    render::DataFileReport request;
    request.dataFile = source.dataFile;
    if (range_ == AssessmentRange::Roi)
        request.range = std::pair(std::max(source.roiFirst, 1), source.roiLast);
    request.program = "Nivra-USB " NIVRA_VERSION;
    request.reportDate = formatIsoLocalTime(static_cast<std::int64_t>(std::time(nullptr)));

    FileDialogRequest file;
    file.mode = FileDialogRequest::Mode::Save;
    file.defaultExtension = QStringLiteral("pdf");
    file.initialName =
        QFileInfo(fromNarrow(source.dataFile)).completeBaseName() + QStringLiteral(".pdf");
    file.filters = {{QStringLiteral("PDF (*.pdf)"), QStringLiteral("*.pdf")}};
    const std::optional<QString> chosen = prompts_.fileDialog(file);
    if (!chosen)
        return;
    request.pdfFile = toNarrow(*chosen);
    if (request.pdfFile == request.dataFile) {
        prompts_.tell(QStringLiteral("The report cannot replace its own data file."));
        return;
    }
    std::string sha256;
    if (const Outcome written = render::writeDataFileReport(request, sha256); !written)
        prompts_.tell(QStringLiteral("Report not saved: ") + fromNarrow(written.error()));
    else
        prompts_.tell(QStringLiteral("Report saved: %1\nData file SHA-256: %2")
                          .arg(*chosen, fromNarrow(sha256)));
}

PrintOutcome AssessmentDlg::print(QPrinter& printer) {
    return printWindowContents(prompts_, *this, printer, true);
}

void AssessmentDlg::onPrint() {
    printWindowContents(prompts_, *this, true);
}

} // namespace nivra::ui
