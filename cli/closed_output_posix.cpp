#include "cli/closed_output.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace nivra::cli {

namespace {

const char* commandName = "";
std::atomic<bool> outputClosed{false};

// The write function of the standard output stream: writes to descriptor 1 until its reader has
// gone, and from then on takes everything without writing it.
ssize_t writeOrDrop(void*, const char* data, std::size_t size) {
    std::size_t left = size;
    while (left > 0 && !outputClosed) {
        const ssize_t written = ::write(STDOUT_FILENO, data, left);
        if (written >= 0) {
            data += written;
            left -= static_cast<std::size_t>(written);
        } else if (errno == EPIPE) {
            outputClosed = true;
            std::fprintf(stderr,
                         "nivra-cli %s: standard output was closed; the command goes on without "
                         "printing\n",
                         commandName);
        } else if (errno != EINTR) {
            return -1;
        }
    }
    return static_cast<ssize_t>(size);
}

} // namespace

void keepRunningWhenOutputCloses(const char* command) {
    commandName = command;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);

    // The standard output stream is replaced by one that writes through writeOrDrop; the C
    // library lets a program assign stdout, and every printf of the command then goes there.
    std::fflush(stdout);
    cookie_io_functions_t functions{};
    functions.write = writeOrDrop;
    if (std::FILE* out = ::fopencookie(nullptr, "w", functions)) {
        std::setvbuf(out, nullptr, _IOLBF, BUFSIZ);
        stdout = out;
    }
}

} // namespace nivra::cli
