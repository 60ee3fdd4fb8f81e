// Commands of the whole configuration: read it from the variator (and keep
// it in a file), write a file into the variator with the EEPROM commits.
#include <cstdio>
#include <iostream>
#include <memory>

#include "Cli.h"
#include "ConfigFile.h"
#include "ConfigurationReadWrite.h"
#include "NumberText.h"

namespace tovrel::cli {

namespace {

constexpr int kMaxTimeout = 65535;

void PrintMap(const TimingMaps& maps, MapKind kind) {
    const auto* c = FindMapControls(kind);
    const auto& map = maps[kind];
    const bool advance = IsAdvanceMap(kind);
    std::cout << MapKindName(kind) << (advance ? " (degrees; rpm = column + row)" : " (percent; pedal position = column + row)")
              << '\n';
    std::printf("%6s", "");
    for (int col = 0; col < 8; ++col) std::printf("%8d", col * c->column_header_step * (advance ? 1 : 10));
    std::printf("\n");
    for (int row = 0; row < 10; ++row) {
        std::printf("%6d", row * c->row_header_step);
        for (int col = 0; col < 8; ++col)
            std::printf("%8s", FormatGeneral(map.y[static_cast<std::size_t>(col * 10 + row)]).c_str());
        std::printf("\n");
    }
    std::fflush(stdout);
}

void PrintOptions(const DeviceOptions& o) {
    char caps[8];
    std::snprintf(caps, sizeof caps, "0x%04X", o.DeviceCapabilities.word);
    std::cout << "Timer division: " << o.TimerDivision << "\nCapability word: " << caps
              << (o.DeviceCapabilities.KeepsLogs() ? " (keeps logs)" : "")
              << "\nLowest engine speed: " << o.LowestMotorRpm << " rpm\n";
}

void PrintParameters(Screen& screen) {
    const SettingsPage page(screen);
    std::cout << "Start timeout: " << page.StartTimeout().Text() << " s\n"
              << "TPS ADC at minimum load: " << page.TpsMinimum().Text() << '\n'
              << "TPS ADC at maximum load: " << page.TpsMaximum().Text() << '\n';
}

int Read(Context& ctx, const std::string& out) {
    if (!ctx.ConnectNormal()) return 1;
    MapsState& state = ctx.program.maps;
    SettingsState& settings = ctx.program.settings;
    InitMapControls(ctx.screen);
    InitConfigurationControls(ctx.screen);
    TransferTally tally = ReadDeviceOptions(ctx.link, settings);
    const bool options_ok = tally.Ok();
    tally += ReadAllData(ctx.link, state);
    const bool read_ok = options_ok && tally.completed && tally.failed == 0;

    PrintOptions(settings.options);
    for (auto kind : kMapKinds) PrintMap(state.document.Maps(), kind);
    PrintParameters(ctx.screen);
    if (!read_ok) {
        std::cerr << "tovrel-cli: " << tally.failed << " of " << tally.exchanges << " exchanges failed\n";
        if (!out.empty()) std::cerr << "tovrel-cli: " << out << " not written\n";
        return 1;
    }
    if (!out.empty()) {
        const auto& m = state.document.Maps();
        if (!SaveConfigurationFile(ctx.screen, out, m.LPG, m.Petrol, m.LPGLoadDependence, m.PetrolLoadDependence))
            return 1;
        std::cout << "Saved " << out << '\n';
    }
    return 0;
}

int Write(Context& ctx, const std::string& file, std::optional<int> timeout, const std::string& map,
          bool commit_anyway) {
    // The whole file is read and checked before the port is even opened.
    std::string why;
    const auto content = ReadConfigurationFile(file, &why);
    if (!content) {
        ctx.screen.ShowError(why);
        return 1;
    }
    if (!map.empty()) {
        // One map into the working memory, as its write button does: no
        // start timeout, no commit.
        const auto kind = ParseMapKind(map);
        if (!kind) {
            std::cerr << "tovrel-cli: no map named " << map << '\n';
            return 2;
        }
        if (!ctx.ConnectNormal()) return 1;
        MapsState& one = ctx.program.maps;
        ApplyConfiguration(one.document, *content);
        InitMapControls(ctx.screen);
        const auto tally = PreviouselyWriteMapClick(ctx.link, one, *kind);
        if (!tally.Ok()) {
            std::cerr << "tovrel-cli: " << tally.failed << " of " << tally.exchanges << " exchanges failed\n";
            return 1;
        }
        std::cout << "Wrote the " << MapKindName(*kind) << " map of " << file << " into the working memory (not committed)\n";
        return 0;
    }
    if (!timeout) {
        const auto from_file = content->timeout ? ParseInteger(*content->timeout) : std::nullopt;
        if (!from_file || *from_file < 0 || *from_file > kMaxTimeout) {
            std::cerr << "tovrel-cli: " << file << " holds no start timeout of 0 to " << kMaxTimeout
                      << " seconds (Timeout=\"" << content->timeout.value_or("") << "\"); give --timeout S\n";
            return 2;
        }
        timeout = from_file;
    }
    if (!ctx.ConnectNormal()) return 1;
    MapsState& state = ctx.program.maps;
    ApplyConfiguration(state.document, *content);
    InitMapControls(ctx.screen);
    InitConfigurationControls(ctx.screen);
    SettingsPage(ctx.screen).StartTimeout().SetText(std::to_string(*timeout));
    ctx.screen.confirm_answer = commit_anyway;
    const auto tally = WriteAllData(ctx.link, state);
    if (!tally.Ok()) {
        std::cerr << "tovrel-cli: " << tally.failed << " of " << tally.exchanges << " exchanges failed"
                  << (tally.committed ? "; committed to EEPROM all the same (--commit-anyway)"
                                      : "; nothing was committed")
                  << '\n';
        return 1;
    }
    std::cout << "Wrote " << file << ": 4 maps, start timeout " << *timeout << " s, committed to EEPROM\n";
    return 0;
}

}  // namespace

void RegisterConfigCommands(CLI::App& app, Context& ctx) {
    auto out = std::make_shared<std::string>();
    auto* read = app.add_subcommand(
        "read", "Read the device options and the whole configuration; print the maps and parameters");
    read->add_option("--out", *out, "Also save the configuration as an XML file");
    read->callback([&ctx, out] { ctx.run = [&ctx, out] { return Read(ctx, *out); }; });

    struct WriteArgs {
        std::string file;
        int timeout = 0;
        std::string map;
        bool commit_anyway = false;
    };
    auto args = std::make_shared<WriteArgs>();
    auto* write = app.add_subcommand(
        "write", "Write a configuration file into the variator and commit it to EEPROM");
    write->add_option("file", args->file, "XML configuration file")->required();
    auto* timeout_opt = write->add_option("--timeout", args->timeout, "Start timeout in seconds (default: the file's)")
                            ->check(CLI::Range(0, kMaxTimeout));
    write->add_option("--map", args->map,
                      "Write only this map (LPG, Petrol, LPGLoadDependence or PetrolLoadDependence) into the "
                      "working memory, without the start timeout and without a commit");
    write->add_flag("--commit-anyway", args->commit_anyway,
                    "Commit to EEPROM even when some values stay unconfirmed (default: refuse)");
    write->callback([&ctx, timeout_opt, args] {
        ctx.run = [&ctx, timeout_opt, args] {
            return Write(ctx, args->file, *timeout_opt ? std::optional<int>(args->timeout) : std::nullopt, args->map,
                         args->commit_anyway);
        };
    });
}

}  // namespace tovrel::cli
