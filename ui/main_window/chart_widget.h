#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nivra::ui {

// The chart of the main window: one bar per point, each labelled "number:count" (the fifth point
// with 12 counts is "5:12"), with a title and two axis titles. The chart keeps the counts as they
// are, 32-bit integers in one array; a paint costs O(points) + O(width): when there are more
// points than pixel columns, every column draws the lowest and the highest count of the points
// that fall on it, so no point ever disappears from the plot. Category labels are drawn for as
// many points as fit without overlapping.
//
// Rows are numbered from 1 in the order the points were given. Until points are first set, the
// chart shows sample content (five rows "R1" to "R5"); no points show empty axes.
//
// Setting points only schedules a repaint; the chart redraws itself once, however often the
// points change before the next paint.
class ChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit ChartWidget(QWidget* parent = nullptr);

    // Shows counts as rows 1 to counts.size(); row r stands for point number firstNumber + r - 1.
    // The counts are copied. An empty span shows empty axes.
    void setPoints(std::span<const std::int32_t> counts, int firstNumber);
    // No rows: empty axes.
    void clear() { setPoints({}, 1); }

    int rowCount() const { return static_cast<int>(counts_.size()); }
    // The count of a row and its category label; 0 and an empty label for a row that does not
    // exist.
    std::int32_t value(int row) const;
    std::string label(int row) const;

    // True until points are first set.
    bool showsSample() const { return sample_; }

    QString title() const { return title_; }
    QString categoryAxisTitle() const { return categoryTitle_; }
    QString valueAxisTitle() const { return valueTitle_; }

    QSize sizeHint() const override { return {400, 300}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool hasRow(int row) const { return row >= 1 && row <= rowCount(); }
    void draw(QPainter& painter, const QRect& area);

    QString title_;
    QString categoryTitle_;
    QString valueTitle_;
    bool sample_ = true;
    std::vector<std::int32_t> counts_;
    int firstNumber_ = 1;
};

} // namespace nivra::ui
