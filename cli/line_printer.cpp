#include "cli/line_printer.h"

#include "base/printable_text.h"

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
    // A file name in the line may hold control characters; none may break or forge a line.
    const std::string printable = nivra::escapeControlCharacters(line);
    std::lock_guard lock(printMutex());
    std::fwrite(printable.data(), 1, printable.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace nivra::cli
