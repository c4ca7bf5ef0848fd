#include "base/temporary_files.h"

#include <atomic>
#include <mutex>
#include <set>

namespace nivra {

namespace {

std::atomic<unsigned> temporaryCounter{0};

// The temporary files this process is writing right now, by full path.
std::mutex liveTemporariesMutex;
std::set<std::string> liveTemporaries;

} // namespace

std::string temporaryFileName(const std::string& stem, unsigned long pid) {
    return "." + stem + ".tmp-" + std::to_string(pid) + "-" +
           std::to_string(temporaryCounter.fetch_add(1));
}

unsigned long temporaryOwner(std::string_view name, const std::string& stem) {
    const std::string prefix = "." + stem + ".tmp-";
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix)
        return 0;
    name.remove_prefix(prefix.size());
    const auto dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 10 || dash + 1 == name.size())
        return 0;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (i != dash && (name[i] < '0' || name[i] > '9'))
            return 0;
    unsigned long long pid = 0;
    for (char c : name.substr(0, dash))
        pid = pid * 10 + static_cast<unsigned>(c - '0');
    // Process ids fit in 31 bits on Linux and 32 on Windows; anything longer is no owner.
    return pid <= 0x7FFFFFFFULL ? static_cast<unsigned long>(pid) : 0;
}

LiveTemporary::LiveTemporary(std::string path) : path_(std::move(path)) {
    std::lock_guard lock(liveTemporariesMutex);
    liveTemporaries.insert(path_);
}

LiveTemporary::~LiveTemporary() {
    std::lock_guard lock(liveTemporariesMutex);
    liveTemporaries.erase(path_);
}

bool isLiveTemporary(const std::string& path) {
    std::lock_guard lock(liveTemporariesMutex);
    return liveTemporaries.count(path) != 0;
}

} // namespace nivra
