#pragma once
// Recordings of monitor runs: one CSV row per pass, the command line's
// columns plus the map's value at the operating point. A recording made by
// the window starts with "#" lines naming the device options and the
// checksum of the configuration it was driven with, is named by its start
// time, never overwrites a file, and is flushed row by row, so that a program
// killed in the middle leaves a file that reads up to its last row.
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Calculations.h"
#include "DeviceOptions.h"
#include "LiveState.h"

namespace tovrel {

// The header line, without its line end.
inline constexpr std::string_view kRecordingColumns =
    "pass,time_ms,rpm,tps_adc,throttle_index,throttle_percent,fuel,tps_correction_percent,advance_deg,"
    "synchronisation,time_to_gas_s,cmp1_edges,cmp2_edges,cpu_temperature_c,temperature_raw,direct_send,"
    "need_good_tahoe,adaptation_coefficient,adaptations_counter,status_word,map_value";

// A number in a column: the general form, always with a point.
std::string RecordingNumber(double v);
// One pass as a row with its CR LF. `map_value` is the map of the fuel in
// use at the engine speed; empty when the maps are not known.
std::string RecordingRow(const RealtimeSnapshot& s, long ms, std::optional<double> map_value);
// A pass whose reads failed has no values of its own: its number and time only.
std::string RecordingFailedRow(const RealtimeSnapshot& s, long ms);

// CRC-32 (the zip polynomial) of some bytes.
std::uint32_t Crc32(std::string_view bytes);
// The "#" lines a window recording starts with.
std::string RecordingPreamble(const DeviceOptions& options, std::optional<std::uint32_t> configuration_crc);

// A recording being written.
class RecordingFile {
public:
    // A new file "run-YYYY-MM-DD_HH-MM-SS.csv" (with "-2", "-3" ... when that
    // name is taken) in `dir`, made when missing, holding the preamble and
    // the header. Nothing and the reason in `error` when it cannot be made.
    static std::unique_ptr<RecordingFile> Create(const std::filesystem::path& dir, std::string_view stamp,
                                                 std::string_view preamble, std::string* error);
    ~RecordingFile();
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    // Appends a row and hands it to the system at once. False (and the
    // file closed) when the write failed: the rows so far stay readable.
    bool Append(std::string_view row);
    // A marker the fitter set (Space): a "#" line with its time.
    bool Mark(long ms);
    const std::filesystem::path& Path() const { return path_; }
    std::size_t Rows() const { return rows_; }

private:
    RecordingFile(std::FILE* f, std::filesystem::path path) : file_(f), path_(std::move(path)) {}
    bool Write(std::string_view bytes);

    std::FILE* file_;
    std::filesystem::path path_;
    std::size_t rows_ = 0;
};

// A recording (the window's or the command line's) read back.
struct RecordedPass {
    long ms = 0;
    RealtimeSnapshot snapshot;
    std::optional<double> map_value;
    bool failed = false;  // a row of a failed pass: number and time only
};
struct Recording {
    std::vector<std::string> preamble;  // the "#" lines, without the "#"
    std::vector<RecordedPass> passes;
    std::vector<long> markers;          // times of the fitter's markers
    // The first line that could not be read (1-based; 0 when none) and why.
    std::size_t first_bad_line = 0;
    std::string first_bad_reason;
};
// Larger files are refused: an hour of passes is about 5 MB.
inline constexpr std::uintmax_t kMaxRecordingBytes = 256u << 20;
// Reads what can be read; a line that is not a row is skipped and the first
// one named. Nothing (and why) for a file that cannot be read, is empty,
// too large, or has no header of these columns.
std::optional<Recording> ReadRecording(const std::filesystem::path& path, std::string* error);

}  // namespace tovrel

namespace tovrel {

// Which passes of a recording count.
struct RecordingFilter {
    std::optional<bool> gas;         // only passes on gas (true) or on petrol (false)
    bool synchronised_only = false;  // only passes with the variator synchronised
};
// The time a pass stands for runs to the next pass, but a gap longer than
// this (a stopped run, lost passes) counts as this much.
inline constexpr long kLongestPassMs = 1000;
// Seconds the engine spent nearest each point of `map` (engine speed on an
// advance map, throttle position index on a throttle map). Failed passes and
// the recording's last pass count nothing.
std::array<double, MapPointCount> TimeAtMapPoints(const Recording& recording, const TimingMap& map, MapKind kind,
                                                  const RecordingFilter& filter = {});

}  // namespace tovrel
