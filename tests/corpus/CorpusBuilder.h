#pragma once
// Builders of record texts and data files for tests and benchmarks.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/Base255.h"
#include "corpus/SutraRecord.h"

namespace vyk::test {

// Fields of one record, written as the editor's commit writes them unless
// told otherwise.
struct RecordBuilder {
  std::string label = "1.1.1";
  std::array<std::string, SectionCount> sections{};
  int32_t siddhanta = 0;
  int32_t laghu = 0;
  bool trailingZeros = true;  // the two zero bytes a rebuilt record ends with

  RecordBuilder& Label(std::string value) { label = std::move(value); return *this; }
  RecordBuilder& Sutra(std::string value) { sections[0] = std::move(value); return *this; }
  RecordBuilder& Section(int index, std::string value) { sections[static_cast<std::size_t>(index)] = std::move(value); return *this; }
  RecordBuilder& Numbers(int32_t first, int32_t second) { siddhanta = first; laghu = second; return *this; }
  RecordBuilder& WithoutTrailingZeros() { trailingZeros = false; return *this; }

  std::string Text() const {
    std::string text = label;
    text += '\0';
    for (const auto& section : sections) {
      text += section;
      text += '\0';
    }
    text += Num2(siddhanta);
    text += Num2(laghu);
    if (trailingZeros) text.append(2, '\0');
    return text;
  }

  // A number as the commit writes it (255 is FF 00); a value the commit
  // cannot write keeps the plain two-digit form, for files it never makes.
  static std::string Num2(int32_t value) {
    if (auto digits = IntToChr2(value)) return *digits;
    return std::string{static_cast<char>(value % 255), static_cast<char>(value / 255)};
  }
};

// prefix followed by the decimal digits of n ("s" and 3 give "s3").
inline std::string Numbered(std::string prefix, int64_t n) {
  prefix += std::to_string(n);
  return prefix;
}

inline std::string Num3(int32_t value) {
  return std::string{static_cast<char>(value % 255), static_cast<char>(value / 255 % 255),
                     static_cast<char>(value / 65025)};
}

// A data file byte by byte, with full control over header, index and layout,
// to make files no saver writes.
class CorpusFileBuilder {
public:
  struct Entry {
    int32_t pos;
    int32_t len;
    uint8_t kind;
  };

  CorpusFileBuilder() : header_(BuildHeader(DefaultHeaderTag, DefaultHeaderByte8)) {}

  CorpusFileBuilder& Signature(std::string_view five) { header_.replace(0, 5, five); return *this; }
  CorpusFileBuilder& HeaderByte(int position, char value) { header_[static_cast<std::size_t>(position - 1)] = value; return *this; }

  // Appends a text after what is there and indexes it as a record (kind 1).
  CorpusFileBuilder& Record(std::string_view text) {
    entries_.push_back({Place(text), static_cast<int32_t>(text.size()), 1});
    return *this;
  }
  // Appends bytes that no entry references.
  CorpusFileBuilder& Unreferenced(std::string_view bytes) { Place(bytes); return *this; }
  // An arbitrary index entry.
  CorpusFileBuilder& RawEntry(int32_t pos, int32_t len, uint8_t kind) { entries_.push_back({pos, len, kind}); return *this; }
  // Bytes appended after the index (e.g. a partial entry).
  CorpusFileBuilder& Trailer(std::string_view bytes) { trailer_ = bytes; return *this; }
  // Replaces the index start the builder would compute.
  CorpusFileBuilder& IndexStart(int32_t value) { indexStart_ = value; return *this; }

  int32_t NextPosition() const { return static_cast<int32_t>(header_.size() + body_.size() + 1); }

  std::string Bytes() const {
    std::string file = header_;
    const int32_t start = indexStart_ >= 0 ? indexStart_ : NextPosition();
    file.replace(SutraFileHeader::IndexStartPos - 1, 3, Num3(start));
    file += body_;
    for (const Entry& entry : entries_) {
      file += Num3(entry.pos);
      file += RecordBuilder::Num2(entry.len);
      file += static_cast<char>(entry.kind);
    }
    file += trailer_;
    return file;
  }

private:
  int32_t Place(std::string_view text) {
    const int32_t pos = NextPosition();
    body_ += text;
    return pos;
  }

  std::string header_;
  std::string body_;
  std::vector<Entry> entries_;
  std::string trailer_;
  int32_t indexStart_ = -1;
};

// A deterministic corpus of `count` records shaped like the real one (labels
// "a.b.c", a Sutra line, six more sections of running text, both Kaumudi
// numbers for most records), for benchmarks and large tests.
inline std::vector<std::string> GenerateCorpusTexts(int count, std::size_t sectionBytes = 160) {
  static constexpr std::string_view Words[] = {"v\xE3" "ddhir", "\xE0" "daic", "ade\xED", "gu\xE9" "a\xE8", "iko",
                                               "yaf", "sa\xE7" "j\xEA" "\xE0", "pratyay\xE0" "t", "-", "bahula\xE7"};
  std::vector<std::string> texts;
  texts.reserve(static_cast<std::size_t>(count));
  uint32_t seed = 12345;
  auto next = [&seed] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
  for (int k = 1; k <= count; ++k) {
    RecordBuilder record;
    record.label = std::to_string(1 + (k - 1) / 500) + "." + std::to_string(1 + (k - 1) / 125 % 4) + "." +
                   std::to_string(1 + (k - 1) % 125);
    for (std::size_t s = 0; s < record.sections.size(); ++s) {
      std::string& section = record.sections[s];
      const std::size_t target = s == 0 ? 20 + next() % 40 : sectionBytes / 2 + next() % sectionBytes;
      while (section.size() < target) {
        if (!section.empty()) section += next() % 9 == 0 ? "\r\n" : " ";
        section += Words[next() % std::size(Words)];
      }
    }
    record.siddhanta = next() % 5 == 0 ? 0 : static_cast<int32_t>(1 + next() % 3999);
    record.laghu = next() % 3 == 0 ? 0 : static_cast<int32_t>(1 + next() % 1500);
    texts.push_back(record.Text());
  }
  return texts;
}

}  // namespace vyk::test
