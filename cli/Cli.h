#pragma once
// Shared state of one tovrel-cli run and the registration of its commands.
// Each subsystem registers its commands from a file of its own.
#include <CLI/CLI.hpp>
#include <functional>
#include <memory>
#include <optional>

#include "Dataextractor.h"
#include "ImageCanvas.h"
#include "ConfigurationCompare.h"
#include "OscillogramPlot.h"
#include "Program.h"
#include "TerminalScreen.h"

namespace tovrel::cli {

struct Context {
    TerminalScreen screen;
    // The oscillogram picture; `scope --plot` saves it.
    ImageCanvas picture{kOscillImageWidth, kOscillImageHeight};
    // Everything program-wide of the run: the device link, maps, options,
    // live state, firmware update, oscilloscope.
    Program program{screen, picture};
    DeviceLink& link = program.link;
    std::optional<int> port;  // --port N
    // The command chosen on the command line; returns the exit status.
    std::function<int()> run;

    // Connects as asked: with --port N, Connect(N) with messages, recording
    // the mode in DeviceMode; otherwise as the program's start does
    // (remembered port, then ports 1 to 254). True when a variator answered
    // in any mode.
    bool ConnectDevice();
    // Connects and demands the normal firmware; says why not on stderr.
    bool ConnectNormal();
};

void RegisterLinkCommands(CLI::App& app, Context& ctx);
void RegisterConfigCommands(CLI::App& app, Context& ctx);
void RegisterLiveCommands(CLI::App& app, Context& ctx);
void RegisterScopeCommands(CLI::App& app, Context& ctx);
void RegisterFirmwareCommands(CLI::App& app, Context& ctx);
void RegisterDiffCommands(CLI::App& app, Context& ctx);

// Prints a compare of `a` with `b` point by point and parameter by parameter.
void PrintDifference(const ConfigurationDiff& diff, const std::string& a, const std::string& b);

// Parses a number the way the command line accepts it: decimal, or hex with 0x.
std::optional<long> ParseNumber(const std::string& text);

}  // namespace tovrel::cli
