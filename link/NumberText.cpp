#include "NumberText.h"

#include <atomic>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <locale>

namespace tovrel {

namespace {
std::atomic<char> g_separator{'.'};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

// printf's "%.15g" in the C locale: the process's own locale (a toolkit sets
// the user's at start) must not reach the digits.
std::string General(double value, char separator) {
    if (value == 0) value = 0;  // no "-0"
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string s(buf, ec == std::errc() ? end : buf);
    if (separator != '.')
        for (auto& c : s)
            if (c == '.') c = separator;
    return s;
}
}  // namespace

char DecimalSeparator() { return g_separator.load(std::memory_order_relaxed); }
void SetDecimalSeparator(char separator) { g_separator.store(separator, std::memory_order_relaxed); }

char SystemDecimalSeparator() {
    try {
        std::locale user("");
        const char c = std::use_facet<std::numpunct<char>>(user).decimal_point();
        return c == ',' ? ',' : '.';
    } catch (const std::exception&) {
        return '.';
    }
}

void UseSystemDecimalSeparator() { SetDecimalSeparator(SystemDecimalSeparator()); }

std::string FormatGeneral(double value) { return General(value, DecimalSeparator()); }
std::string FormatFileNumber(double value) { return General(value, '.'); }

std::optional<double> ParseGeneral(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    std::string s(text);
    int separators = 0;
    for (auto& c : s) {
        if (c == ',' || c == '.') {
            c = '.';
            ++separators;
        }
    }
    if (separators > 1) return std::nullopt;
    if (s.front() == '+') s.erase(0, 1);
    double v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

std::optional<int> ParseInteger(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int v = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

FileNumber ParseFileNumber(std::string_view text, int shift) {
    // The white space of the C locale, whatever the process locale is.
    auto is_blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; };
    auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && is_blank(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    // The mantissa in the form from_chars reads: digits and '.', no '+'.
    std::string number = negative ? "-" : "";
    std::size_t digits = 0;
    long long whole = 0;          // digits before the point, leading zeros left out
    long long leading_zeros = 0;  // zeros after the point before the first other digit, when whole is 0
    bool nonzero = false;
    for (; i < n && is_digit(text[i]); ++i, ++digits) {
        number += text[i];
        if (nonzero || text[i] != '0') nonzero = true, ++whole;
    }
    if (i < n && (text[i] == '.' || text[i] == ',')) {
        number += '.';
        for (++i; i < n && is_digit(text[i]); ++i, ++digits) {
            number += text[i];
            if (!nonzero && text[i] == '0') ++leading_zeros;
            else nonzero = true;
        }
    }
    if (digits == 0) return {0, FileNumberFault::NoNumber};

    long long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool exponent_negative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) exponent_negative = text[i++] == '-';
        if (i == n || !is_digit(text[i])) return {0, FileNumberFault::NotDecimal};
        // Beyond a billion the exponent already means out of range or zero.
        for (; i < n && is_digit(text[i]); ++i)
            if (exponent < 1000000000) exponent = exponent * 10 + (text[i] - '0');
        if (exponent_negative) exponent = -exponent;
    }
    while (i < n && is_blank(text[i])) ++i;
    if (i != n) return {0, FileNumberFault::NotDecimal};

    exponent += shift;
    number += 'e';
    number += std::to_string(exponent);
    double v = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), v);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Too large when the first digit that is not zero stands at a
        // positive power of ten, else too small.
        const long long magnitude = (whole > 0 ? whole - 1 : -(leading_zeros + 1)) + exponent;
        if (nonzero && magnitude > 0) return {0, FileNumberFault::OutOfRange};
        return {negative ? -0.0 : 0.0, FileNumberFault::None};
    }
    if (ec != std::errc() || !std::isfinite(v)) return {0, FileNumberFault::OutOfRange};
    return {v, FileNumberFault::None};
}

namespace {
// 'text' followed by the tail; appended piece by piece rather than prepended
// to a temporary.
std::string Quoted(std::string_view text, std::string_view tail) {
    std::string s;
    s.reserve(text.size() + tail.size() + 2);
    s += '\'';
    s += text;
    s += '\'';
    s += tail;
    return s;
}
}  // namespace

std::string NotAnIntegerMessage(std::string_view text) { return Quoted(text, " is not a valid integer value"); }
std::string NotAFloatMessage(std::string_view text) { return Quoted(text, " is not a valid floating point value"); }

}  // namespace tovrel
