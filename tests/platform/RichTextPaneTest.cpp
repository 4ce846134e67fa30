#include "platform/RichTextPane.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QImage>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTextLayout>
#include <QKeyEvent>
#include <QMainWindow>
#include <QShortcut>
#include <QTextBlock>
#include <QTest>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "tests/QtTestSupport.h"
#include "tests/platform/RtfBuilder.h"

namespace vyk {
namespace {

using test::Section;
using test::SectionsRtf;

struct KeyDownCall {
    int keyCode;
    int shift;
};

class RichTextPaneTest : public ::testing::Test, protected test::WithApp {
protected:
    void SetUp() override {
        test::EnsureApp();
        pane.KeyDown = [this](int& keyCode, int shift) {
            keyDowns.push_back({keyCode, shift});
            if (keyCode == swallowCode) keyCode = 0;
        };
        pane.KeyPress = [this](int keyAscii) { keyPresses.push_back(keyAscii); };
    }

    // Sends a key press and its release straight to the pane, as the window
    // system delivers a key that no shortcut wants.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QCoreApplication::sendEvent(&pane, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QCoreApplication::sendEvent(&pane, &release);
    }

    RichTextPane pane;
    int swallowCode = -1;
    std::vector<KeyDownCall> keyDowns;
    std::vector<int> keyPresses;
};

// The plain-text layout that the commit of typed changes parses.
TEST_F(RichTextPaneTest, TextOfASectionEndsEveryLineWithCrLf) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", " ab\r\nc\xe9"}}));
    EXPECT_EQ(pane.Text(), "Sutra\r\nab\r\nc\xe9\r\n");
}

TEST_F(RichTextPaneTest, TextOfSeveralSectionsFollowsTheirOrder) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "a"}, {"Pada-Patha", "b"}, {"Explanation", "c\r\nd"}}));
    EXPECT_EQ(pane.Text(), "Sutra\r\na\r\nPada-Patha\r\nb\r\nExplanation\r\nc\r\nd\r\n");
}

TEST_F(RichTextPaneTest, LoneLineFeedIsLostAndLoneCarriageReturnReadsAsCrLf) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "a\nb\rc"}}));
    EXPECT_EQ(pane.Text(), "Sutra\r\nab\r\nc\r\n");
}

TEST_F(RichTextPaneTest, InsertedSectionShowsTwoEmptyLines) {
    pane.SetTextRTF(SectionsRtf({{"Vritti", "\r\n"}}));
    EXPECT_EQ(pane.Text(), "Vritti\r\n\r\n\r\n");
}

TEST_F(RichTextPaneTest, BlankFieldShowsItsHeadAboveAnEmptyLine) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "   "}}));
    EXPECT_EQ(pane.Text(), "Sutra\r\n\r\n");
}

TEST_F(RichTextPaneTest, BracesBackslashesAndHighBytesReadBackUnchanged) {
    std::string text = "{a}\\b ";
    for (int c = 127; c <= 255; ++c) text += static_cast<char>(c);
    pane.SetTextRTF(SectionsRtf({{"Sutra", text}}));
    EXPECT_EQ(pane.Text(), "Sutra\r\n" + text + "\r\n");
}

TEST_F(RichTextPaneTest, EachDocumentReplacesTheWholeLastOne) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "one"}, {"Vritti", "two"}}));
    pane.SetTextRTF(SectionsRtf({{"Vartika", "three"}}));
    EXPECT_EQ(pane.Text(), "Vartika\r\nthree\r\n");
}

TEST_F(RichTextPaneTest, FinalParagraphWithTextIsEndedToo) {
    pane.SetTextRTF("{\\rtf1 a\\par b}");
    EXPECT_EQ(pane.Text(), "a\r\nb\r\n");
}

TEST_F(RichTextPaneTest, CharactersOutsideLatin1ReadAsQuestionMarks) {
    pane.setPlainText(QString::fromUtf8("a\u0101b"));
    EXPECT_EQ(pane.Text(), "a?b\r\n");
}

TEST_F(RichTextPaneTest, SetTextEmptiesOrFillsThePane) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "x"}}));
    pane.SetText("");
    EXPECT_EQ(pane.Text(), "");
    pane.SetText("a\r\nb\rc\nd\r\n");
    EXPECT_EQ(pane.Text(), "a\r\nb\r\nc\r\nd\r\n");
}

TEST_F(RichTextPaneTest, SelStartCountsCrLfAsTwo) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "ab"}, {"Vritti", "\r\n"}}));
    ASSERT_EQ(pane.Text(), "Sutra\r\nab\r\nVritti\r\n\r\n\r\n");
    // Just after "Vritti" CR LF, where Insert puts the caret.
    pane.SetSelStart(19);
    EXPECT_EQ(pane.SelStart(), 19);
    EXPECT_EQ(pane.textCursor().block().blockNumber(), 3);
    EXPECT_EQ(pane.textCursor().positionInBlock(), 0);
    EXPECT_FALSE(pane.textCursor().hasSelection());

    pane.SetSelStart(8);  // between a and b
    EXPECT_EQ(pane.textCursor().block().text(), "ab");
    EXPECT_EQ(pane.textCursor().positionInBlock(), 1);
    EXPECT_EQ(pane.SelStart(), 8);
}

TEST_F(RichTextPaneTest, SelStartOnTheLineFeedGoesToTheNextLine) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "ab"}}));
    pane.SetSelStart(6);  // the LF of "Sutra" CR LF
    EXPECT_EQ(pane.SelStart(), 7);
}

TEST_F(RichTextPaneTest, SelStartPastTheEndStandsAtTheEnd) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "ab"}}));
    pane.SetSelStart(5000);
    EXPECT_EQ(pane.SelStart(), static_cast<int>(pane.Text().size()));
    pane.SetSelStart(-3);
    EXPECT_EQ(pane.SelStart(), 0);
}

TEST_F(RichTextPaneTest, SelStartReadsTheStartOfASelection) {
    pane.SetText("abc\r\ndef");
    QTextCursor cursor = pane.textCursor();
    cursor.setPosition(6);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    pane.setTextCursor(cursor);
    EXPECT_EQ(pane.SelStart(), 2);
}

TEST(KeyCodes, QtKeysMapToWindowsVirtualKeys) {
    struct Row {
        int qtKey;
        int keyCode;
    };
    const Row rows[] = {
        {Qt::Key_A, 65},          {Qt::Key_Z, 90},         {Qt::Key_0, 48},      {Qt::Key_9, 57},
        {Qt::Key_Space, 32},      {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},     {Qt::Key_Return, 13},
        {Qt::Key_Enter, 13},      {Qt::Key_Delete, 46},    {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34},
        {Qt::Key_End, 35},        {Qt::Key_Home, 36},      {Qt::Key_Left, 37},   {Qt::Key_Up, 38},
        {Qt::Key_Right, 39},      {Qt::Key_Down, 40},      {Qt::Key_QuoteLeft, 192},
        {Qt::Key_AsciiTilde, 192}, {Qt::Key_Agrave, 0},    {Qt::Key_Eacute, 0},  {Qt::Key_Shift, 0},
        {Qt::Key_Control, 0},     {Qt::Key_F1, 0},         {0, 0},
    };
    for (const Row& row : rows) EXPECT_EQ(VirtualKeyCode(row.qtKey), row.keyCode) << row.qtKey;
}

TEST(KeyCodes, ModifiersAndButtonsMapToTheirBits) {
    EXPECT_EQ(ShiftBits(Qt::NoModifier), 0);
    EXPECT_EQ(ShiftBits(Qt::ShiftModifier), 1);
    EXPECT_EQ(ShiftBits(Qt::ControlModifier | Qt::AltModifier), 6);
    EXPECT_EQ(ShiftBits(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier), 7);
    EXPECT_EQ(ButtonBits(Qt::LeftButton), 1);
    EXPECT_EQ(ButtonBits(Qt::RightButton), 2);
    EXPECT_EQ(ButtonBits(Qt::MiddleButton), 4);
    EXPECT_EQ(ButtonBits(Qt::BackButton), 0);
}

TEST_F(RichTextPaneTest, TypedKeyReachesBothHandlersThenThePane) {
    Press(Qt::Key_Q, Qt::NoModifier, "q");
    ASSERT_EQ(keyDowns.size(), 1u);
    EXPECT_EQ(keyDowns[0].keyCode, 81);
    EXPECT_EQ(keyDowns[0].shift, 0);
    EXPECT_EQ(keyPresses, std::vector<int>{'q'});
    EXPECT_EQ(pane.Text(), "q\r\n");
}

TEST_F(RichTextPaneTest, KeyCodeSetToZeroSwallowsTheKey) {
    swallowCode = 81;
    Press(Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier, "Q");
    ASSERT_EQ(keyDowns.size(), 1u);
    EXPECT_EQ(keyDowns[0].shift, 3);
    EXPECT_TRUE(keyPresses.empty());
    EXPECT_EQ(pane.Text(), "");
}

TEST_F(RichTextPaneTest, KeysWithAltTypeNothing) {
    Press(Qt::Key_A, Qt::AltModifier, "a");
    Press(Qt::Key_A, Qt::ControlModifier | Qt::AltModifier, "a");
    EXPECT_EQ(keyDowns.size(), 2u);
    EXPECT_EQ(keyDowns[1].shift, 6);
    EXPECT_TRUE(keyPresses.empty());
    EXPECT_EQ(pane.Text(), "");
}

TEST_F(RichTextPaneTest, ControlKeysTypeTheirControlCodes) {
    pane.SetText("ab");
    pane.moveCursor(QTextCursor::End);
    Press(Qt::Key_Backspace);
    Press(Qt::Key_Return);
    Press(Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
    EXPECT_EQ(keyPresses, (std::vector<int>{8, 13}));
    EXPECT_EQ(pane.Text(), "a\r\n");
}

// Every Enter starts a paragraph in the format of the one it leaves: with
// Shift too, and on an empty line, where the editor would drop the margins
// and the face and start none.
TEST_F(RichTextPaneTest, EveryEnterStartsAParagraphLikeTheOneItLeaves) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "a"}}));
    pane.SetSelStart(8);
    Press(Qt::Key_Return, Qt::ShiftModifier, "\r");
    Press(Qt::Key_Return, Qt::NoModifier, "\r");
    Press(Qt::Key_B, Qt::NoModifier, "b");
    EXPECT_EQ(pane.Text(), "Sutra\r\na\r\n\r\nb\r\n");
    const QTextBlock typed = pane.textCursor().block();
    EXPECT_EQ(typed.blockFormat().leftMargin(), typed.previous().previous().blockFormat().leftMargin());
    EXPECT_EQ(pane.textCursor().charFormat().fontPointSize(), 11.5);
}

TEST_F(RichTextPaneTest, LockedPaneRefusesTypingWhileHandlersStillFire) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "ab"}}));
    pane.SetLocked(true);
    EXPECT_TRUE(pane.Locked());
    const std::string before = pane.Text();
    pane.SetSelStart(7);
    Press(Qt::Key_X, Qt::NoModifier, "x");
    Press(Qt::Key_Backspace);
    EXPECT_EQ(pane.Text(), before);
    EXPECT_EQ(keyDowns.size(), 2u);
    EXPECT_EQ(keyPresses, (std::vector<int>{'x', 8}));

    // The caret still moves with the arrows.
    Press(Qt::Key_Right);
    EXPECT_EQ(pane.SelStart(), 8);

    pane.SetLocked(false);
    EXPECT_FALSE(pane.Locked());
    Press(Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_EQ(pane.Text(), "Sutra\r\naxb\r\n");
}

// Input that arrives as text rather than as keys: composed characters,
// pastes, drops. A small table of the owner's letters stands in for the
// font's.
class IncomingTextTest : public RichTextPaneTest {
protected:
    void SetUp() override {
        RichTextPaneTest::SetUp();
        // As the window's table has it for these: ASCII as itself, two IAST
        // letters as their glyph bytes, and no byte for the rest (é among them).
        pane.ByteForCharacter = [](char32_t c) -> std::optional<unsigned char> {
            if ((c >= 0x20 && c < 0x7F) || c == '\n' || c == '\r') return static_cast<unsigned char>(c);
            if (c == U'\u0101') return 0xE0;  // a with macron
            if (c == U'\u1E63') return 0xEF;  // s with dot below
            return std::nullopt;
        };
        pane.CharacterForByte = [](unsigned char byte) -> char32_t { return byte == 0xE0 ? U'\u0101' : byte; };
        pane.RefusedCharacter = [this](char32_t c) { refused.push_back(c); };
        pane.Change = [this] { ++changes; };
        pane.SetText("ab");
        pane.moveCursor(QTextCursor::End);
    }

    void Compose(const QString& commit, const QString& preedit = {}) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QCoreApplication::sendEvent(&pane, &event);
    }

    void Paste(const QString& text) {
        QApplication::clipboard()->setText(text);
        pane.paste();
    }

    std::vector<char32_t> refused;
    int changes = 0;
};

TEST_F(IncomingTextTest, ComposedCharactersAreTypedInputAndTheLockRefusesThem) {
    pane.SetLocked(true);
    Compose({}, QStringLiteral("\u0101"));
    EXPECT_TRUE(pane.textCursor().block().layout()->preeditAreaText().isEmpty());
    Compose(QStringLiteral("\u0101x"));
    EXPECT_EQ(pane.Text(), "ab\r\n");
    EXPECT_EQ(keyPresses, (std::vector<int>{0xE0, 'x'}));
    EXPECT_EQ(changes, 0);

    keyPresses.clear();
    pane.SetLocked(false);
    Compose(QStringLiteral("\u0101x"));
    EXPECT_EQ(pane.Text(), "ab\xE0x\r\n");
    EXPECT_EQ(keyPresses, (std::vector<int>{0xE0, 'x'}));
    EXPECT_GT(changes, 0);

    Compose(QStringLiteral("\u0905"));  // a Devanagari letter: no byte, so nothing, not "?"
    EXPECT_EQ(pane.Text(), "ab\xE0x\r\n");
    EXPECT_EQ(refused, std::vector<char32_t>{U'\u0905'});
}

TEST_F(IncomingTextTest, EveryChangeByTheUserIsReportedAndNoLoadIs) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "ab"}}));
    pane.SetText("xyz");
    EXPECT_EQ(changes, 0);

    const auto changedBy = [this](const std::function<void()>& action) {
        changes = 0;
        action();
        return changes > 0;
    };
    pane.moveCursor(QTextCursor::End);
    EXPECT_TRUE(changedBy([&] { Paste(QStringLiteral("p")); }));
    EXPECT_TRUE(changedBy([&] { pane.undo(); }));
    EXPECT_TRUE(changedBy([&] { pane.redo(); }));
    pane.clear();
    EXPECT_TRUE(changedBy([&] {
        QMimeData dropped;
        dropped.setText(QStringLiteral("d"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane.viewport(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane.viewport(), &drop);
    }));
    EXPECT_EQ(pane.Text(), "d\r\n");
}

// An input method that replaces the letter before the caret as it commits:
// a refused commit must leave that letter, and a character beyond the first
// 65,536 is one key press, not two.
TEST_F(IncomingTextTest, ARefusedCompositionChangesNothingAndEachCharacterIsOneKeyPress) {
    QInputMethodEvent replacing(QString(), {});
    replacing.setCommitString(QStringLiteral("\u0905"), -1, 1);
    QCoreApplication::sendEvent(&pane, &replacing);
    EXPECT_EQ(pane.Text(), "ab\r\n");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(refused, std::vector<char32_t>{U'\u0905'});

    pane.SetLocked(true);
    Compose(QString::fromUcs4(U"\U0001F600"));
    EXPECT_EQ(keyPresses, std::vector<int>{'?'});
}

TEST_F(IncomingTextTest, CopyCarriesTheLettersShownAndPastesBackAsTheSameBytes) {
    pane.SetText("x\xE0y\r\nz");
    pane.selectAll();
    pane.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("x\xC4\x81y\nz"));
    pane.moveCursor(QTextCursor::End);
    pane.paste();
    EXPECT_EQ(pane.Text(), "x\xE0y\r\nzx\xE0y\r\nz\r\n");
}

// Each line as its text and its characters' marks, one digit a character.
std::vector<std::string> MarkedLines(const RichTextPane& pane) {
    std::vector<std::string> lines;
    for (const PaneLine& line : pane.Lines()) {
        std::string marks;
        for (const int mark : line.marks) marks += static_cast<char>('0' + mark);
        lines.push_back(line.text + "|" + marks);
    }
    return lines;
}

TEST_F(IncomingTextTest, MarksStayWithTheirCharactersAndNothingThatComesInCarriesOne) {
    pane.SetTextRTF(SectionsRtf({{"Sutra", "ab"}, {"Vritti", "v"}}), {{0, 1}, {2, 4}});
    ASSERT_EQ(MarkedLines(pane), (std::vector<std::string>{"Sutra|11111", "ab|00", "Vritti|444444", "v|0"}));
    EXPECT_EQ(changes, 0) << "marking is part of the load";

    // Typed at the end of a marked line, composed, pasted with a line break
    // before it, and put in by an assistive tool: none of it is marked.
    pane.SetSelStart(17);  // after "Vritti"
    Press(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    Compose(QStringLiteral("\u0101"));
    pane.SetSelStart(0);
    Paste(QStringLiteral("P\nQ"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&pane);
    ASSERT_NE(accessible, nullptr);
    ASSERT_NE(accessible->editableTextInterface(), nullptr);
    accessible->editableTextInterface()->insertText(5, QStringLiteral("\u1E63"));  // into "QSutra"
    EXPECT_EQ(MarkedLines(pane),
              (std::vector<std::string>{"P|0", "QSu\xEFtra|0110111", "ab|00", "Vrittix\xE0|44444400", "v|0"}));

    // The pane's undo brings back the marks of what it restores.
    pane.selectAll();
    pane.textCursor().removeSelectedText();
    pane.undo();
    EXPECT_EQ(MarkedLines(pane)[3], "Vrittix\xE0|44444400");
}

class FocusedPaneTest : public RichTextPaneTest {
protected:
    void SetUp() override {
        RichTextPaneTest::SetUp();
        window.setCentralWidget(&pane);
        window.show();
        QApplication::setActiveWindow(&window);
        pane.setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        ASSERT_EQ(QApplication::focusWidget(), &pane);
    }
    void TearDown() override { window.takeCentralWidget(); }

    // QTest presses the modifier keys too; those reach KeyDown with code 0.
    int KeyDownsOf(int keyCode) const {
        return static_cast<int>(std::count_if(keyDowns.begin(), keyDowns.end(),
                                              [&](const KeyDownCall& call) { return call.keyCode == keyCode; }));
    }

    QMainWindow window;
};

TEST_F(FocusedPaneTest, PostedByteArrivesLaterAsTypedCharacterWithoutKeyCode) {
    PostTypedByte(0xC0);
    EXPECT_TRUE(keyPresses.empty()) << "the byte must be queued, not sent";
    QCoreApplication::processEvents();
    ASSERT_EQ(keyDowns.size(), 1u);
    EXPECT_EQ(keyDowns[0].keyCode, 0) << "byte 0xC0 must not look like the grave-accent key";
    EXPECT_EQ(keyPresses, std::vector<int>{0xC0});
    EXPECT_EQ(pane.Text(), "\xc0\r\n");
}

TEST_F(FocusedPaneTest, SwallowedKeyWinsOverAMenuShortcut) {
    int fired = 0;
    QShortcut shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &window);
    QObject::connect(&shortcut, &QShortcut::activated, [&] { ++fired; });
    swallowCode = 83;
    QTest::keyClick(&pane, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(KeyDownsOf(83), 1) << "the handler sees the key once";
    EXPECT_TRUE(keyPresses.empty());
}

TEST_F(FocusedPaneTest, KeyLeftAloneStillReachesItsShortcut) {
    int fired = 0;
    QShortcut shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &window);
    QObject::connect(&shortcut, &QShortcut::activated, [&] { ++fired; });
    QTest::keyClick(&pane, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(KeyDownsOf(83), 1);
}

TEST_F(FocusedPaneTest, KeyWithoutShortcutSeesKeyDownOnce) {
    QTest::keyClick(&pane, Qt::Key_K, Qt::NoModifier);
    EXPECT_EQ(KeyDownsOf(75), 1);
    EXPECT_EQ(pane.Text(), "k\r\n");
}

TEST_F(RichTextPaneTest, MouseDownGivesButtonShiftAndTwipsFromThePaneCorner) {
    pane.resize(300, 200);
    struct Call {
        int button, shift;
        double x, y;
    };
    std::vector<Call> calls;
    pane.MouseDown = [&](int button, int shift, double x, double y) { calls.push_back({button, shift, x, y}); };
    const QPoint inViewport(20, 10);
    const QPoint inPane = pane.viewport()->mapTo(&pane, inViewport);
    QMouseEvent press(QEvent::MouseButtonPress, inViewport, pane.viewport()->mapToGlobal(inViewport),
                      Qt::RightButton, Qt::RightButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(pane.viewport(), &press);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].button, 2);
    EXPECT_EQ(calls[0].shift, 1);
    EXPECT_DOUBLE_EQ(calls[0].x, inPane.x() * 15.0);
    EXPECT_DOUBLE_EQ(calls[0].y, inPane.y() * 15.0);
}

// Length of the longest horizontal run of dark-red pixels.
int LongestDarkRedRun(const QImage& image) {
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const bool darkRed = c.red() > 90 && c.red() < 170 && c.green() < 40 && c.blue() < 40;
            run = darkRed ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

TEST_F(RichTextPaneTest, HeadsShowUnderlinedInDarkRed) {
    pane.resize(520, 260);
    pane.SetTextRTF(SectionsRtf({{"Sutra", "v\xe3" "ddhir \xe0" "daic"},
                                 {"Vritti", "\xe0" "d aic ca v\xe3" "ddhisa\xea" "j\xea" "aka\xe7 sy\xe0" "t.\r\n"
                                            "second line"}},
                                "DejaVu Sans"));
    const QImage image = pane.grab().toImage();
    // The underline of "Vritti" alone is a run of well over 20 pixels.
    EXPECT_GE(LongestDarkRedRun(image), 20);
    const QByteArray shots = qgetenv("VYK_SHOTS_DIR");
    if (!shots.isEmpty()) image.save(QString::fromLocal8Bit(shots) + "/pane.png");
}

TEST_F(RichTextPaneTest, PlacementIsKeptInTwipsAndAppliedInPixels) {
    pane.Placement().Set(4770, 650, 7005, 8175);
    EXPECT_DOUBLE_EQ(pane.Placement().Width(), 7005);
    EXPECT_EQ(pane.geometry(), QRect(318, 43, 467, 545));
}

}  // namespace
}  // namespace vyk
