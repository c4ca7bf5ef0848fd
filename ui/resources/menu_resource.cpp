#include "ui/resources/menu_resource.h"
#include "ui/resources/resource_ids.h"

namespace nivra::res {

namespace {

constexpr MenuItemTemplate kSeparator{nullptr, 0};

MenuTemplate mainMenu() {
    MenuPopupTemplate statistics{"&Statistics Show", {}};
    const char* const statisticTexts[kStatisticCount] = {
        "Num Points",     "Total Counts", "Time",     "Mean",       "Std Dev",  "CPH",
        "Net a/(cm2 hr)", "\u00b1 err",   "LLD",      "Det Eff(%)", "Net corr", "\u00b1 err",
        "CDL95",          "LOD90.0%",     "LOD95.0%", "LOD99.7%"};
    for (int k = 0; k < kStatisticCount; ++k)
        statistics.items.push_back({statisticTexts[k], kCmdFirstStatistic + k, true});
    statistics.items.push_back(kSeparator);
    statistics.items.push_back({"&Assessment", kCmdAssessment});
    statistics.items.push_back({"Run &History", kCmdHistory});

    // Mnemonics are unique within each drop-down; the usual shortcuts where the menus have the
    // usual commands.
    return {kMenuMain,
            {
                {"&File",
                 {{.text = "&New", .command = kCmdFileNew, .shortcut = "Ctrl+N"},
                  {.text = "&Open", .command = kCmdFileOpen, .shortcut = "Ctrl+O"},
                  {.text = "&Save", .command = kCmdFileSave, .shortcut = "Ctrl+S"},
                  {"Save &CSV", kCmdSaveCsv},
                  {"Save &ROI", kCmdSaveRoi},
                  {"Save ROI CS&V", kCmdSaveRoiCsv},
                  {"&Print", kCmdFilePrint},
                  kSeparator,
                  {.text = "E&xit", .command = kCmdExit, .shortcut = "Ctrl+Q"}}},
                {"&Active Counter",
                 {{"&Viewer", kCmdViewer},
                  kSeparator,
                  {"Counter &1", kCmdCounter1},
                  {"Counter &2", kCmdCounter1 + 1},
                  {"Counter &3", kCmdCounter1 + 2},
                  {"Counter &4", kCmdCounter1 + 3}}},
                {"&Configuration", {{"&Counter", kCmdConfigCounter}, {"&Assay", kCmdConfigAssay}}},
                {"Assay &Run", {{"&Start", kCmdRunStart}, {"S&top", kCmdRunStop}}},
                statistics,
                {"A&bout", {{"About", kCmdAbout}}},
            }};
}

} // namespace

const MenuTemplate* findMenuTemplate(int id) {
    static const MenuTemplate mainMenu = nivra::res::mainMenu();
    return id == mainMenu.id ? &mainMenu : nullptr;
}

} // namespace nivra::res
