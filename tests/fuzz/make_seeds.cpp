// Writes the seed inputs of the fuzz targets: what the simulated variator
// sends in each of its firmwares, recorded read by read in the form the fuzz
// targets' port replays, and the files the program itself writes.
//
//   fuzz_seeds CORPUS_DIR
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "ConfigFile.h"
#include "Firmwareupdate.h"
#include "ImageCanvas.h"
#include "Ocsilloscope.h"
#include "StoredScreen.h"
#include "Variator.h"

namespace fs = std::filesystem;
using namespace tovrel;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A port that passes everything to the real one and keeps what each read
// delivered: a control byte (0x80: all asked for; n: only n came; 0xFF: the
// call failed), then the bytes.
class RecordingPort : public LoaderSerialPort {
public:
    explicit RecordingPort(std::unique_ptr<LoaderSerialPort> inner) : inner_(std::move(inner)) {}
    bool Open(const std::string& p, std::uint32_t b, std::int32_t t) override { return inner_->Open(p, b, t); }
    bool OpenDevice(const std::string& p) override { return inner_->OpenDevice(p); }
    bool SetLineSettings(std::uint32_t b) override { return inner_->SetLineSettings(b); }
    bool SetQueueSizes(std::uint32_t i, std::uint32_t o) override { return inner_->SetQueueSizes(i, o); }
    bool SetTimeout(std::int32_t t) override { return inner_->SetTimeout(t); }
    bool Purge() override { return inner_->Purge(); }
    bool Write(const std::uint8_t* bytes, std::uint32_t n) override { return inner_->Write(bytes, n); }
    bool Read(std::uint8_t* buffer, std::uint32_t n) override { return ReadSome(buffer, n).count == n; }
    bool Close() override { return inner_->Close(); }
    bool IsOpen() const override { return inner_->IsOpen(); }
    bool SetTimeouts(const SerialTimeouts& t) override { return inner_->SetTimeouts(t); }
    TransferResult ReadSome(std::uint8_t* buffer, std::uint32_t n) override {
        const auto r = inner_->ReadSome(buffer, n);
        if (!r.ok) {
            script.push_back(0xFF);
        } else {
            script.push_back(r.count == n ? 0x80 : static_cast<std::uint8_t>(r.count));
            stream.insert(stream.end(), buffer, buffer + r.count);
        }
        script.insert(script.end(), buffer, buffer + (r.ok ? r.count : 0));
        return r;
    }
    TransferResult WriteSome(const std::uint8_t* bytes, std::uint32_t n) override { return inner_->WriteSome(bytes, n); }
    bool Drain() override { return inner_->Drain(); }

    Bytes script;  // reads as the fuzz port replays them
    Bytes stream;  // the bytes delivered, in order

private:
    std::unique_ptr<LoaderSerialPort> inner_;
};

void Write(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
void Write(const fs::path& dir, const std::string& name, const std::string& text) {
    Write(dir, name, Bytes(text.begin(), text.end()));
}
Bytes Join(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

class QuietScreen : public StoredScreen {
public:
    void ShowMessage(std::string_view) override {}
    void Pump() override {}
    std::optional<std::string> ChooseFile(std::string_view, FileDialogMode, std::string_view) override { return chosen; }
    std::optional<std::string> chosen;
};

sim::Options SimOptions(const std::string& dir, int mode) {
    sim::Options o;
    o.port_dir = dir;
    o.port_number = 1;
    o.mode = mode;
    return o;
}

void ExchangeSeeds(const fs::path& out, const std::string& dir) {
    sim::Variator device(SimOptions(dir, 1));
    device.Start();
    QuietScreen screen;
    auto rec = std::make_unique<RecordingPort>(std::make_unique<ComPort>());
    auto* port = rec.get();
    DeviceLink link(screen, std::move(rec));
    link.port_dir = dir;
    link.sleep_ms = [](int) {};
    if (link.Connect(1, false) != 1) throw std::runtime_error("the simulator did not answer");
    struct Ask {
        const char* name;
        bool write;
        std::uint8_t address, index;
        std::int16_t value;
    };
    for (const Ask& a : {Ask{"probe", false, 0, 0, 0}, Ask{"read_map_point", false, 1, 7, 100},
                         Ask{"write_map_point", true, 1, 7, 250}, Ask{"read_parameter", false, 4, 0, 1000},
                         Ask{"write_commit", true, 7, 0, 0x1234}}) {
        port->script.clear();
        link.UARTdataExchangeForTovrel(a.write ? ExchangeOp::Write : ExchangeOp::Read, a.address, a.index, a.value,
                                       true, 2);
        const auto v = static_cast<std::uint16_t>(a.value);
        // how: bit 0 write, bit 1 show errors, attempts 2.
        const Bytes head = {static_cast<std::uint8_t>((a.write ? 1 : 0) | 2 | (1 << 2)), a.address, a.index,
                            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
        Write(out / "fuzz_exchange", a.name, Join(head, port->script));
    }
}

void LoaderSeeds(const fs::path& out, const std::string& dir) {
    // Image sizes and contents as the loader target makes them.
    const std::size_t sizes[] = {0, 4, 1022, 1028, 3 * 1024 + 8};
    for (std::size_t k = 1; k < std::size(sizes); ++k) {
        sim::Variator device(SimOptions(dir, 2));
        device.Start();
        Bytes image(sizes[k]);
        for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 31 + k);
        const std::string path = dir + "/image.evf0";
        Write(dir, "image.evf0", image);
        QuietScreen screen;
        screen.chosen = path;
        DeviceLink link(screen);
        link.port_dir = dir;
        link.sleep_ms = [](int) {};
        link.default_port_dir = dir;
        link.SaveDefaultPort(1);
        auto rec = std::make_unique<RecordingPort>(std::make_unique<ComPort>());
        auto* port = rec.get();
        FirmwareUpdate update(link, std::move(rec));
        update.sleep_ms = [](int) {};
        update.RunFirmwareUpdate();
        Write(out / "fuzz_loader", "image_" + std::to_string(sizes[k]) + (update.Confirmed() ? "" : "_unconfirmed"),
              Join({static_cast<std::uint8_t>(k), 0}, port->script));
    }
}

void ScopeSeeds(const fs::path& out, const std::string& dir) {
    for (bool mode32 : {false, true}) {
        auto o = SimOptions(dir, 3);
        o.scope_records = 24;
        o.scope_step_ms = 0;
        sim::Variator device(o);
        device.Start();
        QuietScreen screen;
        auto rec = std::make_unique<RecordingPort>(std::make_unique<ComPort>());
        auto* port = rec.get();
        DeviceLink link(screen, std::move(rec));
        link.port_dir = dir;
        link.sleep_ms = [](int) {};
        if (link.Connect(1, false) != 3) throw std::runtime_error("the oscilloscope did not answer");
        link.DeviceMode = kModeOscilloscope;
        port->stream.clear();
        ImageCanvas canvas(kOscillImageWidth, kOscillImageHeight);
        Oscilloscope scope(link, canvas);
        scope.record_dir = dir;
        scope.timings.drain_ms = 50;
        scope.timings.end_ms = 50;
        screen.SetChecked("Oscilloscope_32_Mode_CheckBox", mode32);
        SetUpOscilloscopePage(screen);
        scope.ConnectAndShowOsciillButtonClick();
        // how: bit 0 the mode, then the run length.
        Write(out / "fuzz_scope_stream", mode32 ? "capture_32bit" : "capture_16bit",
              Join({static_cast<std::uint8_t>(mode32 ? 1 + 2 * 6 : 2 * 3)}, port->stream));
    }
}

void FileSeeds(const fs::path& out, const std::string& dir) {
    TimingMaps maps;
    FillMapTemplate(maps);
    const auto xml = ConfigurationXml(maps.LPG, maps.Petrol, maps.LPGLoadDependence, maps.PetrolLoadDependence, "5");
    Write(out / "fuzz_config_file", "template.xml", xml);
    // Indented, with a byte-order mark.
    std::string indented = "\xEF\xBB\xBF";
    for (char c : xml) {
        if (c == '<' && !indented.empty() && indented.back() == '>') indented += "\n  ";
        indented += c;
    }
    Write(out / "fuzz_config_file", "indented_bom.xml", indented);
    for (auto& m : {&maps.LPG, &maps.Petrol}) m->y.fill(10000);
    for (auto& m : {&maps.LPGLoadDependence, &maps.PetrolLoadDependence}) m->y.fill(-120);
    Write(out / "fuzz_config_file", "not_read_markers.xml",
          ConfigurationXml(maps.LPG, maps.Petrol, maps.LPGLoadDependence, maps.PetrolLoadDependence, ""));

    QuietScreen screen;
    DeviceLink link(screen);
    link.default_port_dir = dir;
    for (int p : {3, 254}) {
        link.SaveDefaultPort(static_cast<std::uint8_t>(p));
        std::ifstream in(dir + "/" + kDefaultPortFile, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        Write(out / "fuzz_default_port", "port_" + std::to_string(p), Join({0}, Bytes(text.begin(), text.end())));
    }

    // run length 4096 (two bytes), repeat 1, then a few words of image.
    Write(out / "fuzz_image", "small", Bytes{0x10, 0x00, 0x00, 1, 2, 3, 4, 5, 6, 7, 8});
    Write(out / "fuzz_image", "large_repeat", Bytes{0x03, 0xFF, 199, 0xDE, 0xAD, 0xBE, 0xEF});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz_seeds CORPUS_DIR\n";
        return 2;
    }
    const fs::path out = argv[1];
    std::string tmpl = (fs::temp_directory_path() / "tovrel-seeds-XXXXXX").string();
    const std::string dir = ::mkdtemp(tmpl.data());
    int status = 0;
    try {
        FileSeeds(out, dir);
        ExchangeSeeds(out, dir);
        ScopeSeeds(out, dir);
        LoaderSeeds(out, dir);
    } catch (const std::exception& e) {
        std::cerr << "fuzz_seeds: " << e.what() << "\n";
        status = 1;
    }
    fs::remove_all(dir);
    return status;
}
