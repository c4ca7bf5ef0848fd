#include "base/value_encoding.h"

#include "base/classic_locale.h"
#include "base/local_time.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace nivra {

namespace {

// 64 bits on every system (a long has 32 on Windows), so that "4294967295" reaches the
// 32-bit conversions whole.
bool scanLong(const std::string& text, long long& out) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(begin, &end, 10);
    if (end == begin)
        return false;
    out = value; // on overflow strtoll gives LLONG_MIN/LLONG_MAX, as the C input conversion does
    return true;
}

// The first 17 significant digits of a finite, non-zero magnitude, correctly rounded with a
// tie rounded up, and the power of ten of the first of them. to_chars writes the digits exactly;
// 40 of them decide the rounding at the 17th (a wrong decision would need 23 nines in a row).
struct SeventeenDigits {
    char digits[17] = {};
    int exponent = 0;
};

SeventeenDigits seventeenDigits(double magnitude) {
    char text[64];
    const std::to_chars_result written =
        std::to_chars(text, text + sizeof text - 1, magnitude, std::chars_format::scientific, 40);
    *written.ptr = '\0'; // d.ddd…e±x
    SeventeenDigits out;
    out.digits[0] = text[0];
    for (int i = 1; i < 17; ++i)
        out.digits[i] = text[i + 1];
    out.exponent = std::atoi(std::strchr(text, 'e') + 1);
    if (text[18] >= '5') {
        int at = 16;
        while (at >= 0 && out.digits[at] == '9')
            out.digits[at--] = '0';
        if (at >= 0) {
            ++out.digits[at];
        } else { // 99…9 became 100…0: one more leading digit, the last zero dropped
            out.digits[0] = '1';
            ++out.exponent;
        }
    }
    return out;
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
    return formatFixed(value, 6);
}

std::string formatFixed(double value, int decimals) {
    if (decimals < 0 || !std::isfinite(value))
        return formatC("%.*f", decimals, value);
    // The decimal digits of |value| in a string that starts with a spare 0 for a carry; the
    // digit of 10^p stands at index first - p. Digits beyond the 17 generated are 0.
    const double magnitude = std::fabs(value);
    SeventeenDigits generated;
    if (magnitude != 0.0)
        generated = seventeenDigits(magnitude);
    const int top = magnitude != 0.0 && generated.exponent > 0 ? generated.exponent : 0;
    const int first = 1 + top; // index of 10^0
    std::string digits(static_cast<std::size_t>(first + decimals + 1), '0');
    if (magnitude != 0.0)
        for (int i = 0; i < 17; ++i) {
            const int at = first - (generated.exponent - i);
            if (at > first + decimals) { // the first digit dropped decides the rounding
                if (at == first + decimals + 1 && generated.digits[i] >= '5') {
                    int carry = first + decimals;
                    while (digits[static_cast<std::size_t>(carry)] == '9')
                        digits[static_cast<std::size_t>(carry--)] = '0';
                    ++digits[static_cast<std::size_t>(carry)];
                }
                break;
            }
            if (at >= 0)
                digits[static_cast<std::size_t>(at)] = generated.digits[i];
        }
    std::string text;
    text.reserve(digits.size() + 2);
    if (std::signbit(value))
        text += '-';
    const std::size_t lead = digits[0] == '0' ? 1 : 0; // the spare digit unless a carry used it
    text.append(digits, lead, static_cast<std::size_t>(first + 1) - lead);
    if (decimals > 0) {
        text += '.';
        text.append(digits, static_cast<std::size_t>(first + 1), std::string::npos);
    }
    return text;
}

const char* formatBool(bool value) {
    return value ? "true" : "false";
}

bool scanInt(const std::string& text, std::int32_t& out) {
    long long value;
    if (!scanLong(text, value))
        return false;
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return true;
}

bool scanUnsigned(const std::string& text, std::uint32_t& out) {
    long long value;
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
    double value = readRealClassic(begin, &end);
    if (end == begin)
        return false;
    out = value;
    return true;
}

namespace {

// text without the blanks and tabs around it.
std::string_view withoutBlanks(const std::string& text) {
    std::string_view view = text;
    while (!view.empty() && (view.front() == ' ' || view.front() == '\t'))
        view.remove_prefix(1);
    while (!view.empty() && (view.back() == ' ' || view.back() == '\t'))
        view.remove_suffix(1);
    return view;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool parseWholeNumber(const std::string& text, std::uint32_t& out) {
    const std::string_view digits = withoutBlanks(text);
    if (digits.empty())
        return false;
    std::uint64_t value = 0;
    for (char c : digits) {
        if (!isDigit(c))
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > 2147483647u)
            return false;
    }
    out = static_cast<std::uint32_t>(value);
    return true;
}

bool parseNumber(const std::string& text, double& out) {
    const std::string_view number = withoutBlanks(text);
    // sign? digits* (. digits*)? with at least one digit, then (e sign? digits+)?
    std::size_t at = 0;
    const auto digitsFrom = [&] {
        const std::size_t start = at;
        while (at < number.size() && isDigit(number[at]))
            ++at;
        return at - start;
    };
    if (at < number.size() && (number[at] == '+' || number[at] == '-'))
        ++at;
    std::size_t mantissa = digitsFrom();
    if (at < number.size() && number[at] == '.') {
        ++at;
        mantissa += digitsFrom();
    }
    if (mantissa == 0)
        return false;
    if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
        ++at;
        if (at < number.size() && (number[at] == '+' || number[at] == '-'))
            ++at;
        if (digitsFrom() == 0)
            return false;
    }
    if (at != number.size())
        return false;
    const std::string exact(number);
    out = readRealClassic(exact.c_str(), nullptr);
    return true;
}

bool parseBool(const std::string& text) {
    return text == "true";
}

std::string formatLocalTime(std::int64_t secondsSinceEpoch) {
    std::tm local{};
    if (!localCalendarTime(secondsSinceEpoch, local))
        return {};
    char buffer[128];
    std::size_t length = formatTimeClassic(buffer, sizeof buffer, "%m/%d/%y %H:%M:%S", local);
    return std::string(buffer, length);
}

} // namespace nivra
