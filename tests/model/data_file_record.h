#pragma once

#include "model/assay_data.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nivra::test {

// A record of counter 1 ("Counter 1", background 2.5 counts per hour) with these points and
// header lines, as the data file tests save and read it.
inline AssayData dataFileRecord(const std::vector<std::int32_t>& points,
                                const std::vector<std::string>& lines = {}) {
    CounterConfig counter = CounterConfig::defaults();
    counter.name = "Counter 1";
    AssayConfig assay = AssayConfig::defaults();
    assay.backgroundRate = 2.5;
    AssayData record(counter, assay, 1);
    for (auto point : points)
        record.appendPoint(point);
    for (const auto& line : lines)
        record.appendHeaderLine(line);
    return record;
}

} // namespace nivra::test
