#include <iostream>

#include "Cli.h"

namespace tovrel::cli {

bool Context::ConnectDevice() {
    link.ShowConnectionState(state::Disconnected);
    if (port) {
        auto r = link.Connect(*port, true);
        link.DeviceMode = static_cast<std::uint8_t>(r);
        return r != 0;
    }
    return link.ConnectAtStart();
}

bool Context::ConnectNormal() {
    if (!ConnectDevice()) return false;
    if (!link.IsConnected()) {
        std::cerr << "tovrel-cli: the variator is not in its normal firmware (mode " << int(link.DeviceMode) << ")\n";
        return false;
    }
    return true;
}

std::optional<long> ParseNumber(const std::string& text) {
    try {
        std::size_t used = 0;
        long v = std::stol(text, &used, 0);
        if (used != text.size()) return std::nullopt;
        return v;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace tovrel::cli
