// Commands of the firmware update: flash.
#include <algorithm>
#include <cctype>
#include <csignal>
#include <iostream>
#include <memory>

#include "Cli.h"
#include "ConfigurationReadWrite.h"
#include "Firmwareupdate.h"
#include "RestoreFlow.h"

namespace tovrel::cli {

namespace {

bool IsImageName(const std::string& path) {
    constexpr std::string_view ext = ".evf0";
    if (path.size() <= ext.size()) return false;
    return std::equal(ext.rbegin(), ext.rend(), path.rbegin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

volatile std::sig_atomic_t g_flash_interrupts = 0;

// Only counts: the update's message pump acts on the count. After the second
// press the default action is back, so that a third one ends the program at
// once should the update not come to its pump.
extern "C" void OnFlashInterrupt(int) {
    g_flash_interrupts = g_flash_interrupts + 1;
    if (g_flash_interrupts >= 2) std::signal(SIGINT, SIG_DFL);
}

// While it lives, Ctrl+C cannot break the update off in the middle of a
// packet: the first press only says why the update goes on, the second asks
// the update to stop, which it does at its next step and says what that
// leaves the variator in.
class FlashInterrupts {
public:
    FlashInterrupts(TerminalScreen& screen, FirmwareUpdate& update) : screen_(screen) {
        g_flash_interrupts = 0;
        old_ = std::signal(SIGINT, OnFlashInterrupt);
        screen_.on_pump = [this, &update] {
            const int presses = g_flash_interrupts;
            if (presses >= 1 && !warned_) {
                warned_ = true;
                std::cerr << "tovrel-cli: the firmware update cannot be interrupted safely: the variator would stay "
                             "in its loader with an incomplete firmware. The update goes on; press Ctrl+C again to "
                             "end it all the same.\n";
            }
            if (presses >= 2 && !stopped_) {
                stopped_ = true;
                std::cerr << "tovrel-cli: ending the firmware update\n";
                update.RequestStop();
            }
        };
    }
    ~FlashInterrupts() {
        screen_.on_pump = nullptr;
        std::signal(SIGINT, old_ == SIG_ERR ? SIG_DFL : old_);
    }
    FlashInterrupts(const FlashInterrupts&) = delete;
    FlashInterrupts& operator=(const FlashInterrupts&) = delete;

private:
    TerminalScreen& screen_;
    void (*old_)(int) = SIG_DFL;
    bool warned_ = false;
    bool stopped_ = false;
};

int Flash(Context& ctx, const std::string& path, bool beep, bool force, bool no_backup) {
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
    // The configuration is read and kept before the variator is switched;
    // a failed read ends the update unless --no-backup said to go without.
    ctx.program.backup_before_update = !no_backup;
    ctx.program.flash_without_backup = [] {
        std::cerr << "tovrel-cli: the configuration could not be read for a backup; the variator was not switched "
                     "(--no-backup flashes without one)\n";
        return false;
    };
    ctx.program.offer_restore_after_update = false;
    InitFirmwarePage(ctx.screen);
    ctx.screen.next_file_choice = path;
    {
        FlashInterrupts interrupts(ctx.screen, update);
        update.FirmwareFileSelectButtonClick();
    }

    if (update.Confirmed()) {
        std::cout << "firmware updated: " << update.image.size << " bytes confirmed by the loader on COM"
                  << update.LoaderPortNumber() << '\n';
    } else {
        std::cout << "firmware not updated\n";
    }
    if (ctx.link.OpenPortNumber() != 0) {
        std::cout << "reconnected: COM" << ctx.link.OpenPortNumber() << ", state " << ctx.link.ConnectionState()
                  << '\n';
    } else {
        std::cout << "not reconnected\n";
    }
    std::cout << (configuration_read ? "configuration read\n" : "configuration not read\n");
    if (const auto& backup = ctx.program.update_backup) {
        std::cout << "backup: " << backup->string() << '\n';
        if (configuration_read && ctx.program.update_backup_configuration) {
            const auto diff =
                CompareConfigurations(EditorConfiguration(ctx.program), *ctx.program.update_backup_configuration);
            if (diff.Equal()) {
                std::cout << "the configuration equals the backup\n";
            } else {
                PrintDifference(diff, "device", backup->string());
                std::cout << "the configuration differs from the backup; restore it with: tovrel-cli write "
                          << backup->string() << '\n';
            }
        }
    }

    // Success is the variator back in its normal firmware, not only the
    // loader's word for it.
    const bool back = ctx.link.IsConnected();
    if (update.Interrupted()) {
        std::cerr << "tovrel-cli: the firmware update did not complete: the variator stays in its loader; flash "
                     "the same image again to recover it\n";
    } else if (!update.Confirmed()) {
        std::cerr << "tovrel-cli: the firmware was not updated; the update log above says where it stopped\n";
    } else if (!back) {
        std::cerr << "tovrel-cli: the loader confirmed the firmware, but the variator did not come back in its "
                     "normal firmware"
                  << (ctx.link.ConnectionState() == state::FirmwareUpdate ? ": it stays in its loader" : "") << '\n';
    }
    return update.Confirmed() && back ? 0 : 1;
}

}  // namespace

void RegisterFirmwareCommands(CLI::App& app, Context& ctx) {
    struct FlashArgs {
        std::string image;
        bool beep = false;
        bool force = false;
        bool no_backup = false;
    };
    auto args = std::make_shared<FlashArgs>();
    auto* flash = app.add_subcommand(
        "flash", "Replace the variator's firmware with an image through its loader, then reconnect and read the configuration");
    flash->add_option("image", args->image, "Firmware image file (*.evf0)")->required();
    flash->add_flag("--beep", args->beep, "Ring the terminal bell at the end of the update");
    flash->add_flag("--force", args->force,
                    "Send an image that cannot be a whole firmware all the same (a size that is not a multiple of 4, "
                    "or longer than 262144 bytes: its first 262144 bytes); an empty image is always refused");
    flash->add_flag("--no-backup", args->no_backup,
                    "Do not read and keep the configuration before the update (by default it is saved as a restore "
                    "point whose path is printed; restore it with write)");
    flash->callback([&ctx, args] {
        ctx.run = [&ctx, args] { return Flash(ctx, args->image, args->beep, args->force, args->no_backup); };
    });
}

}  // namespace tovrel::cli
