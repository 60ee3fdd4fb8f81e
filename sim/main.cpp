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
                   "FRAMES -1 means every frame (default 1)");
    app.add_option("--timer-division", timer_division, "Device option word 145");
    app.add_option("--capabilities", capabilities, "Capability word 146");
    app.add_option("--switch-word", switch_word, "Switch and speed word 147");
    std::string scope_fault;
    app.add_option("--scope-rpm", options.scope_rpm, "Oscilloscope firmware: engine speed of the 60-2 wheel (rpm)")
        ->check(CLI::Range(1.0, 20000.0));
    app.add_option("--scope-records", options.scope_records,
                   "Oscilloscope firmware: records before the end record (-1: no end record)");
    app.add_option("--scope-steps", options.scope_init_steps,
                   "Oscilloscope firmware: initialisation steps (0: the initialisation never ends)")
        ->check(CLI::Range(0, 65535));
    app.add_option("--scope-step-ms", options.scope_step_ms, "Oscilloscope firmware: pause before each initialisation frame")
        ->check(CLI::Range(0, 600000));
    app.add_option("--scope-fault", scope_fault,
                   "Oscilloscope fault: KIND[:RECORD], KIND one of wrong-marker, stream-stops (at record RECORD, "
                   "default 100), no-start-answer, bad-start-answer");
    CLI11_PARSE(app, argc, argv);
    if (!scope_fault.empty()) {
        auto colon = scope_fault.find(':');
        auto kind = tovrel::sim::ParseScopeFault(scope_fault.substr(0, colon));
        if (!kind || (colon != std::string::npos && std::atoi(scope_fault.c_str() + colon + 1) < 0)) {
            std::cerr << "tovrel-sim: unknown oscilloscope fault '" << scope_fault << "'\n";
            return 2;
        }
        options.scope_fault = *kind;
        if (colon != std::string::npos) options.scope_fault_record = std::atoi(scope_fault.c_str() + colon + 1);
    }
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
