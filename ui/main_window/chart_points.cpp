#include "ui/main_window/chart_points.h"
#include "ui/main_window/chart_control.h"

#include <algorithm>
#include <charconv>
#include <string_view>

void ShowChartPoints(CMschart1& chart, std::span<const std::int32_t> counts, int first, int last) {
    first = std::max(first, 1);
    last = static_cast<int>(std::min<std::int64_t>(last, static_cast<std::int64_t>(counts.size())));
    const int rows = last >= first ? last - first + 1 : 0;
    chart.SetRowCount(rows);
    char data[16];
    char label[32];
    for (int i = first - 1; i <= last - 1; ++i) {
        const std::int32_t count = counts[static_cast<std::size_t>(i)];
        chart.SetRow(i - first + 2);
        const auto dataEnd = std::to_chars(data, data + sizeof data, count).ptr;
        chart.SetData(std::string_view(data, static_cast<std::size_t>(dataEnd - data)));
        // A point number takes at most 10 characters, a count at most 11.
        char* colon = std::to_chars(label, label + 12, i + 1).ptr;
        *colon = ':';
        char* p = std::to_chars(colon + 1, label + sizeof label, count).ptr;
        chart.SetRowLabel(std::string_view(label, static_cast<std::size_t>(p - label)));
    }
}

void ClearChartPoints(CMschart1& chart) {
    chart.SetRowCount(0);
}
