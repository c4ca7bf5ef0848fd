#include "simulator/pseudo_terminal.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace nivra::sim {

namespace {

[[noreturn]] void throwSystemError(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void makeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return;
    ::cfmakeraw(&settings);
    ::tcsetattr(fd, TCSANOW, &settings);
}

} // namespace

PseudoTerminal::PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        throwSystemError("posix_openpt");
    char name[PATH_MAX];
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
        int error = errno;
        ::close(master_);
        errno = error;
        throwSystemError("pseudo-terminal set-up");
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        int error = errno;
        ::close(master_);
        errno = error;
        throwSystemError("open " + slavePath_);
    }
    // Raw before anybody opens the slave: an echoing line would send every reply straight back
    // to the simulator as if it were a request.
    makeRaw(slave_);
    makeRaw(master_);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal() {
    ::close(slave_);
    ::close(master_);
}

} // namespace nivra::sim
