#pragma once

#include <cstdint>
#include <span>

class CMschart1;

// What the main window's chart shows of a record.
//
// ShowChartPoints: points first to last (1-based, inclusive) of counts become rows 1 to
// last - first + 1: RowCount, then for every point Row, Data ("%d" of the count) and RowLabel
// ("%d:%d" of the point number and the count; the fifth point with 12 counts is "5:12").
// first = 1 with last = 0 shows no rows. A range reaching beyond the counts is cut to them, so
// a wrong range can never read outside the record.
//
// ClearChartPoints: RowCount 0.
void ShowChartPoints(CMschart1& chart, std::span<const std::int32_t> counts, int first, int last);
void ClearChartPoints(CMschart1& chart);
