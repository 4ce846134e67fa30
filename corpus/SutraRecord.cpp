#include "corpus/SutraRecord.h"

#include "corpus/Base255.h"

namespace vyk {

std::string BuildHeader(char headerTag, char headerByte8) {
  std::string header(SutraFileHeader::Signature);
  header += headerTag;
  header += '\0';
  header += headerByte8;
  header.append(6, ' ');
  return header;
}

IndexEntry ParseIndexEntry(std::string_view bytes, std::size_t at) {
  IndexEntry entry;
  entry.pos = DecodeBase255Num3(bytes, at);
  entry.len = DecodeBase255Num2(bytes, at + 3);
  if (at + 5 < bytes.size()) entry.kind = static_cast<uint8_t>(bytes[at + 5]);
  return entry;
}

std::optional<std::string> FormatIndexEntry(int32_t pos, int32_t len) {
  auto position = EncodeOffset(pos);
  auto length = IntToChr2(len);
  if (!position || !length) return std::nullopt;
  std::string entry = *position + *length;
  entry += static_cast<char>(IndexEntry::RecordKind);
  return entry;
}

namespace {

// Cuts fields off `text` at its zero bytes. A field that no zero byte ends
// takes the rest of the text, and every later field is empty; this is how a
// record that an outside writer cut short still shows what it holds.
template <typename Sink>
std::size_t WalkFields(std::string_view text, int fieldCount, int& zeroBytes, Sink sink) {
  std::size_t start = 0;
  zeroBytes = 0;
  for (int field = 0; field < fieldCount; ++field) {
    if (start >= text.size()) return text.size();
    const std::size_t zero = text.find('\0', start);
    if (zero == std::string_view::npos) {
      sink(field, text.substr(start));
      return text.size();
    }
    sink(field, text.substr(start, zero - start));
    ++zeroBytes;
    start = zero + 1;
  }
  return start;
}

}  // namespace

RecordFields SplitRecord(std::string_view text) {
  RecordFields fields;
  const std::size_t after = WalkFields(text, SectionCount + 1, fields.zeroBytes,
                                       [&](int field, std::string_view piece) {
                                         if (field == 0) fields.label = piece;
                                         else fields.sections[field - 1] = piece;
                                       });
  // The numbers sit at fixed places after the eighth zero byte; their digits
  // may be zero bytes themselves, so they are never found by splitting.
  if (fields.wellFormed()) {
    fields.siddhanta = DecodeBase255Num2(text, after);
    fields.laghu = DecodeBase255Num2(text, after + 2);
  }
  return fields;
}

RecordHead SplitRecordHead(std::string_view text) {
  RecordHead head;
  int zeroBytes = 0;
  const std::size_t after = WalkFields(text, SectionCount + 1, zeroBytes,
                                       [&](int field, std::string_view piece) {
                                         if (field == 0) head.label = piece;
                                         else if (field == 1) head.sutra = piece;
                                       });
  if (zeroBytes == SectionCount + 1) {
    head.siddhanta = DecodeBase255Num2(text, after);
    head.laghu = DecodeBase255Num2(text, after + 2);
  }
  return head;
}

std::optional<std::string> BuildRecordText(std::string_view label,
                                           const std::array<std::string, SectionCount>& sections,
                                           int32_t siddhanta, int32_t laghu) {
  auto first = IntToChr2(siddhanta);
  auto second = IntToChr2(laghu);
  if (!first || !second) return std::nullopt;
  if (label.find('\0') != std::string_view::npos) return std::nullopt;
  std::size_t size = label.size() + 1 + 6;
  for (const auto& section : sections) {
    if (section.find('\0') != std::string::npos) return std::nullopt;
    size += section.size() + 1;
  }
  std::string record;
  record.reserve(size);
  record += label;
  record += '\0';
  for (const auto& section : sections) {
    record += section;
    record += '\0';
  }
  record += *first;
  record += *second;
  record.append(2, '\0');
  return record;
}

}  // namespace vyk
