#include "ui/main_window/nivra_app.h"

#include "ui/main_window/app_profile.h"

#include <memory>

bool CNivraApp::InitInstance() {
    WriteProfileTestEntry();
    // The window's initialisation (start directory, discovery, initial state) runs before it is
    // first shown.
    auto window = std::make_unique<CNivraDlg>(environment_);
    if (environment_.runModal)
        environment_.runModal(*window);
    else
        window->exec();
    window.reset();
    return false;
}
