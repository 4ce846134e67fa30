#include <gtest/gtest.h>

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

// Characters as the pane's document counts them: a CR LF pair is one.
std::size_t Units(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++units) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    return units;
}

// The pane as the user left it, `what` replaced by `with` at its first place
// at or after `after` in the rendered text, and that change as the pane
// reports it.
struct EditedPane {
    std::string text;
    std::vector<TypedChange> changes;
};

EditedPane Edited(const std::string& pane, const std::string& after, const std::string& what, const std::string& with) {
    const std::size_t from = pane.find(after);
    EXPECT_NE(from, std::string::npos) << after;
    const std::size_t at = pane.find(what, from);
    EXPECT_NE(at, std::string::npos) << what;
    const std::size_t begin = Units(std::string_view(pane).substr(0, at));
    return {pane.substr(0, at) + with + pane.substr(at + what.size()), {{begin, begin + Units(with), Units(what)}}};
}

struct FoldCase {
    const char* name;
    SectionTexts fields;
    std::initializer_list<int> hidden;
    std::string after, what, with;  // the edit, as for Edited
    SectionTexts expected;          // every section, 1 to 7
};

TEST(FoldPaneText, OnlyWhatTheEditReachedChanges) {
    const SectionTexts odd = Fields({{1, "see Pada-Patha 3"}, {2, "  pp"}, {4, "v1\r\nTranslation\r\nv2"},
                                     {5, "a\nb"}, {6, "tr"}, {7, "AnuVritti"}});
    SectionTexts hiddenVartika = odd;
    hiddenVartika[3] = "not on show";
    const auto with = [&](std::initializer_list<std::pair<int, std::string>> changes) {
        SectionTexts expected = odd;
        for (const auto& [k, text] : changes) expected[static_cast<std::size_t>(k)] = text;
        return expected;
    };
    const FoldCase cases[] = {
        {"a letter at the end of the Vritti", odd, {}, "v2", "v2", "v2z", with({{4, "v1\r\nTranslation\r\nv2z"}})},
        {"a letter on the Vritti's line that reads like a head", odd, {}, "Translation\r\nv2", "Translation", "Translationz",
         with({{4, "v1\r\nTranslationz\r\nv2"}})},
        {"a letter typed into the Pada-Patha head", odd, {}, "Pada-Patha\r\n", "Pada-Patha\r\n", "Pada-Pathax\r\n",
         with({{2, "  x\r\npp"}})},
        {"a blank line at the end of a section", odd, {}, "tr\r\n", "tr\r\n", "tr\r\n\r\n", with({{6, "tr\r\n"}})},
        {"a letter between two words a lone LF keeps apart", odd, {}, "ab", "ab", "azb", with({{5, "a\nzb"}})},
        {"the Translation head line deleted", odd, {}, "v2\r\n", "Translation\r\ntr", "tr",
         with({{5, "a\nb\r\ntr"}, {6, ""}})},
        {"the Vritti head joined to the line above", odd, {}, "Pada-Patha\r\n", "pp\r\nVritti", "ppVritti", odd},
        {"a line typed above the first head", odd, {}, "", "Sutra", "q\r\nSutra", with({{1, "q\r\nsee Pada-Patha 3"}})},
        {"the first head line deleted", odd, {}, "", "Sutra\r\n", "", odd},
        {"the head of a hidden section typed with text under it", hiddenVartika, {3}, "Pada-Patha\r\n", "pp\r\n",
         "pp\r\nVartika\r\nnew\r\n", with({{3, "new"}})},
        {"the head of a shown section typed as a line stays text", odd, {}, "Pada-Patha\r\n", "pp\r\n",
         "pp\r\nVritti\r\nnew\r\n", with({{2, "  pp\r\nVritti\r\nnew"}})},
        {"a zero byte typed", odd, {}, "Translation\r\ntr", "tr\r\n", std::string("t\0r\r\n", 5), odd},
    };
    for (const FoldCase& c : cases) {
        const PaneLayout layout = LayOutPane(c.fields, Shown(c.fields, c.hidden));
        const EditedPane pane = Edited(layout.text, c.after, c.what, c.with);
        const FoldedSections folded = FoldPaneText(layout, pane.text, pane.changes);
        for (std::size_t k = 1; k <= 7; ++k) EXPECT_EQ(folded.texts[k], c.expected[k]) << c.name << ", section " << k;
    }
}

// Two edits far apart: the sections between them are not searched for heads,
// so a Vritti that reads "AnuVritti" stays the Vritti. Without the pane's
// report of where it changed, the one stretch from the first to the last
// difference is the edit.
TEST(FoldPaneText, EditsApartLeaveTheSectionsBetweenThemAlone) {
    const SectionTexts fields = Fields({{1, "s"}, {4, "AnuVritti"}, {5, "anu"}, {7, "e"}});
    const PaneLayout layout = LayOutPane(fields, Shown(fields));
    const EditedPane first = Edited(layout.text, "", "s\r\n", "s1\r\n");
    const EditedPane both = Edited(first.text, "Explanation\r\n", "e\r\n", "e7\r\n");
    std::vector<TypedChange> changes = first.changes;
    changes.insert(changes.end(), both.changes.begin(), both.changes.end());

    const FoldedSections folded = FoldPaneText(layout, both.text, changes);
    EXPECT_EQ(folded.texts[1], "s1");
    EXPECT_EQ(folded.texts[4], "AnuVritti");
    EXPECT_EQ(folded.texts[5], "anu");
    EXPECT_EQ(folded.texts[7], "e7");

    // Typed on the empty line below the last section: the pane reads that
    // line back with a CR LF of its own, which the report does not count.
    const std::size_t end = Units(first.text);
    const FoldedSections atTheEnd = FoldPaneText(layout, first.text + "x\r\n", {first.changes[0], {end, end + 1, 0}});
    EXPECT_EQ(atTheEnd.texts[4], "AnuVritti");
    EXPECT_EQ(atTheEnd.texts[7], "e\r\nx");

    // A report that does not account for the difference is not believed.
    const FoldedSections unreported = FoldPaneText(layout, both.text, {{0, 1, 1}});
    EXPECT_EQ(unreported.texts[1], "s1");
    EXPECT_EQ(unreported.texts[7], "e7");
}

TEST(FoldPaneText, TakesTheSectionsInThePaneAndTypedHeadsOnly) {
    const SectionTexts fields = Fields({{1, "s"}, {3, "hidden"}, {4, "v"}});
    const PaneLayout layout = LayOutPane(fields, Shown(fields, {3}));
    ASSERT_EQ(layout.text, "Sutra\r\ns\r\nVritti\r\nv\r\n");
    const FoldedSections untouched = FoldPaneText(layout, layout.text + "x");
    EXPECT_EQ(untouched.taken, (SectionFlags{false, true, false, false, true, false, false, false}));
    EXPECT_EQ(untouched.texts[3], "hidden");
    EXPECT_EQ(untouched.texts[4], "v\r\nx");

    const FoldedSections typed = FoldPaneText(layout, layout.text + "Explanation\r\ne\r\n");
    EXPECT_TRUE(typed.taken[7]);
    EXPECT_EQ(typed.texts[7], "e");
    EXPECT_EQ(typed.texts[4], "v");
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
    EXPECT_EQ(state.gField[1], " ab");
    EXPECT_EQ(state.gField[4], "x\r\ny");
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
    EXPECT_EQ(state.gField[7], "last");
    EXPECT_EQ(state.gField[1], " ab");
}

TEST_F(ShowSutraTest, AHiddenSectionKeepsItsTextThroughACommit) {
    window->ToggleSection(4, true);
    EXPECT_EQ(PaneText(), "Sutra\r\nab\r\nExplanation\r\nlast\r\n");
    TypeIntoPane("z");
    window->ShowSutra(2);
    EXPECT_EQ(corpus.gEditedText[1], "1.1.1\0 ab\0\0\0x\r\ny\0\0\0last\r\nz\0\x10\0 \0\0\0"s);
}

TEST_F(ShowSutraTest, APaneLeftFromAnotherSutraIsNeverCommittedUnderThisOne) {
    // Record 3 of a second corpus has nothing to render: the pane keeps 1's text.
    RecordBuilder empty;
    empty.Label("9.9.9").Numbers(5, 0);
    WriteCorpus({Record("1.1.1", "first sutra"), empty.Text()});
    Start();
    window->ShowSutra(2);
    EXPECT_EQ(PaneText(), "Sutra\r\nfirst sutra\r\n");
    TypeIntoPane("z");
    window->ShowSutra(1);
    EXPECT_FALSE(HasEdit(corpus, 2));
    EXPECT_FALSE(corpus.gDataModified);
}

TEST_F(ShowSutraTest, AnUnreadableRecordShowsEmptyAndNeverReachesTheCache) {
    corpus.gDataFileNo.Close();  // as after a reload that rejected the file
    window->ShowSutra(2);
    EXPECT_EQ(CurSutra(), 2);
    EXPECT_EQ(Ref(), "Vyakor: ");
    EXPECT_EQ(Siddhanta(), "Siddhanta Kaumudi: 0");
    EXPECT_EQ(Laghu(), "Laghu Kaumudi: 0");
    for (int k = 1; k <= 7; ++k) EXPECT_TRUE(state.gField[static_cast<std::size_t>(k)].empty());

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
    EXPECT_EQ(corpus.gEditedText[1], "1.1.9\0big\r\nz\0\0\0\0\0\0\0\xFF\xFF\x05\0"s);
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
    EXPECT_EQ(state.gField[1], "only sutra");
    EXPECT_EQ(Laghu(), "Laghu Kaumudi: 0");
    EXPECT_EQ(PaneText(), "Sutra\r\nonly sutra\r\n");
}

// Head lines edited with real keys in edit mode, then the sutra left and
// shown again: no section's text is lost.
TEST_F(ShowSutraTest, EditedHeadLinesKeepEverySectionsText) {
    RichTextPane* pane = window->rtbE[0];
    window->mnuToolsEdit->trigger();
    const auto leaveAndReturn = [this] {
        window->ShowSutra(2);
        window->ShowSutra(1);
    };

    pane->SetSelStart(0);  // before the "Sutra" head
    QTest::keyClick(pane, Qt::Key_Q);
    leaveAndReturn();
    EXPECT_EQ(state.gField[1], " q\r\nab") << "the stored leading blank stays where it was";
    EXPECT_EQ(state.gField[4], "x\r\ny");

    pane->SetSelStart(static_cast<int>(PaneText().find("Vritti")));
    QTest::keyClick(pane, Qt::Key_Backspace);  // the Vritti head joins the line above
    ASSERT_NE(PaneText().find("abVritti\r\n"), std::string::npos);
    leaveAndReturn();
    EXPECT_EQ(state.gField[1], " q\r\nab");
    EXPECT_EQ(state.gField[4], "x\r\ny");

    // The head of a hidden section typed with text under it.
    window->ToggleSection(4, true);
    ASSERT_EQ(PaneText().find("Vritti"), std::string::npos);
    pane->SetSelStart(static_cast<int>(PaneText().find("\r\nExplanation")));
    QTest::keyClick(pane, Qt::Key_Return);
    QTest::keyClicks(pane, "Vritti");
    QTest::keyClick(pane, Qt::Key_Return);
    QTest::keyClicks(pane, "new");
    leaveAndReturn();
    EXPECT_EQ(state.gField[4], "new");
    EXPECT_EQ(state.gField[7], "last");
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

        std::string expected = *original;
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
