#include "counter_link/com_mutex.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nivra {

namespace {

// "Com Mutex" becomes "nivra-Com_Mutex.lock".
std::string lockFileName(const std::string& name) {
    std::string file = "nivra-";
    for (char c : name)
        file += (c == '/' || c == ' ') ? '_' : c;
    return file + ".lock";
}

// Opens the lock file, creating it readable and writable for everybody so that the programs of
// all users share it. An existing file is opened without O_CREAT first: in a sticky directory
// such as /tmp the system refuses O_CREAT on another user's file.
int openLockFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0)
        ::fchmod(fd, 0666); // past the umask; harmless when another user created it meanwhile
    else if (errno == EEXIST || errno == EACCES)
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    return fd;
}

std::mutex registryMutex;

std::map<std::string, std::weak_ptr<ComMutex>>& registry() {
    static std::map<std::string, std::weak_ptr<ComMutex>> locks;
    return locks;
}

} // namespace

std::string ComMutex::lockDirectory() {
    if (const char* dir = std::getenv("NIVRA_LOCK_DIR"); dir && *dir)
        return dir;
    if (::access("/run/lock", W_OK | X_OK) == 0)
        return "/run/lock";
    return "/tmp";
}

std::shared_ptr<ComMutex> ComMutex::open(const std::string& name) {
    const std::string path = lockDirectory() + "/" + lockFileName(name);
    std::lock_guard<std::mutex> guard(registryMutex);
    auto& registry = nivra::registry();
    if (auto existing = registry[path].lock())
        return existing;
    int fd = openLockFile(path);
    if (fd < 0) {
        registry.erase(path);
        return nullptr;
    }
    std::shared_ptr<ComMutex> created(new ComMutex(path, fd));
    registry[path] = created;
    return created;
}

ComMutex::ComMutex(std::string filePath, std::intptr_t handle)
    : filePath_(std::move(filePath)), handle_(handle) {}

ComMutex::~ComMutex() {
    ::close(static_cast<int>(handle_));
}

void ComMutex::lock() {
    threads_.lock();
    // A failing flock (other than an interruption) cannot be waited out; the threads of this
    // process stay serialised by the mutex all the same.
    while (::flock(static_cast<int>(handle_), LOCK_EX) != 0 && errno == EINTR) {
    }
}

void ComMutex::unlock() {
    ::flock(static_cast<int>(handle_), LOCK_UN);
    threads_.unlock();
}

} // namespace nivra
