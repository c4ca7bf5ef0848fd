#include "simulator/usb_adapter_files.h"

#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace nivra::sim {

namespace {

bool hasNumberAfter(const std::string& name, const std::string& prefix) {
    return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}

// The by-id name udev gives: manufacturer and product with blanks as '_', the serial number,
// the interface, and for the USB serial driver the port on the adapter.
std::string byIdName(const std::string& serial, bool modem) {
    std::string name = std::string("usb-") + UsbAdapterFiles::kManufacturer + "_" +
                       UsbAdapterFiles::kProduct + "_" + serial + "-if00";
    for (char& c : name)
        if (c == ' ')
            c = '_';
    return modem ? name : name + "-port0";
}

} // namespace

bool isUsbDeviceName(const std::string& name) {
    return hasNumberAfter(name, "ttyUSB") || hasNumberAfter(name, "ttyACM");
}

UsbAdapterFiles::UsbAdapterFiles(const std::string& root, const std::string& name, int number) {
    if (!isUsbDeviceName(name))
        throw std::invalid_argument("'" + name +
                                    "' is no USB serial device name (ttyUSBn, ttyACMn)");
    const bool modem = name.compare(0, 6, "ttyACM") == 0;
    const std::string serial = "SIM" + std::to_string(number);
    const std::string usbDevice = "1-" + std::to_string(number + 1);
    try {
        for (const char* folder :
             {"", "/dev", "/dev/serial", "/dev/serial/by-id", "/sys", "/sys/class",
              "/sys/class/tty", "/sys/devices", "/sys/devices/simulated-usb"})
            makeFolder(root + folder);
        // The USB device, its interface, and for the USB serial driver the port below that, as
        // the kernel lays them out.
        const std::string device = root + "/sys/devices/simulated-usb/" + usbDevice;
        makeFolder(device);
        makeFile(device + "/idVendor", std::string(kVendorId) + "\n");
        makeFile(device + "/idProduct", std::string(kProductId) + "\n");
        makeFile(device + "/manufacturer", std::string(kManufacturer) + "\n");
        makeFile(device + "/product", std::string(kProduct) + "\n");
        makeFile(device + "/serial", serial + "\n");
        const std::string interface = usbDevice + ":1.0";
        makeFolder(device + "/" + interface);
        std::string ttyDevice = "../../../devices/simulated-usb/" + usbDevice + "/" + interface;
        if (!modem) {
            makeFolder(device + "/" + interface + "/" + name);
            ttyDevice += "/" + name;
        }
        makeFolder(root + "/sys/class/tty/" + name);
        links_.push_back(std::make_unique<PublishedLink>(
            root + "/sys/class/tty/" + name + "/device", ttyDevice));
        devicePath_ = root + "/dev/" + name;
        stableName_ = root + "/dev/serial/by-id/" + byIdName(serial, modem);
        links_.push_back(std::make_unique<PublishedLink>(stableName_, "../../" + name));
    } catch (...) {
        clean();
        throw;
    }
}

UsbAdapterFiles::~UsbAdapterFiles() {
    clean();
}

void UsbAdapterFiles::makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) {
        folders_.push_back(path);
        return;
    }
    struct stat info {};
    if (errno != EEXIST || ::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw std::system_error(errno, std::generic_category(), "mkdir " + path);
}

void UsbAdapterFiles::makeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::trunc);
    if (!(out << content) || !out.flush())
        throw std::system_error(EIO, std::generic_category(), "write " + path);
    files_.push_back(path);
}

void UsbAdapterFiles::clean() {
    while (!links_.empty())
        links_.pop_back();
    for (const std::string& file : files_)
        ::unlink(file.c_str());
    files_.clear();
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
        ::rmdir(folder->c_str()); // fails, harmlessly, when somebody else's files are still in it
    folders_.clear();
}

} // namespace nivra::sim
