#pragma once

#include "model/assessment_plot.h"

#include <QWidget>
#include <cstdint>
#include <vector>

namespace nivra::ui {

// How the counts of the points are distributed: one bar per range of counts with the number of
// points in it, beside the number of points the Poisson distribution of the same mean expects
// there (dots joined by a line).
class CountHistogramPlot : public QWidget {
    Q_OBJECT
public:
    explicit CountHistogramPlot(QWidget* parent = nullptr);

    // The bars are formed again for the widget's width at every paint. Repaints.
    void setCounts(std::vector<std::int32_t> counts);

    const std::vector<std::int32_t>& counts() const { return counts_; }
    // The bars as the last paint drew them.
    const std::vector<CountBin>& bins() const { return bins_; }

    QSize minimumSizeHint() const override { return {460, 250}; }
    QSize sizeHint() const override { return {620, 300}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<std::int32_t> counts_;
    std::vector<CountBin> bins_;
};

} // namespace nivra::ui
