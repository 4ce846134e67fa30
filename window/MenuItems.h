#pragma once
// Menu items built from rows of data, and the meaning of a tick.

#include <string_view>

class QAction;
class QMenu;

namespace vyk {

struct MenuItemDesign {
    std::string_view name;       // objectName; the program's name of the item
    std::string_view caption;    // "-" for a separator
    std::string_view shortcut;   // portable text ("Ctrl+X"), empty for none
    bool tickable = false;
    bool ticked = false;
};

// Adds the item to the menu. A tickable item keeps the tick the program
// gives it: a click does not flip it by itself, so a click handler reads the
// tick as it was before the click and sets the new one (or refuses and
// leaves it).
QAction* AddMenuItem(QMenu* menu, const MenuItemDesign& design);

}  // namespace vyk
