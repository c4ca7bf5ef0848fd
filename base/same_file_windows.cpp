#include "base/same_file.h"

#include "base/windows_text.h"

#include <filesystem>
#include <windows.h>

namespace nivra {

namespace {

// The volume and file index of an existing file (links followed), which name it uniquely.
bool identityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE file = ::CreateFileW(wideFromUtf8(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = ::GetFileInformationByHandle(file, &info) != 0;
    ::CloseHandle(file);
    return ok;
}

} // namespace

bool isSameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    const bool aExists = identityOf(a, ia);
    const bool bExists = identityOf(b, ib);
    if (aExists && bExists)
        return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
               ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    if (aExists != bExists)
        return false;
    // Names compare without regard to case, as the file system does.
    std::error_code error;
    const auto placeA = std::filesystem::weakly_canonical(
        std::filesystem::absolute(std::filesystem::path(wideFromUtf8(a)), error), error);
    if (error)
        return a == b;
    const auto placeB = std::filesystem::weakly_canonical(
        std::filesystem::absolute(std::filesystem::path(wideFromUtf8(b)), error), error);
    if (error)
        return a == b;
    return ::CompareStringOrdinal(placeA.c_str(), -1, placeB.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace nivra
