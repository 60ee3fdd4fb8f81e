#include "NumberText.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <locale>

namespace tovrel {

namespace {
char g_separator = '.';

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}
}  // namespace

char DecimalSeparator() { return g_separator; }
void SetDecimalSeparator(char separator) { g_separator = separator; }

void UseSystemDecimalSeparator() {
    try {
        std::locale user("");
        g_separator = std::use_facet<std::numpunct<char>>(user).decimal_point();
    } catch (const std::exception&) {
        g_separator = '.';
    }
}

std::string FormatGeneral(double value) {
    if (value == 0) value = 0;  // no "-0"
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string s(buf);
    for (auto& c : s)
        if (c == '.') c = g_separator;
    return s;
}

std::optional<double> ParseGeneral(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    std::string s(text);
    for (auto& c : s) {
        if (c == g_separator) c = '.';
        else if (c == '.') return std::nullopt;  // only the user's separator counts
    }
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
