// The View toggles of both menus and the Insert commands.

#include <QAction>

#include "tests/window/WindowFixture.h"
#include "window/SectionTable.h"

namespace vyk::test {
namespace {

constexpr int Vritti = 4;
constexpr int AnuVritti = 5;
constexpr int Explanation = 7;

class ViewInsertTest : public WindowFixture {
protected:
    void SetUp() override {
        RecordBuilder record;
        record.Label("1.1.1").Sutra("see Vritti").Section(AnuVritti - 1, "vrddhih").Numbers(1, 1);
        ASSERT_TRUE(Start({record.Text(), Record("1.1.2", "adeN gunah", 2, 2), Record("1.1.3", "ab", 3, 3)}));
        pane = Window().rtbE[0];
    }

    QAction* MainItem(int k) { return Window().ViewItem(k); }
    QAction* PopupItem(int k) { return Pop().ViewItem(k); }

    RichTextPane* pane = nullptr;
};

TEST_F(ViewInsertTest, AToggleInThePopupShowsInTheMainMenuAndBack) {
    PopupItem(Vritti)->trigger();
    EXPECT_FALSE(PopupItem(Vritti)->isChecked());
    EXPECT_FALSE(MainItem(Vritti)->isChecked());
    EXPECT_TRUE(window->Session().Sections().gHideVritti);

    MainItem(Vritti)->trigger();
    EXPECT_TRUE(PopupItem(Vritti)->isChecked());
    EXPECT_TRUE(MainItem(Vritti)->isChecked());
    EXPECT_FALSE(window->Session().Sections().gHideVritti);
}

TEST_F(ViewInsertTest, HidingASectionTakesItOutOfThePane) {
    ASSERT_EQ(PaneText(), "Sutra\r\nsee Vritti\r\nAnuVritti\r\nvrddhih\r\n");
    MainItem(AnuVritti)->trigger();
    EXPECT_EQ(PaneText(), "Sutra\r\nsee Vritti\r\n");
    PopupItem(AnuVritti)->trigger();
    EXPECT_EQ(PaneText(), "Sutra\r\nsee Vritti\r\nAnuVritti\r\nvrddhih\r\n");
}

TEST_F(ViewInsertTest, TogglesAreRefusedWhileASaveRuns) {
    corpus.gSaving = true;
    PopupItem(Vritti)->trigger();
    corpus.gSaving = false;
    EXPECT_TRUE(PopupItem(Vritti)->isChecked());
    EXPECT_TRUE(MainItem(Vritti)->isChecked());
    EXPECT_FALSE(window->Session().Sections().gHideVritti);
}

TEST_F(ViewInsertTest, InsertPutsTheCaretAtTheFirstEmptyLineOfTheNewSection) {
    Window().InsertItem(Vritti)->trigger();

    const std::string text = PaneText();
    EXPECT_EQ(text, "Sutra\r\nsee Vritti\r\nVritti\r\n\r\n\r\nAnuVritti\r\nvrddhih\r\n");
    // Not after "see Vritti", the sutra's own line that ends in the head.
    EXPECT_EQ(pane->SelStart(), static_cast<int>(text.find("Vritti\r\n\r\n")) + 8);
    EXPECT_EQ(QApplication::focusWidget(), pane);
    EXPECT_EQ(Field(Vritti), "\r\n");
    EXPECT_FALSE(Window().InsertItem(Vritti)->isEnabled());
}

TEST_F(ViewInsertTest, InsertOfAHiddenSectionCountsTheOffsetFromTheStart) {
    MainItem(Vritti)->trigger();
    const std::string before = PaneText();

    Window().InsertItem(Vritti)->trigger();

    EXPECT_EQ(Field(Vritti), "\r\n");
    EXPECT_EQ(PaneText(), before);
    // "AnuVritti" in the pane is no head line of Vritti.
    EXPECT_EQ(pane->SelStart(), SectionRowOf(Vritti).caretOffset);
}

TEST_F(ViewInsertTest, InsertCaretPastTheEndOfTheTextGoesToTheEnd) {
    Window().lstVykE[0]->SetListIndex(2);
    MainItem(Explanation)->trigger();
    ASSERT_EQ(PaneText(), "Sutra\r\nab\r\n");
    ASSERT_GT(SectionRowOf(Explanation).caretOffset, static_cast<int>(PaneText().size()));

    Window().InsertItem(Explanation)->trigger();

    EXPECT_EQ(pane->SelStart(), static_cast<int>(PaneText().size()));
}

TEST_F(ViewInsertTest, InsertShowsAHiddenSectionThatHoldsTextAndNeverEmptiesIt) {
    MainItem(AnuVritti)->trigger();
    ASSERT_TRUE(Window().InsertItem(AnuVritti)->isEnabled());

    Window().InsertItem(AnuVritti)->trigger();

    EXPECT_EQ(Field(AnuVritti), "vrddhih");
    EXPECT_FALSE(window->Session().Sections().gHideAnuVritti);
    EXPECT_TRUE(MainItem(AnuVritti)->isChecked());
    EXPECT_TRUE(PopupItem(AnuVritti)->isChecked());
    const std::string text = PaneText();
    ASSERT_EQ(text, "Sutra\r\nsee Vritti\r\nAnuVritti\r\nvrddhih\r\n");
    EXPECT_EQ(pane->SelStart(), static_cast<int>(text.find("vrddhih")));
}

TEST_F(ViewInsertTest, InsertIsRefusedWhileASaveRuns) {
    corpus.gSaving = true;
    Window().InsertSection(Vritti);
    corpus.gSaving = false;
    EXPECT_EQ(Field(Vritti), "");
}

}  // namespace
}  // namespace vyk::test
