// Commands of the device link: ports, probe, scan, exchange.
#include <iostream>
#include <memory>

#include "Cli.h"
#include "PortPath.h"

namespace tovrel::cli {

namespace {

const char* ModeName(int mode) {
    switch (mode) {
        case 1: return "normal firmware";
        case 2: return "firmware loader";
        case 3: return "oscilloscope firmware";
        default: return "no variator";
    }
}

int ReportMode(Context& ctx, bool found) {
    const int mode = ctx.link.DeviceMode;
    if (!found || mode == 0) {
        std::cout << "no variator found\n";
        return 1;
    }
    std::cout << "COM" << ctx.link.OpenPortNumber() << ": mode " << mode << " (" << ModeName(mode) << "), state "
              << ctx.link.ConnectionState() << '\n';
    return 0;
}

}  // namespace

void RegisterLinkCommands(CLI::App& app, Context& ctx) {
    auto* ports = app.add_subcommand("ports", "List port numbers, the paths they resolve to and which exist");
    auto show_all = std::make_shared<bool>(false);
    ports->add_flag("--all", *show_all, "Also list numbers whose device does not exist");
    ports->callback([&ctx, show_all] {
        ctx.run = [show_all] {
            for (const auto& p : ListPorts()) {
                if (!p.exists && !*show_all) continue;
                std::cout << "COM" << p.number << '\t' << p.path << '\t' << (p.exists ? "present" : "absent") << '\n';
            }
            return 0;
        };
    });

    auto* probe = app.add_subcommand("probe", "Connect and report the variator's mode");
    probe->callback([&ctx] { ctx.run = [&ctx] { return ReportMode(ctx, ctx.ConnectDevice()); }; });

    auto* scan = app.add_subcommand("scan", "Try ports 1 to 254 and report where the variator answers");
    scan->callback([&ctx] {
        ctx.run = [&ctx] {
            ctx.link.ShowConnectionState(state::Disconnected);
            return ReportMode(ctx, ctx.link.AutoConnect(1, 255));
        };
    });

    struct ExchangeArgs {
        std::string op, address, index, value;
        int attempts = 2;
    };
    auto args = std::make_shared<ExchangeArgs>();
    ExchangeArgs& ex = *args;
    auto* exchange = app.add_subcommand("exchange", "One request/reply exchange; prints the returned value");
    exchange->add_option("operation", ex.op, "read or write")->required()->check(CLI::IsMember({"read", "write"}));
    exchange->add_option("address", ex.address, "Address byte 0..255")->required();
    exchange->add_option("index", ex.index, "Index byte 0..255")->required();
    exchange->add_option("value", ex.value, "Signed 16-bit value (-32768..65535)")->required();
    exchange->add_option("--attempts", ex.attempts, "Attempts 1..127")->check(CLI::Range(1, 127));
    exchange->callback([&ctx, args] {
        ctx.run = [&ctx, args] {
            const ExchangeArgs& ex = *args;
            auto a = ParseNumber(ex.address), i = ParseNumber(ex.index), v = ParseNumber(ex.value);
            if (!a || *a < 0 || *a > 255 || !i || *i < 0 || *i > 255) {
                std::cerr << "tovrel-cli: address and index must be numbers from 0 to 255\n";
                return 2;
            }
            if (!v || *v < -32768 || *v > 65535) {
                std::cerr << "tovrel-cli: the value must be a number from -32768 to 65535\n";
                return 2;
            }
            if (!ctx.ConnectDevice()) return 1;
            const bool write = ex.op == "write";
            const auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(*v));
            const std::int16_t r = ctx.link.UARTdataExchangeForTovrel(
                write ? ExchangeOp::Write : ExchangeOp::Read, static_cast<std::uint8_t>(*a),
                static_cast<std::uint8_t>(*i), value, true, static_cast<std::int8_t>(ex.attempts));
            std::cout << r << '\n';
            return ctx.link.LastExchangeOk() ? 0 : 1;
        };
    });
}

}  // namespace tovrel::cli
