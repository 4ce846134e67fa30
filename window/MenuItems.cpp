#include "window/MenuItems.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace vyk {

namespace {

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QAction* AddMenuItem(QMenu* menu, const MenuItemSpec& spec) {
    QAction* item = spec.caption == "-" ? menu->addSeparator() : menu->addAction(Latin1(spec.caption));
    item->setObjectName(Latin1(spec.name));
    if (!spec.shortcut.empty()) item->setShortcut(QKeySequence(Latin1(spec.shortcut)));
    if (spec.tickable) {
        item->setCheckable(true);
        item->setChecked(spec.ticked);
        // Connected before any handler, so every handler sees the tick as
        // it stood when the user clicked.
        QObject::connect(item, &QAction::triggered, item, [item](bool flipped) { item->setChecked(!flipped); });
    }
    return item;
}

}  // namespace vyk
