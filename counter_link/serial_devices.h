#pragma once

#include <string>
#include <vector>

namespace nivra {

// One serial device of the machine, as the system describes it.
struct SerialDevice {
    enum class Kind {
        kUsbSerial, // /dev/ttyUSBn: a USB serial adapter
        kUsbModem,  // /dev/ttyACMn: a USB device of the modem class
        kOnBoard,   // /dev/ttySn: an on-board serial port
        kComPort,   // Windows: a port the system names COMn, whatever device is behind it
    };

    Kind kind = Kind::kOnBoard;
    std::string name; // "ttyUSB0"
    std::string path; // the device file, below the device root: "/dev/ttyUSB0"
    // The names below /dev/serial/by-id/ that lead to the device: they stay the same whichever
    // order adapters are plugged in.
    std::vector<std::string> stableNames;
    // What the USB device says of itself, where the system gives it ("" otherwise).
    std::string vendorId;  // "0403"
    std::string productId; // "6001"
    std::string manufacturer;
    std::string product;
    std::string serialNumber;
    // Windows: the device the system has behind the port name ("\\Device\\VCP0" for an FTDI
    // adapter, "\\Device\\Serial0" for an on-board port).
    std::string systemDevice;

    // The name to put in a port list: the first stable name, or the device file.
    const std::string& portListName() const {
        return stableNames.empty() ? path : stableNames.front();
    }
};

// The serial devices present.
// Linux: below root ("" for the real root, else a folder that stands in for it, holding dev/ and
// sys/): USB serial adapters (/dev/ttyUSB*), USB modem-class devices (/dev/ttyACM*) and the
// on-board ports (/dev/ttyS*) that have a port behind them (the kernel keeps ttyS device files
// for ports that are not there; their type in sysfs is 0). In that order, each kind by number.
// Paths are given below root.
// Windows: the ports COM1 to COM256 the system has a device behind, by number; root is not used.
std::vector<SerialDevice> listSerialDevices(const std::string& root);

// Where listSerialDevices looked, for the message that it found nothing: "in /dev (looked for
// ...)" or "among the system's COM ports".
std::string serialDeviceSearchText(const std::string& root);

} // namespace nivra
