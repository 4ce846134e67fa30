#include "platform/Services.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <vector>

#include "tests/QtTestSupport.h"

namespace vyk {
namespace {

TEST(Services, HourglassIsSetOnceAndRestoredOnce) {
    test::EnsureApp();
    EXPECT_FALSE(HourglassShown());
    SetHourglass();
    SetHourglass();
    EXPECT_TRUE(HourglassShown());
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetDefaultPointer();
    EXPECT_FALSE(HourglassShown());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    SetDefaultPointer();  // harmless when nothing is shown
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(Services, DoEventsRunsPendingEvents) {
    test::EnsureApp();
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    DoEvents();
    EXPECT_TRUE(ran);
}

// Records the key events a widget receives.
class KeyRecorder : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            events.push_back({event->type(), key->key(), key->modifiers(), key->text()});
        }
        return false;
    }
    struct Seen {
        QEvent::Type type;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };
    std::vector<Seen> events;
};

TEST(Services, TypedByteIsQueuedToTheFocusWidgetWithoutKeyCode) {
    test::EnsureApp();
    QLineEdit edit;
    edit.show();
    QApplication::setActiveWindow(&edit);
    edit.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    KeyRecorder recorder;
    edit.installEventFilter(&recorder);

    PostTypedByte(0xE0);
    EXPECT_TRUE(recorder.events.empty());
    DoEvents();
    ASSERT_EQ(recorder.events.size(), 2u);
    EXPECT_EQ(recorder.events[0].type, QEvent::KeyPress);
    EXPECT_EQ(recorder.events[0].key, 0);
    EXPECT_EQ(recorder.events[0].modifiers, Qt::NoModifier);
    EXPECT_EQ(recorder.events[0].text, QString(QChar(0xE0)));
    EXPECT_EQ(recorder.events[1].type, QEvent::KeyRelease);
    EXPECT_EQ(edit.text(), QString(QChar(0xE0)));
}

TEST(Services, TypedByteWithoutFocusGoesNowhere) {
    test::EnsureApp();
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    PostTypedByte(0x41);  // must not crash
    DoEvents();
    SUCCEED();
}

}  // namespace
}  // namespace vyk
