#pragma once

#include "simulator/published_link.h"

#include <memory>
#include <string>
#include <vector>

namespace nivra::sim {

// What the system shows of a USB serial adapter, made below a folder that stands in for the root
// of the file system (the programs look there when NIVRA_DEVICE_ROOT or --device-root names it):
// the stable name in dev/serial/by-id/ and the adapter's sysfs entries (sys/class/tty/NAME/device
// leading to a USB device with vendor, product, manufacturer, product name and serial number).
// The device file dev/NAME itself is the simulated port's link. Everything made is removed again
// when the object goes; folders only when they are empty.
class UsbAdapterFiles {
public:
    static constexpr const char* kVendorId = "1209";
    static constexpr const char* kProductId = "0001";
    static constexpr const char* kManufacturer = "Counter Simulator";
    static constexpr const char* kProduct = "Simulated Serial Adapter";

    // name is "ttyUSBn" or "ttyACMn"; number makes the serial number "SIM<number>" and the USB
    // bus position. Throws std::system_error when a file cannot be made, and
    // std::invalid_argument for another name.
    UsbAdapterFiles(const std::string& root, const std::string& name, int number);
    ~UsbAdapterFiles();
    UsbAdapterFiles(const UsbAdapterFiles&) = delete;
    UsbAdapterFiles& operator=(const UsbAdapterFiles&) = delete;

    // Where the device file goes: ROOT/dev/NAME.
    const std::string& devicePath() const { return devicePath_; }
    // ROOT/dev/serial/by-id/usb-Counter_Simulator_Simulated_Serial_Adapter_SIM<n>-if00[-port0]
    const std::string& stableName() const { return stableName_; }

private:
    void makeFolder(const std::string& path);
    void makeFile(const std::string& path, const std::string& content);
    void clean();

    std::string devicePath_;
    std::string stableName_;
    std::vector<std::string> folders_; // made by this object, in order
    std::vector<std::string> files_;
    std::vector<std::unique_ptr<PublishedLink>> links_;
};

// Whether name is a USB serial device name the simulator can pose as: "ttyUSBn" or "ttyACMn".
bool isUsbDeviceName(const std::string& name);

} // namespace nivra::sim
