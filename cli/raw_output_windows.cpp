#include "cli/raw_output.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace nivra::cli {

bool writeRawToStdout(std::string_view bytes) {
    std::fflush(stdout);
    const int fd = _fileno(stdout);
    const int mode = _setmode(fd, _O_BINARY);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    const bool flushed = std::fflush(stdout) == 0;
    if (mode != -1)
        _setmode(fd, mode);
    return written && flushed;
}

} // namespace nivra::cli
