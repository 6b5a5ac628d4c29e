#include "HelpAndVersion.h"

#include <string_view>

namespace xsc {
namespace {

// The layout help2man reads: a usage line, a description, then the options.
constexpr std::string_view kHelp =
    "Usage: xsc-gui [QT-OPTION]...\n"
    "The xsc desktop compiler: one window, \"Compiler\", with a field for a script in the game's\n"
    "own language (.hsc source) or in XML, and a \"Compile Script\" button. File > Load map (Ctrl+L)\n"
    "chooses a Halo PC map (*.map); Compile Script checks the script for the map's build and\n"
    "compiles it into that map in place. The window takes no file arguments.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Print this help message and exit\n"
    "  --version      Display program version information and exit\n"
    "\n"
    "Qt's own options, such as -platform NAME and -style NAME, are accepted.\n";

}  // namespace

std::optional<int> AnswerHelpOrVersion(int argc, const char* const* argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            out << kHelp;
            return 0;
        }
        if (argument == "--version") {
            out << "xsc-gui " << XSC_VERSION << "\n";
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace xsc
