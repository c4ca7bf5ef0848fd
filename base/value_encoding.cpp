#include "base/value_encoding.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace nivra {

namespace {

// The C locale as a locale object, made once and kept for the life of the process.
locale_t cLocale() {
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// Switches the calling thread to the C locale for the life of the object.
class ClassicLocaleScope {
public:
    ClassicLocaleScope() : previous_(uselocale(cLocale())) {}
    ~ClassicLocaleScope() { uselocale(previous_); }
    ClassicLocaleScope(const ClassicLocaleScope&) = delete;
    ClassicLocaleScope& operator=(const ClassicLocaleScope&) = delete;

private:
    locale_t previous_;
};

bool scanLong(const std::string& text, long& out) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(begin, &end, 10);
    if (end == begin)
        return false;
    out = value; // on overflow strtol gives LONG_MIN/LONG_MAX, as the C input conversion does
    return true;
}

// Whether value × 10^decimals lies exactly halfway between two integers. That needs value =
// (2k+1) / (2^(decimals+1) × 5^decimals), and a binary double can only be that when 5^decimals
// divides 2k+1: then value × 2^(decimals+1) is an odd integer, and conversely. The scaling by a
// power of two is exact.
bool isDecimalTie(double value, int decimals) {
    if (!std::isfinite(value))
        return false;
    const double scaled = std::ldexp(value, decimals + 1);
    return std::isfinite(scaled) && scaled == std::trunc(scaled) && std::fmod(scaled, 2.0) != 0.0;
}

} // namespace

std::string formatC(const char* format, ...) {
    ClassicLocaleScope scope;
    char small[256];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (length < 0)
        return {};
    if (static_cast<std::size_t>(length) < sizeof small)
        return std::string(small, static_cast<std::size_t>(length));
    std::string big(static_cast<std::size_t>(length) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(big.data(), big.size(), format, args);
    va_end(args);
    big.resize(static_cast<std::size_t>(length));
    return big;
}

std::string formatInt(std::int32_t value) {
    return std::to_string(value);
}

std::string formatUnsigned(std::uint32_t value) {
    return std::to_string(static_cast<std::int32_t>(value));
}

std::string formatReal(double value) {
    return formatC("%f", value);
}

std::string formatFixed(double value, int decimals) {
    if (decimals < 0 || !isDecimalTie(value, decimals))
        return formatC("%.*f", decimals, value);
    // One more decimal prints the tie exactly, ending in 5: drop it and add one unit in the last
    // place of the magnitude.
    std::string text = formatC("%.*f", decimals + 1, value);
    text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    std::size_t at = text.size();
    while (at > 0) {
        char& digit = text[--at];
        if (digit == '.')
            continue;
        if (digit < '0' || digit > '9') { // the sign: the carry becomes a new leading digit
            ++at;
            break;
        }
        if (digit != '9') {
            ++digit;
            return text;
        }
        digit = '0';
    }
    text.insert(at, 1, '1');
    return text;
}

const char* formatBool(bool value) {
    return value ? "true" : "false";
}

bool scanInt(const std::string& text, std::int32_t& out) {
    long value;
    if (!scanLong(text, value))
        return false;
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return true;
}

bool scanUnsigned(const std::string& text, std::uint32_t& out) {
    long value;
    if (!scanLong(text, value))
        return false;
    out = static_cast<std::uint32_t>(value);
    return true;
}

bool scanUnsignedDecimal(const std::string& text, std::uint32_t& out) {
    return scanUnsigned(text, out);
}

bool scanReal(const std::string& text, double& out) {
    const char* begin = text.c_str();
    char* end = nullptr;
    double value = strtod_l(begin, &end, cLocale());
    if (end == begin)
        return false;
    out = value;
    return true;
}

bool parseBool(const std::string& text) {
    return text == "true";
}

std::string formatLocalTime(std::int64_t secondsSinceEpoch) {
    std::time_t time = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (!localtime_r(&time, &local))
        return {};
    char buffer[128];
    std::size_t length = strftime_l(buffer, sizeof buffer, "%m/%d/%y %H:%M:%S", &local, cLocale());
    return std::string(buffer, length);
}

} // namespace nivra
