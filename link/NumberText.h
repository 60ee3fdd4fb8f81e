#pragma once
// Numbers shown to the user: the general floating-point form (shortest, up to
// 15 significant digits) with the user's decimal separator. Every number the
// program shows or reads back from a control goes through here.
#include <optional>
#include <string>
#include <string_view>

namespace tovrel {

// The user's decimal separator; '.' until SetDecimalSeparator or
// UseSystemDecimalSeparator is called at program start.
char DecimalSeparator();
void SetDecimalSeparator(char separator);
// Takes the separator of the environment's locale (LANG, LC_NUMERIC, ...).
void UseSystemDecimalSeparator();

// 9 -> "9", 9.5 -> "9.5" (or "9,5"), -2.5, 36.4, 1e+20.
std::string FormatGeneral(double value);
// A whole text in the user's form (blanks around are allowed); nothing when it
// is not a number.
std::optional<double> ParseGeneral(std::string_view text);
// A whole text as a decimal integer (blanks around allowed, optional sign);
// nothing when it is not one or does not fit in 32 bits.
std::optional<int> ParseInteger(std::string_view text);
// The conversion errors of the standard error display.
std::string NotAnIntegerMessage(std::string_view text);   // "'%s' is not a valid integer value"
std::string NotAFloatMessage(std::string_view text);      // "'%s' is not a valid floating point value"

}  // namespace tovrel
