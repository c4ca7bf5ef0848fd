#pragma once

#include <string>

namespace nivra::sim {

// A pseudo-terminal pair in raw mode: the simulator serves the master side, the program under
// test opens the slave device (slavePath) as if it were a serial port.
//
// The object keeps a descriptor of the slave open for its whole life, so the master never sees
// a hang-up when the program under test closes its end and opens it again.
class PseudoTerminal {
public:
    // Throws std::system_error when the system has no pseudo-terminal to give.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Non-blocking.
    int masterFd() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

} // namespace nivra::sim
