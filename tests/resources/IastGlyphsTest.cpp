#include "resources/IastGlyphs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vyk {
namespace {

std::string Utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

TEST(IastGlyphs, TableFollowsTheFontsByteLayout) {
  std::set<unsigned char> bytes;
  for (const GlyphLetter& row : GlyphLetters) {
    EXPECT_TRUE(bytes.insert(row.byte).second) << "byte used twice: " << int(row.byte);
    EXPECT_GE(row.byte, 0xC0);
    EXPECT_LE(row.byte, 0xF3);
    // Capitals sit 32 below their small letters, and EE/F2 (with CE/D2) are unused.
    const unsigned char small = row.byte >= 0xE0 ? row.byte : row.byte + 0x20;
    EXPECT_NE(small, 0xEE);
    EXPECT_NE(small, 0xF2);
  }
  for (std::size_t i = 0; i < GlyphLetters.size(); i += 2) {
    EXPECT_EQ(GlyphLetters[i].byte, GlyphLetters[i + 1].byte + 0x20);
  }
}

// What the pane takes in and gives out: the letter the face shows at a byte.
TEST(IastGlyphs, ACharacterHasTheByteTheFaceShowsItAt) {
  EXPECT_EQ(ByteShowing(U'\u00F1'), 0xEA) << "n with tilde is at EA, not at its Latin-1 F1 (l with dot)";
  EXPECT_EQ(ByteShowing(U'\u00D1'), 0xCA);
  EXPECT_EQ(ByteShowing(U'\u0101'), 0xE0);
  EXPECT_EQ(ByteShowing(U'a'), 'a');
  EXPECT_EQ(ByteShowing(U'\u00FF'), 0xFF) << "y with diaeresis: FF is no glyph byte";
  EXPECT_EQ(ByteShowing(U'\u00EE'), 0xEE) << "EE is unused by the table";
  EXPECT_EQ(ByteShowing(U'\t'), '\t');
  EXPECT_EQ(ByteShowing(U'\n'), '\n');
  EXPECT_FALSE(ByteShowing(U'\u00E9')) << "e acute: E9 shows n with dot below";
  EXPECT_FALSE(ByteShowing(U'\u00E0')) << "a grave: E0 shows a with macron";
  EXPECT_FALSE(ByteShowing(U'\0'));
  EXPECT_FALSE(ByteShowing(U'\u001B'));
  EXPECT_FALSE(ByteShowing(U'\u0905'));

  EXPECT_EQ(CharacterShown(0xE3), U'\u1E5B');
  EXPECT_EQ(CharacterShown(0xEA), U'\u00F1');
  EXPECT_EQ(CharacterShown(0xF1), U'\u1E37');
  EXPECT_EQ(CharacterShown('v'), U'v');
  EXPECT_EQ(CharacterShown(0xFF), U'\u00FF');
  // Out and back in gives every byte a section's line can hold, the control
  // characters from 7F on among them.
  EXPECT_EQ(ByteShowing(CharacterShown('\t')), '\t');
  for (int byte = 0x20; byte <= 0xFF; ++byte)
    EXPECT_EQ(ByteShowing(CharacterShown(static_cast<unsigned char>(byte))), byte) << byte;
}

TEST(IastGlyphs, EveryTableLetterBecomesItsGlyphByte) {
  for (const GlyphLetter& row : GlyphLetters) {
    const IastConversion converted = ConvertIast(Utf8(row.letter));
    ASSERT_TRUE(converted.ok) << converted.message;
    EXPECT_EQ(converted.bytes, std::string(1, static_cast<char>(row.byte)));
  }
  EXPECT_EQ(ConvertIast("vṛddhirādaic").bytes, "v\xE3" "ddhir\xE0" "daic");
  EXPECT_EQ(ConvertIast("Śākalya").bytes, "\xD0\xE0kalya");
}

TEST(IastGlyphs, PrintableAsciiPassesUnchanged) {
  std::string ascii;
  for (char c = 0x20; c < 0x7F; ++c) ascii += c;
  const IastConversion converted = ConvertIast(ascii);
  ASSERT_TRUE(converted.ok);
  EXPECT_EQ(converted.bytes, ascii);
}

TEST(IastGlyphs, ForeignCharactersFailAtTheirColumn) {
  const IastConversion accented = ConvertIast("āpé");
  EXPECT_FALSE(accented.ok);
  EXPECT_EQ(accented.column, 3u);
  EXPECT_NE(accented.message.find("U+00E9"), std::string::npos) << accented.message;
  EXPECT_NE(accented.message.find("é"), std::string::npos);

  // Latin-1 letters that are not glyph letters would silently show as
  // something else in the Roman face.
  EXPECT_FALSE(ConvertIast("Î").ok);
  EXPECT_FALSE(ConvertIast("ṁ").ok);  // m with dot above is not the anusvara ṃ
  EXPECT_FALSE(ConvertIast("ॐ").ok);
}

TEST(IastGlyphs, DecomposedLettersAskForThePrecomposedForm) {
  const IastConversion converted = ConvertIast("a\xCC\x84");  // a + combining macron
  EXPECT_FALSE(converted.ok);
  EXPECT_EQ(converted.column, 2u);
  EXPECT_NE(converted.message.find("precomposed"), std::string::npos);
}

TEST(IastGlyphs, ControlCharactersAndMalformedUtf8Fail) {
  // A zero byte would end a record field early; tab and DEL are not text either.
  for (const std::string& text : {std::string("a\0b", 3), std::string("a\tb"), std::string("\x7F")}) {
    const IastConversion converted = ConvertIast(text);
    EXPECT_FALSE(converted.ok);
    EXPECT_NE(converted.message.find("control character"), std::string::npos);
  }
  const char* malformed[] = {
      "\xC3",          // cut short
      "\xC0\xAF",      // overlong '/'
      "\xED\xA0\x80",  // a surrogate
      "\xE0\x80",      // truncated three-byte form
      "\xFF",          // never a lead byte
      "a\x80",         // stray continuation byte
  };
  for (const char* text : malformed) {
    const IastConversion converted = ConvertIast(text);
    EXPECT_FALSE(converted.ok) << text;
    EXPECT_EQ(converted.message, "malformed UTF-8");
  }
}

}  // namespace
}  // namespace vyk
