#include <gtest/gtest.h>

#include <map>

#include "tests/window/WindowFixture.h"
#include "window/Commit.h"
#include "window/Rendering.h"
#include "window/SectionTable.h"

namespace vyk {
namespace {

using test::Record;
using test::RecordBuilder;
using test::WindowFixture;

TEST(EscapeRtf, WritesHighBytesAsLowerCaseHexAndEscapesTheSpecialCharacters) {
    EXPECT_EQ(EscapeRtf("c\xE9"), "c\\'e9");
    EXPECT_EQ(EscapeRtf("\x7F\xFF\x80"), "\\'7f\\'ff\\'80");
    EXPECT_EQ(EscapeRtf("a{b}c\\d"), "a\\{b\\}c\\\\d");
    // CR becomes a paragraph mark and stays; LF and tab pass unchanged.
    EXPECT_EQ(EscapeRtf("x\r\ny\tz~"), "x\\par\r\ny\tz~");
}

TEST(BuildRtfHead, NamesTheLabelFaceAsFontZeroAndTheTwoDisplayFaces) {
    EXPECT_EQ(BuildRtfHead("DejaVu Sans"),
              "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss DejaVu Sans;}"
              "{\\f1\\froman Times Kovra Roman;}{\\f2\\fnil Velka;}}"
              "{\\colortbl\\red0\\green0\\blue0;\\red125\\green0\\blue0;}\r\n"
              "\\pard\\li130\\ri130\\ql");
    // The face goes in as it is, unescaped.
    EXPECT_NE(BuildRtfHead("A{B").find("\\f0\\fswiss A{B;}"), std::string::npos);
}

TEST(BuildSectionBody, RendersTheSutraExampleExactly) {
    SutraSections state;
    state.gField[1] = " ab\r\nc\xE9";
    const RenderedBody rendered = BuildSectionBody(state);
    EXPECT_EQ(rendered.body,
              "\\plain\\fs20\\cf1\\ul Sutra\\plain\\cf0\\ulnone\r\n"
              "\\par\\plain\\f1\\fs23 ab\\par\r\nc\\'e9\\par\r\n");
    EXPECT_TRUE(rendered.rendered[1]);
    for (int k = 2; k <= 7; ++k) EXPECT_FALSE(rendered.rendered[static_cast<std::size_t>(k)]);
    EXPECT_EQ(rendered.headParagraphs, (std::map<int, int>{{0, 1}}));
}

TEST(BuildSectionBody, SkipsHiddenAndEmptySectionsButKeepsBlankOnes) {
    SutraSections state;
    state.gField[2] = "   ";
    state.gField[4] = "hidden";
    state.gHideVritti = true;
    state.gField[7] = "last";
    const RenderedBody rendered = BuildSectionBody(state);
    EXPECT_EQ(rendered.body,
              "\\plain\\fs20\\cf1\\ul Pada-Patha\\plain\\cf0\\ulnone\r\n\\par\\plain\\f1\\fs23 \\par\r\n"
              "\\plain\\fs20\\cf1\\ul Explanation\\plain\\cf0\\ulnone\r\n\\par\\plain\\f1\\fs23 last\\par\r\n");
    EXPECT_TRUE(rendered.rendered[2]);
    EXPECT_FALSE(rendered.rendered[4]);
    EXPECT_TRUE(rendered.rendered[7]);
    EXPECT_EQ(rendered.headParagraphs, (std::map<int, int>{{0, 2}, {2, 7}})) << "a head, its text, the next head";

    SutraSections allHidden;
    for (const SectionRow& row : SectionTable) {
        allHidden.gField[static_cast<std::size_t>(row.k)] = "text";
        allHidden.*row.hidden = true;
    }
    EXPECT_TRUE(BuildSectionBody(allHidden).body.empty());
}

// ---- In the window -------------------------------------------------------

class RenderSectionsTest : public WindowFixture {
protected:
    void SetUp() override {
        RecordBuilder first;
        first.Label("1.1.1").Sutra(" ab\r\nc\xE9").Section(3, "vritti text").Numbers(16, 32);
        RecordBuilder second;
        second.Label("1.1.2").Sutra("{x}\\y").Numbers(17, 25);
        ASSERT_TRUE(Start({first.Text(), second.Text()}));
    }
};

TEST_F(RenderSectionsTest, PaneReadsBackEachRenderedSectionUnderItsHead) {
    EXPECT_EQ(PaneText(), "Sutra\r\nab\r\nc\xE9\r\nVritti\r\nvritti text\r\n");
    window->ShowSutra(2);
    EXPECT_EQ(PaneText(), "Sutra\r\n{x}\\y\r\n");
}

TEST_F(RenderSectionsTest, InsertItemsAreEnabledExactlyForHiddenOrEmptySections) {
    for (int k = 1; k <= 7; ++k)
        EXPECT_EQ(window->InsertItem(k)->isEnabled(), k != 1 && k != 4) << "section " << k;

    window->ToggleSection(1, true);
    EXPECT_TRUE(window->InsertItem(1)->isEnabled());
    EXPECT_FALSE(window->InsertItem(4)->isEnabled());
}

// Nothing of the record on show: the pane is empty and takes no typing, even
// in edit mode, and every section can be inserted.
TEST_F(RenderSectionsTest, NothingToRenderEmptiesThePaneAndLocksIt) {
    window->mnuToolsEdit->trigger();
    ASSERT_FALSE(window->rtbE[0]->Locked());
    window->ToggleSection(1, true);
    window->ToggleSection(4, true);
    EXPECT_EQ(PaneText(), "");
    EXPECT_TRUE(window->rtbE[0]->Locked());
    for (int k = 1; k <= 7; ++k) EXPECT_TRUE(window->InsertItem(k)->isEnabled());

    window->InsertSection(6);
    EXPECT_EQ(PaneText(), "Translation\r\n\r\n\r\n") << "a field set to a line break shows two empty lines";
    EXPECT_FALSE(window->rtbE[0]->Locked());
}

// A commit finds each section by its marked head, so exactly the head
// paragraphs must carry marks, whatever bytes the fields hold.
TEST_F(RenderSectionsTest, EveryByteReadsBackAndOnlyTheHeadsAreMarked) {
    std::string every;
    for (int c = 1; c < 256; ++c) every += static_cast<char>(c);
    SectionTexts fields;
    fields[1] = "  " + every;
    fields[4] = "\n\r\r\n x\n";
    fields[7] = every + "\r";
    RecordBuilder odd;
    odd.Label("9.9.9").Sutra(fields[1]).Section(3, fields[4]).Section(6, fields[7]);
    WriteCorpus({odd.Text()});
    ASSERT_TRUE(Start());

    // Bytes 1 to 12 without the LF (byte 10), which shows nothing; the CR
    // (byte 13) ends the line; then bytes 14 to 255.
    const std::string upToCr = every.substr(0, 9) + every.substr(10, 2);
    const std::string fromCr = every.substr(13);
    EXPECT_EQ(PaneText(), "Sutra\r\n" + upToCr + "\r\n" + fromCr + "\r\nVritti\r\n\r\n\r\n x\r\nExplanation\r\n" +
                              upToCr + "\r\n" + fromCr + "\r\n\r\n");
    const std::vector<PaneLine> lines = window->rtbE[0]->Lines();
    const std::map<std::size_t, int> heads{{0, 1}, {3, 4}, {7, 7}};
    ASSERT_EQ(lines.size(), 11u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int mark = heads.contains(i) ? heads.at(i) : 0;
        EXPECT_EQ(lines[i].marks, std::vector<int>(lines[i].text.size(), mark)) << "line " << i;
    }
    const SectionFlags rendered{false, true, false, false, true, false, false, true};
    EXPECT_EQ(FoldPaneLines(fields, rendered, lines), fields) << "an untouched pane changes no byte";
}

TEST_F(RenderSectionsTest, HeadsTakeTheFaceOfTheKaumudiLabel) {
    QFont font = window->lblkaumudi[0]->font();
    font.setFamily(QStringLiteral("DejaVu Serif"));
    window->lblkaumudi[0]->setFont(font);
    window->ToggleSection(4, true);
    const QTextCursor cursor(window->rtbE[0]->document());  // at the first head
    QTextCursor head(cursor);
    head.movePosition(QTextCursor::NextCharacter);
    EXPECT_EQ(head.charFormat().font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_TRUE(head.charFormat().fontUnderline());
}

}  // namespace
}  // namespace vyk
