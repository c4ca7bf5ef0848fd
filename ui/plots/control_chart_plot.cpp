#include "ui/plots/control_chart_plot.h"

#include "render/control_chart_painter.h"

#include <QPainter>

namespace nivra::ui {

ControlChartPlot::ControlChartPlot(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ControlChartPlot::setChart(std::optional<ControlChart> chart, const QString& title) {
    chart_ = std::move(chart);
    title_ = title;
    update();
}

void ControlChartPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    render::paintControlChart(painter, rect(), chart_.value_or(ControlChart{}), title_);
}

} // namespace nivra::ui
