#include "counter_link/serial_line.h"

#include "counter_link/device_path.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace nivra {

namespace {

using Clock = std::chrono::steady_clock;

OpenFailure classifyOpenError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return OpenFailure::kNotFound;
    case ENXIO:
    case ENODEV:
    case EIO:
        return OpenFailure::kNoDevice;
    case EACCES:
    case EPERM:
    case EROFS:
        return OpenFailure::kPermissionDenied;
    case EBUSY:
        return OpenFailure::kBusy;
    default:
        return OpenFailure::kSetupFailed;
    }
}

// Raw 19200 8N1; everything else (hardware flow control in particular) stays as it was.
void makeCounterLine(termios& settings) {
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                               ICRNL | IXON | IXOFF | IXANY | INPCK);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    // CREAD to receive at all, CLOCAL so that the modem lines of a USB adapter do not matter.
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    // With O_NONBLOCK, VMIN 1 makes an empty read fail with EAGAIN instead of returning 0, so
    // a 0 from read() always means the device has hung up.
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, B19200);
    cfsetospeed(&settings, B19200);
}

bool isCounterLine(const termios& settings) {
    return cfgetospeed(&settings) == B19200 && cfgetispeed(&settings) == B19200 &&
           (settings.c_cflag & (CSIZE | PARENB | CSTOPB)) == CS8 &&
           (settings.c_lflag & (ICANON | ECHO)) == 0;
}

int remainingMilliseconds(Clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

OpenFailure SerialLine::open(const std::string& deviceName) {
    close();
    error_ = 0;
    deviceFailed_ = false;
    const std::string path = devicePathFor(deviceName);

    // Look before opening: opening a pipe or some other special file could block or have
    // side effects, and only character devices can be terminals.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return fail(classifyOpenError(errno), errno);
    if (!S_ISCHR(info.st_mode))
        return fail(OpenFailure::kNotATerminal, ENOTTY);

    // O_NONBLOCK keeps the open from waiting for a carrier; reads and writes wait with poll().
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(classifyOpenError(errno), errno);

    auto closeAndFail = [&](OpenFailure failure, int error) {
        ::close(fd);
        return fail(failure, error);
    };
    if (!::isatty(fd))
        return closeAndFail(OpenFailure::kNotATerminal, ENOTTY);
    // The lock is taken before the line is touched, so a device in use elsewhere keeps its
    // settings.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return closeAndFail(errno == EWOULDBLOCK ? OpenFailure::kBusy : OpenFailure::kSetupFailed,
                            errno);

    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return closeAndFail(OpenFailure::kSetupFailed, errno);
    makeCounterLine(settings);
    // tcsetattr() succeeds when any of the changes took, so read the settings back.
    termios applied{};
    if (::tcsetattr(fd, TCSANOW, &settings) != 0)
        return closeAndFail(OpenFailure::kSetupFailed, errno);
    if (::tcgetattr(fd, &applied) != 0 || !isCounterLine(applied))
        return closeAndFail(OpenFailure::kSetupFailed, EINVAL);

    device_ = fd;
    return OpenFailure::kNone;
}

void SerialLine::close() {
    if (device_ < 0)
        return;
    // Unsent output would make close() wait for the driver's closing delay (up to 30 s).
    purge();
    ::close(fd());
    device_ = -1;
    unsentOutput_ = false;
}

bool SerialLine::purge() {
    if (device_ < 0)
        return false;
    if (unsentOutput_) {
        if (::tcflush(fd(), TCIOFLUSH) != 0)
            return false;
        unsentOutput_ = false;
        return true;
    }
    return ::tcflush(fd(), TCIFLUSH) == 0;
}

bool SerialLine::deviceError(int error) {
    switch (error) {
    case EIO:
    case ENXIO:
    case ENODEV:
    case ENOENT:
    case EBADF:
    case EPIPE:
        deviceFailed_ = true;
        break;
    default:
        break;
    }
    return false;
}

bool SerialLine::waitFor(short events, Deadline deadline) {
    for (;;) {
        pollfd watch{fd(), events, 0};
        int ready = ::poll(&watch, 1, remainingMilliseconds(deadline));
        if (ready > 0) {
            if ((watch.revents & events) != 0)
                return true;
            // Hung up (the adapter was pulled, the other end of a pseudo-terminal closed).
            if ((watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
                deviceFailed_ = true;
            return false;
        }
        if (ready == 0)
            return false;
        if (errno != EINTR)
            return deviceError(errno);
    }
}

bool SerialLine::waitUntilSent(Deadline deadline) {
#ifdef TIOCOUTQ
    for (;;) {
        int queued = 0;
        if (::ioctl(fd(), TIOCOUTQ, &queued) != 0) {
            deviceError(errno);
            break;
        }
        if (queued == 0)
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
#endif
    // Without a way to watch the queue, wait for the driver (no time limit of its own).
    return ::tcdrain(fd()) == 0 || deviceError(errno);
}

bool SerialLine::write(const std::uint8_t* data, std::size_t count) {
    if (device_ < 0)
        return false;
    const Deadline deadline = Clock::now() + transferTimeout(count);
    // Set until the bytes are known to have left, so that the next Purge discards any rest.
    unsentOutput_ = true;
    std::size_t sent = 0;
    while (sent < count) {
        ssize_t written = ::write(fd(), data + sent, count - sent);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return deviceError(errno);
        if (!waitFor(POLLOUT, deadline))
            return false;
    }
    if (!waitUntilSent(deadline))
        return false;
    unsentOutput_ = false;
    return true;
}

std::size_t SerialLine::read(std::uint8_t* data, std::size_t count) {
    if (device_ < 0)
        return 0;
    const Deadline deadline = Clock::now() + transferTimeout(count);
    std::size_t received = 0;
    while (received < count) {
        ssize_t got = ::read(fd(), data + received, count - received);
        if (got > 0) {
            received += static_cast<std::size_t>(got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0) {
            deviceFailed_ = true; // hung up: what arrived is all there will be
            break;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            deviceError(errno);
            break;
        }
        if (!waitFor(POLLIN, deadline))
            break;
    }
    return received;
}

bool SerialLine::moreInputWithin(std::chrono::milliseconds quiet) {
    if (device_ < 0)
        return false;
    if (!waitFor(POLLIN, Clock::now() + quiet))
        return false;
    std::uint8_t discard[64];
    while (::read(fd(), discard, sizeof discard) > 0) {
    }
    return true;
}

} // namespace nivra
