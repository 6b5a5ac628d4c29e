#pragma once
// xsc-gui's answers to --help and --version. They are given before the application object
// exists, so they need no display: a terminal without one can ask, and the build makes the
// manual page from them.

#include <optional>
#include <ostream>

namespace xsc {

// When an argument is -h, --help or --version: prints the answer to `out` and returns the exit
// code. Otherwise nothing: the window takes no arguments of its own, and Qt's options
// (-platform NAME, -style NAME, ...) are left to the application object.
std::optional<int> AnswerHelpOrVersion(int argc, const char* const* argv, std::ostream& out);

}  // namespace xsc
