#pragma once

// Helpers of the Windows back-ends only (files named *_windows.cpp): the system's calls take
// UTF-16 names and report failures as their own error codes, while the program speaks UTF-8
// and reports errno's reasons.
#include <string>

namespace nivra {

// UTF-8 as UTF-16 for the system's wide calls (invalid bytes become U+FFFD).
std::wstring wideFromUtf8(const std::string& text);

// UTF-16 from the system as UTF-8.
std::string utf8FromWide(const std::wstring& text);

// The C library's number for a system error code (GetLastError()), EIO for codes without one.
int errnoFromSystemError(unsigned long code);

// Sets errno from GetLastError() and returns false, for a failed call's caller to return.
bool failWithSystemError();

} // namespace nivra
