#include "base/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nivra {

namespace {

std::string FolderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

std::atomic<unsigned> temporaryCounter{0};

} // namespace

bool CanWriteFile(const std::string& path) {
    struct stat st;
    const std::string folder = FolderOf(path);
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || ::access(folder.c_str(), W_OK))
        return false;
    if (::stat(path.c_str(), &st) == 0 &&
        (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK)))
        return false;
    return true;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    if (!CanWriteFile(path))
        return false;
    mode_t mode = 0666;
    struct stat st;
    const bool existed = ::stat(path.c_str(), &st) == 0;
    if (existed)
        mode = st.st_mode & 07777;

    const std::string folder = FolderOf(path);
    const std::string base =
        path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    const std::string temporary = folder + "/." + base + ".tmp-" + std::to_string(::getpid()) +
                                  "-" + std::to_string(temporaryCounter.fetch_add(1));
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes);
    if (ok && existed)
        ok = ::fchmod(fd, mode) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace nivra
