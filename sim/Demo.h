#pragma once
// The built-in demonstration: simulated variators running in-process, so that
// someone without a device sees the whole program work.
//
// A Demo makes a temporary directory with a port directory inside it, points
// TOVREL_PORT_DIR at that (restored when the demo ends) and links there:
//   COM3  the variator with its normal firmware, a live engine behind it and
//         its loader (reached as on a real device, by the update's switch),
//         holding a plausible configuration in EEPROM;
//   COM4  a variator running its oscilloscope firmware.
// Ports 1 and 2 have nothing behind them, so the start's scan shows its steps.
// The directory also holds a firmware image the update page can send.
#include <memory>
#include <string>

#include "Engine.h"
#include "Variator.h"

namespace tovrel::sim {

// What the demo's variator keeps in EEPROM: advance curves that rise with
// engine speed (more on gas, which burns slower), throttle maps near 100 %,
// the throttle sensor's released and pressed points matching the engine's
// sensor, and a start timeout.
Configuration DemoConfiguration();

struct DemoOptions {
    int port_number = 3;        // the normal firmware; the oscilloscope is on the next number
    bool paced = true;          // bytes timed like a 9600-baud line
    std::string base_dir;       // where the temporary directory goes; empty: the system's
};

class Demo {
public:
    // Throws std::runtime_error when the directory or a pseudo-terminal cannot
    // be made.
    explicit Demo(DemoOptions options = {});
    ~Demo();
    Demo(const Demo&) = delete;
    Demo& operator=(const Demo&) = delete;

    // The temporary directory: a sensible working directory for the program
    // (its port file, oscillogram files and log directory land there).
    const std::string& dir() const { return dir_; }
    // The port directory TOVREL_PORT_DIR points at.
    const std::string& port_dir() const { return port_dir_; }
    int port_number() const { return options_.port_number; }
    int scope_port_number() const { return options_.port_number + 1; }
    // A firmware image of 8 KiB in dir().
    const std::string& firmware_image() const { return firmware_image_; }

    Variator& device() { return *device_; }
    Variator& scope_device() { return *scope_; }
    Engine& engine() { return *engine_; }

private:
    DemoOptions options_;
    std::string dir_, port_dir_, firmware_image_;
    bool had_port_dir_ = false;
    std::string old_port_dir_;
    std::shared_ptr<Engine> engine_;
    std::unique_ptr<Variator> device_, scope_;
};

}  // namespace tovrel::sim
