#pragma once

#include "base/outcome.h"

#include <string>

namespace nivra {
class AssayData;
class StatsShow;

// Writes the CSV export of a record (LF line ends): the header lines, the selected statistics
// with their CSV labels (rows that need a background only when there is one), one "%d," line per
// point. The file is replaced in one atomic step; when it cannot be written, the outcome says why
// and the file at path is as it was.
Outcome writeCsvExport(const AssayData& data, const std::string& path, const StatsShow& selection);

} // namespace nivra
