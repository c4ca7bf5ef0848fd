#include "render/report_pdf.h"

#include "model/assessment_plot.h"
#include "render/count_histogram_painter.h"
#include "render/points_painter.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace nivra::render {

namespace {

// Page units: 96 per inch, the pixels of the screen, so that the pictures are laid out as in
// the Assessment window. Text is in points either way.
constexpr int kResolution = 96;
constexpr int kGap = 6;
constexpr int kSectionGap = 14;
constexpr int kPictureHeight = 300;
constexpr double kLabelShare = 0.5; // of the text width, at most, for the labels

QFont reportFont(double points, bool bold = false) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Places blocks one below the other on the pages of a writer, beginning a new page when a block
// does not fit on the rest of the current one.
class PageFlow {
public:
    PageFlow(QPdfWriter& writer, QPainter& painter, QString footer)
        : writer_(writer), painter_(painter), footer_(std::move(footer)) {
        const QFontMetrics fm(reportFont(7.5));
        page_ = painter_.viewport();
        bottom_ = page_.bottom() - fm.height() - kGap;
        y_ = page_.top();
        drawFooter();
    }

    int width() const { return page_.width(); }
    int left() const { return page_.left(); }

    // The top of a block of this height, on this page or on the next.
    int place(int height) {
        if (y_ + height > bottom_ && y_ > page_.top()) {
            writer_.newPage();
            ++page_number_;
            y_ = page_.top();
            drawFooter();
        }
        const int top = y_;
        y_ += height;
        return top;
    }
    void skip(int height) { y_ = std::min(y_ + height, bottom_); }

private:
    void drawFooter() {
        painter_.save();
        painter_.setFont(reportFont(7.5));
        painter_.setPen(QColor(90, 90, 90));
        const QFontMetrics fm(painter_.font());
        const QRect line(page_.left(), page_.bottom() - fm.height(), page_.width(), fm.height());
        painter_.drawLine(line.left(), line.top() - 3, line.right(), line.top() - 3);
        painter_.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, footer_);
        painter_.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                          QStringLiteral("Page %1").arg(page_number_));
        painter_.restore();
    }

    QPdfWriter& writer_;
    QPainter& painter_;
    QString footer_;
    QRect page_;
    int bottom_ = 0;
    int y_ = 0;
    int page_number_ = 1;
};

void drawSection(QPainter& painter, PageFlow& flow, const ReportSection& section) {
    const QFont heading = reportFont(10.5, true);
    const QFont body = reportFont(9);
    const QFontMetrics headingMetrics(heading);
    const QFontMetrics bodyMetrics(body);
    // The labels' column is as wide as the section's widest label, up to a share of the line,
    // so that a long value (a SHA-256) keeps to one line where it can.
    int labelWidth = 0;
    for (const ReportLine& line : section.lines)
        labelWidth = std::max(labelWidth, bodyMetrics.horizontalAdvance(text(line.label)) + kGap);
    labelWidth = std::min(labelWidth, static_cast<int>(flow.width() * kLabelShare));
    const int valueWidth = flow.width() - labelWidth - kGap;
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere;
    const auto lineHeight = [&](const ReportLine& line) {
        if (line.label.empty())
            return bodyMetrics
                .boundingRect(QRect(0, 0, flow.width(), 10000), flags, text(line.value))
                .height();
        return std::max(
            bodyMetrics.boundingRect(QRect(0, 0, labelWidth, 10000), flags, text(line.label))
                .height(),
            bodyMetrics.boundingRect(QRect(0, 0, valueWidth, 10000), flags, text(line.value))
                .height());
    };

    // The heading stays with the first line of the section.
    const int headingHeight = headingMetrics.height() + kGap;
    const int firstLine = section.lines.empty() ? 0 : lineHeight(section.lines.front()) + 2;
    int top = flow.place(headingHeight + firstLine);
    painter.setFont(heading);
    painter.setPen(QColor(20, 50, 110));
    painter.drawText(QRect(flow.left(), top, flow.width(), headingMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text(section.title));
    painter.setPen(QColor(170, 180, 200));
    const int rule = top + headingMetrics.height() + 2;
    painter.drawLine(flow.left(), rule, flow.left() + flow.width(), rule);
    top += headingHeight;

    painter.setFont(body);
    painter.setPen(Qt::black);
    bool first = true;
    for (const ReportLine& line : section.lines) {
        const int height = lineHeight(line);
        if (!first)
            top = flow.place(height + 2);
        first = false;
        if (line.label.empty()) {
            painter.drawText(QRect(flow.left(), top, flow.width(), height), flags,
                             text(line.value));
        } else {
            painter.setPen(QColor(60, 60, 60));
            painter.drawText(QRect(flow.left(), top, labelWidth, height), flags, text(line.label));
            painter.setPen(Qt::black);
            painter.drawText(QRect(flow.left() + labelWidth + kGap, top, valueWidth, height), flags,
                             text(line.value));
        }
    }
    flow.skip(kSectionGap);
}

} // namespace

std::string reportPdf(const ReportContent& report, std::span<const std::int32_t> counts,
                      int firstNumber) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        writer.setTitle(text(report.title));
        writer.setCreator(text(report.footer));
        QPainter painter;
        if (!painter.begin(&writer))
            return {};
        PageFlow flow(writer, painter, text(report.footer));

        const QFont title = reportFont(15, true);
        const int titleTop = flow.place(QFontMetrics(title).height() + kSectionGap);
        painter.setFont(title);
        painter.drawText(QRect(flow.left(), titleTop, flow.width(), QFontMetrics(title).height()),
                         Qt::AlignLeft | Qt::AlignVCenter, text(report.title));

        for (const ReportSection& section : report.sections)
            drawSection(painter, flow, section);

        // The two pictures of the Assessment window, at its size and in its font.
        painter.setFont(reportFont(8));
        const PoissonBands bands = poissonBands(counts);
        const QRect points(flow.left(), flow.place(kPictureHeight), flow.width(), kPictureHeight);
        paintPoints(painter, points, counts, firstNumber, bands);
        flow.skip(kSectionGap);
        const QRect histogram(flow.left(), flow.place(kPictureHeight), flow.width(),
                              kPictureHeight);
        paintCountHistogram(painter, histogram, counts);
        flow.skip(kSectionGap);

        for (const ReportSection& section : report.appendix)
            drawSection(painter, flow, section);
        if (!painter.end())
            return {};
    }
    buffer.close();
    return bytes.toStdString();
}

} // namespace nivra::render
