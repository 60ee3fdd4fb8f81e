// The backup before a firmware update, against the simulated variator paced
// like a real 9600-baud line, all figures from one run:
// - the backup's read (the whole configuration read into a copy of its own
//   and saved as a restore point) as a ratio to a plain read-all
//   (ReadAllData into the editor) of the same variator; target <= 1.05;
// - the whole update of a small image (default 4096 bytes) with the backup,
//   the reconnection read, the compare and the restore (write, commit, read
//   back) as a ratio to the same update without backup and restore.
// Arguments: rounds of the read pair (default 3), image bytes (default 4096).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "DeviceConfiguration.h"
#include "ImageCanvas.h"
#include "Program.h"
#include "RestoreFlow.h"
#include "StoredScreen.h"
#include "Variator.h"

namespace {

// Answers the file dialog with the image and says yes to the restore offer.
class BenchScreen : public tovrel::StoredScreen {
public:
    std::string file;
    std::optional<std::string> ChooseFile(std::string_view, tovrel::FileDialogMode, std::string_view) override {
        return file;
    }
    bool Confirm(std::string_view) override { return true; }
    void ShowMessage(std::string_view) override {}
};

void RealSleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

double Ms(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

tovrel::sim::Configuration Sample() {
    tovrel::sim::Configuration c;
    for (std::size_t i = 0; i < 80; ++i) {
        c.maps[0][i] = static_cast<std::int16_t>(900 + i);
        c.maps[1][i] = static_cast<std::int16_t>(200 + i);
        c.maps[2][i] = static_cast<std::int16_t>(i);
        c.maps[3][i] = static_cast<std::int16_t>(100 - i);
    }
    c.tps_min = 300;
    c.tps_max = 900;
    c.start_timeout = 5;
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const long size = argc > 2 ? std::atol(argv[2]) : 4096;
    if (size < 4 || size % 4 != 0 || size > static_cast<long>(tovrel::FirmwareImageCapacity)) {
        std::fprintf(stderr, "bench_restore: the image size must be a multiple of 4 up to 262144 bytes\n");
        return 2;
    }
    tovrel::bench::PortDir ports;
    const std::string& dir = ports.path();
    BenchScreen screen;
    screen.file = dir + "/bench.evf0";
    {
        std::vector<char> image(static_cast<std::size_t>(size));
        std::mt19937 rng(17);
        for (auto& b : image) b = static_cast<char>(rng());
        std::ofstream(screen.file, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
    }
    tovrel::sim::Options o = tovrel::bench::PacedSimOptions(dir);
    o.flash_clears_eeprom = true;  // the restore has something to do
    tovrel::sim::Variator device(o);
    device.SetWorking(Sample());
    device.SetEeprom(Sample());
    device.Start();

    tovrel::ImageCanvas canvas{200, 100};
    tovrel::Program program(screen, canvas);
    program.link.port_dir = dir;
    program.link.default_port_dir = dir;
    program.link.sleep_ms = RealSleep;
    program.settings.program_dir = dir;
    program.restore_points = std::make_unique<tovrel::RestorePointStore>(std::filesystem::path(dir) / "points");
    if (program.link.Connect(1, false) != 1) {
        std::fprintf(stderr, "bench_restore: no variator\n");
        return 1;
    }
    program.link.DeviceMode = 1;
    program.link.SaveDefaultPort(1);
    tovrel::InitMapControls(screen);
    tovrel::InitConfigurationControls(screen);
    tovrel::InitFirmwarePage(screen);

    // The read pair, alternating so that both see the same line.
    std::vector<double> plain, backup;
    int failed = 0;
    for (int r = 0; r < rounds; ++r) {
        plain.push_back(Ms([&] {
            if (!tovrel::ReadAllData(program.link, program.maps).Ok()) ++failed;
        }));
        backup.push_back(Ms([&] {
            const auto read = tovrel::ReadDeviceConfiguration(program.link);
            if (!read.configuration || !program.restore_points->Save(*read.configuration, "bench", nullptr)) ++failed;
        }));
    }
    const double read_ratio = Median(backup) / Median(plain);
    std::printf("rounds: %d; plain read-all: median %.0f ms; backup read and save: median %.0f ms\n", rounds,
                Median(plain), Median(backup));
    std::printf("backup read ratio: %.3f (target <= 1.05)\n", read_ratio);

    // The whole update, without and with the backup and restore.
    auto update = [&](bool with) {
        program.backup_before_update = with;
        program.offer_restore_after_update = with;
        device.SetWorking(Sample());
        device.SetEeprom(Sample());
        const double ms = Ms([&] { program.firmware.FirmwareFileSelectButtonClick(); });
        if (!program.firmware.Confirmed() || !program.link.IsConnected()) ++failed;
        return ms;
    };
    const double without = update(false);
    const double with = update(true);
    const bool restored = device.Eeprom() == Sample();
    if (!restored) ++failed;
    std::printf("update of %ld bytes: without backup %.0f ms; with backup, compare and restore %.0f ms "
                "(EEPROM restored: %s)\n",
                size, without, with, restored ? "yes" : "no");
    std::printf("update ratio with / without: %.3f\n", with / without);
    program.link.Disconnect();
    return failed == 0 ? 0 : 1;
}
