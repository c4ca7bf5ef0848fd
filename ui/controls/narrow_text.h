#pragma once

#include <QString>
#include <string>

// The core below the windows keeps texts as UTF-8 byte strings; the files' Windows-1252 text is
// converted on its way in and out of the files (base/code_page.h). The window layer converts
// between those strings and the window's texts here, in one place. A byte that is no part of
// valid UTF-8 (a counter's raw text, say) is shown as its Windows-1252 character, so no text is
// ever lost on the way in. Texts go out as UTF-8.
namespace nivra::ui {

QString fromNarrow(const std::string& text);
std::string toNarrow(const QString& text);

} // namespace nivra::ui
