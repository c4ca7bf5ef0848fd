#include "counter_link/device_path.h"

#include <cctype>
#include <cstdlib>

namespace nivra {

namespace {

constexpr unsigned kHighestComNumber = 256;

bool equalsIgnoringCase(const std::string& text, std::size_t at, const char* word) {
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

unsigned windowsPortNumber(const std::string& deviceName) {
    std::size_t at = deviceName.rfind("\\\\.\\", 0) == 0 ? 4 : 0;
    if (!equalsIgnoringCase(deviceName, at, "COM"))
        return 0;
    at += 3;
    if (at == deviceName.size() || deviceName[at] == '0')
        return 0;
    unsigned number = 0;
    for (; at < deviceName.size(); ++at) {
        char c = deviceName[at];
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + static_cast<unsigned>(c - '0');
        if (number > kHighestComNumber)
            return 0;
    }
    return number;
}

std::string deviceRoot() {
    const char* root = std::getenv("NIVRA_DEVICE_ROOT");
    std::string path = root ? root : "";
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

bool isWindowsPortName(const std::string& deviceName) {
    return windowsPortNumber(deviceName) != 0;
}

} // namespace nivra
