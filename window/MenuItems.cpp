#include "window/MenuItems.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "platform/Latin1.h"

namespace vyk {

QAction* AddMenuItem(QMenu* menu, const MenuItemDesign& design) {
    QAction* item = design.caption == "-" ? menu->addSeparator() : menu->addAction(Latin1(design.caption));
    item->setObjectName(Latin1(design.name));
    if (!design.shortcut.empty()) item->setShortcut(QKeySequence(Latin1(design.shortcut)));
    if (design.tickable) {
        item->setCheckable(true);
        item->setChecked(design.ticked);
        // Connected before any handler, so every handler sees the tick as
        // it stood when the user clicked.
        QObject::connect(item, &QAction::triggered, item, [item](bool flipped) { item->setChecked(!flipped); });
    }
    return item;
}

}  // namespace vyk
