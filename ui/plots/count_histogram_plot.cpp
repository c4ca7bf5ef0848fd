#include "ui/plots/count_histogram_plot.h"

#include "render/count_histogram_painter.h"

#include <QPainter>

namespace nivra::ui {

CountHistogramPlot::CountHistogramPlot(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CountHistogramPlot::setCounts(std::vector<std::int32_t> counts) {
    counts_ = std::move(counts);
    bins_ = countHistogram(counts_, render::histogramMaxBins(width()));
    update();
}

void CountHistogramPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    bins_ = render::paintCountHistogram(painter, rect(), counts_);
}

} // namespace nivra::ui
