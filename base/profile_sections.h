#pragma once

#include <string_view>

// Which sections a profile file holds, found in its text by the rule the profile layer reads
// section lines with, so that a file this says has a section reads the same section's keys.
namespace nivra {

// Whether text holds a section line for `section` (letter case ignored). A section line is, after
// blanks, '[' and then the name up to the last ']' on the line; blanks around the name are not
// part of it. Lines end in CR LF, LF or CR; a UTF-8 byte-order mark before the first line is
// skipped, and text that starts with the UTF-16 little-endian mark is read as UTF-16.
bool hasProfileSection(std::string_view text, std::string_view section);

// Whether one line of a profile file (without its line end) is the line that opens section.
bool isProfileSectionLine(std::string_view line, std::string_view section);

} // namespace nivra
