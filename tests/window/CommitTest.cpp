#include <gtest/gtest.h>

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
    std::array<bool, 8> keep{};

    std::string Rebuild() const {
        CommitSources sources;
        sources.refCaption = ref;
        sources.kaumudiCaptions = {siddhanta, laghu};
        sources.shownNumberBytes = {numberBytes[0], numberBytes[1]};
        sources.keepField = keep;
        sources.fields = &fields;
        return RebuildRecord(pane, sources);
    }
};

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

TEST(RebuildRecord, TextBeforeTheFirstHeadBelongsToNoSection) {
    CommitCase c;
    c.pane = "stray\r\nVritti\r\na\r\nSutra\r\nb\r\n";
    EXPECT_EQ(c.Rebuild(), "1.1.1\0b\0\0\0\0\0\0\0\x10\0 \0\0\0"s);
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

TEST(RebuildRecord, AKeptSectionTakesItsFieldAndTheLabelIsTrimmed) {
    CommitCase c;
    c.ref = "Vyakor:  1.1.1  ";
    c.pane = "Sutra\r\na\r\nAnuVritti\r\nb\r\n";
    c.fields[4] = "  hidden vritti";
    c.keep[4] = true;
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

TEST_F(ShowSutraTest, ACommitOfAnUntouchedPaneStoresTheRecordWithoutLeadingBlanks) {
    corpus.gTextChanged = true;
    window->ShowSutra(2);
    EXPECT_TRUE(corpus.gDataModified);
    EXPECT_FALSE(corpus.gTextChanged);
    EXPECT_EQ(corpus.gEditedText[1], "1.1.1\0ab\0\0\0x\r\ny\0\0\0last\0\x10\0 \0\0\0"s);
    EXPECT_EQ(Ref(), "Vyakor: 1.1.2");
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
    EXPECT_EQ(corpus.gEditedText[2], "9.9.9\0\0\0\0\0\0\0\0\x05\0\0\0\0\0"s);
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
