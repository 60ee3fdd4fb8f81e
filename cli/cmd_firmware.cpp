// Commands of the firmware update: flash.
#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>

#include "Cli.h"
#include "ConfigurationReadWrite.h"
#include "Firmwareupdate.h"

namespace tovrel::cli {

namespace {

bool IsImageName(const std::string& path) {
    constexpr std::string_view ext = ".evf0";
    if (path.size() <= ext.size()) return false;
    return std::equal(ext.rbegin(), ext.rend(), path.rbegin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

int Flash(Context& ctx, const std::string& path, bool beep, bool force) {
    if (!IsImageName(path)) {
        std::cerr << "tovrel-cli: a firmware image is a .evf0 file: " << path << '\n';
        return 2;
    }
    // The mode found decides whether the running firmware is asked to hand
    // over to its loader; a variator already in its loader is simply found.
    ctx.ConnectDevice();
    // The loader search starts on the remembered port: make it the one asked for.
    if (ctx.port && ctx.link.OpenPortNumber() == *ctx.port && *ctx.port <= 255)
        ctx.link.SaveDefaultPort(static_cast<std::uint8_t>(*ctx.port));

    FirmwareUpdate& update = ctx.program.firmware;
    ctx.program.FirmwareBeepEnabled = beep;
    // An image that cannot be a whole firmware goes only with --force.
    ctx.screen.confirm_answer = force;
    // After the reconnection: the device options, then the whole configuration.
    bool configuration_read = false;
    update.read_configuration = [&] {
        InitMapControls(ctx.screen);
        InitConfigurationControls(ctx.screen);
        configuration_read = ctx.program.ReadConfiguration();
    };
    InitFirmwarePage(ctx.screen);
    ctx.screen.next_file_choice = path;
    update.FirmwareFileSelectButtonClick();

    if (update.Confirmed()) {
        std::cout << "firmware updated: " << update.image.size << " bytes confirmed by the loader on COM"
                  << update.LoaderPortNumber() << '\n';
    } else {
        std::cout << "firmware not updated\n";
        std::cerr << "tovrel-cli: the firmware was not updated; the update log above says where it stopped\n";
    }
    if (ctx.link.OpenPortNumber() != 0) {
        std::cout << "reconnected: COM" << ctx.link.OpenPortNumber() << ", state " << ctx.link.ConnectionState()
                  << '\n';
    } else {
        std::cout << "not reconnected\n";
    }
    std::cout << (configuration_read ? "configuration read\n" : "configuration not read\n");
    return update.Confirmed() ? 0 : 1;
}

}  // namespace

void RegisterFirmwareCommands(CLI::App& app, Context& ctx) {
    struct FlashArgs {
        std::string image;
        bool beep = false;
        bool force = false;
    };
    auto args = std::make_shared<FlashArgs>();
    auto* flash = app.add_subcommand(
        "flash", "Replace the variator's firmware with an image through its loader, then reconnect and read the configuration");
    flash->add_option("image", args->image, "Firmware image file (*.evf0)")->required();
    flash->add_flag("--beep", args->beep, "Ring the terminal bell at the end of the update");
    flash->add_flag("--force", args->force,
                    "Send an image that cannot be a whole firmware all the same (a size that is not a multiple of 4, "
                    "or longer than 262144 bytes: its first 262144 bytes); an empty image is always refused");
    flash->callback(
        [&ctx, args] { ctx.run = [&ctx, args] { return Flash(ctx, args->image, args->beep, args->force); }; });
}

}  // namespace tovrel::cli
