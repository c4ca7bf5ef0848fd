#pragma once

#include "ui/resources/menu_commands.h"

#include <vector>

// Menu resources as data: drop-downs from left to right, items top to bottom. The commands the
// items send are named in menu_commands.h.
namespace nivra::res {

struct MenuItemTemplate {
    const char* text; // UTF-8, '&' before the mnemonic letter; nullptr for a separator
    MenuCommand command = Command::FileNew; // unused for a separator
    bool checked = false;
    bool grayed = false;
    // The item's keyboard shortcut in Qt's portable form ("Ctrl+N"); nullptr for none.
    const char* shortcut = nullptr;
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
const MenuTemplate* findMenuTemplate(int id);

} // namespace nivra::res
