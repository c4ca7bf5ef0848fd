// The "Statistics Show" menu: which of the sixteen statistics the statistics list and the CSV
// export show, kept in stats_display_config.pfx below the start directory.

#include "base/start_directory.h"
#include "ui/main_window/nivra_dlg.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

void CNivraDlg::ApplyStatsShow() {
    for (std::size_t k = 0; k < nivra::kStatisticCount; ++k)
        Menu()->CheckItem(nivra::res::kCmdFirstStatistic + static_cast<int>(k),
                          statsShow_.shows(nivra::StatisticAt(k)));
    statsShow_.save(nivra::StartPath(nivra::kStatsDisplayFile));
}

void CNivraDlg::OnStatsShow(int command) {
    // The statistics list is not refilled here: it shows the new choice at its next fill.
    statsShow_.toggle(
        nivra::StatisticAt(static_cast<std::size_t>(command - nivra::res::kCmdFirstStatistic)));
    ApplyStatsShow();
}
