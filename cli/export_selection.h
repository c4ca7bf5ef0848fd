#pragma once

#include "model/stats_show.h"

namespace nivra::cli {

// The statistics selection file, in the current directory.
inline constexpr const char* kSelectionFile = "stats_display_config.pfx";

// The statistics a CSV export of nivra-cli shows: the selection of stats_display_config.pfx in
// the current directory when that file exists, all sixteen otherwise.
StatsShow exportSelection();

} // namespace nivra::cli
