#pragma once
// The menu bar: File ("&Load map", "&Decompile map", "&Quit"), Edit (the editing commands) and the item-less
// top-level "&About" entry. Each item is a member named after the item (its object name is the
// same), all created in CreateActions in the order the bar shows them. The bar only builds the
// items; the window connects the commands.

#include <QMenuBar>

class QAction;
class QKeySequence;
class QMenu;

namespace xsc {

class MenuBar1 : public QMenuBar {
    Q_OBJECT

public:
    explicit MenuBar1(QWidget* parent = nullptr);

    QMenu* FileMenu = nullptr;
    QAction* FileLoadmap = nullptr;
    QAction* FileDecompilemap = nullptr;
    QAction* Filej = nullptr;  // separator
    QAction* FileQuit = nullptr;

    QMenu* EditMenu = nullptr;
    QAction* EditUndo = nullptr;
    QAction* UntitledMenu1 = nullptr;  // separator
    QAction* EditCut = nullptr;
    QAction* EditCopy = nullptr;
    QAction* EditPaste = nullptr;
    QAction* EditClear = nullptr;
    QAction* UntitledMenu0 = nullptr;  // separator
    QAction* EditSelectAll = nullptr;

    QAction* aboutMenu = nullptr;  // a top-level entry without items: choosing it triggers it

private:
    void CreateActions();
    QMenu* AddTitle(const char* name, const QString& caption);
    static QAction* AddItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut);
    static QAction* AddSeparator(QMenu* menu, const char* name);
};

}  // namespace xsc
