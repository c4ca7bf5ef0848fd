#include "support/sim_workspace.h"

#include <cstdlib>

namespace nivra::test {

const std::string& usePrivateLockDirectory() {
    static TempDir lockDir;
    static const bool set = ::setenv("NIVRA_LOCK_DIR", lockDir.path().c_str(), 1) == 0;
    (void)set;
    return lockDir.path();
}

SimWorkspace::SimWorkspace(sim::SimulatorSettings settings) : simulator_(std::move(settings)) {
    usePrivateLockDirectory();
}

sim::SimulatedPort& SimWorkspace::addPort(const std::string& name,
                                          const std::vector<std::uint8_t>& counters) {
    return simulator_.addPort(path(name), counters);
}

sim::SimulatedPort& SimWorkspace::addUsbPort(const std::string& deviceName,
                                             const std::vector<std::uint8_t>& counters) {
    return simulator_.addUsbPort(deviceRoot(), deviceName, counters);
}

void writePortList(const std::string& path, const std::vector<std::string>& keyLines) {
    std::string text = "[CONFIG]\r\n";
    for (const auto& line : keyLines)
        text += line + "\r\n";
    writeFileBytes(path, text);
}

} // namespace nivra::test
