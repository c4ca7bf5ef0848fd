#include "support/sim_workspace.h"

#include <cstdlib>

namespace nivra::test {

const std::string& UsePrivateLockDirectory() {
    static TempDir lockDir;
    static const bool set = ::setenv("NIVRA_LOCK_DIR", lockDir.path().c_str(), 1) == 0;
    (void)set;
    return lockDir.path();
}

SimWorkspace::SimWorkspace(sim::SimulatorSettings settings) : simulator_(std::move(settings)) {
    UsePrivateLockDirectory();
}

sim::SimulatedPort& SimWorkspace::AddPort(const std::string& name,
                                          const std::vector<std::uint8_t>& counters) {
    return simulator_.AddPort(Path(name), counters);
}

sim::SimulatedPort& SimWorkspace::AddUsbPort(const std::string& deviceName,
                                             const std::vector<std::uint8_t>& counters) {
    return simulator_.AddUsbPort(DeviceRoot(), deviceName, counters);
}

void WritePortList(const std::string& path, const std::vector<std::string>& keyLines) {
    std::string text = "[CONFIG]\r\n";
    for (const auto& line : keyLines)
        text += line + "\r\n";
    WriteFileBytes(path, text);
}

} // namespace nivra::test
