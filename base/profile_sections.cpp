#include "base/profile_sections.h"

#include "base/code_page.h"

#include <string>

namespace nivra {

namespace {

// The blanks the profile layer drops around names: blank, tab, CR, vertical tab, form feed and
// Ctrl-Z.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

bool isProfileSectionLine(std::string_view line, std::string_view section) {
    line = trim(line);
    if (line.empty() || line.front() != '[')
        return false;
    const auto close = line.rfind(']');
    if (close == 0 || close == std::string_view::npos)
        return false;
    return equalIgnoringCase(trim(line.substr(1, close - 1)), trim(section));
}

bool hasProfileSection(std::string_view text, std::string_view section) {
    if (text.substr(0, kUtf16LeMark.size()) == kUtf16LeMark) {
        const std::string decoded = utf16LeToUtf8(text.substr(kUtf16LeMark.size()));
        return hasProfileSection(decoded, section);
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    while (!text.empty()) {
        const auto end = text.find_first_of("\r\n");
        if (isProfileSectionLine(text.substr(0, end), section))
            return true;
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return false;
}

} // namespace nivra
