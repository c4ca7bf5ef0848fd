#pragma once

#include "model/control_chart.h"

#include <string>

namespace nivra::cli {

// The control chart as an SVG picture: the runs in time order as points of their z, the mean
// (z = 0), the warning (±2) and action (±3) limits, flagged runs in red with their flags.
std::string controlChartSvg(const ControlChart& chart, const std::string& title);

} // namespace nivra::cli
