#include "counter_link/device_path.h"

namespace nivra {

std::string devicePathFor(const std::string& deviceName) {
    const unsigned number = windowsPortNumber(deviceName);
    if (number == 0)
        return deviceName;
    return deviceRoot() + "/dev/ttyS" + std::to_string(number - 1);
}

// A port list copied from Windows names COM ports, which here are the on-board ports: the USB
// adapters the counters hang on have other names.
std::string windowsPortNamesHint() {
    return "COMn in the port list stands for the on-board serial port /dev/ttyS(n-1); counters "
           "on USB serial adapters (/dev/ttyUSB*, /dev/ttyACM*, /dev/serial/by-id/*) are found "
           "by: nivra-cli ports --probe";
}

} // namespace nivra
