#pragma once

#include <QString>
#include <cstdint>
#include <string>

class QWidget;

namespace nivra::ui {

class DialogBase;

// One transfer between a dialog's values and its controls, run by DialogBase::updateData.
// Showing (saveAndValidate false) writes every value into its control: texts unchanged, signed
// and unsigned numbers in decimal, real numbers with "%.*g" and 15 significant digits. Reading
// (saveAndValidate true) takes each control's text back, in the order of the calls:
//   - a text is taken whole;
//   - an unsigned number takes the first 63 characters and must convert as the C input format
//     "%u" does (leading blanks, an optional sign, digits; "-1" wraps to 4294967295; the rest of
//     the text is ignored), otherwise "Enter a positive integer.";
//   - a signed number likewise with "%d", otherwise "Enter an integer.";
//   - a real number must convert as "%lf" does, otherwise "Enter a number.".
// After such a message the offending edit gets the focus with all its text selected and the
// reading stops: fields read before it keep their new values, it and all later fields keep the
// values they had.
class DataExchange {
public:
    DataExchange(DialogBase& dialog, bool saveAndValidate)
        : dialog_(dialog), saveAndValidate_(saveAndValidate) {}

    bool saveAndValidate() const { return saveAndValidate_; }
    // True once a field failed to read; every later call then does nothing.
    bool failed() const { return failed_; }

    void text(int id, QString& value);
    void text(int id, std::string& value);
    void text(int id, std::uint32_t& value);
    void text(int id, std::int32_t& value);
    void text(int id, double& value);
    // A field of a configuration file: exactly a whole number from 0 to 2147483647 (blanks
    // around it allowed; "-1", "1.5" and "12abc" are refused), otherwise "Enter a positive
    // integer.".
    void wholeNumber(int id, std::uint32_t& value);
    // A check box's state.
    void check(int id, bool& value);

    // Reports a field that cannot be read: the message, then focus and selection on the field.
    void fail(int id, const QString& message);

private:
    QWidget* field(int id) const;
    bool skip() const { return failed_; }
    template <typename Value, typename Show, typename Scan>
    void numberText(int id, Value& value, Show show, Scan scan, const QString& message,
                    int textLimit);

    DialogBase& dialog_;
    bool saveAndValidate_;
    bool failed_ = false;
};

} // namespace nivra::ui
