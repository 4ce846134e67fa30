#pragma once
// Reader of the sample corpus source (resources/sample/sutras.txt).
//
// The source is UTF-8 text in IAST. One block of "Key: value" lines per
// sutra; blocks are separated by blank lines; a line starting with "#" is a
// comment. Keys: Label (required), SK and LK (the Siddhanta and Laghu Kaumudi
// numbers, 0 or absent when the work lacks the sutra) and the seven section
// heads Sutra, Pada-Patha, Vartika, Vritti, AnuVritti, Translation and
// Explanation (absent or empty = an empty section). A line that starts with
// blanks continues the value above it on a new line; the value's lines are
// joined with CR LF, as the program's editor stores line breaks. Each key
// appears at most once per block, and labels and non-zero Kaumudi numbers are
// unique across the file.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/SutraRecord.h"

namespace vyk {

// The section keys, in the record's section order.
inline constexpr std::array<std::string_view, SectionCount> SampleSectionKeys = {
    "Sutra", "Pada-Patha", "Vartika", "Vritti", "AnuVritti", "Translation", "Explanation"};

// One sutra with its texts already in glyph bytes.
struct SampleRecord {
  std::string label;
  std::array<std::string, SectionCount> sections;
  int32_t siddhanta = 0;
  int32_t laghu = 0;
  int line = 0;  // where its block starts in the source
};

struct SampleParse {
  std::vector<SampleRecord> records;
  bool ok = false;
  std::string error;  // "<source>:<line>: what is wrong" when not ok
};

// Reads the whole source; stops at the first fault. `sourceName` only names
// the source in the error message.
SampleParse ParseSampleSource(std::string_view text, std::string_view sourceName);

struct SampleCorpus {
  std::vector<std::string> texts;  // one record text per sutra, in source order
  bool ok = false;
  std::string error;
};

// Reads the source and builds each record text as the editor's commit does.
SampleCorpus BuildSampleCorpus(std::string_view text, std::string_view sourceName);

}  // namespace vyk
