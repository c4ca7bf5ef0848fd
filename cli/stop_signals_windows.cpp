#include "cli/stop_signals.h"

#include <atomic>
#include <windows.h>

namespace nivra::cli {

namespace {

std::atomic<bool> stopSignal{false};

// Runs on a thread of its own that the system starts for the event. Ctrl+C and Ctrl+Break only
// set the flag. When the console window is closed (or the user logs off, or the machine shuts
// down), the system ends the process as soon as this returns, so it waits instead: the run
// stops within a pass, saves its files and leaves main, which ends the process and this thread
// with it. The system allows about five seconds for that.
BOOL WINAPI onConsoleEvent(DWORD event) {
    stopSignal = true;
    switch (event) {
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        ::Sleep(10000);
        return TRUE;
    default:
        return TRUE;
    }
}

} // namespace

void catchStopSignals() {
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool stopSignalled() {
    return stopSignal;
}

void stopRunsNow() {
    stopSignal = true;
}

} // namespace nivra::cli
