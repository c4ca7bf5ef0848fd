#include "counter_link/device_path.h"

#include <cctype>

namespace nivra {

namespace {

constexpr unsigned kHighestComNumber = 256;

bool EqualsIgnoringCase(const std::string& text, std::size_t at, const char* word) {
    for (std::size_t i = 0; word[i] != '\0'; ++i) {
        if (at + i >= text.size())
            return false;
        unsigned char c = static_cast<unsigned char>(text[at + i]);
        if (std::toupper(c) != word[i])
            return false;
    }
    return true;
}

} // namespace

std::string DevicePathFor(const std::string& deviceName) {
    std::size_t at = deviceName.rfind("\\\\.\\", 0) == 0 ? 4 : 0;
    if (!EqualsIgnoringCase(deviceName, at, "COM"))
        return deviceName;
    at += 3;
    if (at == deviceName.size() || deviceName[at] == '0')
        return deviceName;
    unsigned number = 0;
    for (; at < deviceName.size(); ++at) {
        char c = deviceName[at];
        if (c < '0' || c > '9')
            return deviceName;
        number = number * 10 + static_cast<unsigned>(c - '0');
        if (number > kHighestComNumber)
            return deviceName;
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

} // namespace nivra
