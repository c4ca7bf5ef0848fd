#pragma once

#include <string>
#include <string_view>

class CChartWidget;

// The chart control as the main window drives it: four properties written one at a time.
//   RowCount  the number of rows;
//   Row       the 1-based row the next Data and RowLabel writes go to;
//   Data      the value of the current row, as decimal text ("%d" of a count);
//   RowLabel  the category label of the current row.
// Row numbers are full-width ints, so any number of points can be shown. The wrapper is bound to
// the chart control (control 1000 of the main window) after the dialog is built; unbound, every
// write is ignored and every read gives 0 or "".
class CMschart1 {
public:
    CMschart1() = default;
    explicit CMschart1(CChartWidget* chart) : chart_(chart) {}

    void Bind(CChartWidget* chart) { chart_ = chart; }
    CChartWidget* Chart() const { return chart_; }

    void SetRowCount(int count);
    int GetRowCount() const;
    // Rows outside 1..RowCount are remembered, but Data and RowLabel writes to them are ignored.
    void SetRow(int row) { row_ = row; }
    int GetRow() const { return row_; }
    // Text that is not a number sets 0.
    void SetData(std::string_view text);
    std::string GetData() const;
    void SetRowLabel(std::string_view label);
    std::string GetRowLabel() const;

private:
    CChartWidget* chart_ = nullptr;
    int row_ = 1;
};
