#include "base/atomic_file.h"
#include "base/temporary_files.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nivra {

namespace {

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const std::string& bytes) {
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

std::string baseOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The longest ".tmp-<pid>-<n>" suffix, with the leading dot of a temporary name.
constexpr std::size_t kTemporaryExtra = 1 + 5 + 10 + 1 + 10;

// The part of the output's name that its temporary names start with: the whole name, or as much
// of it as leaves room for the suffix within the folder's name limit, so that any name that can
// be created has a temporary name that can be created too.
std::string temporaryStem(const std::string& folder, const std::string& base) {
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t nameMax = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
    if (base.size() + kTemporaryExtra <= nameMax)
        return base;
    return base.substr(0, nameMax > kTemporaryExtra ? nameMax - kTemporaryExtra : 1);
}

// A refusal that no failed call explains, with errno set to say why.
bool refuse(int error) {
    errno = error;
    return false;
}

// Whether a temporary file of that process may still be written: its process is running (or
// cannot be told apart from a running one), or it is this process and the file is one of its
// live temporaries.
bool mayStillBeWritten(pid_t pid, const std::string& path) {
    if (pid == ::getpid())
        return isLiveTemporary(path);
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

// Removes the temporary files an interrupted save of folder/base left behind (a crash between
// creating the temporary file and renaming it). A temporary file of a process that still runs is
// left alone: it may be that process's save in progress.
void removeLeftTemporaries(const std::string& folder, const std::string& base) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const auto pid = static_cast<pid_t>(temporaryOwner(entry->d_name, base));
        if (pid > 0 && !mayStillBeWritten(pid, folder + "/" + entry->d_name))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

} // namespace

bool canWriteFile(const std::string& path) {
    if (path.empty())
        return refuse(ENOENT);
    struct stat st;
    const std::string folder = folderOf(path);
    if (::stat(folder.c_str(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode))
        return refuse(ENOTDIR);
    if (::access(folder.c_str(), W_OK) != 0)
        return false;
    const long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (baseOf(path).size() > static_cast<std::size_t>(nameMax > 0 ? nameMax : NAME_MAX))
        return refuse(ENAMETOOLONG);
    // The name itself, not what a link there points to: a link is replaced, never written
    // through.
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT;
    if (S_ISLNK(st.st_mode))
        return true;
    if (S_ISDIR(st.st_mode))
        return refuse(EISDIR);
    if (!S_ISREG(st.st_mode))
        return refuse(EINVAL);
    if ((st.st_mode & 0222) == 0)
        return refuse(EACCES);
    return ::access(path.c_str(), W_OK) == 0;
}

Outcome outputFileProblem(const std::string& path) {
    if (!canWriteFile(path))
        return Outcome::failure(std::strerror(errno));
    // A name that the file system cannot hold (too long for it, a character it refuses) shows
    // only when it is created: it is created, empty, and removed at once.
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0)
        return {};
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Outcome::failure(std::strerror(errno));
    ::close(fd);
    ::unlink(path.c_str());
    return {};
}

bool replaceFileAtomically(const std::string& path, const std::string& bytes) {
    if (!canWriteFile(path))
        return false;
    // A regular file keeps its permissions (without set-id bits); a new file, and a link that is
    // replaced, get 0666 less the umask, never the mode of what a link pointed to.
    mode_t mode = 0666;
    struct stat st;
    const bool existed = ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (existed)
        mode = st.st_mode & 0777;

    const std::string folder = folderOf(path);
    const std::string stem = temporaryStem(folder, baseOf(path));
    const std::string temporary =
        folder + "/" + temporaryFileName(stem, static_cast<unsigned long>(::getpid()));
    const LiveTemporary live(temporary);
    // Before the new temporary file takes space: what a crash left may be what fills the disk.
    removeLeftTemporaries(folder, stem);
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes);
    if (ok && existed)
        ok = ::fchmod(fd, mode) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return refuse(error);
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
