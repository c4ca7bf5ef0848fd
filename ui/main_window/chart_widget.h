#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

// The chart of the main window: one bar per row, each row a value and a category label, with a
// title and two axis titles. Rows are kept in plain arrays; a paint costs O(rows) + O(width):
// when there are more rows than pixel columns, every column draws the lowest and the highest
// value of the rows that fall on it, so no point ever disappears from the plot. Category labels
// are drawn for as many rows as fit without overlapping.
//
// Until rows are first set, the chart shows sample content (five rows "R1" to "R5"); a row count
// of 0 shows empty axes.
//
// Writes are cheap and only schedule a repaint; the chart redraws itself once after any number
// of writes.
class CChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit CChartWidget(QWidget* parent = nullptr);

    // The number of rows; a negative count is taken as 0. Rows kept by a new count keep their
    // values and labels; new rows start at 0 with an empty label.
    void SetRowCount(int count);
    int RowCount() const { return static_cast<int>(values_.size()); }

    // Rows are numbered from 1. Writes to a row that does not exist are ignored; reads give 0 and
    // an empty label.
    void SetValue(int row, double value);
    void SetLabel(int row, std::string_view label);
    double Value(int row) const;
    const std::string& Label(int row) const;

    // True until rows are first set.
    bool ShowsSample() const { return sample_; }

    QString Title() const { return title_; }
    QString CategoryAxisTitle() const { return categoryTitle_; }
    QString ValueAxisTitle() const { return valueTitle_; }

    QSize sizeHint() const override { return {400, 300}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool HasRow(int row) const { return row >= 1 && row <= RowCount(); }
    void LeaveSample();
    void ScheduleRepaint();
    void Draw(QPainter& painter, const QRect& area);

    QString title_;
    QString categoryTitle_;
    QString valueTitle_;
    bool sample_ = true;
    bool repaintPending_ = false;
    std::vector<double> values_;
    std::vector<std::string> labels_;
};
