#pragma once

#include <string>

namespace nivra {

// The file to open for a device name from the port list. Names are used unchanged, except the
// Windows port names that the default list and files written on Windows carry: "COMn" (also
// "com3" or "\\.\COM12") stands for the n-th on-board serial port, /dev/ttyS(n-1).
std::string DevicePathFor(const std::string& deviceName);

} // namespace nivra
