#pragma once

#include <string>
#include <string_view>

namespace nivra {

// Text as it may appear inside one output line: every control character (bytes below 0x20 and
// DEL) is written as an escape, "\n", "\r", "\t" or "\xNN", so that a file name holding a line
// break can never start a line of its own in the output. Other bytes are kept as they are.
std::string escapeControlCharacters(std::string_view text);

} // namespace nivra
