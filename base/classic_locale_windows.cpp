#include "base/classic_locale.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace nivra {

// The C runtime of Windows sets locales by name; with a locale per thread, the switch touches
// only the calling thread.
ClassicLocaleScope::ClassicLocaleScope() : mode_(::_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
    const char* current = std::setlocale(LC_ALL, nullptr);
    name_ = current ? current : "C";
    std::setlocale(LC_ALL, "C");
}

ClassicLocaleScope::~ClassicLocaleScope() {
    std::setlocale(LC_ALL, name_.c_str());
    ::_configthreadlocale(mode_);
}

double readRealClassic(const char* text, char** end) {
    const ClassicLocaleScope scope;
    return std::strtod(text, end);
}

std::size_t formatTimeClassic(char* buffer, std::size_t size, const char* format,
                              const std::tm& time) {
    const ClassicLocaleScope scope;
    return std::strftime(buffer, size, format, &time);
}

} // namespace nivra
