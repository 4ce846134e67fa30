#include "platform/Services.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QWidget>

namespace vyk {

void DoEvents() { QCoreApplication::processEvents(); }

bool HourglassShown() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

void SetHourglass() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
    if (!HourglassShown()) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void SetDefaultPointer() {
    // Qt stacks override cursors; the default shape is back only when every
    // hourglass pushed on top is gone.
    while (HourglassShown()) QGuiApplication::restoreOverrideCursor();
}

void Beep() { QApplication::beep(); }

void PostTypedByte(unsigned char byte) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) return;
    // Key 0: the byte is typed text, not a key of the keyboard, so a key-down
    // handler cannot mistake byte 0xC0 for the grave-accent key.
    const QString text(QChar(static_cast<char16_t>(byte)));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, text));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, 0, Qt::NoModifier, text));
}

}  // namespace vyk
