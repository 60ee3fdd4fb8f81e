// tovrel-sim: the simulated variator on a pseudo-terminal.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "Variator.h"

namespace {
volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }
}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Simulated Tovrel 60-2 variator on a pseudo-terminal"};
    tovrel::sim::Options options;
    if (const char* dir = std::getenv("TOVREL_PORT_DIR")) options.port_dir = dir;
    std::vector<std::string> faults;
    std::uint16_t timer_division = 0, capabilities = 0, switch_word = 0;
    app.add_option("--port-dir", options.port_dir, "Directory where COM<n> is linked (default: $TOVREL_PORT_DIR)");
    app.add_option("--port", options.port_number, "Port number n of the link COM<n>")->check(CLI::Range(1, 999));
    app.add_option("--mode", options.mode, "Firmware at start: 1 normal, 2 loader, 3 oscilloscope")->check(CLI::Range(1, 3));
    app.add_flag("--paced", options.paced, "Pace bytes like a real 9600-baud line (1.0417 ms per byte)");
    app.add_option("--eeprom", options.eeprom_file, "File that keeps the EEPROM across runs");
    app.add_option("--fault", faults,
                   "Inject a fault: KIND[:FRAMES], KIND one of no-reply, bad-check, echo-write, stale, garbage; "
                   "loader faults loader-version, loader-silent, volume-refused, packet-size-refused, "
                   "erase-failed, wrong-echo, line-dead; FRAMES -1 means every frame (default 1)");
    app.add_option("--loader-image", options.loader_image_file, "File where the loader saves each confirmed image");
    app.add_option("--loader-capacity", options.loader_capacity, "Largest image volume the loader accepts (bytes)");
    app.add_option("--loader-erase-ms", options.loader_erase_ms, "FLASH erase time of the loader")
        ->check(CLI::Range(0, 60000));
    app.add_option("--loader-ready-ms", options.loader_ready_ms,
                   "Period of the loader's ready byte after a switch, until the handshake (0: none)")
        ->check(CLI::Range(0, 60000));
    app.add_option("--timer-division", timer_division, "Device option word 145");
    app.add_option("--capabilities", capabilities, "Capability word 146");
    app.add_option("--switch-word", switch_word, "Switch and speed word 147");
    CLI11_PARSE(app, argc, argv);
    if (options.port_dir.empty()) {
        std::cerr << "tovrel-sim: give --port-dir or set TOVREL_PORT_DIR\n";
        return 2;
    }
    try {
        tovrel::sim::Variator device(options);
        device.SetOptionWord(145, timer_division);
        device.SetOptionWord(146, capabilities);
        device.SetOptionWord(147, switch_word);
        for (const auto& f : faults) {
            auto colon = f.find(':');
            auto kind = tovrel::sim::ParseFault(f.substr(0, colon));
            if (!kind) {
                std::cerr << "tovrel-sim: unknown fault '" << f << "'\n";
                return 2;
            }
            int frames = colon == std::string::npos ? 1 : std::atoi(f.c_str() + colon + 1);
            device.InjectFault(*kind, frames);
        }
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
        device.Start();
        std::cout << "tovrel-sim: " << device.line().link_path() << " -> " << device.line().terminal_path()
                  << ", firmware mode " << device.Mode() << (options.paced ? ", paced" : "") << std::endl;
        while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        device.Stop();
    } catch (const std::exception& e) {
        std::cerr << "tovrel-sim: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
