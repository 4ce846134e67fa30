#include <gtest/gtest.h>

#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include "tests/RealCorpus.h"
#include "tests/window/WindowFixture.h"
#include "window/Commit.h"

namespace vyk {
namespace {

using namespace std::string_literals;
using test::Record;
using test::RecordBuilder;
using test::WindowFixture;

constexpr std::size_t None = std::string_view::npos;

// ---- The pane's text and the user's edit of it ---------------------------

TEST(ShowField, DropsLeadingBlanksAndLoneLineFeedsAndMapsEachShownCharacter) {
    const ShownField shown = ShowField("  a\nb\rc\r\nd");
    EXPECT_EQ(shown.text, "ab\r\nc\r\nd");
    // Field offsets: a 2, b 4, the lone CR 5 with its gained LF at 6, c 6,
    // the CR LF pair 7 and 8, d 9; then the field's length.
    EXPECT_EQ(shown.from, (std::vector<std::size_t>{2, 4, 5, 6, 6, 7, 8, 9, 10}));
}

// Sections 1 to 7 for a fold; item 0 unused.
SectionTexts Fields(std::initializer_list<std::pair<int, std::string>> sections) {
    SectionTexts fields;
    for (const auto& [k, text] : sections) fields[static_cast<std::size_t>(k)] = text;
    return fields;
}

SectionFlags Shown(const SectionTexts& fields, std::initializer_list<int> hidden = {}) {
    SectionFlags rendered{};
    for (std::size_t k = 1; k <= 7; ++k) rendered[k] = !fields[k].empty();
    for (int k : hidden) rendered[static_cast<std::size_t>(k)] = false;
    return rendered;
}

// The pane as a rendering leaves it, its lines joined by LF, with each
// character's mark: the heads' characters carry their section's number.
struct MarkedPane {
    std::string text;
    std::vector<int> marks;
};

MarkedPane Rendered(const SectionTexts& fields, const SectionFlags& rendered) {
    MarkedPane pane;
    for (std::size_t k = 1; k <= 7; ++k) {
        if (!rendered[k]) continue;
        const std::string head(SectionRowOf(static_cast<int>(k)).SectionHead);
        std::string shown = ShowField(fields[k]).text;
        std::erase(shown, '\r');
        pane.text += head + "\n" + shown + "\n";
        pane.marks.insert(pane.marks.end(), head.size(), static_cast<int>(k));
        pane.marks.insert(pane.marks.end(), shown.size() + 2, 0);
    }
    pane.text.pop_back();  // the pane reads no final empty line
    pane.marks.pop_back();
    return pane;
}

// `what` replaced by `with`, at its first place at or after where `after`
// starts; what comes in carries no mark.
struct Change {
    std::string after, what, with;
};

void Apply(MarkedPane& pane, const Change& change) {
    const std::size_t from = pane.text.find(change.after);
    ASSERT_NE(from, std::string::npos) << change.after;
    const std::size_t at = pane.text.find(change.what, from);
    ASSERT_NE(at, std::string::npos) << change.what;
    pane.text.replace(at, change.what.size(), change.with);
    pane.marks.erase(pane.marks.begin() + static_cast<std::ptrdiff_t>(at),
                     pane.marks.begin() + static_cast<std::ptrdiff_t>(at + change.what.size()));
    pane.marks.insert(pane.marks.begin() + static_cast<std::ptrdiff_t>(at), change.with.size(), 0);
}

std::vector<PaneLine> Lines(const MarkedPane& pane) {
    std::vector<PaneLine> lines(1);
    for (std::size_t i = 0; i < pane.text.size(); ++i) {
        if (pane.text[i] == '\n') {
            lines.emplace_back();
            continue;
        }
        lines.back().text += pane.text[i];
        lines.back().marks.push_back(pane.marks[i]);
    }
    return lines;
}

struct FoldCase {
    const char* name;
    SectionTexts fields;
    std::initializer_list<int> hidden;
    std::vector<Change> changes;
    SectionTexts expected;  // every section, 1 to 7
};

TEST(FoldPaneLines, OnlyWhatTheEditReachedChangesAndHeadsAreWhereTheirCharactersAre) {
    const SectionTexts odd = Fields({{1, "see Pada-Patha 3"}, {2, "  pp"}, {3, "a\r\nVritti commentary"},
                                     {4, "v1\r\nTranslation\r\nv2"}, {5, "a\nb"}, {6, "tr"}, {7, "AnuVritti"}});
    SectionTexts hiddenVartika = odd;
    hiddenVartika[3] = "not on show";
    // As Insert leaves an empty AnuVritti: a line break under its head.
    const SectionTexts inserted = Fields({{4, "v"}, {5, "\r\n"}, {6, "tr"}});
    const auto changed = [](SectionTexts expected, std::initializer_list<std::pair<int, std::string>> changes) {
        for (const auto& [k, text] : changes) expected[static_cast<std::size_t>(k)] = text;
        return expected;
    };
    const auto with = [&](std::initializer_list<std::pair<int, std::string>> changes) { return changed(odd, changes); };
    const auto withInserted = [&](std::initializer_list<std::pair<int, std::string>> changes) {
        return changed(inserted, changes);
    };
    const FoldCase cases[] = {
        {"a letter at the end of the Vritti", odd, {}, {{"v2", "v2", "v2z"}}, with({{4, "v1\r\nTranslation\r\nv2z"}})},
        {"a letter on the Vritti's line that reads like a head", odd, {}, {{"Translation\nv2", "Translation", "Translationz"}},
         with({{4, "v1\r\nTranslationz\r\nv2"}})},
        {"a letter typed on a body line that reads like the next head, and one on that head", odd, {},
         {{"Vritti commentary", "commentary", "commentaryy"}, {"Vritti\nv1", "\nv1", "x\nv1"}},
         with({{3, "a\r\nVritti commentaryy"}, {4, "x\r\nv1\r\nTranslation\r\nv2"}})},
        {"a letter typed at the end of the Pada-Patha head; the edited section loses its stored blanks", odd, {},
         {{"Pada-Patha\n", "\n", "x\n"}}, with({{2, "x\r\npp"}})},
        {"a blank line at the end of a section", odd, {}, {{"tr\n", "tr\n", "tr\n\n"}}, with({{6, "tr\r\n"}})},
        {"a letter between two words a lone LF keeps apart", odd, {}, {{"ab", "ab", "azb"}}, with({{5, "a\nzb"}})},
        {"the Translation head line deleted", odd, {}, {{"b\n", "Translation\n", ""}}, with({{5, "a\nb\r\ntr"}, {6, ""}})},
        {"the Vritti head joined to the line above", odd, {}, {{"commentary", "\n", ""}}, odd},
        {"a letter typed before a head on its line", odd, {}, {{"AnuVritti\n", "", "q"}},
         with({{4, "v1\r\nTranslation\r\nv2\r\nq"}})},
        {"a line typed above the first head", odd, {}, {{"", "", "q\n"}}, with({{1, "q\r\nsee Pada-Patha 3"}})},
        {"the first head line deleted", odd, {}, {{"", "Sutra\n", ""}}, odd},
        {"a hidden section's head typed with text under it is text", hiddenVartika, {3},
         {{"Pada-Patha\n", "pp", "pp\nVartika\nnew"}}, with({{2, "pp\r\nVartika\r\nnew"}, {3, "not on show"}})},
        {"a shown section's head typed as a line is text", odd, {}, {{"Pada-Patha\n", "pp", "pp\nVritti\nnew"}},
         with({{2, "pp\r\nVritti\r\nnew"}})},
        {"edits far apart leave the sections between them", odd, {}, {{"", "see", "sea"}, {"Explanation\n", "Anu", "Anu7"}},
         with({{1, "sea Pada-Patha 3"}, {7, "Anu7Vritti"}})},
        {"a line typed below the last section", odd, {}, {{"Explanation\n", "AnuVritti", "AnuVritti\nx"}},
         with({{7, "AnuVritti\r\nx"}})},
        {"a zero byte typed", odd, {}, {{"Translation\ntr", "tr", std::string("t\0r", 3)}}, odd},
        // Heads that meet on one line each keep heading their section, and
        // their letters are stored nowhere.
        {"an inserted empty section's lines deleted up to the next head", inserted, {},
         {{"AnuVritti", "\n\n\n", ""}}, withInserted({{5, ""}})},
        {"a head's text and the next head's line break deleted", odd, {},
         {{"Vartika", "\na\nVritti commentary\n", ""}}, with({{3, ""}})},
        {"an emptied body line joined to the next head", odd, {}, {{"Translation", "\ntr\n", ""}}, with({{6, ""}})},
        {"letters typed over a selection from one head into another", odd, {},
         {{"Pada-Pa", "tha\npp\nVartika\na\nVritti commentary\nVri", "Z"}}, with({{2, "Z"}, {3, ""}})},
        {"a line break typed inside a head", odd, {}, {{"tti\nv1", "", "\n"}}, odd},
        {"a letter typed inside a head", odd, {}, {{"tti\nv1", "", "q"}}, with({{4, "q\r\nv1\r\nTranslation\r\nv2"}})},
        // An edited section starts at its first shown character.
        {"a blank typed before the first character", odd, {}, {{"Sutra\n", "see", " see"}}, odd},
        {"a section of stored blanks and letters deleted", odd, {}, {{"Pada-Patha\n", "pp", ""}}, with({{2, ""}})},
        {"a letter typed over it", odd, {}, {{"Pada-Patha\n", "pp", "x"}}, with({{2, "x"}})},
    };
    for (const FoldCase& c : cases) {
        const SectionFlags rendered = Shown(c.fields, c.hidden);
        MarkedPane pane = Rendered(c.fields, rendered);
        for (const Change& change : c.changes) Apply(pane, change);
        const SectionTexts folded = FoldPaneLines(c.fields, rendered, Lines(pane));
        for (std::size_t k = 1; k <= 7; ++k) EXPECT_EQ(folded[k], c.expected[k]) << c.name << ", section " << k;
    }
}

// The record a commit stores, byte by byte: the label without the caption's
// blanks, the numbers as two base-255 digits each (255 as FF 00), then two
// zero bytes, whatever the record held after its numbers before.
TEST(BuildEditedRecord, TakesLabelAndNumbersFromTheCaptionsAndEndsWithTwoZeroBytes) {
    const SectionTexts sections = Fields({{1, "s"}, {7, "e"}});
    EXPECT_EQ(BuildEditedRecord("Vyakor:  1.1.5 ", {"Siddhanta Kaumudi: 255", "Laghu Kaumudi: 1000"}, sections),
              "1.1.5\0s\0\0\0\0\0\0e\0\xFF\0\xEB\x03\0\0"s);
    EXPECT_EQ(BuildEditedRecord("Vyakor: x", {"Siddhanta Kaumudi: 0", "Laghu Kaumudi: 65280"}, sections),
              "x\0s\0\0\0\0\0\0e\0\0\0\xFF\xFF\0\0"s)
        << "a number past 16 bits keeps digits of its value";
}

// ---- Showing, committing and undoing in the window -----------------------

class ShowSutraTest : public WindowFixture {
protected:
    void SetUp() override {
        RecordBuilder first;
        first.Label("1.1.1").Sutra(" ab").Section(3, "x\r\ny").Section(6, "last").Numbers(16, 32);
        ASSERT_TRUE(Start({first.Text(), Record("1.1.2", "second", 17, 25), Record("1.1.3", "third")}));
    }

    std::string FileText(int k) { return *ReadFileRecordText(corpus, k); }
};

TEST_F(ShowSutraTest, ShowsTheLabelTheNumbersAndTheSections) {
    EXPECT_EQ(CurSutra(), 1);
    EXPECT_EQ(Ref(), "Vyakor: 1.1.1");
    EXPECT_EQ(Siddhanta(), "Siddhanta Kaumudi: 16");
    EXPECT_EQ(Laghu(), "Laghu Kaumudi: 32");
    EXPECT_EQ(Field(1), " ab");
    EXPECT_EQ(Field(4), "x\r\ny");
    EXPECT_EQ(PaneText(), "Sutra\r\nab\r\nVritti\r\nx\r\ny\r\nExplanation\r\nlast\r\n");
}

TEST_F(ShowSutraTest, ACommitOfAnUntouchedPaneStoresNothing) {
    MarkChanged();  // a key that changed nothing
    window->ShowSutra(2);
    EXPECT_FALSE(corpus.gDataModified);
    EXPECT_FALSE(TextChanged());
    EXPECT_FALSE(HasEdit(corpus, 1));
    EXPECT_EQ(Ref(), "Vyakor: 1.1.2");
    // Typed and taken back again: the same.
    TypeIntoPane("z");
    QTextCursor typed = window->rtbE[0]->textCursor();
    typed.movePosition(QTextCursor::End);
    typed.deletePreviousChar();
    window->ShowSutra(1);
    EXPECT_FALSE(corpus.gDataModified);
    EXPECT_FALSE(HasEdit(corpus, 2));
}

TEST_F(ShowSutraTest, UndoIsOfferedOnlyForACommittedSutraAndShowsTheFileText) {
    window->mnuTools_Click();
    EXPECT_FALSE(window->mnuToolsUndo->isEnabled());

    TypeIntoPane("z");
    window->ShowSutra(1);
    window->mnuTools_Click();
    EXPECT_TRUE(window->mnuToolsUndo->isEnabled());

    window->mnuToolsUndo_Click();
    EXPECT_TRUE(corpus.gEditedText[1].empty());
    EXPECT_TRUE(corpus.gDataModified);
    EXPECT_EQ(Field(7), "last");
    EXPECT_EQ(Field(1), " ab");
}

TEST_F(ShowSutraTest, AHiddenSectionKeepsItsTextThroughACommit) {
    window->ToggleSection(4, true);
    EXPECT_EQ(PaneText(), "Sutra\r\nab\r\nExplanation\r\nlast\r\n");
    TypeIntoPane("z");
    window->ShowSutra(2);
    EXPECT_EQ(corpus.gEditedText[1], "1.1.1\0 ab\0\0\0x\r\ny\0\0\0last\r\nz\0\x10\0 \0\0\0"s);
}

// Only the Translation on show, and the next sutra has none: the pane is
// empty rather than showing the last one's under this caption, and takes no
// typing; what it takes on a sutra with a Translation is stored.
TEST_F(ShowSutraTest, APaneWithNothingOfTheSutraIsEmptyAndTakesNoTyping) {
    RecordBuilder translated;
    translated.Label("1.2.2").Sutra("s2").Section(5, "tr2");
    WriteCorpus({translated.Text(), Record("1.2.3", "s3"), translated.Text()});
    Start();
    window->mnuToolsEdit->trigger();
    for (int k = 1; k <= 7; ++k) {
        if (k != 6) window->ViewItem(k)->trigger();
    }
    ASSERT_EQ(PaneText(), "Translation\r\ntr2\r\n");
    window->lstVykE[0]->SetListIndex(1);
    EXPECT_EQ(Ref(), "Vyakor: 1.2.3");
    EXPECT_EQ(PaneText(), "");

    RichTextPane* pane = window->rtbE[0];
    pane->SetFocus();
    QTest::keyClicks(pane, " NOTE");
    EXPECT_EQ(PaneText(), "");
    window->lstVykE[0]->SetListIndex(2);
    EXPECT_FALSE(HasEdit(corpus, 2));
    EXPECT_FALSE(corpus.gDataModified);

    pane->SetFocus();
    pane->SetSelStart(16);  // after "tr2"
    QTest::keyClicks(pane, " NOTE");
    window->lstVykE[0]->SetListIndex(0);
    EXPECT_EQ(SplitRecord(corpus.gEditedText[3]).sections[5], "tr2 NOTE");
}

TEST_F(ShowSutraTest, AnUnreadableRecordShowsEmptyAndNeverReachesTheCache) {
    corpus.gDataFileNo.Close();  // as after a reload that rejected the file
    window->ShowSutra(2);
    EXPECT_EQ(CurSutra(), 2);
    EXPECT_EQ(Ref(), "Vyakor: ");
    EXPECT_EQ(Siddhanta(), "Siddhanta Kaumudi: 0");
    EXPECT_EQ(Laghu(), "Laghu Kaumudi: 0");
    for (int k = 1; k <= 7; ++k) EXPECT_TRUE(Field(k).empty());

    TypeIntoPane("z");
    window->ShowSutra(3);
    EXPECT_TRUE(corpus.gEditedText[2].empty());
    EXPECT_FALSE(TextChanged());
}

TEST_F(ShowSutraTest, AKaumudiNumberBeyondSixteenBitsKeepsItsBytesThroughACommit) {
    const std::string big = "1.1.9\0big\0\0\0\0\0\0\0\xFF\xFF\x05\0"s;
    WriteCorpus({big, Record("1.1.2", "b")});
    Start();
    EXPECT_EQ(Siddhanta(), "Siddhanta Kaumudi: 65280");
    TypeIntoPane("z");
    window->ShowSutra(2);
    EXPECT_EQ(corpus.gEditedText[1], "1.1.9\0big\r\nz\0\0\0\0\0\0\0\xFF\xFF\x05\0\0\0"s);
}

TEST_F(ShowSutraTest, MalformedRecordsShowWhatTheyHoldWithoutACrash) {
    WriteCorpus({"abc"s, "l\0s\0\0\0\0\0\0\0\x05"s, "l2\0only sutra"s, Record("1.1.4", "d")});
    Start();
    EXPECT_EQ(Ref(), "Vyakor: abc");
    EXPECT_EQ(Siddhanta(), "Siddhanta Kaumudi: 0");

    window->ShowSutra(2);
    EXPECT_EQ(Ref(), "Vyakor: l");
    EXPECT_EQ(Siddhanta(), "Siddhanta Kaumudi: 5");
    EXPECT_EQ(Laghu(), "Laghu Kaumudi: 0");

    window->ShowSutra(3);
    EXPECT_EQ(Field(1), "only sutra");
    EXPECT_EQ(Laghu(), "Laghu Kaumudi: 0");
    EXPECT_EQ(PaneText(), "Sutra\r\nonly sutra\r\n");
}

// A record whose Vartika holds a line that reads like the Vritti head, edited
// with real keys, mouse clicks and a drop; then left and shown again.
class HeadLineTest : public WindowFixture {
protected:
    void SetUp() override {
        RecordBuilder record;
        record.Label("1.1.26").Sutra("sutra line").Section(1, "pada text").Section(2, "a\r\nVritti commentary");
        record.Section(3, "vritti text");
        ASSERT_TRUE(Start({record.Text(), Record("1.1.27", "other")}));
        window->mnuToolsEdit->trigger();
        pane = window->rtbE[0];
        pane->SetFocus();
        ASSERT_EQ(PaneText(), "Sutra\r\nsutra line\r\nPada-Patha\r\npada text\r\nVartika\r\na\r\n"
                              "Vritti commentary\r\nVritti\r\nvritti text\r\n");
    }

    int After(const std::string& text) const { return static_cast<int>(PaneText().find(text) + text.size()); }
    // Where the user clicks to put the caret at a place of Text().
    QPoint PointAt(int offset) {
        pane->SetSelStart(offset);
        return pane->cursorRect().center();
    }
    void LeaveAndReturn() {
        window->ShowSutra(2);
        window->ShowSutra(1);
    }

    RichTextPane* pane = nullptr;
};

TEST_F(HeadLineTest, KeystrokesNeverMoveALineIntoAnotherSection) {
    pane->SetSelStart(After("Vritti commentary"));
    QTest::keyClick(pane, Qt::Key_Y);
    pane->SetSelStart(After("commentaryy\r\nVritti"));
    QTest::keyClick(pane, Qt::Key_X);
    LeaveAndReturn();
    EXPECT_EQ(Field(3), "a\r\nVritti commentaryy");
    EXPECT_EQ(Field(4), "x\r\nvritti text") << "what was typed on the head line stays in its section";

    // The head line deleted whole ends its section: its text is the Vartika's.
    pane->SetSelStart(After("commentaryy\r\n"));
    QTest::keyClick(pane, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(pane, Qt::Key_Delete);
    LeaveAndReturn();
    EXPECT_EQ(Field(3), "a\r\nVritti commentaryy\r\nx\r\nvritti text");
    EXPECT_EQ(Field(4), "");
}

// Text moved or pasted is text, whatever it reads; a head whose line the
// move took away ends its section.
TEST_F(HeadLineTest, MovedOrPastedTextHoldingAHeadIsText) {
    const QPoint from = PointAt(After("sutra"));
    const QPoint to = PointAt(After("pada"));
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::ShiftModifier, to);
    QTest::keyClick(pane, Qt::Key_Delete, Qt::ShiftModifier);  // cut: Ctrl+X is File, Exit
    const QPoint into = PointAt(After("vritti"));
    pane->SetSelStart(0);
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, into);
    QTest::keyClick(pane, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(PaneText(), "Sutra\r\nsutra text\r\nVartika\r\na\r\nVritti commentary\r\n"
                          "Vritti\r\nvritti line\r\nPada-Patha\r\npada text\r\n");
    LeaveAndReturn();
    EXPECT_EQ(Field(1), "sutra text");
    EXPECT_EQ(Field(2), "");
    EXPECT_EQ(Field(3), "a\r\nVritti commentary");
    EXPECT_EQ(Field(4), "vritti line\r\nPada-Patha\r\npada text");

    // Pasted over a selection that takes the real Vartika head, and dropped.
    pane->SetSelStart(After("sutra"));
    pane->moveCursor(QTextCursor::Down, QTextCursor::KeepAnchor);
    pane->moveCursor(QTextCursor::Down, QTextCursor::KeepAnchor);
    QApplication::clipboard()->setText(QStringLiteral("A\nVartika\nB"));
    QTest::keyClick(pane, Qt::Key_V, Qt::ControlModifier);
    QMimeData dropped;
    dropped.setText(QStringLiteral("Vritti\n"));
    const QPoint at = PointAt(After("A\r\nVartika\r\nB"));
    QDragEnterEvent enter(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pane->viewport(), &enter);
    QDropEvent drop(at, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pane->viewport(), &drop);
    LeaveAndReturn();
    EXPECT_EQ(Field(1), "sutraA\r\nVartika\r\nBVritti\r\n\r\nVritti commentary") << "no head among it";
    EXPECT_EQ(Field(3), "");
    EXPECT_EQ(Field(4), "vritti line\r\nPada-Patha\r\npada text");
}

// Tools, Insert, then Delete at the end of the new head until the next head
// meets it on its line; then Enter inside a head.
TEST_F(HeadLineTest, HeadsThatMeetOnALineEachKeepTheirSectionAndAreNeverText) {
    RecordBuilder record;
    record.Label("1.1.7").Sutra("s").Section(3, "v").Section(5, "tr");
    WriteCorpus({record.Text(), Record("1.1.8", "other")});
    ASSERT_TRUE(Start());
    ASSERT_TRUE(window->mnuToolsEdit->isChecked()) << "a reload keeps the edit mode";
    pane = window->rtbE[0];
    window->InsertItem(5)->trigger();
    ASSERT_EQ(PaneText(), "Sutra\r\ns\r\nVritti\r\nv\r\nAnuVritti\r\n\r\n\r\nTranslation\r\ntr\r\n");
    QTest::keyClick(pane, Qt::Key_Up);
    QTest::keyClick(pane, Qt::Key_End);
    for (int i = 0; i < 3; ++i) QTest::keyClick(pane, Qt::Key_Delete);
    ASSERT_EQ(PaneText(), "Sutra\r\ns\r\nVritti\r\nv\r\nAnuVrittiTranslation\r\ntr\r\n");
    LeaveAndReturn();
    EXPECT_EQ(Field(5), "");
    EXPECT_EQ(Field(6), "tr");

    pane->SetSelStart(static_cast<int>(PaneText().find("tti\r\nv")));
    QTest::keyClick(pane, Qt::Key_Return);
    ASSERT_EQ(PaneText(), "Sutra\r\ns\r\nVri\r\ntti\r\nv\r\nTranslation\r\ntr\r\n");
    LeaveAndReturn();
    EXPECT_EQ(Field(4), "v");
    EXPECT_EQ(PaneText(), "Sutra\r\ns\r\nVritti\r\nv\r\nTranslation\r\ntr\r\n");
}

// Every record of the real corpus, with one letter typed at the end of its
// Sutra text and committed, comes back as it was with that letter added.
class RealCorpusTest : public WindowFixture {};

// What the pane shows of a section: no leading blanks, a lone LF lost, a
// lone CR read back as CR LF.
std::string AsShown(std::string_view field) {
    field.remove_prefix(std::min(field.find_first_not_of(' '), field.size()));
    std::string shown;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\r') {
            shown += "\r\n";
            if (i + 1 < field.size() && field[i + 1] == '\n') ++i;
        } else if (field[i] != '\n') {
            shown += field[i];
        }
    }
    return shown;
}

// Where a well-formed record's two numbers end: four bytes after its eighth zero byte.
std::size_t NumbersEnd(std::string_view record) {
    std::size_t at = 0;
    for (int zeros = 0; zeros < 8; ++zeros) at = record.find('\0', at) + 1;
    return at + 4;
}

TEST_F(RealCorpusTest, ALetterTypedAtTheEndOfTheSutraChangesNothingElse) {
    VYK_REQUIRE_REAL_CORPUS();
    const std::string real = test::ReadBytes(VYK_SHARED_CORPUS);
    WriteCorpusBytes(real);
    ASSERT_TRUE(Start());
    window->hide();  // the same text without laying out every document on screen
    window->mnuToolsEdit->trigger();
    ASSERT_GT(corpus.gRecordCount, 3000);

    RichTextPane* pane = window->rtbE[0];
    int typed = 0;
    for (int k = 1; k <= corpus.gRecordCount; ++k) {
        const std::optional<std::string> original = ReadFileRecordText(corpus, k);
        if (!original) continue;
        const std::string label = original->substr(0, original->find('\0'));
        const std::string sutra = original->substr(label.size() + 1, original->find('\0', label.size() + 1) - label.size() - 1);
        if (sutra.empty()) continue;
        window->ShowSutra(k);

        // The pane opens with "Sutra", CR LF and the Sutra text.
        pane->SetSelStart(static_cast<int>(std::string("Sutra\r\n").size() + AsShown(sutra).size()));
        pane->textCursor().insertText(QStringLiteral("q"));
        window->ShowSutra(k);  // the commit
        ++typed;

        // The rebuilt record ends with two zero bytes after its numbers.
        std::string expected = original->substr(0, NumbersEnd(*original)) + std::string(2, '\0');
        expected.insert(label.size() + 1 + sutra.size(), "q");
        ASSERT_EQ(corpus.gEditedText[k], expected) << "record " << k;
    }
    EXPECT_EQ(typed, corpus.gRecordCount);
}

class NoSutraShownTest : public WindowFixture {};

TEST_F(NoSutraShownTest, UndoAndTheToolsMenuDoNothingBeforeAnySutraIsShown) {
    WriteCorpusBytes("not a corpus");
    EXPECT_FALSE(Start());
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(CurSutra(), 0);

    window->mnuTools_Click();
    EXPECT_TRUE(window->mnuToolsUndo->isEnabled());
    window->mnuToolsUndo_Click();
    MarkChanged();
    window->CommitEdit();
    EXPECT_EQ(CurSutra(), 0);
    EXPECT_EQ(PaneText(), "");
}

}  // namespace
}  // namespace vyk
