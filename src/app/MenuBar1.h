#pragma once
// The menu bar: File ("&Load map", "&Quit"), Edit (the editing commands) and the item-less
// top-level "&About" entry. Every item is a QAction whose object name is the item's name
// ("FileLoadmap", "EditCopy", ...), so handlers and tests find items by name. The bar only
// builds the items; the window connects the commands.

#include <cstddef>

#include <QMenuBar>

class QAction;

namespace xsc {

struct MenuItemDefinition;

class MenuBar1 : public QMenuBar {
    Q_OBJECT

public:
    explicit MenuBar1(QWidget* parent = nullptr);

    // The item (or menu title) of that name; nullptr when there is none.
    QAction* Item(const QString& name) const;

private:
    void AddMenu(const char* name, const char* caption, const MenuItemDefinition* items,
                 std::size_t count);
};

}  // namespace xsc
