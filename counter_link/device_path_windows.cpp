#include "counter_link/device_path.h"

namespace nivra {

std::string devicePathFor(const std::string& deviceName) {
    const unsigned number = windowsPortNumber(deviceName);
    if (number == 0)
        return deviceName;
    return "\\\\.\\COM" + std::to_string(number);
}

// A USB adapter often gets a COM number beyond those the port list names.
std::string windowsPortNamesHint() {
    return "the COM ports of this PC are listed by: nivra-cli ports; counters on them are found "
           "by: nivra-cli ports --probe";
}

} // namespace nivra
