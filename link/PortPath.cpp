#include "PortPath.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <utility>

namespace tovrel {
namespace fs = std::filesystem;

namespace {

struct Range {
    int first;
    int count;
    const char* prefix;
};
constexpr Range kFixed[] = {{1, 32, "/dev/ttyS"}, {33, 100, "/dev/ttyUSB"}, {133, 100, "/dev/ttyACM"}};
constexpr int kOverflowFirst = 233;
constexpr int kOverflowLast = 254;

// Splits "ttyUSB12" into its family ("S", "USB", "ACM") and number.
std::optional<std::pair<std::string, int>> SerialDeviceName(const std::string& name) {
    for (const char* family : {"ttyUSB", "ttyACM", "ttyS"}) {
        std::string_view f(family);
        if (name.size() <= f.size() || name.compare(0, f.size(), f) != 0) continue;
        std::string digits = name.substr(f.size());
        if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
        return std::make_pair(std::string(f.substr(3)), std::stoi(digits));
    }
    return std::nullopt;
}

bool InFixedRange(const std::pair<std::string, int>& device) {
    return device.second < (device.first == "S" ? 32 : 100);
}

std::vector<std::string> OverflowDevices() {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/dev", ec)) {
        std::string name = e.path().filename().string();
        auto device = SerialDeviceName(name);
        if (device && !InFixedRange(*device)) out.push_back("/dev/" + name);
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

std::optional<std::string> PortPath(int number) {
    if (number < 0 || number > kMaxPortNumber) return std::nullopt;
    if (const char* dir = std::getenv("TOVREL_PORT_DIR"); dir && *dir) {
        return (fs::path(dir) / ("COM" + std::to_string(number))).string();
    }
    for (const auto& r : kFixed) {
        if (number >= r.first && number < r.first + r.count) return r.prefix + std::to_string(number - r.first);
    }
    if (number >= kOverflowFirst && number <= kOverflowLast) {
        auto extra = OverflowDevices();
        std::size_t i = static_cast<std::size_t>(number - kOverflowFirst);
        if (i < extra.size()) return extra[i];
        return kUnassignedPortPrefix + std::to_string(number);
    }
    return kUnassignedPortPrefix + std::to_string(number);
}

std::vector<PortEntry> ListPorts() {
    std::vector<PortEntry> out;
    for (int n = 1; n <= 254; ++n) {
        auto p = PortPath(n);
        std::error_code ec;
        bool exists = p && fs::exists(*p, ec);
        out.push_back({n, p.value_or(""), exists});
    }
    return out;
}

}  // namespace tovrel
