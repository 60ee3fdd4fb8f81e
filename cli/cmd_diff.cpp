// The diff command: two configuration files, or a file and the variator.
#include <iostream>
#include <memory>

#include "Cli.h"
#include "ConfigurationCompare.h"
#include "DeviceConfiguration.h"
#include "NumberText.h"
#include "RestorePoints.h"

namespace tovrel::cli {

namespace {

// Exit statuses of diff.
constexpr int kEqual = 0;
constexpr int kDiffer = 1;
constexpr int kError = 2;

std::optional<Configuration> ReadFile(const std::string& file) {
    std::string why;
    auto point = ReadRestorePoint(file, &why);
    if (!point) {
        std::cerr << "tovrel-cli: " << why << '\n';
        return std::nullopt;
    }
    return point->configuration;
}

std::string Shown(const std::optional<std::string>& v) { return v ? *v : "(none)"; }

const char* ParameterLabel(ConfigParameter which) {
    switch (which) {
        case ConfigParameter::StartTimeout: return "Start timeout";
        case ConfigParameter::TpsMinimum: return "TPS ADC at minimum load";
        case ConfigParameter::TpsMaximum: return "TPS ADC at maximum load";
    }
    return "?";
}

}  // namespace

// Prints every point and parameter that differs, `a` to `b`.
void PrintDifference(const ConfigurationDiff& diff, const std::string& a, const std::string& b) {
    TimingMaps axes;
    InitTimingMaps(axes);
    std::cout << "--- " << a << "\n+++ " << b << '\n';
    for (const auto& m : diff.maps) {
        if (m.Equal()) {
            std::cout << MapKindName(m.kind) << ": equal\n";
            continue;
        }
        std::cout << MapKindName(m.kind) << ": " << m.points.size() << " of " << MapPointCount
                  << " points differ, largest " << FormatGeneral(m.largest) << ", mean " << FormatGeneral(m.mean)
                  << '\n';
        for (const auto& p : m.points)
            std::cout << "  point " << p.point + 1 << " (" << (IsAdvanceMap(m.kind) ? "rpm " : "pedal ")
                      << FormatGeneral(axes[m.kind].x[static_cast<std::size_t>(p.point)]) << "): "
                      << FormatGeneral(p.ours) << " -> " << FormatGeneral(p.theirs) << '\n';
    }
    for (const auto& p : diff.parameters)
        std::cout << ParameterLabel(p.which) << ": " << Shown(p.ours) << " -> " << Shown(p.theirs) << '\n';
    std::cout << (diff.Equal() ? "equal\n" : "differ\n");
}

namespace {

int Diff(Context& ctx, const std::string& a, const std::string& b, bool device) {
    if (device == !b.empty()) {
        std::cerr << "tovrel-cli: diff compares A.xml with B.xml or with --device\n";
        return kError;
    }
    const auto ours = ReadFile(a);
    if (!ours) return kError;
    std::optional<Configuration> theirs;
    std::string name = b;
    if (device) {
        if (!ctx.ConnectNormal()) return kError;
        auto read = ReadDeviceConfiguration(ctx.link);
        if (!read.configuration) {
            std::cerr << "tovrel-cli: the configuration was not read from the variator (" << read.tally.failed
                      << " of " << read.tally.exchanges << " exchanges failed)\n";
            return kError;
        }
        theirs = std::move(read.configuration);
        name = "device (COM" + std::to_string(ctx.link.OpenPortNumber()) + ")";
    } else {
        theirs = ReadFile(b);
        if (!theirs) return kError;
    }
    const auto diff = CompareConfigurations(*ours, *theirs);
    PrintDifference(diff, a, name);
    return diff.Equal() ? kEqual : kDiffer;
}

}  // namespace

void RegisterDiffCommands(CLI::App& app, Context& ctx) {
    struct DiffArgs {
        std::string a, b;
        bool device = false;
    };
    auto args = std::make_shared<DiffArgs>();
    auto* diff = app.add_subcommand(
        "diff", "Compare a configuration file (or restore point) with another one or with the variator; "
                "exit 0 when equal, 1 when they differ, 2 on an error");
    diff->add_option("a", args->a, "Configuration file")->required();
    diff->add_option("b", args->b, "The other configuration file");
    diff->add_flag("--device", args->device, "Compare with the variator's configuration (a fresh read)");
    diff->callback([&ctx, args] { ctx.run = [&ctx, args] { return Diff(ctx, args->a, args->b, args->device); }; });
}

}  // namespace tovrel::cli
