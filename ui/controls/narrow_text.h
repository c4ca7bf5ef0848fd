#pragma once

#include <QString>
#include <string>

// The core below the windows keeps texts as narrow byte strings. The window layer converts them
// here, in one place: bytes that form valid UTF-8 are read as UTF-8, anything else (files written
// with an 8-bit code page) byte by byte as Latin-1, so no text is ever lost on the way in. Texts
// go out as UTF-8.
namespace nivra::ui {

QString FromNarrow(const std::string& text);
std::string ToNarrow(const QString& text);

} // namespace nivra::ui
