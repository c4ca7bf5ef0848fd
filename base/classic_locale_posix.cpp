#include "base/classic_locale.h"

#include <clocale>
#include <locale.h>

namespace nivra {

namespace {

// The C locale as a locale object, made once and kept for the life of the process.
locale_t cLocale() {
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

} // namespace

ClassicLocaleScope::ClassicLocaleScope()
    : previous_(reinterpret_cast<std::uintptr_t>(uselocale(cLocale()))) {}

ClassicLocaleScope::~ClassicLocaleScope() {
    uselocale(reinterpret_cast<locale_t>(previous_));
}

double readRealClassic(const char* text, char** end) {
    return strtod_l(text, end, cLocale());
}

std::size_t formatTimeClassic(char* buffer, std::size_t size, const char* format,
                              const std::tm& time) {
    return strftime_l(buffer, size, format, &time, cLocale());
}

} // namespace nivra
