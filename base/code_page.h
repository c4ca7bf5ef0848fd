#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Texts inside the program are UTF-8. The files the laboratories exchange with the Windows
// version of the program (settings, data files, CSV exports) hold their text in the Windows-1252
// code page; these functions convert at that seam.
//
// Windows-1252 is Latin-1 except for 0x80-0x9F, which hold €, curly quotes, dashes and a few
// letters. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
// the control characters of the same number, as Windows maps them, so every byte survives a
// round trip.
namespace nivra {

// The UTF-8 text of Windows-1252 bytes.
std::string cp1252ToUtf8(std::string_view bytes);

// Windows-1252 bytes for UTF-8 text. A character the code page cannot hold becomes '?'. Bytes
// that are not part of a valid UTF-8 sequence are kept as they are: they are already code page
// bytes (texts that came from a device or an old file unconverted).
std::string utf8ToCp1252(std::string_view text);

// UTF-8 text kept as it is, except that bytes outside valid UTF-8 sequences are read as
// Windows-1252 characters. The result is always valid UTF-8.
std::string repairUtf8(std::string_view text);

// True when text holds at least one multi-byte UTF-8 sequence and every byte from 0x80 up
// belongs to a valid, shortest-form sequence of a character outside the C1 controls
// (U+0080-U+009F). Windows-1252 text practically never passes: its accented letters would each
// have to be followed by just the right symbols or punctuation.
bool isMultiByteUtf8(std::string_view text);

// How a text stored in a file is read: as UTF-8 when isMultiByteUtf8 (files written by earlier
// builds of this program, which wrote UTF-8), as Windows-1252 otherwise.
std::string decodeFileText(std::string_view bytes);

// Windows saves a "Unicode" text file as UTF-16 little-endian starting with this byte-order mark.
inline constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

// The UTF-8 text of UTF-16 little-endian bytes (without the mark). A surrogate without its partner
// becomes U+FFFD and an odd last byte is dropped, so the result is always valid UTF-8.
std::string utf16LeToUtf8(std::string_view bytes);

// UTF-16 little-endian bytes (without the mark) for UTF-8 text. Bytes outside valid UTF-8
// sequences are read as Windows-1252 characters, as repairUtf8 reads them.
std::string utf8ToUtf16Le(std::string_view text);

// The number of bytes of the first `characters` characters of text: each byte for
// Windows-1252, each valid UTF-8 sequence (or stray byte) for UTF-8.
std::size_t prefixBytes(std::string_view text, std::size_t characters, bool utf8);
// The number of characters in text, counted as prefixBytes counts them.
std::size_t characterCount(std::string_view text, bool utf8);

} // namespace nivra
