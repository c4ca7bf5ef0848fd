#include "counter_link/serial_line.h"

#include "base/windows_text.h"
#include "counter_link/device_path.h"

#include <thread>
#include <windows.h>

namespace nivra {

namespace {

using Clock = std::chrono::steady_clock;

HANDLE handleOf(std::intptr_t device) {
    return reinterpret_cast<HANDLE>(device);
}

OpenFailure classifyOpenError(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return OpenFailure::kNotFound;
    case ERROR_NOT_READY:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_GEN_FAILURE:
        return OpenFailure::kNoDevice;
    // A COM port opens for one program at a time; the next one is told "access denied".
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return OpenFailure::kBusy;
    default:
        return OpenFailure::kSetupFailed;
    }
}

// Raw 19200 8N1 without software flow control; the hardware flow-control settings stay as the
// port has them.
void makeCounterLine(DCB& dcb) {
    dcb.BaudRate = CBR_19200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
}

// A read of n bytes waits 10 ms per byte plus one second in all (transferTimeout), and so does
// a write; there is no limit between two bytes.
COMMTIMEOUTS exchangeTimeouts() {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 10;
    timeouts.ReadTotalTimeoutConstant = 1000;
    timeouts.WriteTotalTimeoutMultiplier = 10;
    timeouts.WriteTotalTimeoutConstant = 1000;
    return timeouts;
}

bool isDeviceFailure(DWORD error) {
    switch (error) {
    case ERROR_INVALID_HANDLE:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_NOT_READY:
    case ERROR_ACCESS_DENIED:
    case ERROR_OPERATION_ABORTED:
    case ERROR_BROKEN_PIPE:
        return true;
    default:
        return false;
    }
}

} // namespace

OpenFailure SerialLine::open(const std::string& deviceName) {
    close();
    error_ = 0;
    deviceFailed_ = false;
    const std::wstring path = wideFromUtf8(devicePathFor(deviceName));
    // No sharing: the system itself refuses a second open of the port, from any program.
    const HANDLE port = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return fail(classifyOpenError(error), errnoFromSystemError(error));
    }
    auto closeAndFail = [&](OpenFailure failure, DWORD error) {
        ::CloseHandle(port);
        return fail(failure, errnoFromSystemError(error));
    };
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    // A file or a pipe is no serial port: it has no line settings.
    if (::GetFileType(port) != FILE_TYPE_CHAR || !::GetCommState(port, &dcb))
        return closeAndFail(OpenFailure::kNotATerminal, ERROR_INVALID_FUNCTION);
    makeCounterLine(dcb);
    if (!::SetCommState(port, &dcb))
        return closeAndFail(OpenFailure::kSetupFailed, ::GetLastError());
    DCB applied{};
    applied.DCBlength = sizeof applied;
    if (!::GetCommState(port, &applied) || applied.BaudRate != CBR_19200 || applied.ByteSize != 8 ||
        applied.Parity != NOPARITY || applied.StopBits != ONESTOPBIT)
        return closeAndFail(OpenFailure::kSetupFailed, ERROR_INVALID_PARAMETER);
    COMMTIMEOUTS timeouts = exchangeTimeouts();
    if (!::SetCommTimeouts(port, &timeouts))
        return closeAndFail(OpenFailure::kSetupFailed, ::GetLastError());
    device_ = reinterpret_cast<std::intptr_t>(port);
    return OpenFailure::kNone;
}

void SerialLine::close() {
    if (device_ == -1)
        return;
    purge();
    ::CloseHandle(handleOf(device_));
    device_ = -1;
    unsentOutput_ = false;
}

bool SerialLine::purge() {
    if (device_ == -1)
        return false;
    DWORD flags = PURGE_RXCLEAR | PURGE_RXABORT;
    if (unsentOutput_)
        flags |= PURGE_TXCLEAR | PURGE_TXABORT;
    if (!::PurgeComm(handleOf(device_), flags))
        return false;
    unsentOutput_ = false;
    return true;
}

bool SerialLine::deviceError(int error) {
    if (isDeviceFailure(static_cast<DWORD>(error)))
        deviceFailed_ = true;
    error_ = errnoFromSystemError(static_cast<DWORD>(error));
    return false;
}

bool SerialLine::waitUntilSent(Deadline deadline) {
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(handleOf(device_), &errors, &status))
            return deviceError(static_cast<int>(::GetLastError()));
        if (status.cbOutQue == 0)
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool SerialLine::write(const std::uint8_t* data, std::size_t count) {
    if (device_ == -1)
        return false;
    const Deadline deadline = Clock::now() + transferTimeout(count);
    unsentOutput_ = true;
    std::size_t sent = 0;
    while (sent < count) {
        DWORD written = 0;
        if (!::WriteFile(handleOf(device_), data + sent, static_cast<DWORD>(count - sent), &written,
                         nullptr))
            return deviceError(static_cast<int>(::GetLastError()));
        sent += written;
        // The write's own time limit ran out.
        if (written == 0 || (sent < count && Clock::now() >= deadline))
            return false;
    }
    if (!waitUntilSent(deadline))
        return false;
    unsentOutput_ = false;
    return true;
}

std::size_t SerialLine::read(std::uint8_t* data, std::size_t count) {
    if (device_ == -1)
        return 0;
    const Deadline deadline = Clock::now() + transferTimeout(count);
    std::size_t received = 0;
    while (received < count) {
        DWORD got = 0;
        if (!::ReadFile(handleOf(device_), data + received, static_cast<DWORD>(count - received),
                        &got, nullptr)) {
            deviceError(static_cast<int>(::GetLastError()));
            break;
        }
        received += got;
        // The time-outs of the port end a read that got less; one pass is the whole wait.
        if (got == 0 || Clock::now() >= deadline)
            break;
    }
    return received;
}

bool SerialLine::moreInputWithin(std::chrono::milliseconds quiet) {
    if (device_ == -1)
        return false;
    const HANDLE port = handleOf(device_);
    // For this one read: return as soon as a byte is there, or after quiet.
    COMMTIMEOUTS waitForAny{};
    waitForAny.ReadIntervalTimeout = MAXDWORD;
    waitForAny.ReadTotalTimeoutMultiplier = MAXDWORD;
    waitForAny.ReadTotalTimeoutConstant = quiet.count() > 0 ? static_cast<DWORD>(quiet.count()) : 1;
    COMMTIMEOUTS normal = exchangeTimeouts();
    if (!::SetCommTimeouts(port, &waitForAny))
        return false;
    std::uint8_t byte = 0;
    DWORD got = 0;
    const bool read = ::ReadFile(port, &byte, 1, &got, nullptr) != 0;
    ::SetCommTimeouts(port, &normal);
    if (!read || got == 0)
        return false;
    ::PurgeComm(port, PURGE_RXCLEAR);
    return true;
}

} // namespace nivra
