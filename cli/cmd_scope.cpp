// The oscilloscope command: records an oscillogram from the variator's
// oscilloscope firmware into signal.txt (signal32.txt in 32-bit mode) in the
// working directory, shows the capture's status line on the terminal and
// saves the picture of the first records as a PNG image when asked.
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <memory>

#include "Cli.h"
#include "ImageCanvas.h"
#include "Ocsilloscope.h"
#include "OscilloscopeTexts.h"

namespace tovrel::cli {

namespace {

volatile std::sig_atomic_t g_interrupts = 0;

extern "C" void OnInterrupt(int) {
    // The first Ctrl+C asks the capture to stop (it sends the stop frame and
    // keeps the records so far); a second one ends the program at once,
    // leaving the older record file as it was and no temporary beside it.
    g_interrupts = g_interrupts + 1;
    if (g_interrupts >= 2) {
        RemoveUnfinishedRecordFile();
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}

struct ScopeArgs {
    bool mode32 = false;
    std::string plot;
};

// Prints the capture's status line whenever the capture shows it.
class StatusPrinter {
public:
    explicit StatusPrinter(bool enabled) : enabled_(enabled), tty_(::isatty(STDERR_FILENO) != 0) {}
    void Update(const std::string& text) {
        if (!enabled_ || text == last_) return;
        // The running count of recorded periods: the text before the
        // pattern's number, in whatever language the capture speaks.
        const std::string recorded = Tr(OscilloscopeText::Recorded);
        const bool count = text.rfind(recorded.substr(0, recorded.find("%1")), 0) == 0;
        if (tty_ && open_line_) std::cerr << (count ? "\r\033[K" : "\n");
        std::cerr << text;
        open_line_ = tty_ && count;
        if (!open_line_) std::cerr << '\n';
        std::cerr << std::flush;
        last_ = text;
    }
    void Finish() {
        if (open_line_) std::cerr << '\n';
        open_line_ = false;
    }

private:
    bool enabled_, tty_;
    bool open_line_ = false;
    std::string last_;
};

int RunScope(Context& ctx, const ScopeArgs& args) {
    ctx.ConnectDevice();
    ImageCanvas& picture = ctx.picture;
    Oscilloscope& scope = ctx.program.scope;
    SetUpOscilloscopePage(ctx.screen);
    OscilloscopePage(ctx.screen).Mode32Box().SetChecked(args.mode32);

    StatusPrinter status(ctx.screen.show_progress);
    g_interrupts = 0;
    auto* old_handler = std::signal(SIGINT, OnInterrupt);
    bool cancel_pressed = false;
    ctx.screen.on_pump = [&] {
        if (g_interrupts > 0 && !cancel_pressed && scope.Capturing()) {
            cancel_pressed = true;
            scope.ConnectAndShowOsciillButtonClick();  // the second press
        }
        status.Update(OscilloscopePage(ctx.screen).Status().Text());
    };
    scope.ConnectAndShowOsciillButtonClick();
    ctx.screen.on_pump = nullptr;
    std::signal(SIGINT, old_handler == SIG_ERR ? SIG_DFL : old_handler);
    status.Update(OscilloscopePage(ctx.screen).Status().Text());
    status.Finish();

    const auto end = scope.LastEnd();
    const bool recorded = end == CaptureEnd::FinishedByDevice || end == CaptureEnd::Finished ||
                          end == CaptureEnd::StreamStopped || (end == CaptureEnd::Cancelled && scope.RecordsWritten() > 0);
    if (recorded) {
        std::cout << scope.RecordFilePath() << ": " << scope.RecordsWritten() << " records, "
                  << (scope.Oscill32BitMode ? "32-bit" : "16-bit") << " mode, " << scope.AdaptationStepCount
                  << " adaptation steps\n";
    }
    int result = (end == CaptureEnd::FinishedByDevice || end == CaptureEnd::Finished) ? 0 : 1;
    if (!args.plot.empty()) {
        if (!recorded) {
            std::cerr << "tovrel-cli: no picture saved: nothing was recorded\n";
            result = 1;
        } else if (std::string error; !picture.SavePng(args.plot, &error)) {
            std::cerr << "tovrel-cli: cannot save the picture " << args.plot << ": " << error << '\n';
            result = 1;
        } else {
            std::cout << args.plot << ": picture of the first records, " << picture.Width() << " x "
                      << picture.Height() << " pixels\n";
        }
    }
    return result;
}

}  // namespace

void RegisterScopeCommands(CLI::App& app, Context& ctx) {
    auto args = std::make_shared<ScopeArgs>();
    auto* scope = app.add_subcommand(
        "scope", "Record an oscillogram into signal.txt (signal32.txt with --32bit) in the working directory");
    scope->add_flag("--32bit", args->mode32, "32-bit mode: records with 32-bit period lengths, into signal32.txt");
    scope->add_option("--plot", args->plot, "Save the picture of the first records as a PNG image");
    scope->callback([&ctx, args] { ctx.run = [&ctx, args] { return RunScope(ctx, *args); }; });
}

}  // namespace tovrel::cli
