#pragma once
// Start-up: the application object. It registers the map file type, opens the one main window
// and runs the event loop until the user quits.

#include <QApplication>

namespace xsc {

class App : public QApplication {
public:
    App(int& argc, char** argv);

    // Opens Window1 and runs until Quit; returns the exit code.
    int Run();
};

}  // namespace xsc
