#include "cli/line_printer.h"

#include <mutex>

namespace nivra::cli {

namespace {

// One lock for both streams: a terminal shows them together.
std::mutex& printMutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace

void printLine(std::FILE* stream, const std::string& line) {
    std::lock_guard lock(printMutex());
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace nivra::cli
