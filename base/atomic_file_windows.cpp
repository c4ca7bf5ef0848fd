#include "base/atomic_file.h"
#include "base/temporary_files.h"

#include "base/file_system.h"
#include "base/windows_text.h"

#include <cerrno>
#include <cstring>
#include <windows.h>

namespace nivra {

namespace {

// The longest name NTFS and FAT take in a folder, in UTF-16 units.
constexpr std::size_t kNameMax = 255;
// The longest ".tmp-<pid>-<n>" suffix, with the leading dot of a temporary name.
constexpr std::size_t kTemporaryExtra = 1 + 5 + 10 + 1 + 10;

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos)
        return ".";
    // "C:/x" lies in "C:/", "/x" in "/".
    if (slash == 0 || (slash == 2 && path[1] == ':'))
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joined(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
        return folder + name;
    return folder + "/" + name;
}

bool refuse(int error) {
    errno = error;
    return false;
}

bool processRuns(unsigned long pid) {
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process)
        return ::GetLastError() != ERROR_INVALID_PARAMETER; // no such process
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

bool mayStillBeWritten(unsigned long pid, const std::string& path) {
    if (pid == ::GetCurrentProcessId())
        return isLiveTemporary(path);
    return processRuns(pid);
}

void removeLeftTemporaries(const std::string& folder, const std::string& base) {
    for (const std::string& name : folderEntries(folder)) {
        const unsigned long pid = temporaryOwner(name, base);
        const std::string path = joined(folder, name);
        if (pid > 0 && !mayStillBeWritten(pid, path))
            ::DeleteFileW(wideFromUtf8(path).c_str());
    }
}

std::string temporaryStem(const std::string& base) {
    const std::size_t units = wideFromUtf8(base).size();
    if (units + kTemporaryExtra <= kNameMax)
        return base;
    // Cut by characters, never inside one: keep whole UTF-8 sequences.
    std::string stem = base;
    while (!stem.empty() && wideFromUtf8(stem).size() + kTemporaryExtra > kNameMax) {
        stem.pop_back();
        while (!stem.empty() && (static_cast<unsigned char>(stem.back()) & 0xC0) == 0x80)
            stem.pop_back();
        if (!stem.empty() && static_cast<unsigned char>(stem.back()) >= 0xC0)
            stem.pop_back();
    }
    return stem.empty() ? base.substr(0, 1) : stem;
}

bool writeAll(HANDLE file, const std::string& bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr))
            return failWithSystemError();
        if (written == 0)
            return refuse(ENOSPC);
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

bool canWriteFile(const std::string& path) {
    if (path.empty())
        return refuse(ENOENT);
    const DWORD folder = ::GetFileAttributesW(wideFromUtf8(folderOf(path)).c_str());
    if (folder == INVALID_FILE_ATTRIBUTES)
        return failWithSystemError();
    if ((folder & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return refuse(ENOTDIR);
    if (wideFromUtf8(baseOf(path)).size() > kNameMax)
        return refuse(ENAMETOOLONG);
    // The name itself: a link is replaced, never written through.
    const DWORD at = ::GetFileAttributesW(wideFromUtf8(path).c_str());
    if (at == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || failWithSystemError();
    }
    if (at & FILE_ATTRIBUTE_REPARSE_POINT)
        return true;
    if (at & FILE_ATTRIBUTE_DIRECTORY)
        return refuse(EISDIR);
    if (at & FILE_ATTRIBUTE_READONLY)
        return refuse(EACCES);
    return true;
}

Outcome outputFileProblem(const std::string& path) {
    if (!canWriteFile(path))
        return Outcome::failure(std::strerror(errno));
    if (nameExists(path))
        return {};
    const std::wstring name = wideFromUtf8(path);
    const HANDLE file =
        ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        failWithSystemError();
        return Outcome::failure(std::strerror(errno));
    }
    ::CloseHandle(file);
    ::DeleteFileW(name.c_str());
    return {};
}

bool replaceFileAtomically(const std::string& path, const std::string& bytes) {
    if (!canWriteFile(path))
        return false;
    const std::string folder = folderOf(path);
    const std::string stem = temporaryStem(baseOf(path));
    const std::string temporary = joined(folder, temporaryFileName(stem, ::GetCurrentProcessId()));
    const LiveTemporary live(temporary);
    removeLeftTemporaries(folder, stem);
    const std::wstring wideTemporary = wideFromUtf8(temporary);
    const HANDLE file = ::CreateFileW(wideTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return failWithSystemError();
    bool ok = writeAll(file, bytes);
    ok = ok && (::FlushFileBuffers(file) || failWithSystemError());
    ::CloseHandle(file);
    // Replacing the name moves the new file over a link too, never through it; write-through
    // makes the move itself durable before it returns.
    ok = ok && (::MoveFileExW(wideTemporary.c_str(), wideFromUtf8(path).c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
                failWithSystemError());
    if (!ok) {
        const int error = errno;
        ::DeleteFileW(wideTemporary.c_str());
        return refuse(error);
    }
    return true;
}

} // namespace nivra
