#pragma once
// What stands behind a port number: for the port box's entries and for the
// messages when a port cannot be opened.
//
// A device file that exists but that this user may not open is not "no
// device": on Linux serial adapters belong to the group `dialout`, and a
// user outside it gets "permission denied". The description says so and how
// to fix it. Nothing here opens a port (an open toggles the modem lines, and
// some boards reset on that); access is judged by the file's permissions.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tovrel {

enum class PortAccess {
    NoPath,        // the number has no device path
    Missing,       // nothing at the path
    Usable,        // exists and may be opened for reading and writing
    NoPermission,  // exists, but this user may not open it
    Unusable,      // exists, but cannot be opened for another reason
};

// Returns 0 when `path` may be opened for reading and writing, otherwise the
// errno value that says why not (ENOENT when it does not exist). The default
// asks the file system for the effective user's rights.
using PortAccessCheck = std::function<int(const std::string& path)>;
int CheckPortAccess(const std::string& path);

struct PortInfo {
    int number = 0;
    std::string path;    // the path the number resolves to ("" without one)
    std::string device;  // what the path leads to: the link's target, a by-id name; "" when nothing
    PortAccess access = PortAccess::NoPath;
    int error = 0;       // the errno behind Unusable
};

PortInfo DescribePort(int number, const PortAccessCheck& check = CheckPortAccess);
// Ports 1..254.
std::vector<PortInfo> DescribePorts(const PortAccessCheck& check = CheckPortAccess);

// One line for the port box: "COM3: /dev/ttyUSB0 (usb-FTDI_FT232R-if00-port0)",
// "COM5: /dev/ttyS4 — не найден", with the advice for a denied port.
std::string PortSummary(const PortInfo& info);

// The advice for ports the user may not open ("/dev/ttyUSB0" or a list
// "/dev/ttyUSB0, /dev/ttyUSB1").
std::string PermissionAdvice(const std::string& paths);
// The advice when a port cannot be opened for lack of permission; nothing
// when the reason is another.
std::optional<std::string> OpenFailureAdvice(const std::string& path, const PortAccessCheck& check = CheckPortAccess);

}  // namespace tovrel
