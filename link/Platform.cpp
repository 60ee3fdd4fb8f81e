// What the platform layer builds from its own parts, the same everywhere.
#include "Platform.h"

namespace tovrel::platform {

std::vector<PortEntry> ListPorts(const std::string& port_dir) {
    std::vector<PortEntry> out;
    for (int n = 1; n <= 254; ++n) {
        auto p = PortPath(n, port_dir);
        out.push_back({n, p.value_or(""), p && PortPresent(*p)});
    }
    return out;
}

}  // namespace tovrel::platform
