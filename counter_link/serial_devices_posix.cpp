#include "counter_link/serial_devices.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace nivra {

namespace fs = std::filesystem;

namespace {

struct KindPrefix {
    SerialDevice::Kind kind;
    const char* prefix;
};
constexpr KindPrefix kKinds[] = {
    {SerialDevice::Kind::kUsbSerial, "ttyUSB"},
    {SerialDevice::Kind::kUsbModem, "ttyACM"},
    {SerialDevice::Kind::kOnBoard, "ttyS"},
};

// The first line of a small sysfs file, "" when there is none.
std::string firstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// The number after the prefix of a device name ("ttyUSB12" -> 12), or -1.
long numberAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return -1;
    long number = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || number > 100000)
            return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

// An on-board port is there when the kernel gives it a UART type other than 0 (unknown).
bool hasPortBehind(const fs::path& sysClass) {
    const std::string type = firstLine(sysClass / "type");
    return !type.empty() && type.find_first_not_of('0') != std::string::npos &&
           type.find_first_not_of("0123456789") == std::string::npos;
}

// The USB device above a tty in sysfs (the interface's parent, which holds idVendor) fills in
// what the device says of itself.
void readUsbDetails(const fs::path& sysClass, SerialDevice& device) {
    std::error_code error;
    fs::path at = fs::canonical(sysClass / "device", error);
    for (int up = 0; !error && up < 4 && !at.empty(); ++up, at = at.parent_path()) {
        if (!fs::exists(at / "idVendor", error))
            continue;
        device.vendorId = firstLine(at / "idVendor");
        device.productId = firstLine(at / "idProduct");
        device.manufacturer = firstLine(at / "manufacturer");
        device.product = firstLine(at / "product");
        device.serialNumber = firstLine(at / "serial");
        return;
    }
}

// The names below dev/serial/by-id that lead to the same device file as target.
std::vector<std::string> stableNamesOf(const fs::path& byId, const fs::path& target) {
    std::vector<std::string> names;
    std::error_code error;
    const fs::path wanted = fs::canonical(target, error);
    if (error)
        return names;
    for (const auto& entry : fs::directory_iterator(byId, error)) {
        std::error_code ignored;
        if (fs::canonical(entry.path(), ignored) == wanted && !ignored)
            names.push_back(entry.path().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::string serialDeviceSearchText(const std::string& root) {
    return "in " + root + "/dev (looked for ttyUSB*, ttyACM* and ttyS* with a port behind them)";
}

std::vector<SerialDevice> listSerialDevices(const std::string& root) {
    const fs::path dev = root + "/dev";
    const fs::path sysClass = root + "/sys/class/tty";
    std::vector<std::tuple<int, long, SerialDevice>> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dev, error)) {
        const std::string name = entry.path().filename().string();
        for (int order = 0; order < static_cast<int>(std::size(kKinds)); ++order) {
            const long number = numberAfter(name, kKinds[order].prefix);
            if (number < 0)
                continue;
            SerialDevice device;
            device.kind = kKinds[order].kind;
            device.name = name;
            device.path = entry.path().string();
            if (device.kind == SerialDevice::Kind::kOnBoard) {
                if (!hasPortBehind(sysClass / name))
                    break;
            } else {
                readUsbDetails(sysClass / name, device);
            }
            device.stableNames = stableNamesOf(dev / "serial" / "by-id", entry.path());
            found.emplace_back(order, number, std::move(device));
            break;
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
    });
    std::vector<SerialDevice> devices;
    devices.reserve(found.size());
    for (auto& entry : found)
        devices.push_back(std::move(std::get<2>(entry)));
    return devices;
}

} // namespace nivra
