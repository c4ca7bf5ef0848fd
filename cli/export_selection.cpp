#include "cli/export_selection.h"

#include "base/file_system.h"

namespace nivra::cli {

StatsShow exportSelection() {
    StatsShow selection;
    if (fileExists(kSelectionFile))
        selection.load(kSelectionFile);
    return selection;
}

} // namespace nivra::cli
