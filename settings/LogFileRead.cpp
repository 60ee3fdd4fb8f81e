#include "LogFileRead.h"

#include <charconv>
#include <fstream>
#include <string_view>

#include "Cp1251.h"
#include "LiveState.h"

namespace tovrel {

namespace fs = std::filesystem;

namespace {

// The sign that opens an entry line, in the device's code page and in UTF-8.
constexpr std::string_view kSignCp1251 = "\xB9";
constexpr std::string_view kSignUtf8 = "\xE2\x84\x96";
constexpr std::string_view kStepsUtf8 = "Шагов адаптации:";
constexpr std::string_view kLmr = "LMR:";

bool Int(std::string_view text, int& value) {
    if (text.empty()) return false;
    const auto* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    return r.ec == std::errc() && r.ptr == end;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Words(std::string_view s) {
    std::vector<std::string_view> words;
    while (true) {
        s = Trim(s);
        if (s.empty()) break;
        const auto blank = s.find(' ');
        words.push_back(s.substr(0, blank));
        if (blank == std::string_view::npos) break;
        s.remove_prefix(blank);
    }
    return words;
}

// "name value" pairs after the entry's number, in the order the device
// writes them; the reason when the line is not one.
std::optional<DeviceLogRow> ParseEntry(std::string_view rest, std::string* why) {
    const auto w = Words(rest);
    static constexpr std::string_view kNames[] = {"RTC", "SYN_2b", "NGT_ERR", "L", "T"};
    if (w.size() != 11) {
        *why = "an entry line with " + std::to_string(w.size()) + " fields instead of 11";
        return std::nullopt;
    }
    int v[6] = {};
    if (!Int(w[0], v[0])) {
        *why = "an entry number that is not a number";
        return std::nullopt;
    }
    for (int k = 0; k < 5; ++k) {
        const auto name = w[static_cast<std::size_t>(1 + 2 * k)];
        const auto value = w[static_cast<std::size_t>(2 + 2 * k)];
        if (name != kNames[k] || !Int(value, v[k + 1])) {
            *why = "no " + std::string(kNames[k]) + " value where it is due";
            return std::nullopt;
        }
    }
    DeviceLogRow row{v[0], v[1], v[2], v[3], v[4], v[5]};
    if (row.index < 0 || row.index >= kLogEntryCount || row.rtc < 0 || row.rtc > 255 || row.syn_2b < -1 ||
        row.syn_2b > 2 || row.ngt_err < 0 || row.ngt_err > 31 || row.l < 0 || row.l > 1 || row.t < 0 ||
        row.t > 0xFFFF) {
        *why = "a value out of its range";
        return std::nullopt;
    }
    return row;
}

}  // namespace

std::optional<DeviceLog> ReadDeviceLog(const fs::path& path, std::string* error) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) {
        *error = "cannot read " + path.string() + ": " + ec.message();
        return std::nullopt;
    }
    if (size == 0) {
        *error = path.string() + " is empty";
        return std::nullopt;
    }
    if (size > kMaxDeviceLogBytes) {
        *error = path.string() + " is larger than a device log can be (" + std::to_string(size >> 10) + " KB)";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open " + path.string();
        return std::nullopt;
    }
    static const std::string kStepsCp1251 = Utf8ToCp1251(kStepsUtf8);

    DeviceLog log;
    std::size_t number = 0;
    auto bad = [&](std::string reason) {
        if (log.first_bad_line == 0) {
            log.first_bad_line = number;
            log.first_bad_reason = std::move(reason);
        }
    };
    auto head = [&](std::string_view rest, std::optional<int>& field, const char* name) {
        int v = 0;
        if (field) bad(std::string("a second ") + name + " line");
        else if (!Int(Trim(rest), v)) bad(std::string("a ") + name + " line without its number");
        else field = v;
    };
    std::string line;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string_view text(line);
        if (text.starts_with(kSignCp1251)) {
            text.remove_prefix(kSignCp1251.size());
        } else if (text.starts_with(kSignUtf8)) {
            text.remove_prefix(kSignUtf8.size());
            if (!log.utf8) bad("a line in UTF-8, not in the device's Windows-1251");
            log.utf8 = true;
        } else if (text.starts_with(kStepsCp1251)) {
            head(text.substr(kStepsCp1251.size()), log.adaptation_steps, "adaptation steps");
            continue;
        } else if (text.starts_with(kStepsUtf8)) {
            if (!log.utf8) bad("a line in UTF-8, not in the device's Windows-1251");
            log.utf8 = true;
            head(text.substr(kStepsUtf8.size()), log.adaptation_steps, "adaptation steps");
            continue;
        } else if (text.starts_with(kLmr)) {
            head(text.substr(kLmr.size()), log.lowest_motor_rpm, "LMR");
            continue;
        } else {
            bad(text.empty() ? "an empty line" : "not a line of a device log");
            continue;
        }
        std::string why;
        if (auto row = ParseEntry(text, &why)) {
            if (row->index != static_cast<int>(log.rows.size()))
                bad("entry " + std::to_string(row->index) + " where entry " + std::to_string(log.rows.size()) +
                    " was due");
            log.rows.push_back(*row);
        } else {
            bad(why);
        }
    }
    if (log.rows.empty() && !log.adaptation_steps && !log.lowest_motor_rpm) {
        *error = path.string() + " is not a device log (no line of one in it)";
        return std::nullopt;
    }
    if (log.rows.size() < static_cast<std::size_t>(kLogEntryCount)) {
        ++number;
        bad("the file ends after " + std::to_string(log.rows.size()) + " of " + std::to_string(kLogEntryCount) +
            " entries");
    }
    return log;
}

}  // namespace tovrel
