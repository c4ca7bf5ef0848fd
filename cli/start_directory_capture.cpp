#include "cli/start_directory_capture.h"

#include "cli/line_printer.h"

#include <string>

namespace nivra::cli {

std::optional<StartDirectory> captureStartDirectory(const char* command) {
    std::optional<StartDirectory> start = StartDirectory::capture();
    if (!start)
        printLine(stderr,
                  std::string("nivra-cli ") + command + ": the current directory cannot be read");
    return start;
}

} // namespace nivra::cli
