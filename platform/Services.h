#pragma once

#include <QKeyEvent>

namespace vyk {

// Lets pending window messages run.
void DoEvents();

// The program-wide mouse pointer: hourglass or default. Setting the same
// shape twice is harmless.
void SetHourglass();
void SetDefaultPointer();
bool HourglassShown();

void Beep();

// Types one byte into the widget that has the keyboard focus: a key event
// carrying the byte's Latin-1 character is queued (not sent), so it arrives
// after the current handler returns. The event has no key code of its own.
void PostTypedByte(unsigned char byte);

// The key event that PostTypedByte posts. Its one character is a byte of the
// text as it stands, which a control takes as it is, never as a character
// to look up; its key code is 0, so no key handler mistakes byte 0xC0 for
// the grave-accent key.
class TypedByteEvent : public QKeyEvent {
public:
    TypedByteEvent(QEvent::Type type, unsigned char byte);
};

}  // namespace vyk
