#pragma once

#include <cstdint>

// The messages of an assay run. Thread messages travel to a run's own queue; window messages are
// sent to whoever receives the run's reports (the main window, the command line, a test) and are
// handled before the run goes on.
namespace nivra {

// To the run thread: posted once by whoever starts the run, and by the window to stop it.
inline constexpr unsigned WM_RUN_START = 0x8013; // 32787, also the Start command's identifier
inline constexpr unsigned WM_RUN_STOP = 0x8014;  // 32788, also the Stop command's identifier

// From the worker to the run thread (wParam: counts of the current dwell so far, lParam: counts
// of the last second), and from the run thread to the receiver (wParam: counter number, lParam:
// counts of the last second).
inline constexpr unsigned WM_RUN_COUNTS = 1528;
// From the run thread to the receiver: wParam counter number, lParam counts of the current dwell.
inline constexpr unsigned WM_RUN_DWELL = 1529;
// From the worker to the run thread, then from the run thread to the receiver (wParam: counter
// number, lParam: 0). The last message of a run.
inline constexpr unsigned WM_RUN_FINISHED = 1530;

// Ends a run thread's message loop; the receiver posts it after it has handled WM_RUN_FINISHED.
inline constexpr unsigned WM_QUIT = 0x0012;

struct RunMessage {
    unsigned message = 0;
    std::int64_t wParam = 0;
    std::int64_t lParam = 0;
};

// Receives the window messages of runs. SendRunMessage returns only once the message has been
// handled; an implementation may hand it to a thread of its own and wait there.
class RunReceiver {
public:
    virtual ~RunReceiver() = default;
    virtual void SendRunMessage(const RunMessage& message) = 0;
};

} // namespace nivra
