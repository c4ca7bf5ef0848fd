#include "cli/export_selection.h"

#include <sys/stat.h>

namespace nivra::cli {

StatsShow exportSelection() {
    StatsShow selection;
    struct stat st;
    if (::stat(kSelectionFile, &st) == 0)
        selection.load(kSelectionFile);
    return selection;
}

} // namespace nivra::cli
