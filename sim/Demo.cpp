#include "Demo.h"

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

namespace tovrel::sim {
namespace fs = std::filesystem;

namespace {

// 0 below `from`, 1 above `to`, a smooth rise between.
double Rise(double x, double from, double to) {
    double t = std::clamp((x - from) / (to - from), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

std::int16_t Hundredths(double degrees) { return static_cast<std::int16_t>(std::lround(degrees * 100)); }

}  // namespace

Configuration DemoConfiguration() {
    Configuration c;
    for (int i = 0; i < 80; ++i) {
        const double rpm = 100.0 * i;
        // Extra advance over engine speed: little at idle, most of it by
        // about 4000 rpm, a little less again at the top.
        const double lpg = 2.0 + 8.5 * Rise(rpm, 900, 4200) - 1.0 * Rise(rpm, 6000, 7900);
        const double petrol = 0.5 + 3.0 * Rise(rpm, 1200, 4000) - 0.5 * Rise(rpm, 6000, 7900);
        c.maps[0][static_cast<std::size_t>(i)] = Hundredths(lpg);
        c.maps[1][static_cast<std::size_t>(i)] = Hundredths(petrol);
        // Share of that advance over the pedal: all of it at part load, less
        // towards full throttle, where the engine knocks first.
        c.maps[2][static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(100 - 15 * Rise(i, 50, 79)));
        c.maps[3][static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(100 - 8 * Rise(i, 55, 79)));
    }
    const EngineOptions engine;
    c.tps_min = engine.tps_released;
    c.tps_max = engine.tps_pressed;
    c.start_timeout = 10;
    return c;
}

Demo::Demo(DemoOptions options) : options_(std::move(options)) {
    fs::path base = options_.base_dir.empty() ? fs::temp_directory_path() : fs::path(options_.base_dir);
    std::string tmpl = (base / "tovrel-demo-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("cannot make a directory in " + base.string());
    dir_ = tmpl;
    port_dir_ = (fs::path(dir_) / "ports").string();
    try {
        fs::create_directory(port_dir_);

        Options normal;
        normal.port_dir = port_dir_;
        normal.port_number = options_.port_number;
        normal.paced = options_.paced;
        device_ = std::make_unique<Variator>(normal);
        device_->SetEeprom(DemoConfiguration());
        device_->SetWorking(DemoConfiguration());
        device_->SetOptionWord(145, 16);      // timer division
        device_->SetOptionWord(146, 0x0E00);  // capabilities: logs, adaptation counter
        device_->SetOptionWord(147, 0x0A00);  // switch and speed word
        engine_ = std::make_shared<Engine>();
        device_->AddAddressHandler(engine_);

        Options scope = normal;
        scope.port_number = options_.port_number + 1;
        scope.mode = 3;
        scope_ = std::make_unique<Variator>(scope);

        std::mt19937 rng(60);
        std::vector<char> image(8192);
        for (auto& b : image) b = static_cast<char>(rng() & 0xFF);
        firmware_image_ = (fs::path(dir_) / "demo-firmware.evf0").string();
        std::ofstream(firmware_image_, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
    } catch (...) {
        std::error_code ec;
        fs::remove_all(dir_, ec);
        throw;
    }

    if (const char* old = std::getenv("TOVREL_PORT_DIR")) {
        had_port_dir_ = true;
        old_port_dir_ = old;
    }
    ::setenv("TOVREL_PORT_DIR", port_dir_.c_str(), 1);
    device_->Start();
    scope_->Start();
}

Demo::~Demo() {
    scope_->Stop();
    device_->Stop();
    scope_.reset();
    device_.reset();
    if (had_port_dir_) ::setenv("TOVREL_PORT_DIR", old_port_dir_.c_str(), 1);
    else ::unsetenv("TOVREL_PORT_DIR");
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

}  // namespace tovrel::sim
