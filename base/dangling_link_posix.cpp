#include "base/dangling_link.h"

#include <cerrno>
#include <sys/stat.h>

namespace nivra {

bool isDanglingLink(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return false;
    return ::stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ELOOP);
}

} // namespace nivra
