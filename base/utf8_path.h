#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The program's paths are UTF-8 strings. A std::filesystem::path made from a narrow string takes
// it in the system's narrow encoding, which on Windows is the ANSI code page: a folder named
// beyond it would be misread, and turning such a path back into a narrow string throws. These
// two go through UTF-8 on every system (on Linux they copy the bytes as they are).
namespace nivra {

inline std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace nivra
