#include "base/file_system.h"

#include "base/windows_text.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <windows.h>

namespace nivra {

namespace {

// The attributes of the name itself (a link is not followed), or INVALID_FILE_ATTRIBUTES.
DWORD attributesOf(const std::string& path) {
    return ::GetFileAttributesW(wideFromUtf8(path).c_str());
}

} // namespace

std::FILE* openForReading(const std::string& path) {
    return ::_wfopen(wideFromUtf8(path).c_str(), L"rb");
}

bool fileExists(const std::string& path) {
    // Opening the name follows a link, so a link to a missing file is not there.
    const HANDLE file = ::CreateFileW(wideFromUtf8(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return failWithSystemError();
    ::CloseHandle(file);
    return true;
}

bool nameExists(const std::string& path) {
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES || failWithSystemError();
}

std::optional<std::int64_t> fileModificationTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(wideFromUtf8(path).c_str(), GetFileExInfoStandard, &data)) {
        failWithSystemError();
        return std::nullopt;
    }
    // 100-ns steps since 1601-01-01.
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

bool removeFile(const std::string& path) {
    return ::DeleteFileW(wideFromUtf8(path).c_str()) || failWithSystemError();
}

bool renameWithoutReplacing(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the target is there.
    if (::MoveFileExW(wideFromUtf8(from).c_str(), wideFromUtf8(to).c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    return failWithSystemError();
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(wideFromUtf8(folder + "/*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = utf8FromWide(found.cFileName);
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

std::string writeProbeFile(const std::string& path, std::size_t size) {
    const std::wstring name = wideFromUtf8(path);
    ::DeleteFileW(name.c_str());
    const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        failWithSystemError();
        return std::strerror(errno);
    }
    const std::string block(size, '\n');
    DWORD written = 0;
    int error = 0;
    if (!::WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr))
        error = errnoFromSystemError(::GetLastError());
    else if (written != block.size())
        error = ENOSPC;
    else if (!::FlushFileBuffers(file))
        error = errnoFromSystemError(::GetLastError());
    ::CloseHandle(file);
    ::DeleteFileW(name.c_str());
    return error == 0 ? std::string() : std::strerror(error);
}

std::string absolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute =
        std::filesystem::absolute(std::filesystem::path(wideFromUtf8(path)), error);
    return error ? path : utf8FromWide(absolute.lexically_normal().generic_wstring());
}

std::optional<std::string> currentDirectory() {
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    if (length == 0)
        return std::nullopt;
    std::wstring buffer(length, L'\0');
    const DWORD got = ::GetCurrentDirectoryW(length, buffer.data());
    if (got == 0 || got >= length)
        return std::nullopt;
    buffer.resize(got);
    std::string path = utf8FromWide(buffer);
    // One separator throughout: the program joins its names with '/'.
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

long long processId() {
    return static_cast<long long>(::GetCurrentProcessId());
}

std::string localMachineName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!::GetComputerNameW(name, &size))
        return {};
    return utf8FromWide(std::wstring(name, size));
}

} // namespace nivra
