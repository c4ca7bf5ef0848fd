#pragma once

#include <QString>
#include <cstdint>
#include <string>

class QLineEdit;

// Numbers and texts in an operator's edits, shown and read back where a window needs them.
// Showing writes signed and unsigned numbers in decimal and real numbers with "%.*g" and 15
// significant digits. Reading takes the edit's text:
//   - an unsigned number takes the first 63 characters and must convert as the C input format
//     "%u" does (leading blanks, an optional sign, digits; "-1" wraps to 4294967295; the rest of
//     the text is ignored), otherwise "Enter a positive integer.";
//   - a whole number is exactly a number from 0 to 2147483647 (blanks around it allowed; "-1",
//     "1.5" and "12abc" are refused), otherwise "Enter a positive integer.";
//   - a signed number is read as "%d" does, otherwise "Enter an integer.";
//   - a real number must convert as "%lf" does, otherwise "Enter a number.".
// A refused field brings its message (through the prompts handed in), then gets the focus with all
// its text selected; the value keeps what it had, and the read returns false so the caller stops
// reading further fields.
namespace nivra::ui {

class Prompts;

void showNumber(QLineEdit* edit, std::uint32_t value);
void showNumber(QLineEdit* edit, std::int32_t value);
void showNumber(QLineEdit* edit, double value);
void showText(QLineEdit* edit, const std::string& value);

std::string readText(const QLineEdit* edit);
bool readUnsigned(Prompts& prompts, QLineEdit* edit, std::uint32_t& value);
bool readWholeNumber(Prompts& prompts, QLineEdit* edit, std::uint32_t& value);
bool readInteger(Prompts& prompts, QLineEdit* edit, std::int32_t& value);
bool readReal(Prompts& prompts, QLineEdit* edit, double& value);

// Reports a field that cannot be read: the message, then focus and selection on the field.
void refuseField(Prompts& prompts, QLineEdit* edit, const QString& message);

} // namespace nivra::ui
