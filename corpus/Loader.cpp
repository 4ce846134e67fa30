#include "corpus/Loader.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "corpus/Base255.h"
#include "corpus/CorpusState.h"
#include "corpus/SutraRecord.h"

namespace vyk {

namespace {

constexpr SutraList VisibleLists[] = {SutraList::lstVykE0, SutraList::lstVykE1, SutraList::lstVykE2};
constexpr SutraList HiddenLists[] = {SutraList::lstVykEy0, SutraList::lstVykEy1, SutraList::lstVykEy2};

// The index is read in blocks of whole entries rather than one entry per
// read: the same bytes in the same order, at a fraction of the system calls.
constexpr int64_t IndexBlockEntries = 4096;

// Remembers which record each hidden-list entry came from, so the lists
// derived from the sorted order can hand the host a record number without
// parsing labels back out of the text. Equal texts are handed out in the
// order they were added.
class EntryRecords {
public:
  void Add(const std::string& text, int record) { slots_[text].records.push_back(record); }
  int Take(const std::string& text) {
    auto found = slots_.find(text);
    if (found == slots_.end()) return 0;
    Slot& slot = found->second;
    return slot.next < slot.records.size() ? slot.records[slot.next++] : 0;
  }

private:
  struct Slot {
    std::vector<int> records;
    std::size_t next = 0;  // the first record not yet handed out
  };
  std::unordered_map<std::string, Slot> slots_;
};

// The signature message for the data file, naming a whole corpus that a
// save left in the data folder's sutra.tmp.
MessageText UnknownFileFormatMessage(const CorpusState& state) {
  MessageText message(UnknownFileFormatText);
  if (state.gDataDir.empty()) return message;
  const FileDescriptor folder = OpenFolder(state.gDataDir);
  const std::string copy(TempFileName);
  if (folder && HoldsWholeCorpus(folder.Get(), copy))
    message += "\rA save that was cut off left a whole corpus in " + PathText(state.gDataDir + "/" + copy) +
               ": copy it over " + PathText(state.gDataFile) + " to load it.";
  return message;
}

}  // namespace

std::string CutAtLastWord(std::string_view s) {
  const std::size_t q = s.find_last_of(" -");
  // A blank or hyphen at the very start leaves nothing before it to keep.
  if (q == std::string_view::npos || q == 0) return std::string(s);
  return std::string(s.substr(0, q));
}

std::string MakeListLine(std::string_view sutraSection) {
  std::string_view first = sutraSection.substr(0, sutraSection.find('\r'));
  std::string line;
  // The length test and the cut count leading blanks; they go only afterwards.
  if (first.size() > ListLineMax) {
    line = CutAtLastWord(first.substr(0, ListLineMax));
    line += " ...";
  } else {
    line = first;
  }
  line.erase(0, std::min(line.find_first_not_of(' '), line.size()));
  return line;
}

std::string MakeListEntry(std::string_view label, std::string_view line) {
  std::string entry;
  entry.reserve(label.size() + line.size() + 4);
  entry += ' ';
  entry += label;
  entry += label.size() > ListLabelMax ? "- " : " - ";
  entry += line;
  return entry;
}

std::string MakeSortEntry(const SortWeightTable& table, std::string_view label, std::string_view line) {
  std::string entry = MakeSortKey(table, line);
  entry += "  ";
  entry += line;
  entry += ListLabelMark;
  entry += label;
  return entry;
}

std::string MakeKaumudiEntry(int32_t number, std::string_view label, std::string_view line) {
  std::string digits = "     " + std::to_string(number);
  std::string entry = digits.substr(digits.size() - 5);
  entry += " - ";
  entry += line;
  entry += ListLabelMark;
  entry += label;
  return entry;
}

std::string MakeAlphabeticalEntry(std::string_view sortEntry) {
  const std::size_t mark = sortEntry.find(ListLabelMark);
  const std::size_t blank = sortEntry.find(' ');
  const std::string_view label = EntryLabel(sortEntry);
  // In a SortEntry the first blank is the first of the two after the key, so
  // the middle is a blank and the line.
  std::string_view middle;
  if (blank != std::string_view::npos && (mark == std::string_view::npos || blank < mark))
    middle = sortEntry.substr(blank + 1, mark == std::string_view::npos ? std::string_view::npos : mark - blank - 1);
  std::string entry = " ";
  entry += label;
  entry += " -";
  entry += middle;
  return entry;
}

std::string VisiblePart(std::string_view entry) {
  return std::string(entry.substr(0, entry.find(ListLabelMark)));
}

std::string_view EntryLabel(std::string_view entry) {
  const std::size_t mark = entry.find(ListLabelMark);
  return mark == std::string_view::npos ? std::string_view{} : entry.substr(mark + 1);
}

bool LoadSutraFile(CorpusState& state, LoaderHost& host) {
  host.SetHourglass(true);
  state.gLoading = true;
  host.DoEvents();

  // A bare file name is taken to lie in the data folder.
  if (state.gDataFile.find('/') == std::string::npos) {
    if (!state.gDataDir.empty() && state.gDataDir.back() == '/') state.gDataDir.pop_back();
    state.gDataFile = state.gDataDir + "/" + state.gDataFile;
  }

  DataFile& file = state.gDataFileNo;
  file.Close();
  // A file that is missing or cannot be opened yields no signature and is
  // rejected like a foreign one.
  const std::string signature = file.Open(state.gDataFile) ? file.ReadUpTo(1, 5) : std::string();
  if (signature != SutraFileHeader::Signature) {
    host.SetHourglass(false);
    host.ShowUnknownFileFormat(UnknownFileFormatMessage(state));
    file.Close();
    return false;
  }

  state.gDataIdentity = file.OpenedIdentity();
  // What a save later compares the file with, to tell a touch from a
  // rewrite. A file that cannot be read through still loads what it can;
  // the save then refuses.
  file.NoteContent();

  for (int i = 0; i < 3; ++i) {
    host.ListClear(VisibleLists[i]);
    host.ListClear(HiddenLists[i]);
  }
  host.ListClear(SutraList::lstVykEx0);

  ClearRecords(state);
  state.gRecordCount = 0;
  state.gExcessRecords = 0;

  // A file too short to hold byte 8 keeps the default.
  const std::string byte8 = file.ReadUpTo(SutraFileHeader::Byte8Pos, 1);
  if (byte8.size() == 1) state.gHeaderByte8 = byte8[0];

  const int32_t indexStart = ReadBase255Num3(file, SutraFileHeader::IndexStartPos);
  const int64_t length = file.Length();

  EntryRecords sortRecords;
  EntryRecords kaumudiRecords[2];
  std::string block;
  std::string text;
  int n = 0;

  // An index start inside the header would read the header as entries: such a
  // file is taken to have no index, and loads without records. An index start
  // past the end of the file gives no entries either.
  int64_t p = indexStart >= SutraFileHeader::FirstTextPos ? indexStart : length + 1;
  while (p <= length) {
    block = file.ReadUpTo(p, IndexBlockEntries * IndexEntry::Size);
    if (block.empty()) break;  // the file shrank under us
    for (std::size_t at = 0; at < block.size(); at += IndexEntry::Size) {
      // An entry cut short by the end of the file has no kind byte: kind 0,
      // passed over. (An index length not a multiple of 6 ends so.)
      const IndexEntry entry = ParseIndexEntry(block, at);
      if (entry.kind == IndexEntry::RecordKind) {
        ++n;
        if (n > MaxSutras) {
          // The tables hold MaxSutras records; further ones are counted (the
          // saver refuses to write a corpus it would truncate) and not listed.
          ++state.gExcessRecords;
        } else {
          const int k = n;
          state.gRecordCount = k;
          // A text that does not lie wholly within the file (or cannot be
          // read) is a record without text: it keeps its number, is not
          // listed, shows empty, and a save passes it over like position 0.
          // An entry at position 0 keeps the length its index entry gives.
          const bool hasText = entry.pos > 0 && static_cast<int64_t>(entry.pos) - 1 + entry.len <= length &&
                               file.ReadInto(entry.pos, entry.len, text);
          const bool unreadable = entry.pos > 0 && !hasText;
          PlaceRecord(state, k, unreadable ? 0 : entry.pos, unreadable ? 0 : entry.len);
          if (hasText) {
            // Texts with fewer than eight zero bytes or cut inside a number
            // split by the lenient rule of SplitRecordHead; an empty text is
            // listed with an empty label and line.
            const RecordHead head = SplitRecordHead(text);
            const std::string line = MakeListLine(head.sutra);
            const std::string listEntry = MakeListEntry(head.label, line);
            const std::string sortEntry = MakeSortEntry(state.gSortWeight, head.label, line);
            host.DoEvents();
            host.ListAddItem(SutraList::lstVykE0, listEntry, k);
            host.ListAddItem(SutraList::lstVykEy0, sortEntry, k);
            sortRecords.Add(sortEntry, k);
            const int32_t numbers[2] = {head.siddhanta, head.laghu};
            for (int order = 0; order < 2; ++order) {
              if (numbers[order] <= 0) continue;
              const std::string kaumudiEntry = MakeKaumudiEntry(numbers[order], head.label, line);
              host.ListAddItem(HiddenLists[order + 1], kaumudiEntry, k);
              kaumudiRecords[order].Add(kaumudiEntry, k);
            }
          }
        }
      }
      host.DoEvents();
    }
    p += static_cast<int64_t>(block.size());
  }

  const int sortedCount = host.ListCount(SutraList::lstVykEy0);
  for (int i = 0; i < sortedCount; ++i) {
    const std::string item = host.ListItem(SutraList::lstVykEy0, i);
    host.ListAddItem(SutraList::lstVykEx0, MakeAlphabeticalEntry(item), sortRecords.Take(item));
  }
  for (int order = 0; order < 2; ++order) {
    const int count = host.ListCount(HiddenLists[order + 1]);
    for (int i = 0; i < count; ++i) {
      const std::string item = host.ListItem(HiddenLists[order + 1], i);
      host.ListAddItem(VisibleLists[order + 1], VisiblePart(item), kaumudiRecords[order].Take(item));
    }
  }

  host.DoEvents();
  host.DoEvents();
  // An empty list has no item 0 to select: no record is shown.
  if (host.ListCount(SutraList::lstVykE0) > 0) host.ListSetIndex(SutraList::lstVykE0, 0);
  host.UpdateIndexCaption();
  host.SetHourglass(false);
  return true;
}

}  // namespace vyk
