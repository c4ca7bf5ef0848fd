#include "cli/stop_signals.h"

#include <csignal>

namespace nivra::cli {

namespace {

volatile std::sig_atomic_t stopSignal = 0;

void onStopSignal(int) {
    stopSignal = 1;
}

} // namespace

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A remote login that closes (or drops) hangs the run up: it stops and saves like on SIGTERM.
    ::sigaction(SIGHUP, &action, nullptr);
    // A file size limit makes a write fail, and the failure is reported, instead of ending the
    // process in the middle of a run.
    ::signal(SIGXFSZ, SIG_IGN);
}

bool stopSignalled() {
    return stopSignal != 0;
}

void stopRunsNow() {
    stopSignal = 1;
}

} // namespace nivra::cli
