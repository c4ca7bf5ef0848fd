#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace nivra {

// A named lock shared by every holder of the same name, in this process and in every other
// process on the machine: the counter ports all open "Com Mutex", so at most one locked counter
// exchange runs at any time.
//
// Inside the process the holders of one name share one object and its std::mutex; between
// processes an advisory lock (flock) on a file named after the lock serialises them. The system
// drops that lock when its holder dies, so a crashed program never blocks the others.
//
// The lock files lie in the directory named by the environment variable NIVRA_LOCK_DIR when it
// is set (tests give each process its own), otherwise in /run/lock, or in /tmp where /run/lock
// is missing or not writable. The files are left in place: removing a lock file that another
// process may be about to lock would split the lock in two.
//
// On Windows the lock between processes is the system's named mutex of the same name ("Com
// Mutex" in the session's namespace), which the system also releases when its holder dies;
// filePath() is then that name and lockDirectory() says where such names live.
class ComMutex {
public:
    static constexpr const char* kName = "Com Mutex";

    // The lock of this name; nullptr when its lock file cannot be opened or created.
    static std::shared_ptr<ComMutex> open(const std::string& name = kName);

    ~ComMutex();
    ComMutex(const ComMutex&) = delete;
    ComMutex& operator=(const ComMutex&) = delete;

    // Waits without a time limit. Usable with std::lock_guard.
    void lock();
    void unlock();

    const std::string& filePath() const { return filePath_; }

    // Where the lock files of this process go (see above).
    static std::string lockDirectory();

private:
    ComMutex(std::string filePath, std::intptr_t handle);

    std::mutex threads_;
    std::string filePath_;
    // The lock file's descriptor, or the system mutex's handle on Windows.
    std::intptr_t handle_;
};

} // namespace nivra
