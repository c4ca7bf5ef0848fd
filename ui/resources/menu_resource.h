#pragma once

#include <vector>

// Menu resources as data: drop-downs from left to right, items top to bottom.
namespace nivra::res {

struct MenuItemTemplate {
    const char* text; // UTF-8; nullptr for a separator
    int command;      // 0 for a separator
    bool checked = false;
    bool grayed = false;
};

struct MenuPopupTemplate {
    const char* text;
    std::vector<MenuItemTemplate> items;
};

struct MenuTemplate {
    int id;
    std::vector<MenuPopupTemplate> popups;
};

// The menu with the given number, or nullptr.
const MenuTemplate* FindMenuTemplate(int id);

// Commands of the main window's menu.
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
// The item "&About Nivra..." (string 101) that the main window adds to its About drop-down.
inline constexpr int kCmdAboutBox = 0x0010;
inline constexpr int kCmdFirstStatistic = 32804; // sixteen consecutive commands
inline constexpr int kStatisticCount = 16;
// Statistics Show > Assessment, numbered after every command of the original menu.
inline constexpr int kCmdAssessment = 32820;
// Active Counter > Counters, the item the Counters window adds after the counters.
inline constexpr int kCmdCountersWindow = 32821;
// Statistics Show > Run History, the window of the run history, after Assessment.
inline constexpr int kCmdHistory = 32830;

} // namespace nivra::res
