// Commands of the live data: the real-time monitor with its CSV rows and
// device log files, and the throttle sensor calibration.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <iostream>
#include <memory>

#include "AtomicFile.h"
#include "Platform.h"
#include "Cli.h"
#include "ConfigurationReadWrite.h"
#include "LogFile.h"
#include "Monitor.h"
#include "NumberText.h"
#include "Recording.h"
#include "TpsCalibration.h"

namespace tovrel::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
// Notes the press and puts the default action back, so that a further
// Ctrl+C ends the program.
extern "C" void OnLiveInterrupt(int) {
    g_interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

// While it lives, Ctrl+C acts as the second press of a running loop's
// button: the handler only notes it, the next message pump presses. A
// further Ctrl+C ends the program at once.
class InterruptPresses {
public:
    InterruptPresses(StoredScreen& screen, std::function<void()> press) : screen_(screen) {
        g_interrupted = 0;
        old_ = std::signal(SIGINT, OnLiveInterrupt);
        screen_.on_pump = [press = std::move(press)] {
            if (!g_interrupted) return;
            g_interrupted = 0;
            press();
        };
    }
    ~InterruptPresses() {
        screen_.on_pump = nullptr;
        std::signal(SIGINT, old_ == SIG_ERR ? SIG_DFL : old_);
    }
    InterruptPresses(const InterruptPresses&) = delete;
    InterruptPresses& operator=(const InterruptPresses&) = delete;

private:
    StoredScreen& screen_;
    void (*old_)(int) = SIG_DFL;
};

std::string LiveLine(Screen& screen, const LiveState& state, const RealtimeSnapshot& s) {
    const SettingsPage page(screen);
    std::string line = "pass " + std::to_string(s.pass) + ": " + page.EngineSpeed().Text() + " | TPS ADC " +
                       page.ThrottleReading().Text() + ", " + std::to_string(std::clamp(s.ThrottlePercent(), 0, 100)) +
                       " % | correction " + std::to_string(s.Correction()) + " % | " + page.Advance().Text() +
                       " | " + page.FuelType().Text() + " | sync " + page.Synchronisation().Text() +
                       " | gas angles in " + page.TimeToGas().Text() + " s | CMP " +
                       page.Cmp1Edges().Text() + "/" + page.Cmp2Edges().Text() + " | CPU " +
                       page.CpuTemperature().Text();
    if (state.ServiceValuesShown) line += " | adaptation " + page.AdaptationCoefficient().Text();
    if (state.AdaptationValuesShown) line += " | adaptations " + page.AdaptationsCounter().Text();
    return line;
}

struct MonitorArgs {
    int passes = kRealtimePassCount;
    std::string csv;
    bool logs = false;
    std::string logs_dir;
    bool start_log = false;
    bool service = false;
};

int RunMonitor(Context& ctx, const MonitorArgs& args) {
    LiveContext lc = ctx.program.Live();
    auto& screen = ctx.screen;
    std::string csv = std::string(kRecordingColumns) + "\r\n";
    std::string csv_error;
    bool csv_ok = true;
    int rows = 0;
    auto save_csv = [&] {
        // An earlier file of that name is replaced only by a run that has
        // rows to put in its place.
        if (args.csv.empty() || rows == 0) return;
        csv_ok = WriteFileAtomically(args.csv, csv, &csv_error);
    };
    // A CSV that cannot be written is found out before the run, not after
    // it: a temporary file beside it must be possible.
    if (!args.csv.empty()) {
        std::string temp;
        std::FILE* probe = platform::CreateFileBeside(args.csv, temp);
        if (!probe) {
            std::cerr << "tovrel-cli: the CSV file cannot be written: cannot create a file beside " << args.csv
                      << '\n';
            return 1;
        }
        std::fclose(probe);
        platform::RemoveFile(temp);
    }
    if (!ctx.ConnectNormal()) return 1;
    if (!ReadDeviceOptions(ctx.link, ctx.program.settings).Ok()) {
        std::cerr << "tovrel-cli: the device options could not be read\n";
        return 1;
    }
    const bool keeps_logs = lc.options.DeviceCapabilities.KeepsLogs();
    const SettingsPage page(screen);
    page.LogsCounter().SetText("0");
    if (args.logs) {
        if (!keeps_logs) {
            std::cerr << "tovrel-cli: the variator's firmware keeps no logs (capability word "
                      << lc.options.DeviceCapabilities.word << ", bits 9 and 10 not both set)\n";
            return 1;
        }
        page.LogsCheckBox().SetChecked(true);
        lc.state.logs_dir = args.logs_dir.empty() ? DefaultLogsDirectory() : args.logs_dir;
        if (args.start_log) StartLOGButtonClick(lc.state);
    }
    // The service values, as the service hot key shows them.
    page.AdaptationCoefficient().SetVisible(args.service);
    page.AdaptationsCounter().SetVisible(args.service);
    lc.state.ServiceValuesShown = args.service;
    lc.state.AdaptationValuesShown = args.service;
    lc.state.monitor_passes = args.passes;

    const bool show = screen.show_progress;
    const auto start = std::chrono::steady_clock::now();
    int passes_shown = 0, logs_written = 0, logs_failed = 0, logs_skipped = 0;
    lc.state.on_pass = [&](const RealtimeSnapshot& s) {
        ++passes_shown;
        const long ms = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
        if (show) std::cout << LiveLine(screen, lc.state, s) << std::endl;
        if (!args.csv.empty()) {
            // A pass whose reads failed has no values of its own: an empty
            // row (its number and time only) rather than zeros.
            // The command line has no maps: the map's column stays empty.
            csv += s.failed_reads > 0 ? RecordingFailedRow(s, ms) : RecordingRow(s, ms, std::nullopt);
            ++rows;
            // The file is replaced whole from time to time, so a run that is
            // killed keeps what it had shown.
            if (passes_shown % 50 == 0) save_csv();
        }
    };
    lc.state.on_log = [&](const LogCaptureReport& r) {
        if (r.written) {
            ++logs_written;
            std::cout << "log capture " << r.capture << ": " << r.path << std::endl;
        } else if (r.copied) {
            ++logs_failed;  // the screen said why
        } else {
            ++logs_skipped;
            std::cerr << "tovrel-cli: log capture " << r.capture << " " << r.error << '\n';
        }
    };
    const long failed_before = lc.state.failed_exchanges;
    {
        InterruptPresses interrupt(screen, [&lc] {
            if (lc.guard.RealtimeReadingActive) GetRealtimeParametersButtonClick(lc);
        });
        GetRealtimeParametersButtonClick(lc);
    }
    lc.state.on_pass = nullptr;
    lc.state.on_log = nullptr;
    save_csv();
    const long failed = lc.state.failed_exchanges - failed_before;
    std::cerr << "monitor: " << passes_shown << " passes, " << failed << " failed exchanges";
    if (args.logs) std::cerr << ", " << logs_written << " log files written";
    std::cerr << '\n';
    if (!csv_ok) std::cerr << "tovrel-cli: the CSV file was not written: " << csv_error << '\n';
    return (failed == 0 && logs_failed == 0 && logs_skipped == 0 && csv_ok) ? 0 : 1;
}

struct TrackArgs {
    int passes = kTrackingPassCount;
    bool swap = false;
    bool store = false;
};

int RunTrack(Context& ctx, const TrackArgs& args) {
    LiveContext lc = ctx.program.Live();
    auto& screen = ctx.screen;
    if (!ctx.ConnectNormal()) return 1;
    const ThrottleCalibrationPage throttle(screen);
    throttle.TrackedMaximum().SetText("n/a");
    throttle.TrackedMinimum().SetText("n/a");
    lc.state.tracking_passes = args.passes;
    const bool tty = screen.show_progress && ::isatty(STDERR_FILENO);
    lc.state.on_reading = [&](int pass, std::int16_t r) {
        if (!tty) return;
        std::cerr << "\rreading " << pass << ": " << r << "   minimum " << TrackedText(lc.state.TrackedMinimum)
                  << "   maximum " << TrackedText(lc.state.TrackedMaximum) << "      " << std::flush;
    };
    {
        InterruptPresses interrupt(screen, [&lc] {
            if (lc.guard.TPSFixingActive) StartFix_MAX_MIN_TPSButtonClick(lc);
        });
        StartFix_MAX_MIN_TPSButtonClick(lc);
    }
    lc.state.on_reading = nullptr;
    if (tty) std::cerr << '\n';
    std::cout << "tracked minimum " << TrackedText(lc.state.TrackedMinimum) << ", maximum "
              << TrackedText(lc.state.TrackedMaximum) << '\n';
    if (args.swap) {
        Change_Min_to_Max_TPSButtonClick(screen, lc.state);
        std::cout << "swapped: minimum " << TrackedText(lc.state.TrackedMinimum) << ", maximum "
                  << TrackedText(lc.state.TrackedMaximum) << '\n';
    }
    if (!args.store) return 0;
    // Tracking that ended on a dead line has nothing worth storing, and the
    // writes would only fail one by one with a box each.
    if (lc.link.LineSilent() || !lc.link.IsConnected()) {
        std::cout << "maximum and minimum NOT stored: the line failed during tracking\n";
        return 1;
    }
    const bool max_ok = Fix_Auto_Detected_MAX_TPSButtonClick(lc);
    const bool min_ok = Fix_Auto_Detected_MIN_TPSButtonClick(lc);
    const SettingsPage settings(screen);
    std::cout << "maximum " << settings.TpsMaximum().Text() << (max_ok ? " stored" : " NOT stored")
              << " (address 6), minimum " << settings.TpsMinimum().Text() << (min_ok ? " stored" : " NOT stored")
              << " (address 5)\n";
    return max_ok && min_ok ? 0 : 1;
}

int RunStorePresent(Context& ctx, bool maximum) {
    LiveContext lc = ctx.program.Live();
    if (!ctx.ConnectNormal()) return 1;
    const SettingsPage page(ctx.screen);
    const Control label = maximum ? page.TpsMaximum() : page.TpsMinimum();
    label.SetText("n/a");
    const bool ok = maximum ? SaveADCMaxButtonClick(lc) : SaveADCMinButtonClick(lc);
    if (ok) std::cout << (maximum ? "maximum " : "minimum ") << label.Text() << " stored (address "
                      << (maximum ? 6 : 5) << ")\n";
    return ok ? 0 : 1;
}

int RunStoreTyped(Context& ctx, bool maximum, const std::string& text) {
    // The window's spin buttons keep typed values to the sensor's range; here
    // an out-of-range value is refused before anything is sent.
    const auto v = ParseInteger(text);
    if (!v) {
        std::cerr << "tovrel-cli: " << NotAnIntegerMessage(text) << '\n';
        return 2;
    }
    if (*v < 0 || *v > 4095) {
        std::cerr << "tovrel-cli: a throttle sensor value is an ADC count from 0 to 4095\n";
        return 2;
    }
    LiveContext lc = ctx.program.Live();
    if (!ctx.ConnectNormal()) return 1;
    const ThrottleCalibrationPage page(ctx.screen);
    (maximum ? page.TypedMaximum() : page.TypedMinimum()).SetText(text);
    const bool ok =
        maximum ? Fix_Manually_Set_MAX_TPS_Value_ButtonClick(lc) : Fix_Manually_Set_MIN_TPS_Value_ButtonClick(lc);
    if (ok) std::cout << (maximum ? "maximum " : "minimum ") << *v << " stored (address " << (maximum ? 6 : 5) << ")\n";
    return ok ? 0 : 1;
}

}  // namespace

void RegisterLiveCommands(CLI::App& app, Context& ctx) {
    auto margs_ptr = std::make_shared<MonitorArgs>();
    MonitorArgs& margs = *margs_ptr;
    auto* monitor = app.add_subcommand("monitor", "Show the variator's live values, pass by pass (Ctrl+C ends the run)");
    monitor->add_option("--passes", margs.passes, "Polling passes of the run")->check(CLI::Range(1, 1000000));
    monitor->add_option("--csv", margs.csv, "Write every pass as a row of this CSV file");
    auto* logs = monitor->add_flag("--logs", margs.logs, "Copy finished device logs into LOG_n.txt files");
    monitor->add_option("--logs-dir", margs.logs_dir, "Directory of the LOG files (default: LOGs beside the program)")
        ->needs(logs);
    monitor->add_flag("--start-log", margs.start_log, "Ask the variator to start a log (as \"Start LOG\" does)")
        ->needs(logs);
    monitor->add_flag("--service", margs.service, "Also read the service values (addresses 133 and 142)");
    monitor->callback([&ctx, margs_ptr] { ctx.run = [&ctx, margs_ptr] { return RunMonitor(ctx, *margs_ptr); }; });

    auto* tps = app.add_subcommand("tps", "Throttle sensor calibration");
    tps->require_subcommand(1);
    tps->add_subcommand("max", "Store the present sensor reading as the value with the pedal fully pressed")
        ->callback([&ctx] { ctx.run = [&ctx] { return RunStorePresent(ctx, true); }; });
    tps->add_subcommand("min", "Store the present sensor reading as the value with the pedal released")
        ->callback([&ctx] { ctx.run = [&ctx] { return RunStorePresent(ctx, false); }; });

    auto targs_ptr = std::make_shared<TrackArgs>();
    TrackArgs& targs = *targs_ptr;
    auto* track = tps->add_subcommand("track", "Track the lowest and highest readings while the pedal moves (Ctrl+C ends)");
    track->add_option("--passes", targs.passes, "Readings of the run")->check(CLI::Range(1, 1000000));
    track->add_flag("--swap", targs.swap, "Swap the tracked ends (a sensor whose reading falls as the pedal goes down)");
    track->add_flag("--store", targs.store, "Store the tracked ends in the variator's EEPROM");
    track->callback([&ctx, targs_ptr] { ctx.run = [&ctx, targs_ptr] { return RunTrack(ctx, *targs_ptr); }; });

    auto set_max_value = std::make_shared<std::string>();
    auto set_min_value = std::make_shared<std::string>();
    auto* set_max = tps->add_subcommand("set-max", "Store a typed value as the value with the pedal fully pressed");
    set_max->add_option("value", *set_max_value, "ADC count 0..4095")->required();
    set_max->callback([&ctx, set_max_value] { ctx.run = [&ctx, set_max_value] { return RunStoreTyped(ctx, true, *set_max_value); }; });
    auto* set_min = tps->add_subcommand("set-min", "Store a typed value as the value with the pedal released");
    set_min->add_option("value", *set_min_value, "ADC count 0..4095")->required();
    set_min->callback([&ctx, set_min_value] { ctx.run = [&ctx, set_min_value] { return RunStoreTyped(ctx, false, *set_min_value); }; });
}

}  // namespace tovrel::cli
