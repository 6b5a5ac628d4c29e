// xsc-gui: the desktop compiler window. No arguments of its own beyond --help and --version,
// no settings.

#include <csignal>
#include <iostream>

#include "App.h"
#include "HelpAndVersion.h"

int main(int argc, char** argv) {
    if (const auto exitCode = xsc::AnswerHelpOrVersion(argc, argv, std::cout)) return *exitCode;
#ifdef SIGXFSZ
    // Writing past a file-size limit must fail the write (and show as an error), not kill the
    // program with the script the user typed.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    xsc::App app(argc, argv);
    return app.Run();
}
