#include "resources/SampleSource.h"

#include <charconv>
#include <optional>
#include <set>

#include "corpus/Base255.h"
#include "resources/IastGlyphs.h"

namespace vyk {

namespace {

// The keys of a block; sections first, in record order, so a key's place in
// this table is its section index.
enum class KeyKind { Section, Label, Siddhanta, Laghu };

struct KeyRow {
  std::string_view name;
  KeyKind kind;
};

constexpr std::array<KeyRow, SectionCount + 3> KeyTable = {{
    {SampleSectionKeys[0], KeyKind::Section},
    {SampleSectionKeys[1], KeyKind::Section},
    {SampleSectionKeys[2], KeyKind::Section},
    {SampleSectionKeys[3], KeyKind::Section},
    {SampleSectionKeys[4], KeyKind::Section},
    {SampleSectionKeys[5], KeyKind::Section},
    {SampleSectionKeys[6], KeyKind::Section},
    {"Label", KeyKind::Label},
    {"SK", KeyKind::Siddhanta},
    {"LK", KeyKind::Laghu},
}};

constexpr std::string_view LineBreak = "\r\n";

std::optional<std::size_t> FindKey(std::string_view name) {
  for (std::size_t i = 0; i < KeyTable.size(); ++i) {
    if (KeyTable[i].name == name) return i;
  }
  return std::nullopt;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A block being read: the raw UTF-8 value of each key, and the line it sits on.
struct Block {
  int line = 0;
  std::array<std::optional<std::string>, KeyTable.size()> values;
  std::array<int, KeyTable.size()> valueLines{};
  std::optional<std::size_t> lastKey;
  bool empty() const { return line == 0; }
};

class Reader {
public:
  explicit Reader(std::string_view sourceName) : sourceName_(sourceName) {}

  SampleParse Read(std::string_view text) {
    int lineNumber = 0;
    while (!text.empty()) {
      const std::size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
      ++lineNumber;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (!ReadLine(line, lineNumber)) return Failed();
    }
    if (!FinishBlock()) return Failed();
    parse_.ok = true;
    return std::move(parse_);
  }

private:
  bool ReadLine(std::string_view line, int lineNumber) {
    if (!line.empty() && line.front() == '#') return true;
    if (Trim(line).empty()) return FinishBlock();
    if (IsBlank(line.front())) {
      if (!block_.lastKey) return Fail(lineNumber, "a continuation line with no key above it");
      std::string& value = *block_.values[*block_.lastKey];
      if (!value.empty()) value += LineBreak;
      value += Trim(line);
      return true;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
      return Fail(lineNumber, "expected \"Key: value\", got \"" + std::string(line) + "\"");
    }
    const std::string_view name = Trim(line.substr(0, colon));
    const auto key = FindKey(name);
    if (!key) return Fail(lineNumber, "unknown key \"" + std::string(name) + "\"");
    if (block_.empty()) block_.line = lineNumber;
    if (block_.values[*key]) {
      return Fail(lineNumber, "key \"" + std::string(name) + "\" given twice in one sutra");
    }
    block_.values[*key] = std::string(Trim(line.substr(colon + 1)));
    block_.valueLines[*key] = lineNumber;
    block_.lastKey = key;
    return true;
  }

  bool FinishBlock() {
    if (block_.empty()) return true;
    SampleRecord record;
    record.line = block_.line;
    for (std::size_t i = 0; i < KeyTable.size(); ++i) {
      if (!block_.values[i]) continue;
      const int line = block_.valueLines[i];
      const std::string& value = *block_.values[i];
      switch (KeyTable[i].kind) {
        case KeyKind::Section:
          if (!Convert(value, line, record.sections[i])) return false;
          break;
        case KeyKind::Label:
          if (!Convert(value, line, record.label)) return false;
          break;
        case KeyKind::Siddhanta:
          if (!Number(value, line, record.siddhanta)) return false;
          break;
        case KeyKind::Laghu:
          if (!Number(value, line, record.laghu)) return false;
          break;
      }
    }
    if (!block_.values[*FindKey("Label")] || record.label.empty()) {
      return Fail(block_.line, "the sutra has no Label");
    }
    if (!labels_.insert(record.label).second) {
      return Fail(block_.line, "label \"" + *block_.values[*FindKey("Label")] + "\" used twice");
    }
    if (record.siddhanta > 0 && !siddhanta_.insert(record.siddhanta).second) {
      return Fail(block_.line, "Siddhanta Kaumudi number " + std::to_string(record.siddhanta) +
                                   " used twice");
    }
    if (record.laghu > 0 && !laghu_.insert(record.laghu).second) {
      return Fail(block_.line,
                  "Laghu Kaumudi number " + std::to_string(record.laghu) + " used twice");
    }
    parse_.records.push_back(std::move(record));
    block_ = Block{};
    return true;
  }

  // Converts a value line by line, so a fault names the line it is on.
  bool Convert(const std::string& value, int firstLine, std::string& out) {
    std::string_view rest = value;
    int line = firstLine;
    while (true) {
      const std::size_t end = rest.find(LineBreak);
      const IastConversion converted = ConvertIast(rest.substr(0, end));
      if (!converted.ok) {
        return Fail(line, converted.message + " (character " + std::to_string(converted.column) +
                              " of the text on that line)");
      }
      out += converted.bytes;
      if (end == std::string_view::npos) return true;
      out += LineBreak;
      rest.remove_prefix(end + LineBreak.size());
      ++line;
    }
  }

  bool Number(const std::string& value, int line, int32_t& out) {
    if (value.empty()) {
      out = 0;
      return true;
    }
    int32_t number = 0;
    const char* last = value.data() + value.size();
    const auto [end, error] = std::from_chars(value.data(), last, number);
    if (error != std::errc{} || end != last || number < 0 || number > MaxBase255Num2) {
      return Fail(line, "\"" + value + "\" is not a Kaumudi number (0 to " +
                            std::to_string(MaxBase255Num2) + ")");
    }
    out = number;
    return true;
  }

  bool Fail(int line, const std::string& message) {
    parse_.error = std::string(sourceName_) + ":" + std::to_string(line) + ": " + message;
    return false;
  }

  SampleParse Failed() {
    parse_.records.clear();
    parse_.ok = false;
    return std::move(parse_);
  }

  std::string_view sourceName_;
  SampleParse parse_;
  Block block_;
  std::set<std::string> labels_;
  std::set<int32_t> siddhanta_;
  std::set<int32_t> laghu_;
};

}  // namespace

SampleParse ParseSampleSource(std::string_view text, std::string_view sourceName) {
  return Reader(sourceName).Read(text);
}

SampleCorpus BuildSampleCorpus(std::string_view text, std::string_view sourceName) {
  SampleCorpus corpus;
  SampleParse parse = ParseSampleSource(text, sourceName);
  if (!parse.ok) {
    corpus.error = std::move(parse.error);
    return corpus;
  }
  for (const SampleRecord& record : parse.records) {
    auto built = BuildRecordText(record.label, record.sections, record.siddhanta, record.laghu);
    if (!built) {
      corpus.texts.clear();
      corpus.error = std::string(sourceName) + ":" + std::to_string(record.line) +
                     ": the sutra cannot be stored as a record";
      return corpus;
    }
    corpus.texts.push_back(std::move(*built));
  }
  corpus.ok = true;
  return corpus;
}

}  // namespace vyk
