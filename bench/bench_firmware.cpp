// A firmware update of a 64 KiB image into the simulated variator paced like
// a real 9600-baud line, with the update's real pauses. Prints the total
// time as a ratio to the line time of every image byte sent and answered
// (2 x 65536 bytes of 10 bits at 9600 baud) plus the update's fixed pauses
// (3000 ms after the file check, 500 ms before stages 1, 2, 4 and 5,
// length / 32 ms before each packet, 2000 ms at the end). Target: 1.02 or less.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "BenchSupport.h"
#include "Firmwareupdate.h"
#include "StoredScreen.h"
#include "Variator.h"

namespace {

// Answers the file dialog with the benchmark's image.
class BenchScreen : public tovrel::StoredScreen {
public:
    std::string file;
    std::optional<std::string> ChooseFile(std::string_view, tovrel::FileDialogMode, std::string_view) override { return file; }
};

void RealSleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

int main(int argc, char** argv) {
    const long arg = argc > 1 ? std::atol(argv[1]) : 65536;
    if (arg < 1 || arg > static_cast<long>(tovrel::FirmwareImageCapacity)) {
        std::fprintf(stderr, "bench_firmware: the image size must be 1..262144 bytes\n");
        return 2;
    }
    const auto size = static_cast<std::uint32_t>(arg);
    tovrel::bench::PortDir ports;
    const std::string& dir = ports.path();

    std::vector<std::uint8_t> image(size);
    std::mt19937 rng(2024);
    for (auto& b : image) b = static_cast<std::uint8_t>(rng());
    BenchScreen screen;
    screen.file = dir + "/bench.evf0";
    {
        std::ofstream out(screen.file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }

    int status = 0;
    {
        tovrel::sim::Options o;
        o.port_dir = dir;
        o.port_number = 1;
        o.paced = true;
        tovrel::sim::Variator device(o);
        device.Start();
        tovrel::DeviceLink link(screen);
        link.port_dir = dir;
        link.default_port_dir = dir;
        link.sleep_ms = RealSleep;
        if (link.Connect(1, false) != 1) {
            std::fprintf(stderr, "bench_firmware: no variator\n");
            return 1;
        }
        link.DeviceMode = 1;
        link.SaveDefaultPort(1);

        tovrel::FirmwareUpdate update(link);
        long requested_ms = 0;
        update.sleep_ms = [&](int ms) {
            requested_ms += ms;
            RealSleep(ms);
        };

        const auto start = std::chrono::steady_clock::now();
        update.RunFirmwareUpdate();
        const double total_ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

        const double byte_ms = 10 * 1000.0 / 9600.0;
        const double line_ms = 2.0 * size * byte_ms;
        double pauses_ms = 3000 + 4 * 500 + 2000;
        for (std::uint32_t left = size; left > 0;) {
            const std::uint32_t length = std::min(left, tovrel::FirmwarePacketSize);
            pauses_ms += length / 32;
            left -= length;
        }
        const auto held = device.LoaderImage();
        const bool exact = held == image;
        if (!exact) std::fprintf(stderr, "bench_firmware: the loader holds %zu bytes\n", held.size());
        std::printf("image: %u bytes; confirmed: %s; held exactly by the loader: %s\n", size,
                    update.Confirmed() ? "yes" : "no", exact ? "yes" : "no");
        std::printf("total: %.0f ms; line time: %.0f ms; fixed pauses: %.0f ms (requested by the update: %ld ms)\n",
                    total_ms, line_ms, pauses_ms, requested_ms);
        std::printf("ratio: %.4f (target <= 1.02)\n", total_ms / (line_ms + pauses_ms));
        status = update.Confirmed() && exact ? 0 : 1;
    }
    return status;
}
