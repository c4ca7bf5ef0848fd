#include "cli/raw_output.h"

#include <cstdio>

namespace nivra::cli {

bool writeRawToStdout(std::string_view bytes) {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    return std::fflush(stdout) == 0 && written;
}

} // namespace nivra::cli
