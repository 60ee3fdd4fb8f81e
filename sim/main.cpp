// tovrel-sim: the simulated variator on a pseudo-terminal.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "AtomicFile.h"
#include "Engine.h"
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
    app.add_option("--traffic", options.traffic_file,
                   "Log every byte on the line into this file (\"< ..\" received, \"> ..\" sent, in hex)");
    app.add_option("--fault", faults,
                   "Inject a fault: KIND[:FRAMES], KIND one of no-reply, bad-check, echo-write, stale, garbage, "
                   "late-reply (the reply comes --late-reply-ms after the request); "
                   "loader faults loader-version, loader-silent, volume-refused, packet-size-refused, "
                   "erase-failed, wrong-echo, line-dead, loader-stays; FRAMES -1 means every frame (default 1)");
    app.add_option("--late-reply-ms", options.late_reply_ms, "Delay of a reply under the late-reply fault")
        ->check(CLI::Range(0, 60000));
    app.add_option("--loader-image", options.loader_image_file, "File where the loader saves each confirmed image");
    app.add_option("--loader-capacity", options.loader_capacity, "Largest image volume the loader accepts (bytes)");
    app.add_option("--loader-erase-ms", options.loader_erase_ms, "FLASH erase time of the loader")
        ->check(CLI::Range(0, 60000));
    app.add_flag("--flash-clears-eeprom", options.flash_clears_eeprom,
                 "A confirmed image comes with an EEPROM (and working memory) of zeros");
    app.add_option("--loader-ready-ms", options.loader_ready_ms,
                   "Period of the loader's ready byte after a switch, until the handshake (0: none)")
        ->check(CLI::Range(0, 60000));
    app.add_option("--timer-division", timer_division, "Device option word 145");
    app.add_option("--capabilities", capabilities, "Capability word 146");
    app.add_option("--switch-word", switch_word, "Switch and speed word 147");
    bool engine_on = false;
    tovrel::sim::EngineOptions engine;
    std::string log_dump;
    app.add_flag("--engine", engine_on, "Run a live engine behind the normal firmware (addresses 128..144)");
    std::vector<CLI::Option*> engine_opts = {
        app.add_option("--rpm", engine.idle_rpm, "Engine speed with the pedal released (0: the engine stands still)"),
        app.add_option("--max-rpm", engine.max_rpm, "Engine speed with the pedal fully pressed"),
        app.add_option("--seed", engine.seed, "Seed of the engine's noise"),
        app.add_option("--pedal-period", engine.pedal_period_s,
                       "Seconds of one press and release of the pedal (0: the pedal stays released)"),
        app.add_option("--tps-released", engine.tps_released, "Throttle sensor ADC with the pedal released"),
        app.add_option("--tps-pressed", engine.tps_pressed, "Throttle sensor ADC with the pedal fully pressed"),
        app.add_option("--gas-after", engine.gas_after_s, "Seconds until the gas valve opens (negative: petrol only)"),
        app.add_option("--temperature-raw", engine.temperature_raw, "Raw processor temperature value at start"),
        app.add_option("--log-every", engine.log_every_s,
                       "Start a log on its own this many seconds after the last one was read (0: on request only)"),
        app.add_option("--log-entry-ms", engine.log_entry_ms, "Milliseconds per recorded log entry (0: at once)"),
        app.add_option("--log-dump", log_dump,
                       "Directory that gets each finished log as log_<n>.txt, one \"index T flags\" line per entry"),
    };
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
    std::string line_fault;
    app.add_option("--line-fault", line_fault,
                   "Fault of the line in any firmware: KIND[:BYTES], KIND one of vanish (the pseudo-terminal "
                   "closes), silent, garbage (random bytes instead of what is sent), late (everything sent "
                   "goes out --line-late-ms late, the device answering one request at a time), stall (the "
                   "device is busy once: its next send goes out --line-late-ms late), latency (a line with a "
                   "constant latency of --line-late-ms: every byte arrives that much later while the device "
                   "goes on answering); it strikes once BYTES bytes have crossed the line (default 0)");
    app.add_option("--line-late-ms", options.line_fault.late_ms, "Delay of the late line fault (default 2500)")
        ->check(CLI::Range(0, 600000));
    CLI11_PARSE(app, argc, argv);
    if (!line_fault.empty()) {
        auto colon = line_fault.find(':');
        auto kind = tovrel::sim::ParseLineFault(line_fault.substr(0, colon));
        const long long after = colon == std::string::npos ? 0 : std::atoll(line_fault.c_str() + colon + 1);
        if (!kind || after < 0) {
            std::cerr << "tovrel-sim: unknown line fault '" << line_fault << "'\n";
            return 2;
        }
        options.line_fault.kind = *kind;
        options.line_fault.after_bytes = static_cast<std::uint64_t>(after);
    }
    for (auto* opt : engine_opts) engine_on = engine_on || opt->count() > 0;
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
        if (engine_on) {
            auto live = std::make_shared<tovrel::sim::Engine>(engine);
            if (!log_dump.empty()) {
                live->OnLogFinished([log_dump](int n, const tovrel::sim::Engine::LogBufferWords& words) {
                    std::string text;
                    for (std::size_t i = 0; i < words.size(); ++i)
                        text += std::to_string(i) + ' ' + std::to_string(words[i].t) + ' ' +
                                std::to_string(words[i].flags) + '\n';
                    tovrel::WriteFileAtomically(log_dump + "/log_" + std::to_string(n) + ".txt", text);
                });
            }
            device.AddAddressHandler(live);
        }
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
                  << ", firmware mode " << device.Mode() << (options.paced ? ", paced" : "")
                  << (engine_on ? ", engine running" : "") << std::endl;
        while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        device.Stop();
    } catch (const std::exception& e) {
        std::cerr << "tovrel-sim: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
