#include "MenuBar1.h"

#include <iterator>

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMenu>

namespace xsc {

// One item: its name, its caption ("-" makes a separator) and its shortcut ("" for none).
// "Ctrl" is the platform's command key: Qt shows and matches it as Cmd on macOS.
struct MenuItemDefinition {
    const char* name;
    const char* caption;
    const char* shortcut;
};

namespace {

constexpr char kSeparatorCaption[] = "-";

constexpr MenuItemDefinition kFileItems[] = {
    {"FileLoadmap", QT_TRANSLATE_NOOP("MenuBar1", "&Load map"), "Ctrl+L"},
    {"Filej", kSeparatorCaption, ""},
    {"FileQuit", QT_TRANSLATE_NOOP("MenuBar1", "&Quit"), "Ctrl+Q"},
};

constexpr MenuItemDefinition kEditItems[] = {
    {"EditUndo", QT_TRANSLATE_NOOP("MenuBar1", "&Undo"), "Ctrl+Z"},
    {"UntitledMenu1", kSeparatorCaption, ""},
    {"EditCut", QT_TRANSLATE_NOOP("MenuBar1", "Cu&t"), "Ctrl+X"},
    {"EditCopy", QT_TRANSLATE_NOOP("MenuBar1", "&Copy"), "Ctrl+C"},
    {"EditPaste", QT_TRANSLATE_NOOP("MenuBar1", "&Paste"), "Ctrl+V"},
    {"EditClear", QT_TRANSLATE_NOOP("MenuBar1", "&Delete"), ""},
    {"UntitledMenu0", kSeparatorCaption, ""},
    {"EditSelectAll", QT_TRANSLATE_NOOP("MenuBar1", "Select &All"), "Ctrl+A"},
};

QString Caption(const char* caption) { return QCoreApplication::translate("MenuBar1", caption); }

QAction* MakeItem(const MenuItemDefinition& item, QMenu* menu) {
    auto* action = new QAction(menu);
    action->setObjectName(QString::fromLatin1(item.name));
    if (QString::fromLatin1(item.caption) == QLatin1String(kSeparatorCaption)) {
        action->setSeparator(true);
    } else {
        action->setText(Caption(item.caption));
        action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
    }
    return action;
}

}  // namespace

MenuBar1::MenuBar1(QWidget* parent) : QMenuBar(parent) {
    setObjectName(QStringLiteral("MenuBar1"));
    AddMenu("FileMenu", QT_TRANSLATE_NOOP("MenuBar1", "&File"), kFileItems, std::size(kFileItems));
    AddMenu("EditMenu", QT_TRANSLATE_NOOP("MenuBar1", "&Edit"), kEditItems, std::size(kEditItems));

    // A top-level entry without items: choosing the entry itself triggers it.
    QAction* about = addAction(Caption(QT_TRANSLATE_NOOP("MenuBar1", "&About")));
    about->setObjectName(QStringLiteral("aboutMenu"));

    Item(QStringLiteral("FileQuit"))->setMenuRole(QAction::QuitRole);
}

void MenuBar1::AddMenu(const char* name, const char* caption, const MenuItemDefinition* items,
                       std::size_t count) {
    auto* menu = new QMenu(Caption(caption), this);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    addMenu(menu);
    for (std::size_t i = 0; i < count; ++i) menu->addAction(MakeItem(items[i], menu));
}

QAction* MenuBar1::Item(const QString& name) const { return findChild<QAction*>(name); }

}  // namespace xsc
