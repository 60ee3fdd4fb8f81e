// tovrel-cli: the command-line front end of Tovrel Terminal.
#include <cstdlib>
#include <iostream>
#include <string>

#include "BuiltInTexts.h"
#include "Cli.h"

int main(int argc, char** argv) {
    CLI::App app{"Tovrel Terminal: configure the Tovrel 60-2 ignition-timing variator"};
    app.require_subcommand(1);
    tovrel::cli::Context ctx;
    int port = 0;
    auto* port_opt = app.add_option("--port", port, "Connect to port N instead of the remembered port and the scan")
                         ->check(CLI::Range(1, 999));
    // Port n is <DIR>/COM<n> (where the simulated variator links its terminal).
    if (const char* dir = std::getenv("TOVREL_PORT_DIR")) ctx.link.port_dir = dir;
    app.add_option("--port-dir", ctx.link.port_dir, "Directory where port N is COM<N> (default: $TOVREL_PORT_DIR)");
    bool quiet = false;
    app.add_flag("-q,--quiet", quiet, "Do not show progress");
    // The texts of the messages and captions: Russian, or English where the
    // locale of the messages (LC_ALL, LC_MESSAGES, LANG) is an English one.
    std::string lang;
    app.add_option("--lang", lang, "Language of the messages (default: from LC_ALL, LC_MESSAGES or LANG)")
        ->check(CLI::IsMember({"ru", "en"}));
    tovrel::cli::RegisterLinkCommands(app, ctx);
    tovrel::cli::RegisterConfigCommands(app, ctx);
    tovrel::cli::RegisterLiveCommands(app, ctx);
    tovrel::cli::RegisterScopeCommands(app, ctx);
    tovrel::cli::RegisterFirmwareCommands(app, ctx);
    tovrel::cli::RegisterDiffCommands(app, ctx);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    const auto language = lang.empty() ? tovrel::texts::LanguageOfEnvironment() : *tovrel::texts::ParseLanguage(lang);
    tovrel::texts::SetTranslator(tovrel::texts::BuiltInTranslator(language));
    if (*port_opt) ctx.port = port;
    // Commits, loads and updates keep restore points in the user's data folder.
    ctx.program.restore_points = std::make_unique<tovrel::RestorePointStore>();
    ctx.screen.show_progress = !quiet;
    int status = ctx.run ? ctx.run() : 2;
    ctx.link.Disconnect();
    return status;
}
