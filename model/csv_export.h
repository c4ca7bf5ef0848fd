#pragma once

#include <string>

namespace nivra {
class AssayData;
class StatsShow;

// Writes the CSV export of a record (LF line ends): the header lines, the selected statistics
// with their CSV labels (rows that need a background only when there is one), one "%d," line per
// point. Returns false when the file could not be created or fully written.
bool writeCsvExport(const AssayData& data, const std::string& path, const StatsShow& selection);

} // namespace nivra
