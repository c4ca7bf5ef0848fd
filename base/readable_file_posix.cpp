#include "base/readable_file.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nivra {

namespace {

// Why a file of this type is not read, or nullptr for a regular file.
const char* typeProblem(mode_t mode) {
    if (S_ISREG(mode))
        return nullptr;
    if (S_ISDIR(mode))
        return "is a folder";
    if (S_ISFIFO(mode))
        return "is a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "is a device";
    return "is not a regular file";
}

enum class ReadEnd { Complete, Failed, TooLarge };

// Reads fd to its end into bytes (cleared first), at most maxBytes of them; a read that fails
// leaves its reason, one that would pass maxBytes leaves bytes empty.
ReadEnd readToEnd(int fd, std::size_t maxBytes, std::string& bytes, std::string& reason) {
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            reason = std::strerror(errno);
            return ReadEnd::Failed;
        }
        if (got == 0)
            return ReadEnd::Complete;
        if (static_cast<std::size_t>(got) > maxBytes - bytes.size()) {
            bytes.clear();
            return ReadEnd::TooLarge;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace

int openRegularFile(const std::string& path, std::string& reason) {
    // The type first: a device is never opened, since opening a serial line alone changes its
    // control lines.
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        reason = std::strerror(errno);
        return -1;
    }
    if (const char* problem = typeProblem(st.st_mode)) {
        reason = problem;
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return -1;
    }
    const char* problem = ::fstat(fd, &st) != 0 ? std::strerror(errno) : typeProblem(st.st_mode);
    if (problem) {
        reason = problem;
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool canReadRegularFile(const std::string& path, std::string& reason) {
    const int fd = openRegularFile(path, reason);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool readRegularFile(const std::string& path, std::string& bytes, std::string& reason) {
    return readRegularFile(path, bytes, reason, std::string().max_size());
}

bool readRegularFile(const std::string& path, std::string& bytes, std::string& reason,
                     std::size_t maxBytes) {
    const int fd = openRegularFile(path, reason);
    if (fd < 0)
        return false;
    const std::string tooLarge = "is larger than " + std::to_string(maxBytes) + " bytes";
    struct stat st;
    if (::fstat(fd, &st) == 0 && static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        reason = tooLarge;
        ::close(fd);
        return false;
    }
    const ReadEnd end = readToEnd(fd, maxBytes, bytes, reason);
    ::close(fd);
    if (end == ReadEnd::TooLarge)
        reason = tooLarge;
    return end == ReadEnd::Complete;
}

OptionalFileRead readOptionalFile(const std::string& path, std::size_t maxBytes, std::string& bytes,
                                  std::string& reason) {
    // Non-blocking, so that a FIFO named by mistake cannot hang the program; the type is checked
    // before anything is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            return OptionalFileRead::kMissing;
        reason = std::strerror(errno);
        return OptionalFileRead::kFailed;
    }
    OptionalFileRead result = OptionalFileRead::kRead;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        reason = std::strerror(errno);
        result = OptionalFileRead::kFailed;
    } else if (S_ISDIR(st.st_mode)) {
        result = OptionalFileRead::kFolder;
    } else if (!S_ISREG(st.st_mode)) {
        result = OptionalFileRead::kNotRegular;
    } else if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        result = OptionalFileRead::kTooLarge;
    } else {
        bytes.reserve(static_cast<std::size_t>(st.st_size));
        switch (readToEnd(fd, maxBytes, bytes, reason)) {
        case ReadEnd::Complete:
            break;
        case ReadEnd::Failed:
            result = OptionalFileRead::kFailed;
            break;
        case ReadEnd::TooLarge: // it grew while being read
            result = OptionalFileRead::kTooLarge;
            break;
        }
    }
    ::close(fd);
    return result;
}

} // namespace nivra
