#pragma once

#include "model/statistic.h"

#include <array>
#include <ostream>
#include <variant>

// Commands of the main window's menu, as the menu template, the window's code and the tests
// address them.
namespace nivra::res {

enum class Command {
    FileNew,
    FileOpen,
    FileSave,
    SaveCsv,
    SaveRoi,
    SaveRoiCsv,
    FilePrint,
    Exit,
    Viewer,
    Counter1,
    Counter2,
    Counter3,
    Counter4,
    ConfigCounter,
    ConfigAssay,
    RunStart,
    RunStop,
    About,
    // The item "&About Nivra..." (kStringAboutMenu) that the main window adds to its About
    // drop-down.
    AboutBox,
    // Statistics Show > Assessment and Run History.
    Assessment,
    History,
    // Active Counter > Counters, the item the Counters window adds after the counters.
    CountersWindow,
};

// A menu item: a command, or the Statistics Show item of a statistic. The two kinds never share
// a value, however many statistics there are.
using MenuCommand = std::variant<Command, nivra::Statistic>;

// Active Counter > the item of a slot: the viewer (0) or counter 1 to 4.
inline MenuCommand activeCounterCommand(int slot) {
    constexpr std::array<Command, 5> kItems{Command::Viewer, Command::Counter1, Command::Counter2,
                                            Command::Counter3, Command::Counter4};
    return kItems.at(static_cast<std::size_t>(slot));
}

// For test messages: "command 3", "statistic 4".
inline std::ostream& operator<<(std::ostream& out, const MenuCommand& command) {
    if (const auto* plain = std::get_if<Command>(&command))
        return out << "command " << static_cast<int>(*plain);
    return out << "statistic " << static_cast<int>(std::get<nivra::Statistic>(command));
}

} // namespace nivra::res
