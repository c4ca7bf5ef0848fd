#include "counter_link/serial_devices.h"

#include "base/windows_text.h"

#include <windows.h>

namespace nivra {

std::string serialDeviceSearchText(const std::string&) {
    return "among the system's COM ports";
}

// Each name COMn the system resolves to a device is a port; a USB adapter that is unplugged has
// none behind its name.
std::vector<SerialDevice> listSerialDevices(const std::string&) {
    std::vector<SerialDevice> devices;
    for (int number = 1; number <= 256; ++number) {
        const std::string name = "COM" + std::to_string(number);
        wchar_t target[1024];
        const DWORD length = QueryDosDeviceW(wideFromUtf8(name).c_str(), target, 1024);
        if (length == 0)
            continue;
        SerialDevice device;
        device.kind = SerialDevice::Kind::kComPort;
        device.name = device.path = name;
        // The answer is a list of names, each NUL-ended; the first is the device in use.
        device.systemDevice = utf8FromWide(std::wstring(target));
        devices.push_back(std::move(device));
    }
    return devices;
}

} // namespace nivra
