#include "cli/closed_output.h"

#include <atomic>
#include <cstdio>
#include <windows.h>

namespace nivra::cli {

// Windows has no SIGPIPE: a write to a pipe whose reader has gone just fails. The standard
// output's buffer is kept small, so a failed write is noticed by the next line; from then on,
// what the command prints is dropped and one line on standard error says so.
void keepRunningWhenOutputCloses(const char* command) {
    std::fflush(stdout);
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    static const char* commandName = command;
    static std::atomic<bool> reported{false};
    // Checked at exit too, so that a lost end of the output is still reported.
    std::atexit([] {
        if (std::ferror(stdout) && !reported.exchange(true))
            std::fprintf(stderr,
                         "nivra-cli %s: standard output was closed; the command goes on without "
                         "printing\n",
                         commandName);
    });
}

} // namespace nivra::cli
