#pragma once

#include "ui/main_window/main_window.h"

namespace nivra::ui {

// The application: writes the settings test entry, then shows the main window; the program's
// life is the window's. When it returns the window, its slots and their records go.
class NivraApp {
public:
    explicit NivraApp(MainWindowEnvironment environment = {})
        : environment_(std::move(environment)) {}

    // Needs a QApplication. Returns false in every case: there is no loop of the application's
    // own after the main window.
    bool initInstance();

private:
    MainWindowEnvironment environment_;
};

} // namespace nivra::ui
