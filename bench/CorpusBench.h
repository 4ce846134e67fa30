#pragma once
// Shared pieces of the corpus benchmarks: the bare read-and-split baseline
// that a full load is measured against, a work folder, and the two corpora
// the loads run on.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "corpus/Base255.h"
#include "corpus/CorpusState.h"
#include "corpus/DataFile.h"
#include "corpus/Saver.h"
#include "corpus/SutraRecord.h"
#include "tests/TempDir.h"
#include "tests/corpus/CorpusBuilder.h"

namespace vyk::bench {

// Reads the index and every kind-1 record text of `path` once and splits each
// text into label, Sutra section and numbers: the least any load must do.
// Returns the number of records read (a checksum keeps the work alive).
inline int ReadAndSplitAll(const std::string& path, int64_t* checksum = nullptr) {
  DataFile file;
  if (!file.Open(path)) return -1;
  const int32_t indexStart = ReadBase255Num3(file, SutraFileHeader::IndexStartPos);
  const int64_t length = file.Length();
  const std::string index = file.ReadUpTo(indexStart, length - indexStart + 1);
  std::string text;
  int records = 0;
  int64_t sum = 0;
  for (std::size_t at = 0; at + IndexEntry::Size <= index.size(); at += IndexEntry::Size) {
    const IndexEntry entry = ParseIndexEntry(index, at);
    if (entry.kind != IndexEntry::RecordKind || entry.pos == 0) continue;
    if (!file.ReadInto(entry.pos, entry.len, text)) continue;
    const RecordHead head = SplitRecordHead(text);
    sum += static_cast<int64_t>(head.label.size() + head.sutra.size()) + head.siddhanta + head.laghu;
    ++records;
  }
  if (checksum) *checksum = sum;
  return records;
}

// Writes a generated corpus of `count` records to `path`.
inline bool WriteGeneratedCorpus(const std::string& path, int count) {
  return WriteCorpusFile(path, test::GenerateCorpusTexts(count), DefaultHeaderByte8, nullptr);
}

// The benchmarks write under the build folder's disk rather than a tmpfs, so
// that fsync costs what it costs for a user; the folder goes at exit.
inline const std::string& WorkFolder() {
  static const test::TempDir folder(std::filesystem::current_path().string());
  return folder.path();
}

// A generated corpus as large as the tables hold, written once per run.
inline const std::string& GeneratedCorpus() {
  static const std::string path = [] {
    const std::string file = WorkFolder() + "/generated.vyk";
    if (!WriteGeneratedCorpus(file, MaxSutras)) std::abort();
    return file;
  }();
  return path;
}

// The real corpus lies beside the work tree, not in it: without it a
// benchmark of it says what is missing instead of timing a failure.
inline bool RealCorpusMissing(benchmark::State& run) {
  if (std::filesystem::is_regular_file(VYK_SHARED_CORPUS)) return false;
  run.SkipWithError("the real corpus is missing: " VYK_SHARED_CORPUS);
  return true;
}

// The corpora a load benchmark takes as its argument: 0 the real one, 1 the
// generated one.
inline std::string CorpusPath(int which) { return which == 0 ? std::string(VYK_SHARED_CORPUS) : GeneratedCorpus(); }
inline const char* CorpusName(int which) { return which == 0 ? "real" : "generated-4500"; }
// The same for a benchmark given the argument `which`.
inline bool CorpusMissing(benchmark::State& run, int which) { return which == 0 && RealCorpusMissing(run); }

}  // namespace vyk::bench
