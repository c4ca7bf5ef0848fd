#pragma once

#include "model/statistic.h"

// Commands of the main window's menu, as the menu template, the window's code and the tests
// address them.
namespace nivra::res {

inline constexpr int kCmdFileNew = 57600;
inline constexpr int kCmdFileOpen = 57601;
inline constexpr int kCmdFileSave = 57603;
inline constexpr int kCmdFilePrint = 57607;
inline constexpr int kCmdExit = 32774;
inline constexpr int kCmdCounter1 = 32777; // Counter 2 to 4 follow
inline constexpr int kCmdSaveRoi = 32793;
inline constexpr int kCmdSaveRoiCsv = 32795;
inline constexpr int kCmdSaveCsv = 32803;
inline constexpr int kCmdViewer = 32791;
inline constexpr int kCmdConfigCounter = 32785;
inline constexpr int kCmdConfigAssay = 32786;
inline constexpr int kCmdRunStart = 32787;
inline constexpr int kCmdRunStop = 32788;
inline constexpr int kCmdAbout = 32790;
// The item "&About Nivra..." (kStringAboutMenu) that the main window adds to its About drop-down.
inline constexpr int kCmdAboutBox = 0x0010;
inline constexpr int kCmdFirstStatistic = 32804; // sixteen consecutive commands
inline constexpr int kStatisticCount = 16;
// Statistics Show > the item of a statistic.
constexpr int statisticCommand(nivra::Statistic statistic) {
    return kCmdFirstStatistic + static_cast<int>(statistic);
}
// Statistics Show > Assessment, numbered after the menu's earlier commands.
inline constexpr int kCmdAssessment = 32820;
// Active Counter > Counters, the item the Counters window adds after the counters.
inline constexpr int kCmdCountersWindow = 32821;
// Statistics Show > Run History, the window of the run history, after Assessment.
inline constexpr int kCmdHistory = 32830;

} // namespace nivra::res
