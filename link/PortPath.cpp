#include "PortPath.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>

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

bool InFixedRange(const std::string& path) {
    static const std::regex re(R"(/dev/tty(S|USB|ACM)(\d+))");
    std::smatch m;
    if (!std::regex_match(path, m, re)) return false;
    int n = std::stoi(m[2].str());
    if (m[1] == "S") return n < 32;
    return n < 100;
}

std::vector<std::string> OverflowDevices() {
    std::vector<std::string> out;
    std::error_code ec;
    static const std::regex re(R"(tty(S|USB|ACM)\d+)");
    for (const auto& e : fs::directory_iterator("/dev", ec)) {
        std::string name = e.path().filename().string();
        if (!std::regex_match(name, re)) continue;
        std::string path = "/dev/" + name;
        if (!InFixedRange(path)) out.push_back(path);
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
        return "/dev/tovrel-unassigned-COM" + std::to_string(number);
    }
    return "/dev/tovrel-unassigned-COM" + std::to_string(number);
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
