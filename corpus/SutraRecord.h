#pragma once
// Layout of sutra.vyk and of one record text (SutraRecord).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vyk {

// SutraFileHeader: 14 bytes, all positions 1-based.
struct SutraFileHeader {
  static constexpr std::string_view Signature = "QMVYK";
  static constexpr int Size = 14;
  static constexpr int TagPos = 6;          // gHeaderTag (written, never read)
  static constexpr int Byte8Pos = 8;        // carried from load to save
  static constexpr int IndexStartPos = 10;  // Base255Num3, bytes 10..12
  static constexpr int FirstTextPos = 15;   // where the saver writes the first text
};

inline constexpr char DefaultHeaderByte8 = 0x1B;
inline constexpr char DefaultHeaderTag = 0x01;

// The 14 header bytes as the saver writes them, with the index start left
// blank (bytes 10..12 are three blanks until the index start is known).
std::string BuildHeader(char headerTag, char headerByte8);

struct IndexEntry {
  static constexpr int Size = 6;
  static constexpr uint8_t RecordKind = 1;  // starts the next record
  int32_t pos = 0;   // 1-based text position, 0 = no text
  int32_t len = 0;
  uint8_t kind = 0;
};

// Parses the entry at `at` of `bytes`; bytes missing at the end count as 0
// (so an entry cut short by the end of the file has kind 0 and is passed over).
IndexEntry ParseIndexEntry(std::string_view bytes, std::size_t at = 0);

// The six bytes of a kind-1 entry; nullopt when pos or len is beyond the format.
std::optional<std::string> FormatIndexEntry(int32_t pos, int32_t len);

inline constexpr int SectionCount = 7;

// A record text split into its fields. Texts the system never writes split by
// the same rule without reading out of range: with fewer than eight zero bytes
// the missing fields are empty and both numbers 0; a number whose digits lie
// partly past the end of the text takes the missing digit as 0.
struct RecordFields {
  std::string label;
  std::array<std::string, SectionCount> sections;
  int32_t siddhanta = 0;
  int32_t laghu = 0;
  int zeroBytes = 0;  // zero bytes found that end fields, at most 8
  bool wellFormed() const { return zeroBytes == SectionCount + 1; }
};

RecordFields SplitRecord(std::string_view text);

// What the loader needs of a record, as views into `text` (no copies).
struct RecordHead {
  std::string_view label;
  std::string_view sutra;
  int32_t siddhanta = 0;
  int32_t laghu = 0;
};

RecordHead SplitRecordHead(std::string_view text);

// The record as the sample corpus tool builds it: label, 0, each section and 0,
// the two numbers as Base255Num2, then two zero bytes. nullopt when a number
// lies outside 0..32,767 or a field holds a zero byte (it would shift every
// later field of the record).
std::optional<std::string> BuildRecordText(std::string_view label,
                                           const std::array<std::string, SectionCount>& sections,
                                           int32_t siddhanta, int32_t laghu);

}  // namespace vyk
