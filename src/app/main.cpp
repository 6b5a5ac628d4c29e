// xsc-gui: the desktop compiler window. No arguments, no settings.

#include <csignal>

#include "App.h"

int main(int argc, char** argv) {
    // Writing past a file-size limit must fail the write (and show as an error), not kill the
    // program with the script the user typed.
    std::signal(SIGXFSZ, SIG_IGN);
    xsc::App app(argc, argv);
    return app.Run();
}
