#include "platform/Dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <functional>

#include "tests/QtTestSupport.h"
#include "tests/ScriptedDialogs.h"

namespace vyk {
namespace {

MsgRequest Request(MsgButtons buttons, std::string text = "text") {
    MsgRequest request;
    request.text = std::move(text);
    request.buttons = buttons;
    return request;
}

// Names are the file system's UTF-8, with a stray byte as its Latin-1 letter;
// the program's own words stay Latin-1.
TEST(QtDialogService, PathsShowAsTheFileSystemNamesThemAndTheRestAsLatin1) {
    const MessageText message = MessageText("caf\xE9 in ") +
                                PathText("/d/\xC3\xB1\xC4\x81ma-\xE0\xA4\xA6\xE0\xA4\xA4/caf\xE9") + " and " +
                                PathText("\xC0\xAF\xF0\x9F\x93\x81") + ".";
    EXPECT_EQ(BoxText(message), QString::fromUtf8(u8"caf\u00E9 in /d/\u00F1\u0101ma-\u0926\u0924/caf\u00E9 and "
                                                  u8"\u00C0\u00AF\U0001F4C1."));
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
    int labelWidth = 0, widestLine = 0;  // in pixels, as the label draws them
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
            shown.widestLine = label->fontMetrics().boundingRect(label->rect(), Qt::TextWordWrap, label->text()).width();
        }
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

// A folder of any length shows both ends in a box that fits the screen at once.
TEST(QtDialogService, OverlongLineShowsItsEndsAndTheBoxFitsTheScreen) {
    test::EnsureApp();
    QtDialogService dialogs;
    MsgRequest request = Request(MsgButtons::YesNoCancel, "Path?\r\n/first" + std::string(1'000'000, 'd') + "/last\r\nNo");
    request.icon = MsgIcon::Question;
    MsgAnswer answer{};
    const ShownBox shown = AnswerNextBox([&] { return dialogs.MsgBox(request); }, QMessageBox::Yes, answer);
    EXPECT_LE(shown.size.width(), shown.screen.width());
    EXPECT_LE(shown.size.height(), shown.screen.height());
    EXPECT_LE(shown.widestLine, shown.labelWidth) << "text runs past the box's edge";
    const QString line = shown.text.split(QLatin1Char('\n')).value(1);
    EXPECT_TRUE(line.startsWith("/firstddd") && line.endsWith("ddd/last") && line.size() < 500) << line.toStdString();

    // A message's own line of a few sentences wraps and is shown whole.
    const std::string sentence = "Cannot save /home/a-long-user-name/Documents/Sanskrit/grammar/corpus/sutra.vyk: another "
                                 "program has rewritten the file since it was loaded, so the records that were not "
                                 "edited can no longer be read as they were loaded.";
    ASSERT_GT(sentence.size(), 200u);
    const ShownBox whole = AnswerNextBox([&] { return dialogs.MsgBox(Request(MsgButtons::OK, sentence)); },
                                         QMessageBox::Ok, answer);
    EXPECT_EQ(whole.text.toStdString(), sentence);
}

}  // namespace
}  // namespace vyk
