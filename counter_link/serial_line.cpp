#include "counter_link/serial_line.h"

// What the serial line is on every system; the system's own part is in serial_line_posix.cpp
// and serial_line_windows.cpp.
namespace nivra {

std::chrono::milliseconds transferTimeout(std::size_t byteCount) {
    return std::chrono::milliseconds(10 * static_cast<long long>(byteCount) + 1000);
}

SerialLine::~SerialLine() {
    close();
}

OpenFailure SerialLine::fail(OpenFailure failure, int error) {
    error_ = error;
    return failure;
}

} // namespace nivra
