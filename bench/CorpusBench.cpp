// Loading and saving the corpus against their bare baselines: a read and
// split of every record, and a copy of the file with the standard library.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "bench/CorpusBench.h"
#include "corpus/CorpusState.h"
#include "corpus/Loader.h"
#include "corpus/Saver.h"
#include "tests/corpus/TestSupport.h"

namespace vyk::bench {
namespace {

void BM_ReadAndSplit(benchmark::State& run) {
  if (CorpusMissing(run, static_cast<int>(run.range(0)))) return;
  const std::string path = CorpusPath(static_cast<int>(run.range(0)));
  int records = 0;
  for (auto _ : run) {
    int64_t checksum = 0;
    records = ReadAndSplitAll(path, &checksum);
    benchmark::DoNotOptimize(checksum);
  }
  run.SetLabel(CorpusName(static_cast<int>(run.range(0))));
  run.counters["records"] = records;
}
BENCHMARK(BM_ReadAndSplit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The full load into in-memory lists (sorted insertion included), without a
// window: what the loader itself adds to the bare read and split.
void BM_LoadIntoMemoryLists(benchmark::State& run) {
  if (CorpusMissing(run, static_cast<int>(run.range(0)))) return;
  const std::string path = CorpusPath(static_cast<int>(run.range(0)));
  for (auto _ : run) {
    CorpusState state;
    test::MemoryLoaderHost host;
    InitSortWeights(state.gSortWeight);
    state.gDataFile = path;
    if (!LoadSutraFile(state, host)) run.SkipWithError("load failed");
    benchmark::DoNotOptimize(host.ListCount(SutraList::lstVykEx0));
  }
  run.SetLabel(CorpusName(static_cast<int>(run.range(0))));
}
BENCHMARK(BM_LoadIntoMemoryLists)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A host that keeps nothing: the loader's own work, with no list behind it.
class NullLoaderHost : public LoaderHost {
public:
  void ListClear(SutraList) override {}
  void ListAddItem(SutraList, const std::string& text, int) override { bytes += text.size(); }
  int ListCount(SutraList) const override { return 0; }
  std::string ListItem(SutraList, int) const override { return {}; }
  void ListSetIndex(SutraList, int) override {}
  void UpdateIndexCaption() override {}
  void DoEvents() override {}
  void SetHourglass(bool) override {}
  void ShowUnknownFileFormat(const MessageText&) override {}
  std::size_t bytes = 0;
};

void BM_LoadIntoNullLists(benchmark::State& run) {
  if (CorpusMissing(run, static_cast<int>(run.range(0)))) return;
  const std::string path = CorpusPath(static_cast<int>(run.range(0)));
  CorpusState state;
  InitSortWeights(state.gSortWeight);
  for (auto _ : run) {
    NullLoaderHost host;
    state.gDataFile = path;
    if (!LoadSutraFile(state, host)) run.SkipWithError("load failed");
    benchmark::DoNotOptimize(host.bytes);
  }
  run.SetLabel(CorpusName(static_cast<int>(run.range(0))));
}
BENCHMARK(BM_LoadIntoNullLists)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void SyncFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// Baseline of the save: the real corpus copied with the standard library,
// synced to disk like the saver's file.
void BM_CopyRealCorpus(benchmark::State& run) {
  if (RealCorpusMissing(run)) return;
  const std::string target = WorkFolder() + "/copy.vyk";
  for (auto _ : run) {
    {
      std::ifstream in(VYK_SHARED_CORPUS, std::ios::binary);
      std::ofstream out(target, std::ios::binary | std::ios::trunc);
      out << in.rdbuf();
    }
    SyncFile(target);
  }
}
BENCHMARK(BM_CopyRealCorpus)->Unit(benchmark::kMillisecond)->UseRealTime();

// Saves the real corpus with `range(0)` edited records (spread evenly); the
// load before each save is not timed.
void BM_SaveRealCorpus(benchmark::State& run) {
  if (RealCorpusMissing(run)) return;
  const std::string folder = WorkFolder() + "/save";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(VYK_SHARED_CORPUS, folder + "/sutra.vyk", std::filesystem::copy_options::overwrite_existing);
  const int edits = static_cast<int>(run.range(0));
  for (auto _ : run) {
    run.PauseTiming();
    CorpusState state;
    test::MemoryLoaderHost lists;
    test::PrepareState(state, folder);
    if (!LoadSutraFile(state, lists)) run.SkipWithError("load failed");
    for (int i = 0; i < edits; ++i) {
      const int k = 1 + i * (state.gRecordCount / std::max(edits, 1));
      StoreEdit(state, k, ReadRecordText(state, k).value_or("x") + "edit");
    }
    test::ScriptedSaverHost host;
    run.ResumeTiming();
    if (SaveSutraFile(state, host) != SaveOutcome::Saved) run.SkipWithError("save failed");
  }
  run.SetLabel(std::to_string(edits) + " edited records");
}
BENCHMARK(BM_SaveRealCorpus)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vyk::bench
