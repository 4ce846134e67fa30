#include "platform/RtfReader.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <memory>
#include <random>
#include <string>

#include "tests/QtTestSupport.h"
#include "tests/platform/RtfBuilder.h"

namespace vyk {
namespace {

using test::Section;
using test::SectionsRtf;

std::unique_ptr<QTextDocument> Read(std::string_view rtf) {
    test::EnsureApp();
    auto document = std::make_unique<QTextDocument>();
    ReadRtf(rtf, *document);
    return document;
}

// The paragraphs joined by "|", one byte per character.
std::string Paragraphs(const QTextDocument& document) {
    std::string out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) out += '|';
        out += block.text().toLatin1().toStdString();
    }
    return out;
}

// Format of the first fragment holding `text`.
QTextCharFormat FormatOf(const QTextDocument& document, const QString& text) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(text)) return it.fragment().charFormat();
        }
    }
    ADD_FAILURE() << "no fragment holds " << text.toStdString();
    return {};
}

TEST(RtfReader, SectionDocumentGivesHeadAndTextParagraphs) {
    const auto document = Read(SectionsRtf({{"Sutra", "ab"}, {"Vritti", "cd"}}));
    EXPECT_EQ(Paragraphs(*document), "Sutra|ab|Vritti|cd|");
}

TEST(RtfReader, HeadsAreUnderlinedDarkRedInTheDefaultFontAtTenPoints) {
    const auto document = Read(SectionsRtf({{"Sutra", "text"}}, "DejaVu Sans"));
    const QTextCharFormat head = FormatOf(*document, "Sutra");
    EXPECT_EQ(head.fontFamilies().toStringList(), QStringList{"DejaVu Sans"});
    EXPECT_DOUBLE_EQ(head.fontPointSize(), 10.0);
    EXPECT_TRUE(head.fontUnderline());
    EXPECT_EQ(head.foreground().color(), QColor(125, 0, 0));

    const QTextCharFormat body = FormatOf(*document, "text");
    EXPECT_EQ(body.fontFamilies().toStringList(), QStringList{"Times Kovra Roman"});
    EXPECT_DOUBLE_EQ(body.fontPointSize(), 11.5);
    EXPECT_FALSE(body.fontUnderline());
    EXPECT_FALSE(body.hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfReader, IndentsInTwipsBecomePixelMargins) {
    const auto document = Read(SectionsRtf({{"Sutra", "x"}}));
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        EXPECT_NEAR(block.blockFormat().leftMargin(), 130.0 / 15.0, 1e-9);
        EXPECT_NEAR(block.blockFormat().rightMargin(), 130.0 / 15.0, 1e-9);
    }
    const auto reset = Read("{\\rtf1\\li300 a\\par\\pard b}");
    EXPECT_NEAR(reset->begin().blockFormat().leftMargin(), 20.0, 1e-9);
    EXPECT_EQ(reset->begin().next().blockFormat().leftMargin(), 0.0);
}

TEST(RtfReader, DefaultTabFollowsDeftab) {
    EXPECT_DOUBLE_EQ(Read("{\\rtf1\\deftab720 a}")->defaultTextOption().tabStopDistance(), 48.0);
    EXPECT_DOUBLE_EQ(Read("{\\rtf1\\deftab360 a}")->defaultTextOption().tabStopDistance(), 24.0);
}

TEST(RtfReader, EscapesGiveTheirCharacters) {
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 a\\\\b\\{c\\}d}")), "a\\b{c}d");
    // Hex escapes in either case give one Latin-1 byte each.
    const auto bytes = Read("{\\rtf1 \\'e9\\'C0\\'7f\\'a0}");
    EXPECT_EQ(Paragraphs(*bytes), "\xe9\xc0\x7f\xa0");
}

TEST(RtfReader, EveryByteAboveAsciiRoundTripsThroughItsEscape) {
    std::string text;
    for (int c = 127; c <= 255; ++c) text += static_cast<char>(c);
    const auto document = Read("{\\rtf1 " + test::EscapeRtf(text) + "}");
    EXPECT_EQ(Paragraphs(*document), text);
}

TEST(RtfReader, LineEndsInTheFileAreNotText) {
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 a\r\nb\nc\rd}")), "abcd");
    // A backslash before a line end is a paragraph mark.
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 a\\\nb}")), "a|b");
}

TEST(RtfReader, UnknownControlWordsAreSkippedWithParameterAndOneDelimiter) {
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 \\foo123 a\\bar-5b\\baz  c}")), "ab c");
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 x\\~y\\-z}")), "xyz");
}

TEST(RtfReader, IgnorableAndKnownNonTextDestinationsShowNothing) {
    const auto document =
        Read("{\\rtf1{\\*\\generator Riched20 {nested} 10.0;}{\\stylesheet{\\s0 Normal;}}"
             "{\\info{\\title T}}a{\\*\\unknown \\par b}c}");
    EXPECT_EQ(Paragraphs(*document), "ac");
}

TEST(RtfReader, GroupsRestoreTheFormatAroundThem) {
    const auto document = Read("{\\rtf1{\\colortbl;\\red0\\green0\\blue255;}a{\\ul\\cf1 b}c}");
    EXPECT_FALSE(FormatOf(*document, "a").fontUnderline());
    EXPECT_TRUE(FormatOf(*document, "b").fontUnderline());
    EXPECT_EQ(FormatOf(*document, "b").foreground().color(), QColor(0, 0, 255));
    EXPECT_FALSE(FormatOf(*document, "c").fontUnderline());
    EXPECT_FALSE(FormatOf(*document, "c").hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfReader, AutomaticColourEntryLeavesThePaneColour) {
    const auto document = Read("{\\rtf1{\\colortbl;\\red9\\green8\\blue7;}\\cf0 a\\cf1 b\\cf7 c}");
    EXPECT_FALSE(FormatOf(*document, "a").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(FormatOf(*document, "b").foreground().color(), QColor(9, 8, 7));
    EXPECT_FALSE(FormatOf(*document, "c").hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfReader, UnknownFontNumberFallsBackToTheDefaultFont) {
    const auto document = Read("{\\rtf1\\deff1{\\fonttbl{\\f0 Zero;}{\\f1 One;}}\\f9 a\\f0 b}");
    EXPECT_EQ(FormatOf(*document, "a").fontFamilies().toStringList(), QStringList{"One"});
    EXPECT_EQ(FormatOf(*document, "b").fontFamilies().toStringList(), QStringList{"Zero"});
}

TEST(RtfReader, FontEntriesWithoutBracesOrSemicolonAreRead) {
    const auto document = Read("{\\rtf1{\\fonttbl\\f0\\fnil Alpha;\\f1\\fnil Beta}\\f1 x\\f0 y}");
    EXPECT_EQ(FormatOf(*document, "x").fontFamilies().toStringList(), QStringList{"Beta"});
    EXPECT_EQ(FormatOf(*document, "y").fontFamilies().toStringList(), QStringList{"Alpha"});
}

TEST(RtfReader, PlainResetsCharacterFormatButNotParagraph) {
    const auto document = Read("{\\rtf1\\li150\\fs40\\ul a\\plain b}");
    EXPECT_DOUBLE_EQ(FormatOf(*document, "b").fontPointSize(), 12.0);
    EXPECT_FALSE(FormatOf(*document, "b").fontUnderline());
    EXPECT_NEAR(document->begin().blockFormat().leftMargin(), 10.0, 1e-9);
}

TEST(RtfReader, HugeParametersAreClamped) {
    const auto document =
        Read("{\\rtf1\\li99999999999999999999999\\fs99999999999999999999 a\\fs-40 b\\f-99999999999 c"
             "\\cf99999999999999 d}");
    EXPECT_EQ(Paragraphs(*document), "abcd");
    EXPECT_LE(FormatOf(*document, "a").fontPointSize(), 1638.0);
    EXPECT_GE(FormatOf(*document, "b").fontPointSize(), 1.0);
    EXPECT_LE(document->begin().blockFormat().leftMargin(), 31680.0 / 15.0);
}

TEST(RtfReader, CutOffEscapesAreDropped) {
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 ab\\'")), "ab");
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 ab\\'4")), "ab4");
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 ab\\'zz}")), "abzz");
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 ab\\")), "ab");
}

TEST(RtfReader, UnbalancedBracesNeitherCrashNorLoseText) {
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 a{b{c")), "abc");
    // Reading ends where the outermost group closes.
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 a}b}}c")), "a");
}

TEST(RtfReader, ZeroBytesNeverReachTheText) {
    EXPECT_EQ(Paragraphs(*Read(std::string("{\\rtf1 a\\'00b", 13) + std::string(1, '\0') + "c}")), "abc");
}

TEST(RtfReader, EscapedCarriageReturnStartsAParagraph) {
    EXPECT_EQ(Paragraphs(*Read("{\\rtf1 a\\'0db\\'0ac}")), "a|bc");
}

TEST(RtfReader, InputThatIsNotRtfIsPlainText) {
    const auto document = Read("not {rtf} \\par\r\nline two\rthree\nfour");
    EXPECT_EQ(Paragraphs(*document), "not {rtf} \\par|line two|three|four");
}

TEST(RtfReader, EmptyInputEmptiesTheDocument) {
    const auto document = Read("{\\rtf1 old}");
    ReadRtf("", *document);
    EXPECT_TRUE(document->isEmpty());
}

TEST(RtfReader, ReadingLeavesNothingToUndo) {
    const auto document = Read("{\\rtf1 a\\par b}");
    EXPECT_FALSE(document->isUndoAvailable());
    EXPECT_TRUE(document->isUndoRedoEnabled());
}

TEST(RtfReader, DeepNestingIsReadWithoutRecursion) {
    std::string rtf = "{\\rtf1 ";
    rtf.append(200000, '{');
    rtf += "deep";
    const auto document = Read(rtf);
    EXPECT_EQ(Paragraphs(*document), "deep");
}

// Random bytes drawn mostly from the characters that steer the reader.
TEST(RtfReader, RandomInputNeverCrashesOrHangs) {
    test::EnsureApp();
    std::mt19937 random(20240611);
    const std::string alphabet = "{}\\'*;0123456789abcdeffsulparplainpardli-  \r\n\xe9";
    QTextDocument document;
    for (int round = 0; round < 3000; ++round) {
        std::string rtf = "{\\rtf1";
        const int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) {
            rtf += random() % 4 == 0 ? static_cast<char>(random() % 256)
                                     : alphabet[random() % alphabet.size()];
        }
        ReadRtf(rtf, document);
        ASSERT_GE(document.blockCount(), 1);
    }
}

}  // namespace
}  // namespace vyk
