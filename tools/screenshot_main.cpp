// xsc-gui-screenshot MAP SCRIPT OUTDIR: opens the main window as a user would see it after
// loading MAP and typing SCRIPT, and saves it and the About window as OUTDIR/main-window.png and
// OUTDIR/about-window.png. Meant for the offscreen platform (no display needed).

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

#include "About.h"
#include "PathText.h"
#include "Window1.h"

namespace {

// Answers the chooser with the map given on the command line.
class GivenMap : public xsc::FileChooser {
public:
    explicit GivenMap(std::filesystem::path map) : map_(std::move(map)) {}
    std::optional<std::filesystem::path> GetOpenFolderItem(const std::string&) override { return map_; }

private:
    std::filesystem::path map_;
};

// Any message box here means the scene is not what the picture should show.
class FailOnMessage : public xsc::MessageBox {
public:
    void MsgBox(const QString& text) override { Fail(text); }
    void ErrorBox(const QString& text) override { Fail(text); }
    bool Question(const QString& text, const QString&, const QString&) override {
        Fail(text);
        return false;
    }
    static void Fail(const QString& text) {
        std::fprintf(stderr, "xsc-gui-screenshot: unexpected message: %s\n", qPrintable(text));
        std::exit(1);
    }
};

bool Save(QWidget* widget, const QString& path) {
    QApplication::processEvents();
    if (widget->grab().save(path, "PNG")) return true;
    std::fprintf(stderr, "xsc-gui-screenshot: cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: xsc-gui-screenshot MAP SCRIPT OUTDIR\n");
        return 2;
    }
    QFile script(args[2]);
    if (!script.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "xsc-gui-screenshot: cannot read %s\n", qPrintable(args[2]));
        return 1;
    }
    const QDir out(args[3]);

    xsc::Window1 window({std::make_unique<GivenMap>(xsc::PathFromQString(args[1])),
                         std::make_unique<FailOnMessage>()});
    window.show();
    window.FileLoadmap_Action();
    window.ScriptFld->setPlainText(QString::fromUtf8(script.readAll()));
    window.ScriptFld->setFocus();
    if (!Save(&window, out.filePath(QStringLiteral("main-window.png")))) return 1;

    window.aboutMenu_Action();
    if (!Save(xsc::About::Current(), out.filePath(QStringLiteral("about-window.png")))) return 1;
    return 0;
}
