// The firmware update against a loader that answers with the fuzz input:
// whatever it answers, the update ends, and it counts as confirmed only when
// every byte of the image went out in order, in packets the loader answered.
#include <unistd.h>

#include <cstdlib>

#include <filesystem>
#include <fstream>

#include "FuzzSupport.h"
#include "Firmwareupdate.h"

using namespace tovrel;

namespace {

// Image files of a few sizes, made once: empty, one word, an odd size, one
// packet and a bit, a few packets.
constexpr std::size_t kSizes[] = {0, 4, 1022, 1028, 3 * 1024 + 8};
std::string g_dir;
std::vector<std::vector<std::uint8_t>> g_images;

std::string ImagePath(std::size_t k) { return g_dir + "/image" + std::to_string(k) + ".evf0"; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char tmpl[] = "/dev/shm/tovrel-fuzz-loader-XXXXXX";
    const char* made = ::mkdtemp(tmpl);
    g_dir = made ? made : "/tmp";
    for (std::size_t k = 0; k < std::size(kSizes); ++k) {
        std::vector<std::uint8_t> bytes(kSizes[k]);
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + k);
        std::ofstream(ImagePath(k), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<std::streamsize>(bytes.size()));
        g_images.push_back(std::move(bytes));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::size_t which = in.Byte() % std::size(kSizes);
    // One update object for every run: its image buffer is large.
    static fuzz::Input none(nullptr, 0);
    static fuzz::QuietScreen screen;
    static DeviceLink link(screen, std::make_unique<fuzz::InputPort>(none));  // ComPort: never opened
    static fuzz::InputPort* port = nullptr;
    static FirmwareUpdate* made = [] {
        link.sleep_ms = [](int) {};
        link.default_port_dir = g_dir;
        // Port numbers resolve to names in this directory without looking at /dev.
        link.port_dir = g_dir;
        auto loader = std::make_unique<fuzz::InputPort>(none);
        port = loader.get();
        auto* u = new FirmwareUpdate(link, std::move(loader));
        u->sleep_ms = [](int) {};
        return u;
    }();
    FirmwareUpdate& update = *made;
    screen.chosen = ImagePath(which);
    port->Bind(in);
    port->opens_left_ = 1 + in.Byte() % 2;  // the loader's port, and maybe one more that opens
    link.DeviceMode = 0;
    update.RunFirmwareUpdate();

    FUZZ_CHECK(!update.LoaderPort.IsOpen());
    FUZZ_CHECK(update.ConnectionStage >= 0 && update.ConnectionStage <= 5);
    if (update.Confirmed()) {
        const auto& image = g_images[which];
        FUZZ_CHECK(update.ConnectionStage == 5);
        FUZZ_CHECK(!image.empty());
        // The data packets went out once each, in order, between the packet
        // size word and the final confirmation word (a search attempt that
        // failed may have sent a handshake word before them).
        const auto& w = port->written;
        FUZZ_CHECK(w.size() >= 12 + image.size() + 4);
        const auto data = w.end() - 4 - static_cast<long>(image.size());
        FUZZ_CHECK(std::equal(image.begin(), image.end(), data));
        FUZZ_CHECK(std::equal(data - 4, data, WordBytes(FirmwarePacketSize).begin()));
        FUZZ_CHECK(std::equal(w.end() - 4, w.end(), WordBytes(0xFFFFFFFF).begin()));
    }
    return 0;
}
