#include "ui/main_window/chart_control.h"
#include "ui/main_window/chart_widget.h"

#include <charconv>
#include <cstdio>

void CMschart1::SetRowCount(int count) {
    if (chart_)
        chart_->SetRowCount(count);
}

int CMschart1::GetRowCount() const {
    return chart_ ? chart_->RowCount() : 0;
}

void CMschart1::SetData(std::string_view text) {
    if (!chart_)
        return;
    // Leading blanks are allowed, as a number typed by hand may carry them.
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        start = text.size();
    double value = 0.0;
    const char* begin = text.data() + start;
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    if (std::from_chars(begin, end, value).ec != std::errc())
        value = 0.0;
    chart_->SetValue(row_, value);
}

std::string CMschart1::GetData() const {
    if (!chart_)
        return {};
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, chart_->Value(row_));
    return std::string(buffer, result.ptr);
}

void CMschart1::SetRowLabel(std::string_view label) {
    if (chart_)
        chart_->SetLabel(row_, label);
}

std::string CMschart1::GetRowLabel() const {
    return chart_ ? chart_->Label(row_) : std::string();
}
