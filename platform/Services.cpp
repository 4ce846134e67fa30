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

TypedByteEvent::TypedByteEvent(QEvent::Type type, unsigned char byte)
    : QKeyEvent(type, 0, Qt::NoModifier, QString(QChar(static_cast<char16_t>(byte)))) {}

void PostTypedByte(unsigned char byte) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) return;
    QCoreApplication::postEvent(target, new TypedByteEvent(QEvent::KeyPress, byte));
    QCoreApplication::postEvent(target, new TypedByteEvent(QEvent::KeyRelease, byte));
}

}  // namespace vyk
