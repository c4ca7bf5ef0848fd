#include "simulator/published_link.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace nivra::sim {

PublishedLink::PublishedLink(std::string linkPath, std::string target)
    : path_(std::move(linkPath)), target_(std::move(target)) {
    struct stat info {};
    if (::lstat(path_.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            throw std::system_error(EEXIST, std::generic_category(),
                                    path_ + " exists and is not a symbolic link");
        }
        if (::unlink(path_.c_str()) != 0)
            throw std::system_error(errno, std::generic_category(), "remove " + path_);
    }
    if (::symlink(target_.c_str(), path_.c_str()) != 0)
        throw std::system_error(errno, std::generic_category(), "symlink " + path_);
}

PublishedLink::~PublishedLink() {
    char current[PATH_MAX];
    ssize_t length = ::readlink(path_.c_str(), current, sizeof current - 1);
    if (length >= 0 && std::string(current, static_cast<std::size_t>(length)) == target_)
        ::unlink(path_.c_str());
}

} // namespace nivra::sim
