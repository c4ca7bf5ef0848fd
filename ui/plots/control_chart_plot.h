#pragma once

#include "model/control_chart.h"

#include <QString>
#include <QWidget>
#include <optional>

namespace nivra::ui {

// A counter's control chart drawn as nivra-cli qa --svg draws it: the runs' z in time order
// against the centre line and the warning and action limits, the runs that break a rule in red.
// Empty (a frame and the title) without a chart.
class ControlChartPlot : public QWidget {
    Q_OBJECT
public:
    explicit ControlChartPlot(QWidget* parent = nullptr);

    // Repaints.
    void setChart(std::optional<ControlChart> chart, const QString& title);

    const std::optional<ControlChart>& chart() const { return chart_; }

    QSize minimumSizeHint() const override { return {460, 220}; }
    QSize sizeHint() const override { return {900, 320}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<ControlChart> chart_;
    QString title_;
};

} // namespace nivra::ui
