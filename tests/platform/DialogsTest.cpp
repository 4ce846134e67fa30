#include "platform/Dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>

#include <cstdlib>
#include <functional>

#include "tests/QtTestSupport.h"

namespace vyk {
namespace {

MsgRequest Request(MsgButtons buttons, std::string text = "text") {
    MsgRequest request;
    request.text = std::move(text);
    request.buttons = buttons;
    return request;
}

TEST(ScriptedDialogService, RecordsRequestsAndGivesPlannedAnswersInOrder) {
    ScriptedDialogService dialogs;
    dialogs.Plan(MsgAnswer::No);
    dialogs.Plan(MsgAnswer::Yes);
    EXPECT_EQ(dialogs.MsgBox(Request(MsgButtons::YesNoCancel, "first")), MsgAnswer::No);
    EXPECT_EQ(dialogs.MsgBox(Request(MsgButtons::YesNo, "second")), MsgAnswer::Yes);
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[0].text, "first");
    EXPECT_EQ(dialogs.asked[1].buttons, MsgButtons::YesNo);
}

TEST(ScriptedDialogService, UnplannedBoxGetsItsMostCautiousAnswer) {
    ScriptedDialogService dialogs;
    EXPECT_EQ(dialogs.MsgBox(Request(MsgButtons::YesNoCancel)), MsgAnswer::Cancel);
    EXPECT_EQ(dialogs.MsgBox(Request(MsgButtons::OKCancel)), MsgAnswer::Cancel);
    EXPECT_EQ(dialogs.MsgBox(Request(MsgButtons::YesNo)), MsgAnswer::No);
    EXPECT_EQ(dialogs.MsgBox(Request(MsgButtons::OK)), MsgAnswer::OK);
}

// Answers the next message box from a timer, so the test never waits on it.
struct ShownBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QSize size, screen;
    int labelWidth = 0, widestRun = 0;  // a run: text between blanks, "/" and line ends
};

ShownBox AnswerNextBox(const std::function<MsgAnswer()>& show, QMessageBox::StandardButton press,
                       MsgAnswer& answer) {
    ShownBox shown;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        timer.stop();
        shown = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                 box->standardButton(box->defaultButton()), box->size(),
                 box->screen()->availableGeometry().size()};
        if (const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            shown.labelWidth = label->width();
            static const QRegularExpression breaks(QStringLiteral("[ /\n]"));
            for (const QString& run : label->text().split(breaks))
                shown.widestRun = qMax(shown.widestRun, label->fontMetrics().horizontalAdvance(run));
        }
        if (const char* shots = std::getenv("VYK_SHOTS_DIR"))
            box->grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/msgbox.png"));
        box->button(press)->click();
    });
    timer.start();
    answer = show();
    return shown;
}

TEST(QtDialogService, ShowsTextTitleIconAndButtons) {
    test::EnsureApp();
    QtDialogService dialogs;
    MsgRequest request;
    request.text = "1. Not found in\r\n   /a\r\n\r\n2. Continue?\rnext \xe9";
    request.buttons = MsgButtons::YesNoCancel;
    request.icon = MsgIcon::Question;
    MsgAnswer answer{};
    const ShownBox shown = AnswerNextBox([&] { return dialogs.MsgBox(request); }, QMessageBox::No, answer);
    EXPECT_EQ(answer, MsgAnswer::No);
    EXPECT_EQ(shown.title, "Vyakorsutravali");
    EXPECT_EQ(shown.text, QString::fromLatin1("1. Not found in\n   /a\n\n2. Continue?\nnext \xe9"));
    EXPECT_EQ(shown.icon, QMessageBox::Question);
    EXPECT_EQ(shown.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(shown.defaultButton, QMessageBox::Yes);
}

TEST(QtDialogService, OwnTitleAndEachButtonSetMapBack) {
    test::EnsureApp();
    QtDialogService dialogs;
    struct Row {
        MsgButtons buttons;
        QMessageBox::StandardButton press;
        MsgAnswer answer;
    };
    const Row rows[] = {
        {MsgButtons::OK, QMessageBox::Ok, MsgAnswer::OK},
        {MsgButtons::OKCancel, QMessageBox::Cancel, MsgAnswer::Cancel},
        {MsgButtons::YesNo, QMessageBox::Yes, MsgAnswer::Yes},
        {MsgButtons::YesNoCancel, QMessageBox::Cancel, MsgAnswer::Cancel},
    };
    for (const Row& row : rows) {
        MsgRequest request = Request(row.buttons);
        request.title = "Convert";
        request.icon = MsgIcon::Exclamation;
        MsgAnswer answer{};
        const ShownBox shown = AnswerNextBox([&] { return dialogs.MsgBox(request); }, row.press, answer);
        EXPECT_EQ(answer, row.answer);
        EXPECT_EQ(shown.title, "Convert");
        EXPECT_EQ(shown.icon, QMessageBox::Warning);
    }
}

// A remembered folder can be of any length: its line shows both ends, and
// the box fits the screen the moment it comes up.
TEST(QtDialogService, OverlongLineShowsItsEndsAndTheBoxFitsTheScreen) {
    test::EnsureApp();
    QtDialogService dialogs;
    MsgRequest request;
    request.text = "2. Continue with the Previous Path?\r\n   /first" + std::string(1'000'000, 'd') + "/last\r\n\r\n3. No";
    request.buttons = MsgButtons::YesNoCancel;
    request.icon = MsgIcon::Question;
    MsgAnswer answer{};
    const ShownBox shown = AnswerNextBox([&] { return dialogs.MsgBox(request); }, QMessageBox::Yes, answer);
    EXPECT_EQ(answer, MsgAnswer::Yes);
    EXPECT_LE(shown.size.width(), shown.screen.width());
    EXPECT_LE(shown.size.height(), shown.screen.height());

    EXPECT_GT(shown.labelWidth, 0);
    EXPECT_LE(shown.widestRun, shown.labelWidth) << "a run the box cannot wrap is cut off at its edge";

    const QStringList lines = shown.text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "2. Continue with the Previous Path?");
    EXPECT_TRUE(lines[1].startsWith("   /firstddd")) << lines[1].left(20).toStdString();
    EXPECT_TRUE(lines[1].endsWith("ddd/last")) << lines[1].right(20).toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("d\u2026d")) || lines[1].contains("d...d"));
    EXPECT_LT(lines[1].size(), 200);
    EXPECT_EQ(lines[3], "3. No");
}

}  // namespace
}  // namespace vyk
