#pragma once
// Keys and mouse buttons as the window's handlers know them: Windows
// virtual-key codes, Shift bits and button bits, points in twips.

#include <Qt>

#include <functional>

class QAbstractScrollArea;
class QMouseEvent;

namespace vyk {

// Windows virtual-key code of a Qt key (letters 65-90, BackSpace 8, Tab 9,
// Enter 13, Delete 46, Page/End/Home/arrows 33-40, the grave-accent key
// 192); 0 for keys without one.
int VirtualKeyCode(int qtKey);
// Shift bits of Qt keyboard modifiers: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftBits(Qt::KeyboardModifiers modifiers);
// Button bits of Qt mouse buttons: 1 left, 2 right, 4 middle.
int ButtonBits(Qt::MouseButtons buttons);

// A MouseDown handler: button bits, Shift bits, and the point in twips from
// the control's top-left corner.
using MouseDownHandler = std::function<void(int button, int shift, double x, double y)>;

// Reports a press on a scrolling control (list or pane) to its handler, if
// it has one.
void RaiseMouseDown(const MouseDownHandler& handler, const QAbstractScrollArea& area, const QMouseEvent& event);

}  // namespace vyk
