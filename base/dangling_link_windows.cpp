#include "base/dangling_link.h"

#include "base/windows_text.h"

#include <windows.h>

namespace nivra {

bool isDanglingLink(const std::string& path) {
    const std::wstring name = wideFromUtf8(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return false;
    // Opening follows the link: a link whose target is missing cannot be opened.
    const HANDLE file =
        ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        return false;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_CANT_RESOLVE_FILENAME;
}

} // namespace nivra
