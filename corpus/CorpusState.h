#pragma once
// Per-process state of the corpus store: record tables, edit cache, flags.
// One instance, owned by the application and passed by reference.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "corpus/Collation.h"
#include "corpus/DataFile.h"
#include "corpus/SutraRecord.h"

namespace vyk {

inline constexpr int MaxSutras = 4500;

struct CorpusState {
  // Indexed by record number 1..MaxSutras; place 0 is never used.
  std::vector<int32_t> gTextPos = std::vector<int32_t>(MaxSutras + 1, 0);
  std::vector<int32_t> gTextLen = std::vector<int32_t>(MaxSutras + 1, 0);
  std::vector<std::string> gEditedText = std::vector<std::string>(MaxSutras + 1);

  bool gDataModified = false;

  DataFile gDataFileNo;
  // The data file as the last accepted load opened it: the record tables
  // point into that file, so a save writes only over that very file.
  std::optional<FileIdentity> gDataIdentity;
  std::string gDataDir;   // no trailing "/"
  std::string gDataFile;  // gDataDir + "/sutra.vyk"

  char gHeaderByte8 = DefaultHeaderByte8;
  char gHeaderTag = DefaultHeaderTag;

  bool gLoading = false;
  bool gTerminateSave = false;
  bool gSaving = false;  // while SaveSutraFile runs; the window refuses other commands

  // The 6-byte index entry each record got in the last save (1..MaxSutras).
  std::vector<std::string> gSaveIndex = std::vector<std::string>(MaxSutras + 1);

  SortWeightTable gSortWeight;

  int gRecordCount = 0;    // kind-1 entries kept at the last accepted load
  int gExcessRecords = 0;  // kind-1 entries beyond MaxSutras at that load
};

inline bool IsRecordNumber(int k) { return k >= 1 && k <= MaxSutras; }

// Empties all record tables and the whole edit cache; the flags stay.
void ClearRecords(CorpusState& state);

// Sets the file position and length of record k; false for k outside 1..MaxSutras.
bool PlaceRecord(CorpusState& state, int k, int32_t pos, int32_t len);

// The current text of record k: its edit cache entry when set, else the bytes
// read from the open data file. nullopt for k outside 1..MaxSutras, a record
// without text (position 0), or a read that fails (file closed, past its end).
std::optional<std::string> ReadRecordText(const CorpusState& state, int k);

// Record k's text as the open data file holds it, ignoring the edit cache.
std::optional<std::string> ReadFileRecordText(const CorpusState& state, int k);

// The edit cache: store replaces the entry whole; drop empties it. Both leave
// the flags alone and return false (changing nothing) for k outside 1..MaxSutras.
// An empty text cannot be stored: an empty entry means "unchanged".
bool StoreEdit(CorpusState& state, int k, std::string text);
bool DropEdit(CorpusState& state, int k);
bool HasEdit(const CorpusState& state, int k);

}  // namespace vyk
