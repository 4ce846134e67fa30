#pragma once

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

}  // namespace vyk
