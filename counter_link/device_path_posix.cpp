#include "counter_link/device_path.h"

namespace nivra {

std::string devicePathFor(const std::string& deviceName) {
    const unsigned number = windowsPortNumber(deviceName);
    if (number == 0)
        return deviceName;
    return deviceRoot() + "/dev/ttyS" + std::to_string(number - 1);
}

} // namespace nivra
