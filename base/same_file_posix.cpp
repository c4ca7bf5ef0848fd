#include "base/same_file.h"

#include <filesystem>
#include <sys/stat.h>

namespace nivra {

bool isSameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    const bool aExists = ::stat(a.c_str(), &sa) == 0;
    const bool bExists = ::stat(b.c_str(), &sb) == 0;
    if (aExists && bExists)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (aExists != bExists)
        return false;
    std::error_code error;
    const auto placeA =
        std::filesystem::weakly_canonical(std::filesystem::absolute(a, error), error);
    if (error)
        return a == b;
    const auto placeB =
        std::filesystem::weakly_canonical(std::filesystem::absolute(b, error), error);
    return error ? a == b : placeA == placeB;
}

} // namespace nivra
