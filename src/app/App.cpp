#include "App.h"

#include <QTimer>

#include "Window1.h"
#include "map/HaloMapTypes.h"
#include "runtime/PausePoint.h"

namespace xsc {

App::App(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("xsc-gui"));
    setApplicationVersion(QStringLiteral(XSC_VERSION));
    // The installed desktop entry (xsc-gui.desktop): its name and icon stand for the window.
    setDesktopFileName(QStringLiteral("xsc-gui"));
    HaloMapTypes::HaloMap();  // the map file type exists before any window asks for it
}

int App::Run() {
    Window1 window;
    window.show();
    // Once the event loop runs, the window is up: the point where a check of a build holds it.
    QTimer::singleShot(0, this, [] { PausePoint(pause::kWindowShown); });
    return exec();
}

}  // namespace xsc
