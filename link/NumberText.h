#pragma once
// Numbers shown to the user: the general floating-point form (shortest, up to
// 15 significant digits) with the user's decimal separator. Every number the
// program shows or reads back from a control goes through here.
#include <optional>
#include <string>
#include <string_view>

namespace tovrel {

// The decimal separator of the numbers shown; '.' until SetDecimalSeparator
// or UseSystemDecimalSeparator is called (the window does so for its
// language). Any thread may read it while the window's thread sets it.
char DecimalSeparator();
void SetDecimalSeparator(char separator);
// The separator of the environment's locale (LANG, LC_NUMERIC, ...; the
// user's regional settings on Windows); '.' when it cannot be told.
char SystemDecimalSeparator();
// SetDecimalSeparator(SystemDecimalSeparator()).
void UseSystemDecimalSeparator();

// For the screen: 9 -> "9", 9.5 -> "9.5" (or "9,5"), -2.5, 36.4, 1e+20.
std::string FormatGeneral(double value);
// For files: the same form with '.', whatever the screen shows or the
// process's C locale says.
std::string FormatFileNumber(double value);
// A whole text typed or shown (blanks around are allowed), with '.' or ','
// as the decimal separator, whichever the screen shows: a fitter types "9,5"
// or "9.5" and means 9.5 either way. Nothing when it is not one number (two
// separators, "9,5.1", are no number).
std::optional<double> ParseGeneral(std::string_view text);
// A whole text as a decimal integer (blanks around allowed, optional sign);
// nothing when it is not one or does not fit in 32 bits.
std::optional<int> ParseInteger(std::string_view text);

// Number texts in files. A file may have been written in a locale with either
// decimal separator, so both '.' and ',' count as the decimal point; the text
// must be one decimal number and nothing more.
enum class FileNumberFault {
    None,
    NoNumber,    // no number at the start: "", "abc", "inf", "nan", "-"
    NotDecimal,  // a number followed by more: "0x7fff", "5000abc", "9 000", "1e", "1.5.2"
    OutOfRange,  // beyond the range of a double: "1e999"
};
struct FileNumber {
    double value = 0;
    FileNumberFault fault = FileNumberFault::None;
    explicit operator bool() const { return fault == FileNumberFault::None; }
};
// Reads a whole text: blanks around (the C library's white space), an
// optional sign, decimal digits with at most one '.' or ',' and at least one
// digit, an optional exponent ('e' or 'E', an optional sign, digits). The
// value is that number times 10^shift, rounded once from the decimal text:
// ParseFileNumber("9000.4", -3) is the double nearest to 9.0004. A number too
// small for a double reads as zero of its sign.
FileNumber ParseFileNumber(std::string_view text, int shift = 0);

// The conversion errors of the standard error display.
std::string NotAnIntegerMessage(std::string_view text);   // "'%s' is not a valid integer value"
std::string NotAFloatMessage(std::string_view text);      // "'%s' is not a valid floating point value"

}  // namespace tovrel
