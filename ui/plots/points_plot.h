#pragma once

#include "model/assessment_plot.h"

#include <QWidget>
#include <cstdint>
#include <vector>

namespace nivra::ui {

// The points of a measurement against time: each point's count over its point number, with
// the mean of the points and the Poisson bands m ± 2√m and m ± 3√m. Points outside the 3√m
// band are drawn in red: they are the ones to look at when the dispersion test fails.
class PointsPlot : public QWidget {
    Q_OBJECT
public:
    explicit PointsPlot(QWidget* parent = nullptr);

    // The counts of points firstNumber, firstNumber + 1, ... (1-based point numbers). Repaints.
    void setPoints(std::vector<std::int32_t> counts, int firstNumber);

    const std::vector<std::int32_t>& counts() const { return counts_; }
    int firstNumber() const { return firstNumber_; }
    const PoissonBands& bands() const { return bands_; }

    QSize minimumSizeHint() const override { return {460, 250}; }
    QSize sizeHint() const override { return {620, 300}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<std::int32_t> counts_;
    int firstNumber_ = 1;
    PoissonBands bands_;
};

} // namespace nivra::ui
