#include <gtest/gtest.h>

#include <QTest>

#include "tests/window/WindowFixture.h"
#include "window/Commit.h"

namespace vyk {
namespace {

using namespace std::string_literals;
using test::Record;
using test::RecordBuilder;
using test::WindowFixture;

constexpr std::size_t None = std::string_view::npos;

// ---- Finding the head lines ----------------------------------------------

TEST(FindHeadLines, FindsEachHeadStandingAsAWholeLine) {
    const std::string pane = "Sutra\r\nab\r\nVritti\r\nx\r\nExplanation\r\nz\r\n";
    const auto head = FindHeadLines(pane);
    EXPECT_EQ(head[1], 0u);
    EXPECT_EQ(head[4], pane.find("Vritti"));
    EXPECT_EQ(head[7], pane.find("Explanation"));
    for (int k : {2, 3, 5, 6}) EXPECT_EQ(head[static_cast<std::size_t>(k)], None) << k;
}

TEST(FindHeadLines, NeverTakesVrittiInsideTheAnuVrittiHead) {
    const std::string pane = "Sutra\r\nab\r\nAnuVritti\r\nx\r\n";
    const auto head = FindHeadLines(pane);
    EXPECT_EQ(head[4], None);
    EXPECT_EQ(head[5], pane.find("AnuVritti"));
}

TEST(FindHeadLines, NeverTakesATextLineThatEndsLikeAHead) {
    const std::string pane = "Sutra\r\nsee the Vritti\r\nVritti\r\nx\r\n";
    EXPECT_EQ(FindHeadLines(pane)[4], pane.find("Vritti\r\nx"));
    // A head's words followed by more text on the line are no head either.
    EXPECT_EQ(FindHeadLines("Sutra\r\nVritti says\r\n")[4], None);
}

TEST(FindHeadLines, TakesHeadsInTableOrderOnlyAfterTheOneFoundBefore) {
    // Moved out of order by the user: the later head is not looked for
    // before the earlier one, so no section can end before it starts.
    const std::string pane = "Vritti\r\na\r\nSutra\r\nb\r\n";
    const auto head = FindHeadLines(pane);
    EXPECT_EQ(head[1], pane.find("Sutra"));
    EXPECT_EQ(head[4], None);
}

// ---- Rebuilding the record -----------------------------------------------

struct CommitCase {
    std::string pane;
    std::string ref = "Vyakor: 1.1.1";
    std::string siddhanta = "Siddhanta Kaumudi: 16";
    std::string laghu = "Laghu Kaumudi: 32";
    std::array<std::string, 2> numberBytes{"\x10\0"s, " \0"s};
    std::array<std::string, 12> fields{};
    std::array<bool, 8> rendered{};
    std::array<bool, 8> hidden{};

    std::string Rebuild() const {
        CommitSources sources;
        sources.refCaption = ref;
        sources.kaumudiCaptions = {siddhanta, laghu};
        sources.shownNumberBytes = {numberBytes[0], numberBytes[1]};
        sources.rendered = rendered;
        sources.hidden = hidden;
        sources.fields = &fields;
        return RebuildRecord(pane, sources);
    }

    // Sections 1 to 7 as a rebuilt record holds them.
    std::vector<std::string> Sections() const {
        const RecordFields split = SplitRecord(Rebuild());
        return {split.sections.begin(), split.sections.end()};
    }
};

std::array<bool, 8> Rows(std::initializer_list<int> rows) {
    std::array<bool, 8> set{};
    for (int k : rows) set[static_cast<std::size_t>(k)] = true;
    return set;
}

TEST(RebuildRecord, AnUnchangedPaneGivesTheRecordWithoutLeadingBlanks) {
    CommitCase c;
    c.pane = "Sutra\r\nab\r\nVritti\r\nx\r\ny\r\nExplanation\r\nlast\r\n";
    EXPECT_EQ(c.Rebuild(), "1.1.1\0ab\0\0\0x\r\ny\0\0\0last\0\x10\0 \0\0\0"s);
}

TEST(RebuildRecord, RemovesOnlyTheLineEndThatClosedTheSection) {
    CommitCase c;
    c.pane = "Sutra\r\nabc\r\n\r\nVritti\r\nx\r\n";
    EXPECT_EQ(c.Rebuild(), "1.1.1\0abc\r\n\0\0\0x\0\0\0\0\x10\0 \0\0\0"s);
    // The last section keeps its last character when the pane has no line end.
    c.pane = "Explanation\r\nxyz";
    EXPECT_EQ(c.Rebuild(), "1.1.1\0\0\0\0\0\0\0xyz\0\x10\0 \0\0\0"s);
}

TEST(RebuildRecord, TextAboveTheFirstHeadGoesToTheFirstRenderedSection) {
    CommitCase c;
    c.rendered = Rows({1, 4});
    // The first head line deleted: its text stays its section's.
    c.pane = "ab\r\nVritti\r\nv\r\n";
    EXPECT_EQ(c.Sections(), (std::vector<std::string>{"ab", "", "", "v", "", "", ""}));
    // Blank lines alone there are no text.
    c.pane = "\r\n \r\nSutra\r\nab\r\n";
    EXPECT_EQ(c.Sections(), (std::vector<std::string>{"ab", "", "", "", "", "", ""}));
}

TEST(RebuildRecord, ADamagedHeadLineOfARenderedSectionStillStartsItsSection) {
    CommitCase c;
    c.rendered = Rows({1, 4, 5});
    // Typed after the head on its line.
    c.pane = "Sutra\r\nab\r\nVritti x\r\nv\r\nAnuVritti\r\nw\r\n";
    EXPECT_EQ(c.Sections(), (std::vector<std::string>{"ab", "", "", " x\r\nv", "w", "", ""}));
    // Deleted whole: "Vritti" at the end of the AnuVritti head is not it,
    // and its text stays with the section above.
    c.pane = "Sutra\r\nab\r\nv\r\nAnuVritti\r\nw\r\n";
    EXPECT_EQ(c.Sections(), (std::vector<std::string>{"ab\r\nv", "", "", "", "w", "", ""}));
}

TEST(RebuildRecord, ADamagedHeadIsNeverLookedForPastTheNextWholeHead) {
    CommitCase c;
    c.rendered = Rows({1, 2, 4, 6});
    c.pane = "Sutra\r\na\r\nVritti\r\nv\r\nTranslation\r\nthe Pada-Patha\r\nsays\r\n";
    EXPECT_EQ(c.Sections(), (std::vector<std::string>{"a", "", "", "v", "", "the Pada-Patha\r\nsays", ""}));
    // A section the pane was not rendered with has no damaged head to find.
    c.rendered = Rows({1, 6});
    c.pane = "Sutra\r\nsee Vritti\r\nmore\r\nTranslation\r\nt\r\n";
    EXPECT_EQ(c.Sections(), (std::vector<std::string>{"see Vritti\r\nmore", "", "", "", "", "t", ""}));
}

TEST(RebuildRecord, WritesTheNumbersOfTheCaptionsAsTwoBase255Digits) {
    CommitCase c;
    c.pane = "Sutra\r\na\r\n";
    const std::pair<std::string, std::string> cases[] = {{"0", "\0\0"s}, {"255", "\xFF\0"s}, {"1000", "\xEB\x03"s}};
    for (const auto& [number, digits] : cases) {
        c.siddhanta = "Siddhanta Kaumudi: " + number;
        c.laghu = "Laghu Kaumudi: " + number;
        EXPECT_EQ(c.Rebuild(), "1.1.1\0a\0\0\0\0\0\0\0"s + digits + digits + "\0\0"s) << number;
    }
}

TEST(RebuildRecord, ANumberBeyondSixteenBitsKeepsTheBytesItHad) {
    CommitCase c;
    c.pane = "Sutra\r\na\r\n";
    c.siddhanta = "Siddhanta Kaumudi: 65280";
    c.numberBytes[0] = "\xFF\xFF";
    c.laghu = "Laghu Kaumudi: 32768";
    c.numberBytes[1] = "\x83\x80";
    EXPECT_EQ(c.Rebuild(), "1.1.1\0a\0\0\0\0\0\0\0\xFF\xFF\x83\x80\0\0"s);
}

TEST(RebuildRecord, AHiddenSectionTakesItsFieldAndTheLabelIsTrimmed) {
    CommitCase c;
    c.ref = "Vyakor:  1.1.1  ";
    c.rendered = Rows({1, 5});
    c.pane = "Sutra\r\na\r\nAnuVritti\r\nb\r\n";
    c.fields[4] = "  hidden vritti";
    c.hidden[4] = true;
    EXPECT_EQ(c.Rebuild(), "1.1.1\0a\0\0\0  hidden vritti\0b\0\0\0\x10\0 \0\0\0"s);
}

TEST(RebuildRecord, DropsZeroBytesThatWouldShiftTheFields) {
    CommitCase c;
    c.pane = "Sutra\r\na\0b\r\n"s;
    EXPECT_EQ(c.Rebuild(), "1.1.1\0ab\0\0\0\0\0\0\0\x10\0 \0\0\0"s);
}

std::array<std::string, 2> NumberBytes(const std::string& text) { return vyk::NumberBytes(text, SplitRecord(text)); }

TEST(NumberBytes, TakesTheDigitsAfterTheEighthZeroByteAsPresent) {
    EXPECT_EQ(NumberBytes(Record("1.1.1", "a", 1000, 17)), (std::array<std::string, 2>{"\xEB\x03", "\x11\0"s}));
    EXPECT_EQ(NumberBytes("l\0s\0\0\0\0\0\0\0\x05"s), (std::array<std::string, 2>{"\x05", ""}));
    EXPECT_EQ(NumberBytes("l\0s\0"s), (std::array<std::string, 2>{"", ""}));
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
    EXPECT_EQ(corpus.gCurSutra, 1);
    EXPECT_EQ(Ref(), "Vyakor: 1.1.1");
    EXPECT_EQ(Siddhanta(), "Siddhanta Kaumudi: 16");
    EXPECT_EQ(Laghu(), "Laghu Kaumudi: 32");
    EXPECT_EQ(state.gField[1], " ab");
    EXPECT_EQ(state.gField[4], "x\r\ny");
    EXPECT_EQ(PaneText(), "Sutra\r\nab\r\nVritti\r\nx\r\ny\r\nExplanation\r\nlast\r\n");
}

TEST_F(ShowSutraTest, ACommitOfAnUntouchedPaneStoresNothing) {
    corpus.gTextChanged = true;  // a key that changed nothing
    window->ShowSutra(2);
    EXPECT_FALSE(corpus.gDataModified);
    EXPECT_FALSE(corpus.gTextChanged);
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

TEST_F(ShowSutraTest, TypedTextReachesTheCacheAtTheNextDisplayAndShowsFromThere) {
    TypeIntoPane("more");
    EXPECT_TRUE(corpus.gEditedText[1].empty());
    window->ShowSutra(3);
    EXPECT_EQ(corpus.gEditedText[1].substr(0, 6), "1.1.1\0"s);
    window->ShowSutra(1);
    EXPECT_EQ(PaneText(), "Sutra\r\nab\r\nVritti\r\nx\r\ny\r\nExplanation\r\nlast\r\nmore\r\n");
    EXPECT_EQ(state.gField[7], "last\r\nmore");
}

TEST_F(ShowSutraTest, ShowingTheSameSutraWithTypingPendingShowsTheRebuiltRecord) {
    TypeIntoPane("z");
    window->ShowSutra(1);
    EXPECT_FALSE(corpus.gEditedText[1].empty());
    EXPECT_EQ(state.gField[7], "last\r\nz");
    EXPECT_EQ(state.gField[1], "ab");
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
    state.gHideVritti = true;
    window->RenderSections();
    EXPECT_EQ(PaneText(), "Sutra\r\nab\r\nExplanation\r\nlast\r\n");
    TypeIntoPane("z");
    window->ShowSutra(2);
    EXPECT_EQ(corpus.gEditedText[1], "1.1.1\0ab\0\0\0x\r\ny\0\0\0last\r\nz\0\x10\0 \0\0\0"s);
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
    EXPECT_EQ(corpus.gCurSutra, 2);
    EXPECT_EQ(Ref(), "Vyakor: ");
    EXPECT_EQ(Siddhanta(), "Siddhanta Kaumudi: 0");
    EXPECT_EQ(Laghu(), "Laghu Kaumudi: 0");
    for (int k = 1; k <= 7; ++k) EXPECT_TRUE(state.gField[static_cast<std::size_t>(k)].empty());

    TypeIntoPane("z");
    window->ShowSutra(3);
    EXPECT_TRUE(corpus.gEditedText[2].empty());
    EXPECT_FALSE(corpus.gTextChanged);
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
    EXPECT_EQ(state.gField[1], "q\r\nab");
    EXPECT_EQ(state.gField[4], "x\r\ny");

    pane->SetSelStart(static_cast<int>(PaneText().find("Vritti")));
    QTest::keyClick(pane, Qt::Key_Backspace);  // the Vritti head joins the line above
    ASSERT_NE(PaneText().find("abVritti\r\n"), std::string::npos);
    leaveAndReturn();
    EXPECT_EQ(state.gField[1], "q\r\nab");
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

// Every record of the real corpus, shown and committed through a pane left
// as rendered, keeps its exact bytes; and that pane's text, rebuilt, splits
// into the sections as shown, records with AnuVritti and no Vritti included.
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

TEST_F(RealCorpusTest, EveryRecordComesBackByteForByteThroughAnUnchangedPane) {
    const std::string real = test::ReadBytes(VYK_SHARED_CORPUS);
    if (real.empty()) GTEST_SKIP() << "no real corpus at " << VYK_SHARED_CORPUS;
    WriteCorpusBytes(real);
    ASSERT_TRUE(Start());
    window->hide();  // the same text without laying out every document on screen
    ASSERT_GT(corpus.gRecordCount, 3000);

    int anuVrittiWithoutVritti = 0;
    for (int k = 1; k <= corpus.gRecordCount; ++k) {
        const std::optional<std::string> original = ReadFileRecordText(corpus, k);
        if (!original) continue;
        window->ShowSutra(k);  // commits the record before, with a key pressed in it
        const RecordFields fields = SplitRecord(*original);
        if (fields.sections[3].empty() && !fields.sections[4].empty()) ++anuVrittiWithoutVritti;

        CommitSources sources;
        const std::string ref = Ref();
        sources.refCaption = ref;
        for (std::size_t j = 1; j <= 7; ++j) sources.rendered[j] = !fields.sections[j - 1].empty();
        const RecordFields rebuilt = SplitRecord(RebuildRecord(PaneText(), sources));
        for (std::size_t j = 0; j < 7; ++j)
            ASSERT_EQ(rebuilt.sections[j], AsShown(fields.sections[j])) << "record " << k << ", section " << j + 1;

        corpus.gTextChanged = true;  // a key pressed in view mode
    }
    window->ShowSutra(1);

    EXPECT_GT(anuVrittiWithoutVritti, 0);
    EXPECT_FALSE(corpus.gDataModified);
    for (int k = 1; k <= corpus.gRecordCount; ++k) {
        ASSERT_FALSE(HasEdit(corpus, k)) << "record " << k;
        EXPECT_EQ(ReadRecordText(corpus, k), ReadFileRecordText(corpus, k));
    }
}

class NoSutraShownTest : public WindowFixture {};

TEST_F(NoSutraShownTest, UndoAndTheToolsMenuDoNothingBeforeAnySutraIsShown) {
    WriteCorpusBytes("not a corpus");
    EXPECT_FALSE(Start());
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(corpus.gCurSutra, 0);

    window->mnuTools_Click();
    EXPECT_TRUE(window->mnuToolsUndo->isEnabled());
    window->mnuToolsUndo_Click();
    corpus.gTextChanged = true;
    window->CommitEdit();
    EXPECT_EQ(corpus.gCurSutra, 0);
    EXPECT_EQ(PaneText(), "");
}

}  // namespace
}  // namespace vyk
