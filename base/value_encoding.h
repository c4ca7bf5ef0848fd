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

// "%f" / "%lf": fixed point with exactly six decimals, no exponent (0.84 gives "0.840000").
std::string formatReal(double value);

// "%.<decimals>f" as the Windows C runtime prints it: like formatC, except that a value lying
// exactly halfway between two results (an exact binary tie such as 10.03125 for four decimals)
// is rounded away from zero ("10.0313"), where glibc rounds to the even digit ("10.0312"). The
// texts the operator compares with reports from the Windows version (statistics, header lines)
// use it; every other digit is the same as formatC's.
std::string formatFixed(double value, int decimals);

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
