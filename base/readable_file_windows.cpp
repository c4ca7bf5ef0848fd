#include "base/readable_file.h"

#include "base/windows_text.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace nivra {

namespace {

// Why the open file is not read, or nullptr for a file on a disk.
const char* typeProblem(HANDLE file) {
    switch (::GetFileType(file)) {
    case FILE_TYPE_DISK:
        return nullptr;
    case FILE_TYPE_PIPE:
        return "is a FIFO";
    case FILE_TYPE_CHAR:
        return "is a device";
    default:
        return "is not a regular file";
    }
}

// Opens path for reading when it is a file on a disk; INVALID_HANDLE_VALUE with the reason when
// not. Devices ("COM1", "NUL") are refused by their type before anything is read.
HANDLE openDiskFile(const std::string& path, std::string& reason) {
    const std::wstring name = wideFromUtf8(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        reason = "is a folder";
        return INVALID_HANDLE_VALUE;
    }
    const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        failWithSystemError();
        reason = std::strerror(errno);
        return file;
    }
    if (const char* problem = typeProblem(file)) {
        reason = problem;
        ::CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

// Reads the rest of file into bytes, at most maxBytes; false with the reason.
bool readAll(HANDLE file, std::string& bytes, std::string& reason, std::size_t maxBytes,
             const std::string& tooLarge) {
    bytes.clear();
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            failWithSystemError();
            reason = std::strerror(errno);
            return false;
        }
        if (got == 0)
            return true;
        if (got > maxBytes - bytes.size()) {
            reason = tooLarge;
            bytes.clear();
            return false;
        }
        bytes.append(buffer, got);
    }
}

} // namespace

int openRegularFile(const std::string& path, std::string& reason) {
    const HANDLE file = openDiskFile(path, reason);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        reason = std::strerror(errno);
        ::CloseHandle(file);
    }
    return fd;
}

bool canReadRegularFile(const std::string& path, std::string& reason) {
    const HANDLE file = openDiskFile(path, reason);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

bool readRegularFile(const std::string& path, std::string& bytes, std::string& reason) {
    return readRegularFile(path, bytes, reason, std::string().max_size());
}

bool readRegularFile(const std::string& path, std::string& bytes, std::string& reason,
                     std::size_t maxBytes) {
    const HANDLE file = openDiskFile(path, reason);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const std::string tooLarge = "is larger than " + std::to_string(maxBytes) + " bytes";
    LARGE_INTEGER size;
    bool ok = true;
    if (::GetFileSizeEx(file, &size) && static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
        reason = tooLarge;
        ok = false;
    }
    ok = ok && readAll(file, bytes, reason, maxBytes, tooLarge);
    ::CloseHandle(file);
    return ok;
}

OptionalFileRead readOptionalFile(const std::string& path, std::size_t maxBytes, std::string& bytes,
                                  std::string& reason) {
    const std::wstring name = wideFromUtf8(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return OptionalFileRead::kMissing;
        errno = errnoFromSystemError(error);
        reason = std::strerror(errno);
        return OptionalFileRead::kFailed;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return OptionalFileRead::kFolder;
    std::string problem;
    const HANDLE file = openDiskFile(path, problem);
    if (file == INVALID_HANDLE_VALUE) {
        reason = problem;
        return problem.rfind("is ", 0) == 0 ? OptionalFileRead::kNotRegular
                                            : OptionalFileRead::kFailed;
    }
    OptionalFileRead result = OptionalFileRead::kRead;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file, &size)) {
        failWithSystemError();
        reason = std::strerror(errno);
        result = OptionalFileRead::kFailed;
    } else if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
        result = OptionalFileRead::kTooLarge;
    } else if (!readAll(file, bytes, reason, std::string().max_size(), "")) {
        result = OptionalFileRead::kFailed;
    }
    ::CloseHandle(file);
    return result;
}

} // namespace nivra
