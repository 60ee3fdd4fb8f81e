#include "DeviceConfiguration.h"

#include "ConfigurationReadWrite.h"
#include "MapControls.h"

namespace tovrel {

namespace {
// The request values and attempts of the configuration read.
constexpr std::int16_t kMapReadRequest = 100;
constexpr std::int16_t kWordReadRequest = 1000;
constexpr std::int8_t kAttempts = 2;
}  // namespace

DeviceConfigurationRead ReadDeviceConfiguration(DeviceLink& link) {
    DeviceConfigurationRead out;
    if (!link.IsConnected()) return out;
    DeviceLink::LineHold hold(link, {ProcedureKind::Ordinary, "configuration backup read"});
    Screen& screen = link.screen();
    TransferTally& tally = out.tally;
    auto silent = [&] {
        if (!link.LineSilent()) return false;
        link.ReportLineSilent();
        return true;
    };
    auto exchange = [&](std::uint8_t address, std::uint8_t index, std::int16_t request) {
        const std::int16_t r =
            link.UARTdataExchangeForTovrel(ExchangeOp::Read, address, index, request, true, kAttempts);
        ++tally.exchanges;
        if (!link.LastExchangeOk()) ++tally.failed;
        return r;
    };
    Configuration c;
    for (MapKind kind : kMapKinds) {
        const auto* controls = FindMapControls(kind);
        auto& y = c.y[static_cast<std::size_t>(MapKindIndex(kind))];
        for (int i = 0; i < MapPointCount; ++i) {
            const std::int16_t r = exchange(controls->address, static_cast<std::uint8_t>(i), kMapReadRequest);
            y[static_cast<std::size_t>(i)] = link.LastExchangeOk() ? DecodeMapValue(kind, r) : UnreadMarker(kind);
            screen.Pump();
            if (silent()) return out;
        }
    }
    const auto timeout = exchange(config_address::StartTimeout, 0, kWordReadRequest);
    if (silent()) return out;
    const auto tps_min = static_cast<std::uint16_t>(exchange(config_address::TpsMinimum, 0, kWordReadRequest));
    if (silent()) return out;
    const auto tps_max = static_cast<std::uint16_t>(exchange(config_address::TpsMaximum, 0, kWordReadRequest));
    if (silent()) return out;
    c.timeout = std::to_string(timeout);
    c.tps_min = tps_min;
    c.tps_max = tps_max;
    tally.completed = true;
    if (tally.failed == 0) out.configuration = c;
    return out;
}

}  // namespace tovrel
