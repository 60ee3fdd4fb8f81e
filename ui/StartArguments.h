#pragma once
// The desktop program's own command-line options, taken out of the
// arguments before the toolkit sees them:
//   --demo               the window against simulated variators started in
//                        this process (where the build has them)
//   --screenshots DIR    the demonstration brought up as a user would, a
//                        picture of the start dialog and of every page into
//                        DIR, then the end
//   --walk DIR           the same walk against the variator that the start
//                        sequence finds on the system's own ports (no
//                        simulator inside): the check of an installed program
#include <QString>
#include <optional>
#include <string>

namespace tovrel::ui {

struct DemoRequest {
    bool demo = false;
    QString screenshots;  // directory; empty: none wanted
    QString walk;         // directory; empty: none wanted
    // Whether the built-in simulated variators are wanted.
    bool Wanted() const { return demo || !screenshots.isEmpty(); }
};

// Takes --demo, --screenshots DIR, --screenshots=DIR, --walk DIR and
// --walk=DIR out of the arguments; the directories are made absolute against
// the working directory of the moment. Nothing when an argument is wrong;
// `error` then says why.
std::optional<DemoRequest> TakeDemoArguments(int& argc, char** argv, std::string& error);

}  // namespace tovrel::ui
