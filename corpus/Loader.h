#pragma once
// LoadSutraFile and the texts of the sutra lists it fills.

#include <cstdint>
#include <string>
#include <string_view>

#include "corpus/Collation.h"
#include "platform/ListOrder.h"
#include "platform/MessageText.h"

namespace vyk {

struct CorpusState;

enum class SutraList { lstVykE0, lstVykE1, lstVykE2, lstVykEy0, lstVykEy1, lstVykEy2, lstVykEx0 };

// The window as the loader sees it. The window implements it over its list
// controls; tests implement it in memory.
class LoaderHost {
public:
  virtual ~LoaderHost() = default;
  virtual void ListClear(SutraList list) = 0;
  // Unsorted lists append; lstVykEy* insert where the list stays in ascending
  // order of CompareListText. `record` is the record number the item belongs
  // to (for lstVykE0 the host keeps a row->record map so a click never shows
  // the wrong sutra; 0 where not known).
  virtual void ListAddItem(SutraList list, const std::string& text, int record) = 0;
  virtual int ListCount(SutraList list) const = 0;
  virtual std::string ListItem(SutraList list, int index) const = 0;
  virtual void ListSetIndex(SutraList list, int index) = 0;  // raises the list's click (shows the record)
  virtual void UpdateIndexCaption() = 0;
  virtual void DoEvents() = 0;  // let pending window messages run
  virtual void SetHourglass(bool on) = 0;
  // The signature message box, with UnknownFileFormatTitle, an OK button
  // and no icon.
  virtual void ShowUnknownFileFormat(const MessageText& message) = 0;
};

// The signature message. When the data folder's sutra.tmp holds a whole
// corpus, as a save cut off while it wrote over the data file leaves it, a
// line follows that names it.
inline constexpr std::string_view UnknownFileFormatText =
    "Invalid File(s) Found.\rReinstall the Software and Try.";
inline constexpr std::string_view UnknownFileFormatTitle = "Unknown File Format";

// Separates the visible part of a SortEntry or KaumudiEntry from the label.
inline constexpr char ListLabelMark = '\xA0';

inline constexpr std::size_t ListLineMax = 35;
inline constexpr std::size_t ListLabelMax = 7;

// The text before the last blank or hyphen; s itself when there is none, or
// when the only one is the first character.
std::string CutAtLastWord(std::string_view s);

// ListLine of a Sutra section: first line, cut to 35 characters at a word
// with " ..." when longer, then leading blanks removed.
std::string MakeListLine(std::string_view sutraSection);

// " label - line" (" label- line" for labels longer than seven characters).
std::string MakeListEntry(std::string_view label, std::string_view line);

// SortKey, two blanks, line, byte 160, label.
std::string MakeSortEntry(const SortWeightTable& table, std::string_view label, std::string_view line);

// Number right-aligned in five characters, " - ", line, byte 160, label.
std::string MakeKaumudiEntry(int32_t number, std::string_view label, std::string_view line);

// The alphabetical list's entry made from a SortEntry: " label - line".
std::string MakeAlphabeticalEntry(std::string_view sortEntry);

// The part of an entry before its first byte 160 (what a Kaumudi list shows).
std::string VisiblePart(std::string_view entry);

// The label after the first byte 160 of a hidden-list entry ("" when none).
std::string_view EntryLabel(std::string_view entry);

// Loads gDataFile into the record tables and the host's lists. Returns false
// when the file was rejected (missing, unreadable or without the signature):
// the message was shown, the lists and tables are as they were, and the data
// file is closed.
bool LoadSutraFile(CorpusState& state, LoaderHost& host);

}  // namespace vyk
