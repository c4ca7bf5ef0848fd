#pragma once

#include "base/start_directory.h"
#include "counter_link/counter_startup.h"
#include "engine/run_environment.h"
#include "storage/history_location.h"

#include <functional>
#include <memory>

class QDialog;
class QSettings;

namespace nivra::ui {

class Notifier;
class Prompts;

// What the main window and its parts take from the program that runs them, made once (in main,
// or by a test) and handed down to whatever needs it: nothing below reaches for a global. The
// function members may stay unset, which gives the program's own behaviour.
struct AppContext {
    // Every question to the operator: message boxes, file and print dialogs.
    Prompts& prompts;
    // The desktop notifications (a run has ended).
    Notifier& notifier;
    // The start directory below which the program's files live, captured once when the program
    // starts. When the current directory could not be read it is the current directory itself
    // ("."), and startDirectoryRead is false: the window says so when it starts.
    nivra::StartDirectory startDirectory;
    bool startDirectoryRead = true;
    // Where the run history lives, resolved once for the start directory; when it could not be
    // named, its problem is what the runs' recorders and the History window report.
    nivra::HistoryLocation history;
    // Where runs take their time and their counters from; the live display's "Time Left" uses
    // the same clock. Unset: the system clock and the counters found at start-up.
    nivra::RunEnvironment run = {};
    // The start-up steps below the window: port list, discovery of the counters and their text
    // queries. Unset: nivra::runCounterStartup with the process-wide manager.
    std::function<nivra::CounterStartup(const nivra::StartDirectory&)> startup = {};
    // Runs a dialog modally and returns its result. Unset: QDialog::exec.
    std::function<int(QDialog&)> runModal = {};
    // Where the window keeps what it remembers between starts (whether the Counters window is
    // open, and where). Unset: the user's settings of the program.
    std::function<std::unique_ptr<QSettings>()> settings = {};
};

} // namespace nivra::ui
