#include "counter_link/com_mutex.h"

#include "base/windows_text.h"

#include <map>
#include <windows.h>

namespace nivra {

namespace {

std::mutex registryMutex;

std::map<std::string, std::weak_ptr<ComMutex>>& registry() {
    static std::map<std::string, std::weak_ptr<ComMutex>> locks;
    return locks;
}

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

std::string ComMutex::lockDirectory() {
    return "the named objects of this Windows session";
}

std::shared_ptr<ComMutex> ComMutex::open(const std::string& name) {
    std::lock_guard<std::mutex> guard(registryMutex);
    auto& registry = nivra::registry();
    if (auto existing = registry[name].lock())
        return existing;
    // Opens the mutex another program made, or makes it; nobody owns it on creation.
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, wideFromUtf8(name).c_str());
    if (!mutex) {
        failWithSystemError();
        registry.erase(name);
        return nullptr;
    }
    std::shared_ptr<ComMutex> created(new ComMutex(name, reinterpret_cast<std::intptr_t>(mutex)));
    registry[name] = created;
    return created;
}

ComMutex::ComMutex(std::string filePath, std::intptr_t handle)
    : filePath_(std::move(filePath)), handle_(handle) {}

ComMutex::~ComMutex() {
    ::CloseHandle(handleOf(handle_));
}

void ComMutex::lock() {
    threads_.lock();
    // A mutex whose holder died without releasing it is handed over as abandoned: it is held
    // all the same, so a crashed program never blocks the others.
    ::WaitForSingleObject(handleOf(handle_), INFINITE);
}

void ComMutex::unlock() {
    ::ReleaseMutex(handleOf(handle_));
    threads_.unlock();
}

} // namespace nivra
