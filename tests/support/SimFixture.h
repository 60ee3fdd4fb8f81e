#pragma once
// A temporary port directory with simulated variators linked into it, and a
// device link whose pauses do not wait.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "Crc.h"
#include "Dataextractor.h"
#include "Line.h"
#include "RecordingScreen.h"
#include "Variator.h"

namespace tovrel::test {

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tovrel-test-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }

private:
    std::string path_;
};

// A real port opposite a bare pseudo-terminal that the test drives by hand.
class PtyPortTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<sim::Line> peer = std::make_unique<sim::Line>(dir / "COM1");
    ComPort port;
    static long ElapsedMs(std::chrono::steady_clock::time_point since) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
    }
};

class SimFixture : public ::testing::Test {
protected:
    void SetUp() override {
        link = std::make_unique<DeviceLink>(screen);
        link->sleep_ms = [this](int ms) { slept_ms += ms; };
        link->default_port_dir = dir.path();
        link->port_dir = dir.path();
    }
    void TearDown() override {
        link.reset();
        sims.clear();
    }
    sim::Variator& AddSim(int port, int mode = 1, bool paced = false) {
        sim::Options o;
        o.port_dir = dir.path();
        o.port_number = port;
        o.mode = mode;
        o.paced = paced;
        sims.push_back(std::make_unique<sim::Variator>(o));
        sims.back()->Start();
        return *sims.back();
    }

    TempDir dir;
    RecordingScreen screen;
    std::unique_ptr<DeviceLink> link;
    std::vector<std::unique_ptr<sim::Variator>> sims;
    long slept_ms = 0;
};

}  // namespace tovrel::test
