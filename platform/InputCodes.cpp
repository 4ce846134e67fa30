#include "platform/InputCodes.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>

#include "platform/Twips.h"

namespace vyk {

namespace {

struct KeyRow {
    int qtKey;
    int keyCode;
};

// Keys the handlers look at, by their Windows virtual-key numbers. Letters
// and digits keep their ASCII codes and are added by range below.
constexpr KeyRow KeyTable[] = {
    {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},        {Qt::Key_Backtab, 9},
    {Qt::Key_Return, 13},    {Qt::Key_Enter, 13},     {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},    {Qt::Key_PageDown, 34},  {Qt::Key_End, 35},
    {Qt::Key_Home, 36},      {Qt::Key_Left, 37},      {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},     {Qt::Key_Down, 40},      {Qt::Key_Delete, 46},
    {Qt::Key_QuoteLeft, 192}, {Qt::Key_AsciiTilde, 192},
};

}  // namespace

int VirtualKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;  // 65-90
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey;  // 48-57
    for (const KeyRow& row : KeyTable) {
        if (row.qtKey == qtKey) return row.keyCode;
    }
    return 0;
}

int ShiftBits(Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= 1;
    if (modifiers & Qt::ControlModifier) bits |= 2;
    if (modifiers & Qt::AltModifier) bits |= 4;
    return bits;
}

int ButtonBits(Qt::MouseButtons buttons) {
    int bits = 0;
    if (buttons & Qt::LeftButton) bits |= 1;
    if (buttons & Qt::RightButton) bits |= 2;
    if (buttons & Qt::MiddleButton) bits |= 4;
    return bits;
}

void RaiseMouseDown(const MouseDownHandler& handler, const QAbstractScrollArea& area, const QMouseEvent& event) {
    if (!handler) return;
    // Mouse events arrive in the viewport's coordinates; the handler wants
    // them from the control's own corner.
    const QPoint point = area.viewport()->mapTo(&area, event.position().toPoint());
    handler(ButtonBits(event.button()), ShiftBits(event.modifiers()), PixelsToTwips(point.x()),
            PixelsToTwips(point.y()));
}

}  // namespace vyk
