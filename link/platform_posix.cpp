// POSIX side of the platform layer (Linux): rename(2) for replacing files,
// /proc/self/exe for the program's directory, /dev/tty* devices for ports.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "Platform.h"

namespace tovrel::platform {
namespace fs = std::filesystem;

namespace {

void SetError(std::string* error, int err) {
    if (error) *error = std::strerror(err != 0 ? err : EIO);
}

}  // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

std::FILE* CreateFileBeside(const std::string& target, std::string& temp_path, std::string* error) {
    fs::path t(target);
    fs::path dir = t.has_parent_path() ? t.parent_path() : fs::path(".");
    std::string name = (dir / ("." + t.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        SetError(error, errno);
        return nullptr;
    }
    ::fchmod(fd, 0644);
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) {
        int err = errno;
        ::close(fd);
        ::unlink(name.c_str());
        SetError(error, err);
        return nullptr;
    }
    temp_path = name;
    return f;
}

bool SyncAndClose(std::FILE* file, std::string* error) {
    int err = 0;
    if (std::fflush(file) != 0) err = errno;
    if (err == 0 && ::fsync(::fileno(file)) != 0) err = errno;
    if (std::fclose(file) != 0 && err == 0) err = errno;
    if (err != 0) SetError(error, err);
    return err == 0;
}

bool MoveFileOver(const std::string& from, const std::string& to, std::string* error) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    SetError(error, errno);
    ::unlink(from.c_str());
    return false;
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

FileStatus StatFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {std::strerror(errno), false, 0};
    return {"", S_ISREG(st.st_mode), static_cast<std::uint64_t>(st.st_size)};
}

std::FILE* OpenRegularFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) ::close(fd);
    return f;
}

bool IsRegularFile(std::FILE* file) {
    struct stat st {};
    return ::fstat(::fileno(file), &st) == 0 && S_ISREG(st.st_mode);
}

fs::path ProgramDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && exe.has_parent_path()) return exe.parent_path();
    return fs::current_path(ec);
}

fs::path UserDataDirectory() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') return fs::path(xdg) / "tovrel-terminal";
    const char* home = std::getenv("HOME");
    if (home && *home) return fs::path(home) / ".local" / "share" / "tovrel-terminal";
    std::error_code ec;
    return fs::temp_directory_path(ec) / "tovrel-terminal";
}

bool IsWritable(const fs::path& dir) { return ::access(dir.c_str(), W_OK) == 0; }

// Port numbers without a port directory:
//   1..32    /dev/ttyS0 .. /dev/ttyS31      (COM1 is the first built-in port)
//   33..132  /dev/ttyUSB0 .. /dev/ttyUSB99  (USB serial adapters)
//   133..232 /dev/ttyACM0 .. /dev/ttyACM99  (USB modem-class adapters)
//   233..254 any other /dev/ttyS*, ttyUSB* or ttyACM* device present, in
//            name order, so that every such device has some number.
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

std::optional<std::string> PortPath(int number, const std::string& port_dir) {
    if (number < 0 || number > kMaxPortNumber) return std::nullopt;
    if (!port_dir.empty()) return (fs::path(port_dir) / ("COM" + std::to_string(number))).string();
    for (const auto& r : kFixed) {
        if (number >= r.first && number < r.first + r.count) return r.prefix + std::to_string(number - r.first);
    }
    if (number >= kOverflowFirst && number <= kOverflowLast) {
        auto extra = OverflowDevices();
        std::size_t i = static_cast<std::size_t>(number - kOverflowFirst);
        if (i < extra.size()) return extra[i];
    }
    return kUnassignedPortPrefix + std::to_string(number);
}

bool PortPresent(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

int PortAccessError(const std::string& path) {
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0) return 0;
    return errno;
}

}  // namespace tovrel::platform
