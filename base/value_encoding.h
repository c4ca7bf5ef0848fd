#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// How values are written to and read from the settings and data files, and how texts for the
// operator are formatted. Everything here runs in the C locale whatever locale the process uses
// (the window layer switches the process to the user's locale, which would otherwise turn the
// decimal point of "%f" into a comma).
namespace nivra {

// printf-style formatting in the C locale.
std::string formatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "%d" of a signed or an unsigned 32-bit field. An unsigned field of 2147483648 or more is
// written as the negative number with the same bits (4294967295 gives "-1").
std::string formatInt(std::int32_t value);
std::string formatUnsigned(std::uint32_t value);

// "%f" / "%lf": fixed point with exactly six decimals, no exponent (0.84 gives "0.840000"),
// digits as formatFixed(value, 6) gives them.
std::string formatReal(double value);

// "%.<decimals>f" as the C runtime of the Windows version printed it, so that texts the operator
// compares with its reports (statistics, CSV, header lines, configuration values) carry the same
// digits: the value's first 17 significant digits, correctly rounded, then zeros; that decimal
// text is rounded half away from zero at the requested decimal. Near a tie the two ways of
// rounding differ: 17 / 160, stored as 0.10624999999999999…, prints as "0.1063" where glibc's
// exact rounding gives "0.1062"; an exact binary tie such as 10.03125 for four decimals gives
// "10.0313" (glibc: "10.0312"). Values beyond 17 digits print their 17 digits and zeros.
// Infinities, NaN and a negative precision print as formatC prints them.
std::string formatFixed(double value, int decimals);

// The whole number 0 to 2147483647 (the largest a "%d" field writes as itself) that text holds
// exactly: decimal digits only, with blanks or tabs around them. Returns false, leaving out
// unchanged, for anything else ("1.5", "-1", "12abc", "", "4294967297").
bool parseWholeNumber(const std::string& text, std::uint32_t& out);

// The number that text holds exactly: an optional sign, decimal digits with an optional point
// and an optional exponent, with blanks or tabs around them ("0.84", "-2", "8.4e-1"). Returns
// false, leaving out unchanged, for anything else ("high", "0.84x", "nan", "0x1p-1", "").
// A number too large for a double gives an infinity.
bool parseNumber(const std::string& text, double& out);

// "true" / "false".
const char* formatBool(bool value);

// The C input conversion "%d" into a 32-bit field: leading white space skipped, an optional sign,
// at least one digit; the conversion stops at the first character that cannot continue the number
// and ignores the rest ("12abc" gives 12). The number is converted as a long and its low 32 bits
// are stored, so "-1" read into an unsigned field gives 4294967295 and "4294967295" gives the same
// bits. Returns false, leaving out unchanged, when no number can be converted.
bool scanInt(const std::string& text, std::int32_t& out);
bool scanUnsigned(const std::string& text, std::uint32_t& out);

// The C unsigned decimal conversion "%u": like scanInt, a minus sign is accepted and the result
// wraps ("-1" gives 4294967295).
bool scanUnsignedDecimal(const std::string& text, std::uint32_t& out);

// The C input conversion "%lf" in the C locale. Returns false, leaving out unchanged, when no
// number can be converted.
bool scanReal(const std::string& text, double& out);

// true only for the exact text "true".
bool parseBool(const std::string& text);

// The time stamp of run header lines and the end-time label: an instant (seconds since the epoch)
// in local time, as two-digit month/day/year and the 24-hour time, "12/08/25 14:03:07". That is
// the C locale's date-and-time form on the system the data files come from; glibc's C locale
// writes another one ("Mon Dec  8 14:03:07 2025"), so the form is spelt out here.
std::string formatLocalTime(std::int64_t secondsSinceEpoch);

} // namespace nivra
