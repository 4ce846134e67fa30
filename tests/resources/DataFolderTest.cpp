// The data folder the build makes: display fonts and the sample corpus.

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QString>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "corpus/CorpusState.h"
#include "corpus/Loader.h"
#include "corpus/SutraRecord.h"
#include "resources/IastGlyphs.h"
#include "resources/SampleSource.h"

namespace vyk {
namespace {

const std::string DataDir = VYK_DATA_DIR;
const QString RomanFile = QString::fromUtf8(VYK_DATA_DIR "/tmskrmn.ttf");
const QString VelkaFile = QString::fromUtf8(VYK_DATA_DIR "/velka.ttf");

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Fonts need a GUI application; one for the whole test program.
class GuiEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "resources_test";
    static char* argv[] = {name, nullptr};
    app_ = new QGuiApplication(argc, argv);
  }
  void TearDown() override { delete app_; }

private:
  QGuiApplication* app_ = nullptr;
};
const auto* const Gui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

quint32 GlyphOf(const QRawFont& font, QString text) {
  const QList<quint32> glyphs = font.glyphIndexesForString(text);
  return glyphs.size() == 1 ? glyphs[0] : 0;
}

QImage Render(const QString& family, const QString& text) {
  QImage image(160, 48, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QFont font(family);
  font.setPixelSize(28);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(image.rect(), Qt::AlignCenter, text);
  return image;
}

TEST(DisplayFonts, BothFacesRegisterUnderTheirNames) {
  const int roman = QFontDatabase::addApplicationFont(RomanFile);
  ASSERT_GE(roman, 0) << RomanFile.toStdString();
  EXPECT_EQ(QFontDatabase::applicationFontFamilies(roman), QStringList{"Times Kovra Roman"});
  const int velka = QFontDatabase::addApplicationFont(VelkaFile);
  ASSERT_GE(velka, 0) << VelkaFile.toStdString();
  EXPECT_EQ(QFontDatabase::applicationFontFamilies(velka), QStringList{"Velka"});
  const QStringList families = QFontDatabase::families();
  EXPECT_TRUE(families.contains("Times Kovra Roman"));
  EXPECT_TRUE(families.contains("Velka"));
}

bool IsGlyphByte(int byte) {
  return std::any_of(GlyphLetters.begin(), GlyphLetters.end(),
                     [&](const GlyphLetter& row) { return row.byte == byte; });
}

// The Roman face keeps the source's glyph order, so equal indexes are equal glyphs.
TEST(DisplayFonts, EachGlyphByteShowsItsLetter) {
  const QRawFont roman(RomanFile, 20);
  const QRawFont source(QString::fromUtf8(VYK_DEJAVU_SERIF), 20);
  ASSERT_TRUE(roman.isValid());
  ASSERT_TRUE(source.isValid());
  for (const GlyphLetter& row : GlyphLetters) {
    // Compared with the source: ñ and Ñ are themselves Latin-1 code points
    // that the Roman face now gives to ḷ and Ḷ.
    const quint32 byteGlyph = GlyphOf(roman, QString(QChar(row.byte)));
    const quint32 letterGlyph = GlyphOf(source, QString::fromUcs4(&row.letter, 1));
    EXPECT_NE(byteGlyph, 0u) << "byte " << int(row.byte);
    EXPECT_EQ(byteGlyph, letterGlyph) << "byte " << int(row.byte);
  }
}

TEST(DisplayFonts, BytesOutsideTheTableKeepTheirLatin1Letters) {
  const QRawFont roman(RomanFile, 20);
  const QRawFont source(QString::fromUtf8(VYK_DEJAVU_SERIF), 20);
  ASSERT_TRUE(roman.isValid());
  ASSERT_TRUE(source.isValid());
  for (int byte = 0x20; byte <= 0xFF; ++byte) {
    if ((byte >= 0x7F && byte < 0xA0) || IsGlyphByte(byte)) continue;
    const QString text{QChar(char16_t(byte))};
    EXPECT_NE(GlyphOf(roman, text), 0u) << "byte " << byte;
    EXPECT_EQ(GlyphOf(roman, text), GlyphOf(source, text)) << "byte " << byte;
  }
}

TEST(DisplayFonts, GlyphBytesRenderAsTheirIastLetters) {
  ASSERT_GE(QFontDatabase::addApplicationFont(RomanFile), 0);
  // ā ṛ ṃ ṣ as the corpus stores them, against the letters themselves.
  const QImage stored = Render("Times Kovra Roman", QString::fromLatin1("\xE0\xE3\xE7\xEF"));
  const QImage letters = Render("Times Kovra Roman", QString::fromUtf8("āṛṃṣ"));
  const QImage plain = Render("Times Kovra Roman", QString::fromLatin1("arms"));
  EXPECT_EQ(stored, letters);
  EXPECT_NE(stored, plain);  // the marks are drawn
}

TEST(DisplayFonts, VelkaCarriesDevanagari) {
  const QRawFont velka(VelkaFile, 20);
  ASSERT_TRUE(velka.isValid());
  for (char16_t c : {u'\u0905', u'\u0915', u'\u094D', u'\u0964'}) {
    EXPECT_TRUE(velka.supportsCharacter(QChar(c))) << int(c);
  }
}

TEST(DisplayFonts, FontsAreReproducible) {
  // No build time stamp: the same sources give the same file.
  const std::string roman = ReadFile(DataDir + "/tmskrmn.ttf");
  const std::string source = ReadFile(VYK_DEJAVU_SERIF);
  ASSERT_GT(roman.size(), 1000u);
  // head.modified sits at byte 36 of the head table; compare with the source's.
  auto headModified = [](const std::string& font) -> std::string {
    const auto tables = static_cast<unsigned char>(font[4]) << 8 | static_cast<unsigned char>(font[5]);
    for (int i = 0; i < tables; ++i) {
      const std::size_t record = 12 + 16 * static_cast<std::size_t>(i);
      if (font.compare(record, 4, "head") != 0) continue;
      std::size_t offset = 0;
      for (int b = 0; b < 4; ++b) offset = offset << 8 | static_cast<unsigned char>(font[record + 8 + b]);
      return font.substr(offset + 28, 16);  // created and modified
    }
    return {};
  };
  EXPECT_FALSE(headModified(roman).empty());
  EXPECT_EQ(headModified(roman), headModified(source));
}

// The lists of the window as vectors, enough to count what the loader lists.
class CountingHost : public LoaderHost {
public:
  void ListClear(SutraList list) override { lists[list].clear(); }
  void ListAddItem(SutraList list, const std::string& text, int) override { lists[list].push_back(text); }
  int ListCount(SutraList list) const override {
    const auto found = lists.find(list);
    return found == lists.end() ? 0 : static_cast<int>(found->second.size());
  }
  std::string ListItem(SutraList list, int index) const override {
    std::vector<std::string> sorted = lists.at(list);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const std::string& a, const std::string& b) { return CompareListText(a, b) < 0; });
    return sorted.at(static_cast<std::size_t>(index));
  }
  void ListSetIndex(SutraList, int) override {}
  void UpdateIndexCaption() override {}
  void DoEvents() override {}
  void SetHourglass(bool) override {}
  void ShowUnknownFileFormat(const MessageText&) override { ++rejected; }

  std::map<SutraList, std::vector<std::string>> lists;
  int rejected = 0;
};

TEST(SampleCorpus, LoadsWithOneEntryPerSourceSutra) {
  const SampleParse source = ParseSampleSource(ReadFile(VYK_SAMPLE_SOURCE), "sutras.txt");
  ASSERT_TRUE(source.ok) << source.error;
  ASSERT_GE(source.records.size(), 40u);

  CorpusState state;
  state.gDataDir = DataDir;
  state.gDataFile = DataDir + "/sutra.vyk";
  CountingHost host;
  ASSERT_TRUE(LoadSutraFile(state, host));
  EXPECT_EQ(host.rejected, 0);
  EXPECT_EQ(host.ListCount(SutraList::lstVykE0), static_cast<int>(source.records.size()));
  EXPECT_EQ(host.ListCount(SutraList::lstVykEx0), static_cast<int>(source.records.size()));

  const auto withNumber = [&](auto member) {
    return static_cast<int>(std::count_if(source.records.begin(), source.records.end(),
                                          [&](const SampleRecord& r) { return r.*member > 0; }));
  };
  EXPECT_EQ(host.ListCount(SutraList::lstVykE1), withNumber(&SampleRecord::siddhanta));
  EXPECT_EQ(host.ListCount(SutraList::lstVykE2), withNumber(&SampleRecord::laghu));
  EXPECT_LT(host.ListCount(SutraList::lstVykE2), host.ListCount(SutraList::lstVykE1));
}

TEST(SampleCorpus, FileHoldsTheSourceRecordsInOrder) {
  const SampleCorpus built = BuildSampleCorpus(ReadFile(VYK_SAMPLE_SOURCE), "sutras.txt");
  ASSERT_TRUE(built.ok) << built.error;
  CorpusState state;
  state.gDataFile = DataDir + "/sutra.vyk";
  CountingHost host;
  ASSERT_TRUE(LoadSutraFile(state, host));
  for (std::size_t k = 1; k <= built.texts.size(); ++k) {
    const auto text = ReadRecordText(state, static_cast<int>(k));
    ASSERT_TRUE(text.has_value()) << "record " << k;
    EXPECT_EQ(*text, built.texts[k - 1]) << "record " << k;
  }
  EXPECT_FALSE(ReadRecordText(state, static_cast<int>(built.texts.size()) + 1).has_value());

  const RecordFields first = SplitRecord(*ReadRecordText(state, 1));
  EXPECT_EQ(first.label, "1.1.1");
  EXPECT_EQ(first.sections[0], "v\xE3" "ddhir\xE0" "daic");
}

}  // namespace
}  // namespace vyk
