#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// How a line of a profile file is read: its blanks, its key, its section name, and how names
// compare (without regard to letter case).
namespace nivra::profile {

// Blanks around names and values: blank and tab, and the CR, vertical tab, form feed and Ctrl-Z
// (0x1A, the old end-of-file mark) that files from other systems carry. A table, since this is
// asked for every line read and every key looked up.
inline constexpr std::array<bool, 256> kBlanks = [] {
    std::array<bool, 256> blanks{};
    for (unsigned char c : {' ', '\t', '\r', '\v', '\f', '\x1A'})
        blanks[c] = true;
    return blanks;
}();

[[gnu::always_inline]] inline bool isBlank(char c) {
    return kBlanks[static_cast<unsigned char>(c)];
}

// Called for every line read and every key looked up: kept inline.
[[gnu::always_inline]] inline std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// True for a section line: '[' first and a ']' after it. The name runs to the last ']', so
// "[B]]" is the section "B]"; a line with '[' but no ']' is an ordinary line.
inline bool sectionNameOf(std::string_view line, std::string_view& name) {
    std::size_t first = 0;
    while (first < line.size() && isBlank(line[first]))
        ++first;
    if (first == line.size() || line[first] != '[')
        return false;
    std::string_view trimmed = trim(line.substr(first));
    auto close = trimmed.rfind(']');
    if (close == trimmed.npos)
        return false;
    name = trim(trimmed.substr(1, close - 1));
    return true;
}

// The key of a line: the text before '=', or the whole line when it has no '=' (a key without a
// value, which reads as ""). A NUL byte ends the key early, as on Windows. Empty for blank lines.
inline std::string_view keyOf(std::string_view line) {
    std::size_t end = 0;
    while (end < line.size() && line[end] != '=' && line[end] != '\0')
        ++end;
    return trim(line.substr(0, end));
}

inline char lowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i]))
            return false;
    return true;
}

inline std::uint32_t nameHash(std::string_view name) {
    std::uint32_t hash = 2166136261u; // FNV-1a over the lower-case bytes
    for (char c : name) {
        hash ^= static_cast<unsigned char>(lowerChar(c));
        hash *= 16777619u;
    }
    return hash;
}

} // namespace nivra::profile
