#pragma once
// Reading back the device's log files (LOG_n.txt, see LogFile.h): the two
// head lines and the 256 entry lines. What can be read is kept; the first
// line that cannot is named, so a viewer can show the rest and say where the
// file went wrong.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tovrel {

// One entry line as the file shows it.
struct DeviceLogRow {
    int index = 0;    // the entry's number, 0..255
    int rtc = 0;      // 0..255
    int syn_2b = 0;   // -1..2
    int ngt_err = 0;  // 0..31
    int l = 0;        // 0 or 1
    int t = 0;        // 0..65535
};

struct DeviceLog {
    std::optional<int> adaptation_steps;  // the first head line
    std::optional<int> lowest_motor_rpm;  // the second head line
    std::vector<DeviceLogRow> rows;       // in the file's order
    // The first line that could not be read (1-based; 0 when none) and why.
    // A file that ends before its last entry names the line where the next
    // entry was due.
    std::size_t first_bad_line = 0;
    std::string first_bad_reason;
    // Some lines were in UTF-8 rather than Windows-1251 (a file saved again
    // by an editor); their values were read all the same.
    bool utf8 = false;
};

// A log file is 258 short lines (about 16 KB); larger files are no log.
inline constexpr std::uintmax_t kMaxDeviceLogBytes = 1u << 20;

// Reads what can be read. Nothing (and why, in `error`) for a file that
// cannot be opened, is empty, is larger than a log can be, or holds no line
// of a log at all.
std::optional<DeviceLog> ReadDeviceLog(const std::filesystem::path& path, std::string* error);

}  // namespace tovrel
