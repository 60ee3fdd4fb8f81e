#include "Recording.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <system_error>

#include "Monitor.h"
#include "NumberText.h"
#include "OperatingPoint.h"
#include "Platform.h"

namespace tovrel {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kColumnCount = 21;
// Files of the command line before the map's column have the first twenty.
constexpr std::size_t kOldColumnCount = 20;

std::vector<std::string_view> Split(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const auto comma = line.find(',', start);
        fields.push_back(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

template <class T>
bool Number(std::string_view text, T& value) {
    if (text.empty()) return false;
    const auto* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    return r.ec == std::errc() && r.ptr == end;
}

bool Double(std::string_view text, double& value) { return Number(text, value) && std::isfinite(value); }

// One row back into a pass; the reason when it is not one.
std::optional<RecordedPass> ParseRow(std::string_view line, std::size_t columns, std::string* why) {
    const auto f = Split(line);
    RecordedPass p;
    long pass = 0;
    if (f.size() < 2 || !Number(f[0], pass) || !Number(f[1], p.ms)) {
        *why = "no pass number and time";
        return std::nullopt;
    }
    p.snapshot.pass = static_cast<int>(pass);
    if (f.size() == 2 || std::all_of(f.begin() + 2, f.end(), [](std::string_view v) { return v.empty(); })) {
        p.failed = true;
        return p;
    }
    if (f.size() != columns) {
        *why = std::to_string(f.size()) + " columns instead of " + std::to_string(columns);
        return std::nullopt;
    }
    int rpm = 0, adc = 0, correction = 0, sync = 0, cmp1 = 0, cmp2 = 0, raw = 0, status = 0;
    double advance = 0, to_gas = 0;
    if (!Number(f[2], rpm) || !Number(f[3], adc) || !Number(f[7], correction) || !Double(f[8], advance) ||
        !Number(f[9], sync) || !Double(f[10], to_gas) || !Number(f[11], cmp1) || !Number(f[12], cmp2) ||
        !Number(f[14], raw) || !Number(f[19], status) || rpm < 0 || rpm > 0xFFFF || status < 0 || status > 0xFFFF) {
        *why = "a value that is not a number";
        return std::nullopt;
    }
    auto& s = p.snapshot;
    s.engine_speed = static_cast<std::uint16_t>(rpm);
    s.tps_adc = static_cast<std::int16_t>(adc);
    s.status = static_cast<std::uint16_t>(status);
    const auto c = static_cast<std::uint16_t>(static_cast<std::uint8_t>(correction));
    s.tps_correction = s.Gas() ? c : static_cast<std::uint16_t>(c << 8);
    s.advance = static_cast<std::int16_t>(std::lround(advance * 100));
    s.gas_time_sync = static_cast<std::uint16_t>((std::lround(to_gas * 10) & 0xFF) << 8 |
                                                 static_cast<std::uint8_t>(sync));
    s.cmp_edges = static_cast<std::uint16_t>((cmp1 & 0xFF) << 8 | (cmp2 & 0xFF));
    s.temperature_raw = static_cast<std::int16_t>(raw);
    int value = 0;
    if (Number(f[17], value)) s.adaptation_coefficient = static_cast<std::int16_t>(value);
    if (Number(f[18], value)) s.adaptations_counter = static_cast<std::uint16_t>(value);
    double map_value = 0;
    if (columns == kColumnCount && Double(f[20], map_value)) p.map_value = map_value;
    return p;
}

}  // namespace

std::string RecordingNumber(double v) { return FormatFileNumber(v); }

std::string RecordingRow(const RealtimeSnapshot& s, long ms, std::optional<double> map_value) {
    std::string row;
    auto add = [&](const std::string& v) {
        if (!row.empty()) row += ',';
        row += v;
    };
    add(std::to_string(s.pass));
    add(std::to_string(ms));
    add(std::to_string(s.engine_speed));
    add(std::to_string(s.tps_adc));
    add(std::to_string(s.ThrottleIndex()));
    add(std::to_string(std::clamp(s.ThrottlePercent(), 0, 100)));
    add(s.Gas() ? "gas" : "petrol");
    add(std::to_string(s.Correction()));
    add(RecordingNumber(s.AdvanceDegrees()));
    add(std::to_string(s.Synchronisation()));
    add(RecordingNumber(s.TimeToGasTenths() / 10.0));
    add(std::to_string(s.Cmp1Edges()));
    add(std::to_string(s.Cmp2Edges()));
    add(RecordingNumber(CpuTemperature(s.temperature_raw)));
    add(std::to_string(s.temperature_raw));
    add(s.DirectSend() ? "1" : "0");
    add(s.NeedGoodTahoe() ? "1" : "0");
    add(s.adaptation_coefficient ? std::to_string(*s.adaptation_coefficient) : "");
    add(s.adaptations_counter ? std::to_string(*s.adaptations_counter) : "");
    add(std::to_string(s.status));
    add(map_value ? RecordingNumber(*map_value) : "");
    return row + "\r\n";
}

std::string RecordingFailedRow(const RealtimeSnapshot& s, long ms) {
    return std::to_string(s.pass) + "," + std::to_string(ms) + "\r\n";
}

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string RecordingPreamble(const DeviceOptions& options, std::optional<std::uint32_t> configuration_crc) {
    char caps[8], crc[16];
    std::snprintf(caps, sizeof caps, "0x%04X", options.DeviceCapabilities.word);
    std::string text = "# Tovrel monitor recording\r\n";
    text += "# timer division " + std::to_string(options.TimerDivision) + ", capability word " + caps +
            ", lowest engine speed " + std::to_string(options.LowestMotorRpm) + " rpm\r\n";
    if (configuration_crc) {
        std::snprintf(crc, sizeof crc, "%08X", *configuration_crc);
        text += std::string("# configuration CRC-32 ") + crc + "\r\n";
    } else {
        text += "# configuration not known\r\n";
    }
    return text;
}

std::unique_ptr<RecordingFile> RecordingFile::Create(const fs::path& dir, std::string_view stamp,
                                                     std::string_view preamble, std::string* error) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) {
        *error = "cannot make the folder " + dir.string();
        return nullptr;
    }
    const std::string base = "run-" + std::string(stamp);
    for (int n = 1; n < 1000; ++n) {
        const fs::path path = dir / (base + (n == 1 ? "" : "-" + std::to_string(n)) + ".csv");
        if (fs::exists(path, ec)) continue;
#ifdef _WIN32
        std::FILE* f = platform::OpenFile(path.string(), "wb");
#else
        // "x": not even a file made since the check above is overwritten.
        std::FILE* f = platform::OpenFile(path.string(), "wbx");
#endif
        if (!f) {
            if (fs::exists(path, ec)) continue;
            *error = "cannot create " + path.string();
            return nullptr;
        }
        std::unique_ptr<RecordingFile> file(new RecordingFile(f, path));
        if (!file->Write(preamble) || !file->Write(std::string(kRecordingColumns) + "\r\n")) {
            *error = "cannot write " + path.string();
            return nullptr;
        }
        return file;
    }
    *error = "no free file name for " + base + " in " + dir.string();
    return nullptr;
}

RecordingFile::~RecordingFile() {
    if (file_) std::fclose(file_);
}

bool RecordingFile::Write(std::string_view bytes) {
    if (!file_) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() || std::fflush(file_) != 0) {
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    return true;
}

bool RecordingFile::Append(std::string_view row) {
    if (!Write(row)) return false;
    ++rows_;
    return true;
}

bool RecordingFile::Mark(long ms) { return Write("# marker " + std::to_string(ms) + "\r\n"); }

std::optional<Recording> ReadRecording(const fs::path& path, std::string* error) {
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
    if (size > kMaxRecordingBytes) {
        *error = path.string() + " is larger than a recording can be (" + std::to_string(size >> 20) + " MB)";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open " + path.string();
        return std::nullopt;
    }
    Recording r;
    std::size_t columns = 0;
    std::string line;
    std::size_t number = 0;
    auto bad = [&](std::string reason) {
        if (r.first_bad_line == 0) {
            r.first_bad_line = number;
            r.first_bad_reason = std::move(reason);
        }
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '#') {
            std::string_view text(line);
            text.remove_prefix(text.size() > 1 && text[1] == ' ' ? 2 : 1);
            long ms = 0;
            if (text.rfind("marker ", 0) == 0 && Number(text.substr(7), ms)) r.markers.push_back(ms);
            else r.preamble.emplace_back(text);
            continue;
        }
        if (columns == 0) {
            const std::string_view all = kRecordingColumns;
            if (line == all) columns = kColumnCount;
            else if (line == all.substr(0, all.rfind(','))) columns = kOldColumnCount;
            else {
                *error = path.string() + " is not a monitor recording (line " + std::to_string(number) +
                         " is not its header)";
                return std::nullopt;
            }
            continue;
        }
        std::string why;
        if (auto p = ParseRow(line, columns, &why)) r.passes.push_back(std::move(*p));
        else bad(why);
    }
    if (columns == 0) {
        *error = path.string() + " has no header line";
        return std::nullopt;
    }
    return r;
}

std::array<double, MapPointCount> TimeAtMapPoints(const Recording& recording, const TimingMap& map, MapKind kind,
                                                  const RecordingFilter& filter) {
    std::array<double, MapPointCount> seconds{};
    const auto& passes = recording.passes;
    for (std::size_t i = 0; i + 1 < passes.size(); ++i) {
        const auto& p = passes[i];
        if (p.failed) continue;
        const auto& s = p.snapshot;
        if (filter.gas && s.Gas() != *filter.gas) continue;
        if (filter.synchronised_only && s.Synchronisation() != 1) continue;
        const long dt = std::clamp(passes[i + 1].ms - p.ms, 0L, kLongestPassMs);
        const double x = IsAdvanceMap(kind) ? s.engine_speed : s.ThrottleIndex();
        seconds[static_cast<std::size_t>(NearestMapPoint(map, x))] += dt / 1000.0;
    }
    return seconds;
}

}  // namespace tovrel
