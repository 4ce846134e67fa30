#include <gtest/gtest.h>

#include <string_view>

#include "window/GlyphKeys.h"

namespace vyk {
namespace {

constexpr int Shift = ShiftBit;
constexpr int Ctrl = CtrlBit;
constexpr int Alt = AltBit;

// The letters of one group and the bytes they type, written out as the
// keyboard's documentation lists them in decimal.
struct GroupListing {
    int shift;
    std::string_view letters;
    std::array<int, 11> bytes;
};

void ExpectGroupTypes(const GroupListing& group) {
    for (std::size_t i = 0; i < group.letters.size(); ++i) {
        const int key = group.letters[i];
        EXPECT_EQ(GlyphByteFor(key, group.shift), group.bytes[i])
            << "key " << char(key) << " with shift bits " << group.shift;
    }
    // Every other letter of the group types nothing.
    for (int key = 'A'; key <= 'Z'; ++key) {
        if (group.letters.find(char(key)) != std::string_view::npos) continue;
        EXPECT_EQ(GlyphByteFor(key, group.shift), 0) << "key " << char(key) << " with shift bits " << group.shift;
    }
}

TEST(GlyphKeys, EachGroupTypesExactlyItsListedLetters) {
    ExpectGroupTypes({Shift | Alt, "HLMNRS", {200, 211, 199, 205, 196, 208}});
    ExpectGroupTypes({Shift | Alt | Ctrl, "HLMNRS", {200, 211, 199, 205, 196, 208}});
    ExpectGroupTypes({Shift | Ctrl, "ADEILNORSTU", {192, 204, 197, 193, 209, 201, 198, 195, 207, 203, 194}});
    ExpectGroupTypes({Ctrl, "ADEILNORSTU", {224, 236, 229, 225, 241, 233, 230, 227, 239, 235, 226}});
    ExpectGroupTypes({Alt, "HLMNRS", {232, 243, 231, 237, 228, 240}});
}

TEST(GlyphKeys, CtrlAltTypesNothingAndDoesNotFallThroughToCtrl) {
    for (int key = 'A'; key <= 'Z'; ++key) EXPECT_EQ(GlyphByteFor(key, Ctrl | Alt), 0) << char(key);
    EXPECT_EQ(GlyphByteFor(GraveAccentKey, Ctrl | Alt), 0);
}

TEST(GlyphKeys, ShiftAltWinsOverShiftCtrlWhenAllThreeAreDown) {
    EXPECT_EQ(GlyphByteFor('H', Ctrl | Alt | Shift), 0xC8);
    // A is a Shift+Ctrl letter only; group 1 decides and does not list it.
    EXPECT_EQ(GlyphByteFor('A', Ctrl | Alt | Shift), 0);
}

TEST(GlyphKeys, GraveAccentKeyTypesTildeNOnlyWithoutCtrlOrAlt) {
    EXPECT_EQ(GlyphByteFor(GraveAccentKey, 0), 0xEA);
    EXPECT_EQ(GlyphByteFor(GraveAccentKey, Shift), 0xCA);
    EXPECT_EQ(GlyphByteFor(GraveAccentKey, Ctrl), 0);
    EXPECT_EQ(GlyphByteFor(GraveAccentKey, Alt), 0);
    EXPECT_EQ(GlyphByteFor(GraveAccentKey, Ctrl | Shift), 0);
}

TEST(GlyphKeys, PlainAndShiftedLettersPassThrough) {
    for (int key = 'A'; key <= 'Z'; ++key) {
        EXPECT_EQ(GlyphByteFor(key, 0), 0) << char(key);
        EXPECT_EQ(GlyphByteFor(key, Shift), 0) << char(key);
    }
    EXPECT_EQ(GlyphByteFor('A', Alt), 0);
    EXPECT_EQ(GlyphByteFor('B', Ctrl), 0);
}

TEST(GlyphKeys, KeyCodeZeroNeverMatchesTheMarkerOfAnEmptyGroup) {
    for (int shift = 0; shift < 8; ++shift) EXPECT_EQ(GlyphByteFor(0, shift), 0) << shift;
}

TEST(GlyphKeys, ShiftedByteLiesThirtyTwoBelowTheUnshiftedOne) {
    for (int key = 'A'; key <= 'Z'; ++key) {
        if (const int lower = GlyphByteFor(key, Alt)) {
            EXPECT_EQ(GlyphByteFor(key, Shift | Alt), lower - 0x20) << char(key);
        }
        if (const int lower = GlyphByteFor(key, Ctrl)) {
            EXPECT_EQ(GlyphByteFor(key, Shift | Ctrl), lower - 0x20) << char(key);
        }
    }
}

TEST(GlyphKeys, EveryTypedByteIsALetterOfTheRomanFontsDiacriticRange) {
    for (const GlyphKey& row : GlyphKeyTable) {
        if (row.key == 0) continue;
        EXPECT_GE(row.byte, 192);
        EXPECT_LE(row.byte, 243);
    }
}

static_assert(GlyphByteFor('A', CtrlBit) == 0xE0, "usable at compile time");

}  // namespace
}  // namespace vyk
