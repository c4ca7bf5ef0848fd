#pragma once

#include <string>

namespace nivra {

// The folder that stands in for the root of the file system where serial devices are looked for
// (tests and demonstrations give one, so that no device of the machine is touched): the
// environment variable NIVRA_DEVICE_ROOT, without a trailing '/'; "" for the real root.
std::string deviceRoot();

// Whether a device name of the port list is a Windows port name: "COMn" (also "com3" or
// "\\.\COM12") with n from 1 to 256.
bool isWindowsPortName(const std::string& deviceName);

// The n of a Windows port name, 0 for any other name.
unsigned windowsPortNumber(const std::string& deviceName);

// The file to open for a device name from the port list. Names are used unchanged, except the
// Windows port names that the default list and files written on Windows carry. On Linux "COMn"
// stands for the n-th on-board serial port, /dev/ttyS(n-1) below deviceRoot(); on Windows it is
// the port itself, "\\.\COMn" (the form that reaches COM10 and above too).
std::string devicePathFor(const std::string& deviceName);

// What to tell when no counter answered on a port list of Windows port names only: where the
// counters' ports are found instead.
std::string windowsPortNamesHint();

} // namespace nivra
