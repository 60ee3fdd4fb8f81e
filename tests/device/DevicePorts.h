#pragma once
// Simulated variators outside the test program, on real serial ports of the
// system the tests run on (scripts/test-windows.sh starts them and maps
// them). TOVREL_DEVICE_PORTS names their port numbers, for example
// "normal=3,silent=5,loader=6,scope=7": a variator in its normal firmware, a
// port with a variator that never answers, one in its loader and one in its
// oscilloscope firmware. The normal one has the lowest number (no port is
// present below it) and the silent one is below the loader. TOVREL_PORT_DIR,
// when set, is where port n is COM<n>. Without TOVREL_DEVICE_PORTS the tests
// are skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "Dataextractor.h"
#include "Platform.h"
#include "RecordingScreen.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tovrel::test {

// Wine gives a serial device to every CreateFileW, whatever the share mode of
// an earlier open; on Windows the driver refuses a second open of a port.
#ifdef _WIN32
inline bool UnderWine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}
#else
inline bool UnderWine() { return false; }
#endif

struct DevicePorts {
    std::map<std::string, int> numbers;
    std::string port_dir;

    static const DevicePorts& Get() {
        static const DevicePorts ports = [] {
            DevicePorts p;
            if (const char* dir = std::getenv("TOVREL_PORT_DIR")) p.port_dir = dir;
            const char* list = std::getenv("TOVREL_DEVICE_PORTS");
            std::stringstream in(list ? list : "");
            for (std::string item; std::getline(in, item, ',');) {
                const auto eq = item.find('=');
                if (eq != std::string::npos) p.numbers[item.substr(0, eq)] = std::stoi(item.substr(eq + 1));
            }
            return p;
        }();
        return ports;
    }
    int Number(const std::string& role) const {
        auto it = numbers.find(role);
        return it == numbers.end() ? 0 : it->second;
    }
    std::string Path(const std::string& role) const { return platform::PortPath(Number(role), port_dir).value_or(""); }
};

// A directory of its own under the system's temporary directory.
class ScratchDir {
public:
    ScratchDir() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() / ("tovrel-device-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string path() const { return path_.string(); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (ports.numbers.empty()) GTEST_SKIP() << "no simulated variators named (TOVREL_DEVICE_PORTS)";
        for (const char* role : {"normal", "silent", "loader", "scope"})
            if (ports.Number(role) == 0) GTEST_SKIP() << "TOVREL_DEVICE_PORTS names no " << role << " port";
        link = std::make_unique<DeviceLink>(screen);
        link->port_dir = ports.port_dir;
        link->default_port_dir = dir.path();
        link->sleep_ms = [this](int ms) { slept_ms += ms; };
    }
    void TearDown() override {
        if (link) link->Disconnect();
    }
    static long ElapsedMs(std::chrono::steady_clock::time_point since) {
        return static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count());
    }

    const DevicePorts& ports = DevicePorts::Get();
    ScratchDir dir;
    RecordingScreen screen;
    std::unique_ptr<DeviceLink> link;
    long slept_ms = 0;
};

}  // namespace tovrel::test
