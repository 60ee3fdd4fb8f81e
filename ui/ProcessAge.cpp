#include "ProcessAge.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <exception>
#include <fstream>
#include <sstream>
#include <string>
#endif

namespace tovrel::ui {

long long ProcessAgeMs() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user, now;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
    ::GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<long long>((ticks(now) - ticks(created)) / 10000);  // 100 ns units
#else
    // The start in clock ticks after boot (the 22nd field, after the
    // parenthesised name), against the time since boot.
    std::ifstream stat("/proc/self/stat"), uptime_file("/proc/uptime");
    std::string line;
    double uptime = 0;
    if (!std::getline(stat, line) || !(uptime_file >> uptime)) return -1;
    const auto close = line.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    int next = 3;  // the number of the field read next
    while (next <= 22 && fields >> field) ++next;
    const long hz = ::sysconf(_SC_CLK_TCK);
    if (next != 23 || hz <= 0) return -1;
    try {
        return static_cast<long long>(uptime * 1000) - std::stoll(field) * 1000 / hz;
    } catch (const std::exception&) {
        return -1;
    }
#endif
}

}  // namespace tovrel::ui
