#include "ui/plots/points_plot.h"

#include "render/points_painter.h"

#include <QPainter>

namespace nivra::ui {

PointsPlot::PointsPlot(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PointsPlot::setPoints(std::vector<std::int32_t> counts, int firstNumber) {
    counts_ = std::move(counts);
    firstNumber_ = firstNumber;
    bands_ = poissonBands(counts_);
    update();
}

void PointsPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    render::paintPoints(painter, rect(), counts_, firstNumber_, bands_);
}

} // namespace nivra::ui
