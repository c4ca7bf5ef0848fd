#include "cli/control_chart_svg.h"

#include "base/value_encoding.h"

#include <algorithm>
#include <cmath>

namespace nivra::cli {

namespace {

constexpr double kWidth = 900;
constexpr double kHeight = 420;
constexpr double kLeft = 40;
// The limits are named to the right of the plot, clear of the z axis title and of the runs;
// the widest name, "mean 99999.9999/h", takes about 120 units.
constexpr double kRight = 150;
constexpr double kLabelGap = 6;
constexpr double kTop = 50;
constexpr double kBottom = 50;

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string controlChartSvg(const ControlChart& chart, const std::string& title) {
    // The z range: at least ±4, so that the limits always show; wider for runs beyond it, up to
    // ±10 (points further out are drawn at the edge).
    double extent = 4;
    for (const ChartPoint& point : chart.points)
        if (std::isfinite(point.z))
            extent = std::max(extent, std::min(10.0, std::ceil(std::fabs(point.z) + 0.5)));
    const double plotWidth = kWidth - kLeft - kRight;
    const double plotHeight = kHeight - kTop - kBottom;
    auto y = [&](double z) {
        z = std::clamp(z, -extent, extent);
        return kTop + plotHeight / 2 - z / extent * plotHeight / 2;
    };
    const std::size_t count = chart.points.size();
    auto x = [&](std::size_t i) {
        return count <= 1
                   ? kLeft + plotWidth / 2
                   : kLeft + plotWidth * static_cast<double>(i) / static_cast<double>(count - 1);
    };

    std::string svg =
        formatC("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" "
                "height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\" font-family=\"sans-serif\" "
                "font-size=\"12\">\n",
                kWidth, kHeight, kWidth, kHeight);
    svg += formatC("<rect width=\"%.0f\" height=\"%.0f\" fill=\"white\"/>\n", kWidth, kHeight);
    svg += formatC("<text x=\"%.0f\" y=\"24\" font-size=\"15\">%s</text>\n", kLeft,
                   escaped(title).c_str());
    svg += formatC("<rect x=\"%.0f\" y=\"%.0f\" width=\"%.0f\" height=\"%.0f\" fill=\"none\" "
                   "stroke=\"#888\"/>\n",
                   kLeft, kTop, plotWidth, plotHeight);

    struct Limit {
        double z;
        const char* color;
        const char* dash;
        std::string label;
    };
    const Limit limits[] = {
        {3, "#c00000", "", "+3"},
        {2, "#e08000", "6,4", "+2"},
        {0, "#000000", "", formatC("mean %.4f/h", chart.meanRate)},
        {-2, "#e08000", "6,4", "-2"},
        {-3, "#c00000", "", "-3"},
    };
    for (const Limit& limit : limits) {
        const double ly = y(limit.z);
        svg += formatC("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\"%s/>\n",
                       kLeft, ly, kLeft + plotWidth, ly, limit.color,
                       *limit.dash ? formatC(" stroke-dasharray=\"%s\"", limit.dash).c_str() : "");
        svg += formatC("<text x=\"%.1f\" y=\"%.1f\" fill=\"%s\">%s</text>\n",
                       kLeft + plotWidth + kLabelGap, ly + 4, limit.color,
                       escaped(limit.label).c_str());
    }
    svg += formatC("<text x=\"16\" y=\"%.1f\" transform=\"rotate(-90 16 %.1f)\" "
                   "text-anchor=\"middle\">z</text>\n",
                   kTop + plotHeight / 2, kTop + plotHeight / 2);

    if (count > 1) {
        svg += "<polyline fill=\"none\" stroke=\"#7090c0\" points=\"";
        for (std::size_t i = 0; i < count; ++i)
            svg += formatC("%s%.1f,%.1f", i ? " " : "", x(i), y(chart.points[i].z));
        svg += "\"/>\n";
    }
    // Run ids under the axis, at most about twenty of them.
    const std::size_t step = std::max<std::size_t>(1, (count + 19) / 20);
    for (std::size_t i = 0; i < count; ++i) {
        const ChartPoint& point = chart.points[i];
        const bool flagged = point.flagged();
        svg += formatC("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%d\" fill=\"%s\"><title>run %lld: "
                       "%.4f/h, z %+.2f, %s</title></circle>\n",
                       x(i), y(point.z), flagged ? 5 : 3, flagged ? "#c00000" : "#2050a0",
                       static_cast<long long>(point.run.id), point.rate, point.z,
                       chartFlagsText(point).c_str());
        if (flagged)
            svg += formatC("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" fill=\"#c00000\" "
                           "font-size=\"10\">%s</text>\n",
                           x(i), y(point.z) - 9, chartFlagsText(point).c_str());
        if (i % step == 0 || i + 1 == count)
            svg += formatC("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">%lld</text>\n", x(i),
                           kTop + plotHeight + 18, static_cast<long long>(point.run.id));
    }
    svg +=
        formatC("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">run (in time order)</text>\n",
                kLeft + plotWidth / 2, kHeight - 10);
    svg += "</svg>\n";
    return svg;
}

} // namespace nivra::cli
