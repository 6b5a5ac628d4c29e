#include "MenuBar1.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace xsc {

MenuBar1::MenuBar1(QWidget* parent) : QMenuBar(parent) {
    setObjectName(QStringLiteral("MenuBar1"));
    CreateActions();
}

// Ctrl is the platform's command key: Qt shows and matches it as Cmd on macOS. The titles and
// "&Delete" have no shortcut.
void MenuBar1::CreateActions() {
    FileMenu = AddTitle("FileMenu", tr("&File"));
    FileLoadmap = AddItem(FileMenu, "FileLoadmap", tr("&Load map"), Qt::CTRL | Qt::Key_L);
    FileDecompilemap = AddItem(FileMenu, "FileDecompilemap", tr("&Decompile map"), QKeySequence());
    Filej = AddSeparator(FileMenu, "Filej");
    FileQuit = AddItem(FileMenu, "FileQuit", tr("&Quit"), Qt::CTRL | Qt::Key_Q);
    FileQuit->setMenuRole(QAction::QuitRole);

    EditMenu = AddTitle("EditMenu", tr("&Edit"));
    EditUndo = AddItem(EditMenu, "EditUndo", tr("&Undo"), Qt::CTRL | Qt::Key_Z);
    UntitledMenu1 = AddSeparator(EditMenu, "UntitledMenu1");
    EditCut = AddItem(EditMenu, "EditCut", tr("Cu&t"), Qt::CTRL | Qt::Key_X);
    EditCopy = AddItem(EditMenu, "EditCopy", tr("&Copy"), Qt::CTRL | Qt::Key_C);
    EditPaste = AddItem(EditMenu, "EditPaste", tr("&Paste"), Qt::CTRL | Qt::Key_V);
    EditClear = AddItem(EditMenu, "EditClear", tr("&Delete"), QKeySequence());
    UntitledMenu0 = AddSeparator(EditMenu, "UntitledMenu0");
    EditSelectAll = AddItem(EditMenu, "EditSelectAll", tr("Select &All"), Qt::CTRL | Qt::Key_A);

    aboutMenu = addAction(tr("&About"));
    aboutMenu->setObjectName(QStringLiteral("aboutMenu"));
}

QMenu* MenuBar1::AddTitle(const char* name, const QString& caption) {
    auto* menu = new QMenu(caption, this);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    addMenu(menu);
    return menu;
}

QAction* MenuBar1::AddItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    return item;
}

QAction* MenuBar1::AddSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

}  // namespace xsc
