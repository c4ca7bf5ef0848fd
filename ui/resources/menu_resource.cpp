#include "ui/resources/menu_resource.h"
#include "ui/resources/resource_ids.h"

namespace nivra::res {

namespace {

const MenuItemTemplate kSeparator{nullptr};

MenuTemplate mainMenu() {
    MenuPopupTemplate statistics{"&Statistics Show", {}};
    for (std::size_t k = 0; k < nivra::kStatisticCount; ++k)
        statistics.items.push_back(
            {nivra::kStatisticNames[k].menuText, nivra::statisticAt(k), true});
    statistics.items.push_back(kSeparator);
    statistics.items.push_back({"&Assessment", Command::Assessment});
    statistics.items.push_back({"Run &History", Command::History});

    // Mnemonics are unique within each drop-down; the usual shortcuts where the menus have the
    // usual commands.
    return {kMenuMain,
            {
                {"&File",
                 {{.text = "&New", .command = Command::FileNew, .shortcut = "Ctrl+N"},
                  {.text = "&Open", .command = Command::FileOpen, .shortcut = "Ctrl+O"},
                  {.text = "&Save", .command = Command::FileSave, .shortcut = "Ctrl+S"},
                  {"Save &CSV", Command::SaveCsv},
                  {"Save &ROI", Command::SaveRoi},
                  {"Save ROI CS&V", Command::SaveRoiCsv},
                  {"&Print", Command::FilePrint},
                  kSeparator,
                  {.text = "E&xit", .command = Command::Exit, .shortcut = "Ctrl+Q"}}},
                {"&Active Counter",
                 {{"&Viewer", Command::Viewer},
                  kSeparator,
                  {"Counter &1", Command::Counter1},
                  {"Counter &2", Command::Counter2},
                  {"Counter &3", Command::Counter3},
                  {"Counter &4", Command::Counter4}}},
                {"&Configuration",
                 {{"&Counter", Command::ConfigCounter}, {"&Assay", Command::ConfigAssay}}},
                {"Assay &Run", {{"&Start", Command::RunStart}, {"S&top", Command::RunStop}}},
                statistics,
                {"A&bout", {{"About", Command::About}}},
            }};
}

} // namespace

const MenuTemplate* findMenuTemplate(int id) {
    static const MenuTemplate mainMenu = nivra::res::mainMenu();
    return id == mainMenu.id ? &mainMenu : nullptr;
}

} // namespace nivra::res
