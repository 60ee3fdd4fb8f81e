#include "PortInfo.h"

#include "LinkTexts.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "Platform.h"

namespace tovrel {
namespace fs = std::filesystem;

namespace {

constexpr const char* kByIdDir = "/dev/serial/by-id";

// The by-id name of a USB serial adapter names its maker and serial number,
// which tells two adapters apart better than ttyUSB0 and ttyUSB1 do.
std::string ByIdName(const fs::path& device) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(kByIdDir, ec)) {
        std::error_code ec2;
        if (fs::equivalent(e.path(), device, ec2)) return e.path().filename().string();
    }
    return {};
}

std::string DeviceBehind(const std::string& path) {
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(path, ec)) {
        target = fs::read_symlink(path, ec);
        if (ec) return {};
        if (target.is_relative()) target = fs::path(path).parent_path() / target;
    }
    std::string by_id = ByIdName(target);
    if (target == fs::path(path)) return by_id;
    std::string out = target.lexically_normal().string();
    if (!by_id.empty()) out += ", " + by_id;
    return out;
}

}  // namespace

int CheckPortAccess(const std::string& path) { return platform::PortAccessError(path); }

PortInfo DescribePort(int number, const std::string& port_dir, const PortAccessCheck& check) {
    PortInfo info;
    info.number = number;
    auto path = platform::PortPath(number, port_dir);
    if (!path) return info;
    info.path = *path;
    // A dangling link (a simulator that went away) counts as missing.
    if (!platform::PortPresent(info.path)) {
        info.access = PortAccess::Missing;
        return info;
    }
    info.device = DeviceBehind(info.path);
    const int error = check ? check(info.path) : 0;
    if (error == 0) info.access = PortAccess::Usable;
    else if (error == EACCES || error == EPERM) info.access = PortAccess::NoPermission;
    else if (error == ENOENT) info.access = PortAccess::Missing;
    else {
        info.access = PortAccess::Unusable;
        info.error = error;
    }
    return info;
}

std::vector<PortInfo> DescribePorts(const std::string& port_dir, const PortAccessCheck& check) {
    std::vector<PortInfo> out;
    out.reserve(254);
    for (int n = 1; n <= 254; ++n) out.push_back(DescribePort(n, port_dir, check));
    return out;
}

std::string PermissionAdvice(const std::string& paths) {
    return TrFormat(LinkText::PermissionAdvice, paths);
}

std::optional<std::string> OpenFailureAdvice(const std::string& path, const PortAccessCheck& check) {
    if (!check) return std::nullopt;
    const int error = check(path);
    if (error == EACCES || error == EPERM) return PermissionAdvice(path);
    return std::nullopt;
}

std::string PortSummary(const PortInfo& info) {
    std::string head = "COM" + std::to_string(info.number) + ": ";
    switch (info.access) {
        case PortAccess::NoPath:
            return TrFormat(LinkText::PortTooHigh, head);
        case PortAccess::Missing:
            if (info.path.rfind(platform::kUnassignedPortPrefix, 0) == 0) return TrFormat(LinkText::PortUnassigned, head);
            return TrFormat(LinkText::PortMissing, head, info.path);
        case PortAccess::Usable:
            return head + info.path + (info.device.empty() ? "" : " (" + info.device + ")");
        case PortAccess::NoPermission:
            return TrFormat(LinkText::PortNoPermission, head,
                            info.path + (info.device.empty() ? "" : " (" + info.device + ")"),
                            PermissionAdvice(info.path));
        case PortAccess::Unusable:
            return TrFormat(LinkText::PortUnusable, head, info.path, std::strerror(info.error));
    }
    return head;
}

}  // namespace tovrel
