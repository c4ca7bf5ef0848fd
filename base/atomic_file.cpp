#include "base/atomic_file.h"

#include <cerrno>
#include <cstring>

// What the atomic writer is on every system; the system's own part is in atomic_file_posix.cpp
// and atomic_file_windows.cpp.
namespace nivra {

Outcome writeFileAtomically(const std::string& path, const std::string& bytes) {
    if (replaceFileAtomically(path, bytes))
        return {};
    return Outcome::failure(std::strerror(errno));
}

} // namespace nivra
