// The edit mode and the special-glyph keyboard, driven with real key events.

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QTest>

#include <utility>
#include <vector>

#include "platform/Services.h"
#include "tests/window/WindowFixture.h"

namespace vyk::test {
namespace {

class EditTest : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(Start({Record("1.1.1", "vrddhir adaic", 1, 1), Record("1.1.2", "adeN gunah", 2, 2)}));
        pane = Window().rtbE[0];
        QApplication::setActiveWindow(&Window());
        pane->SetFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
        ASSERT_EQ(QApplication::focusWidget(), pane);

        // Watch what the key-down handler makes of each key that reaches it.
        auto handler = pane->KeyDown;
        pane->KeyDown = [this, handler](int& keyCode, int shift) {
            const int before = keyCode;
            handler(keyCode, shift);
            keyDowns.push_back({before, keyCode});
        };
    }

    void EnterEditMode() {
        Window().mnuToolsEdit->trigger();
        ASSERT_TRUE(Window().mnuToolsEdit->isChecked());
    }

    // A key pressed in the pane, with the queued byte let through.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(pane, key, modifiers);
        DoEvents();
    }

    // The caret right after "Sutra" CR LF, at the start of the sutra's text.
    void CaretAtSutraText() { pane->SetSelStart(7); }

    // What the key-down handler left of the key code `keyCode` the last time
    // it saw it; -1 when it never did. Modifier keys arrive there too.
    int KeyCodeLeftOf(int keyCode) const {
        for (auto it = keyDowns.rbegin(); it != keyDowns.rend(); ++it) {
            if (it->first == keyCode) return it->second;
        }
        return -1;
    }

    std::string SutraLine() const {
        const std::string text = pane->Text();
        return text.substr(7, text.find("\r\n", 7) - 7);
    }

    RichTextPane* pane = nullptr;
    std::vector<std::pair<int, int>> keyDowns;  // key code in, key code out
};

TEST_F(EditTest, EditItemTickAndPaneLockMoveTogether) {
    EXPECT_FALSE(Window().mnuToolsEdit->isChecked());
    EXPECT_TRUE(pane->Locked());

    Window().mnuToolsEdit->trigger();
    EXPECT_TRUE(Window().mnuToolsEdit->isChecked());
    EXPECT_FALSE(pane->Locked());

    Window().mnuToolsEdit->trigger();
    EXPECT_FALSE(Window().mnuToolsEdit->isChecked());
    EXPECT_TRUE(pane->Locked());
}

TEST_F(EditTest, EachGroupOfTheKeyTableTypesItsByteIntoThePane) {
    EnterEditMode();
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int keyCode;
        char byte;
    };
    const Case cases[] = {
        {Qt::Key_H, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier, 'H', '\xC8'},  // Shift and Alt
        {Qt::Key_S, Qt::AltModifier | Qt::ShiftModifier, 'S', '\xD0'},
        {Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier, 'A', '\xC0'},                    // Shift and Ctrl
        {Qt::Key_A, Qt::ControlModifier, 'A', '\xE0'},                                        // Ctrl alone
        {Qt::Key_T, Qt::ControlModifier, 'T', '\xEB'},
        {Qt::Key_M, Qt::AltModifier, 'M', '\xE7'},                                            // Alt alone
        {Qt::Key_QuoteLeft, Qt::NoModifier, 192, '\xEA'},                                     // the grave-accent key
        {Qt::Key_AsciiTilde, Qt::ShiftModifier, 192, '\xCA'},                                 // and with Shift
    };
    for (const Case& c : cases) {
        CaretAtSutraText();
        CommitPane();
        keyDowns.clear();
        Press(c.key, c.modifiers);

        // The key itself was swallowed; its byte came back as typed text and
        // marked the change.
        EXPECT_EQ(KeyCodeLeftOf(c.keyCode), 0) << "key " << c.keyCode;
        EXPECT_EQ(SutraLine().front(), c.byte) << "key " << c.keyCode;
        EXPECT_TRUE(TextChanged());
    }
    EXPECT_EQ(SutraLine(), "\xCA\xEA\xE7\xEB\xE0\xC0\xD0\xC8vrddhir adaic");
    EXPECT_TRUE(Window().mnuToolsSave->isEnabled());
}

TEST_F(EditTest, KeysOutsideTheirGroupReachThePaneUnchanged) {
    EnterEditMode();
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_A, Qt::AltModifier},                          // Alt alone has no A
        {Qt::Key_B, Qt::ControlModifier},                      // Ctrl alone has no B
        {Qt::Key_A, Qt::ControlModifier | Qt::AltModifier},    // Ctrl and Alt type nothing
        {Qt::Key_QuoteLeft, Qt::ControlModifier},
    };
    for (const auto& [key, modifiers] : keys) {
        keyDowns.clear();
        Press(key, modifiers);
        const int keyCode = key == Qt::Key_QuoteLeft ? 192 : int(key);
        EXPECT_EQ(KeyCodeLeftOf(keyCode), keyCode) << "key " << keyCode;
    }
    EXPECT_EQ(pane->Text().find_first_of("\xC0\xE0\xEA\xCA"), std::string::npos);
}

TEST_F(EditTest, PlainLettersAreTypedAsThemselves) {
    EnterEditMode();
    CaretAtSutraText();
    Press(Qt::Key_Q);
    EXPECT_EQ(SutraLine(), "qvrddhir adaic");
    EXPECT_TRUE(TextChanged());
}

TEST_F(EditTest, ViewModeRefusesTheTextButMarksTheChange) {
    ASSERT_TRUE(pane->Locked());
    const std::string before = pane->Text();
    CaretAtSutraText();

    Press(Qt::Key_X);
    EXPECT_EQ(pane->Text(), before);
    EXPECT_TRUE(TextChanged());
    EXPECT_TRUE(Window().mnuToolsSave->isEnabled());

    CommitPane();
    Press(Qt::Key_A, Qt::ControlModifier);  // the glyph byte arrives and is refused too
    EXPECT_EQ(pane->Text(), before);
    EXPECT_TRUE(TextChanged());
}

TEST_F(EditTest, EditingKeysMarkAChangeWithAnyModifiers) {
    const int editingKeys[] = {8, 9, 13, 46};
    const int modifierSets[] = {0, 1, 2, 4, 7};
    for (int key : editingKeys) {
        for (int shift : modifierSets) {
            CommitPane();
            int keyCode = key;
            Window().rtbE_KeyDown(0, keyCode, shift);
            EXPECT_TRUE(TextChanged()) << key << " with " << shift;
            EXPECT_EQ(keyCode, key) << "the pane still acts on the key";
        }
    }
}

TEST_F(EditTest, BackSpaceAtTheStartOfTheTextMarksAChange) {
    EnterEditMode();
    pane->SetSelStart(0);
    Press(Qt::Key_Backspace);
    EXPECT_TRUE(TextChanged());
    EXPECT_TRUE(Window().mnuToolsSave->isEnabled());
}

TEST_F(EditTest, NavigationKeysMarkNothing) {
    EnterEditMode();
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End,
                        Qt::Key_PageUp, Qt::Key_PageDown}) {
        Press(key);
    }
    EXPECT_FALSE(TextChanged());
    EXPECT_FALSE(Window().mnuToolsSave->isEnabled());
}

TEST_F(EditTest, ControlCharactersFromKeyPressMarkNothing) {
    Window().rtbE_KeyPress(0, 31);
    EXPECT_FALSE(TextChanged());
    Window().rtbE_KeyPress(0, 32);
    EXPECT_TRUE(TextChanged());
}

TEST_F(EditTest, TypingIsRefusedWhileASaveRuns) {
    EnterEditMode();
    const std::string before = pane->Text();
    corpus.gSaving = true;
    int keyCode = 'A';
    Window().rtbE_KeyDown(0, keyCode, 2);
    EXPECT_EQ(keyCode, 0);
    CaretAtSutraText();
    Press(Qt::Key_Z);
    Press(Qt::Key_Backspace);
    DoEvents();
    corpus.gSaving = false;
    EXPECT_EQ(pane->Text(), before);
    EXPECT_FALSE(TextChanged());
}

TEST_F(EditTest, TypedDiacriticsAreCommittedWithTheSutra) {
    EnterEditMode();
    CaretAtSutraText();
    Press(Qt::Key_R, Qt::ControlModifier);
    Press(Qt::Key_S, Qt::AltModifier | Qt::ShiftModifier);
    Window().lstVykE[0]->SetListIndex(1);  // the next sutra: the commit
    ASSERT_TRUE(HasEdit(corpus, 1));
    EXPECT_NE(corpus.gEditedText[1].find("\xE3\xD0vrddhir adaic"), std::string::npos);
}

// Changes that come without a marking key of their own.
TEST_F(EditTest, PasteCutAndThePanesOwnUndoMarkTheChange) {
    EnterEditMode();
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_V, Qt::ControlModifier},       // paste
        {Qt::Key_Insert, Qt::ShiftModifier},    // paste
        {Qt::Key_Z, Qt::ControlModifier},       // the pane's undo: Tools, Undo is disabled here
    };
    QApplication::clipboard()->setText(QStringLiteral("pq"));
    Window().mnuToolsUndo->setEnabled(false);
    for (const auto& [key, modifiers] : keys) {
        CaretAtSutraText();
        CommitPane();
        Press(key, modifiers);
        EXPECT_TRUE(TextChanged()) << "key " << key;
    }
    pane->SetSelStart(7);
    pane->moveCursor(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    CommitPane();
    Press(Qt::Key_Delete, Qt::ShiftModifier);  // cut
    EXPECT_TRUE(TextChanged());
    EXPECT_TRUE(Window().mnuToolsSave->isEnabled());

    const std::string line = SutraLine();
    Window().lstVykE[0]->SetListIndex(1);
    EXPECT_EQ(SplitRecord(corpus.gEditedText[1]).sections[0], line);
}

TEST_F(EditTest, ACharacterWithoutALetterIsRefusedWithAMessageNamingIt) {
    EnterEditMode();
    CaretAtSutraText();
    QApplication::clipboard()->setText(QStringLiteral("\u0101\u0905"));
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(SutraLine(), "vrddhir adaic");
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_NE(dialogs.asked[0].text.find("U+0905"), std::string::npos) << dialogs.asked[0].text;

    // s and a combining dot below make one letter.
    QApplication::clipboard()->setText(QStringLiteral("\u0101\u1E5Ds\u0323"));
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(SutraLine(), "\xE0\xE4\xEFvrddhir adaic");
}

// ñ is shown at byte EA; its own Latin-1 byte F1 shows ḷ, and é's own byte
// E9 shows ṇ, so é is refused. Copying gives the letters back.
TEST_F(EditTest, LettersComeInAndGoOutAsTheFaceShowsThem) {
    EnterEditMode();
    CaretAtSutraText();
    const auto typeText = [this](Qt::Key key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(pane, &press);
    };
    typeText(Qt::Key_Ntilde, QStringLiteral("\u00F1"));
    typeText(Qt::Key_Eacute, QStringLiteral("\u00E9"));
    QApplication::clipboard()->setText(QStringLiteral("n\u0303\u00D1"));
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(SutraLine(), "\xEA\xEA\xCAvrddhir adaic");
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_NE(dialogs.asked[0].text.find("U+00E9"), std::string::npos) << dialogs.asked[0].text;

    pane->SetSelStart(7);
    pane->moveCursor(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\u00F1\u00F1\u00D1vrddhir adaic"));
}

// On-screen keyboards and dictation edit through the pane's accessible
// interface, at document positions (a line end counts one): outside the
// edit mode nothing changes and the close asks nothing; in it, letters are looked up or refused as typed ones are.
TEST_F(EditTest, AnAssistiveToolEditsThroughTheSameGateAsTheKeyboard) {
    QAccessibleEditableTextInterface* tool = QAccessible::queryAccessibleInterface(pane)->editableTextInterface();
    ASSERT_NE(tool, nullptr);
    tool->insertText(6, QStringLiteral("x"));
    EXPECT_EQ(SutraLine(), "vrddhir adaic");
    bool cancel = false;
    Window().Form_QueryUnload(cancel);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(endProgramCalls, 1);

    EnterEditMode();
    tool->insertText(6, QStringLiteral("\u00E9"));
    EXPECT_TRUE(dialogs.asked.empty()) << "the tool waits for its call: the refusal is told after it returns";
    EXPECT_EQ(SutraLine(), "vrddhir adaic");
    DoEvents();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_NE(dialogs.asked[0].text.find("U+00E9"), std::string::npos) << dialogs.asked[0].text;
    tool->insertText(6, QStringLiteral("\u0101\u00F1"));
    EXPECT_EQ(SutraLine(), "\xE0\xEAvrddhir adaic");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(pane)->textInterface()->text(6, 8), QStringLiteral("\u0101\u00F1"))
        << "what the tool reads is the letters shown";
    Window().lstVykE[0]->SetListIndex(1);
    EXPECT_EQ(SplitRecord(corpus.gEditedText[1]).sections[0], "\xE0\xEAvrddhir adaic");
}

// On-screen keyboards and dictation often set the whole text to what they
// read with a word changed: only that word changes, and every head stays.
TEST_F(EditTest, AToolThatSetsTheWholeTextChangesOnlyWhatDiffers) {
    RecordBuilder record;
    record.Label("1.1.1").Sutra("vrddhir adaic").Section(1, "pada").Section(3, "vritti");
    WriteCorpus({record.Text(), Record("1.1.2", "adeN gunah")});
    ASSERT_TRUE(Start());
    pane = Window().rtbE[0];
    EnterEditMode();
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(pane);
    QAccessibleTextInterface* text = access->textInterface();
    const auto setWholeText = [&](const QString& value) {
        access->editableTextInterface()->replaceText(0, text->characterCount(), value);
        Window().lstVykE[0]->SetListIndex(1);
        Window().lstVykE[0]->SetListIndex(0);
    };

    setWholeText(text->text(0, text->characterCount()));
    EXPECT_EQ(corpus.gEditedText[1], "") << "the same text changes nothing";
    setWholeText(text->text(0, text->characterCount()).replace(QStringLiteral("vritti\n"), QStringLiteral("vritti more\n")));
    const RecordFields stored = SplitRecord(corpus.gEditedText[1]);
    EXPECT_EQ(stored.sections[0], "vrddhir adaic");
    EXPECT_EQ(stored.sections[1], "pada");
    EXPECT_EQ(stored.sections[3], "vritti more");
    EXPECT_EQ(PaneText(), "Sutra\r\nvrddhir adaic\r\nPada-Patha\r\npada\r\nVritti\r\nvritti more\r\n");
}

// Captions show the label and numbers as they are stored, never as markup.
TEST_F(EditTest, TheLabelCaptionIsPlainText) {
    WriteCorpus({Record("1.1.5<b>x</b>", "s")});
    Start();
    Window().lblRef->adjustSize();
    const int marked = Window().lblRef->width();
    Window().lblRef->SetCaption("Vyakor: 1.1.5x");
    Window().lblRef->adjustSize();
    EXPECT_GT(marked, Window().lblRef->width() + 20) << "the tags show as characters";
}

// The right end of the ink on the caret's line: its last dark pixel in a
// grab of the pane.
int CaretLineInkEnd(RichTextPane& pane) {
    const QImage shot = pane.viewport()->grab().toImage();
    const QRect line = pane.cursorRect().intersected(QRect(0, 0, shot.width(), shot.height()));
    int end = -1;
    for (int y = line.top(); y <= line.bottom(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (qGray(shot.pixel(x, y)) < 96) end = std::max(end, x);
    return end;
}

// What the user sees: the typed letters push the sutra's text right by
// their width in the Roman face at 11 points.
TEST_F(EditTest, TypedDiacriticsShowBeforeTheSutraTextInTheRomanFace) {
    EnterEditMode();
    CaretAtSutraText();
    const int before = CaretLineInkEnd(*pane);
    for (const auto& [key, modifiers] : std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
             {Qt::Key_A, Qt::ControlModifier}, {Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier},
             {Qt::Key_H, Qt::AltModifier}, {Qt::Key_QuoteLeft, Qt::NoModifier}, {Qt::Key_Space, Qt::NoModifier}}) {
        Press(key, modifiers);
    }
    QFont roman(QStringLiteral("Times Kovra Roman"));
    roman.setPointSize(11);
    const int typedWidth = QFontMetrics(roman).horizontalAdvance(QString::fromLatin1("\xE0\xC9\xE8\xEA "));
    ASSERT_GT(before, 0);
    EXPECT_NEAR(CaretLineInkEnd(*pane) - before, typedWidth, 1);
    const QString folder = qEnvironmentVariable("VYK_SHOTS_DIR");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(pane->grab().save(QDir(folder).filePath("edit.png")));
    }
}

}  // namespace
}  // namespace vyk::test
