#include "base/file_system.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace nivra {

std::FILE* openForReading(const std::string& path) {
    return std::fopen(path.c_str(), "rb");
}

bool fileExists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

bool nameExists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::optional<std::int64_t> fileModificationTime(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace rename.
    if (nameExists(to)) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

std::string writeProbeFile(const std::string& path, std::size_t size) {
    ::unlink(path.c_str());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return std::strerror(errno);
    const std::string block(size, '\n');
    int error = 0;
    const ssize_t written = ::write(fd, block.data(), block.size());
    if (written < 0)
        error = errno;
    else if (static_cast<std::size_t>(written) != block.size())
        error = ENOSPC;
    else if (::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    ::unlink(path.c_str());
    return error == 0 ? std::string() : std::strerror(error);
}

std::string absolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::optional<std::string> currentDirectory() {
    char buffer[PATH_MAX] = {};
    if (!::getcwd(buffer, sizeof buffer - 1))
        return std::nullopt;
    return std::string(buffer);
}

long long processId() {
    return static_cast<long long>(::getpid());
}

std::string localMachineName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

} // namespace nivra
