// A save of the real corpus against a plain copy of it: the save should
// take at most 1.5 times the copy, also when the data file was touched since
// the load, so that the save reads it through once more to prove its bytes
// unchanged. A data file with a second name is written over in place, which
// costs a second write of the corpus and the syncs that keep it recoverable.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "bench/CorpusBench.h"
#include "corpus/CorpusState.h"
#include "corpus/Loader.h"
#include "corpus/Saver.h"
#include "tests/corpus/TestSupport.h"

namespace vyk::bench {
namespace {

// What a copy program does: read, write, and sync the copy to disk.
void BM_PlainCopyOfRealCorpus(benchmark::State& run) {
  if (RealCorpusMissing(run)) return;
  const std::string target = WorkFolder() + "/plain-copy.vyk";
  std::string buffer(1 << 16, '\0');
  for (auto _ : run) {
    FileDescriptor in(::open(VYK_SHARED_CORPUS, O_RDONLY | O_CLOEXEC));
    FileDescriptor out(::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    ssize_t got;
    while ((got = ::read(in.Get(), buffer.data(), buffer.size())) > 0)
      if (!WriteAll(out.Get(), buffer.data(), static_cast<std::size_t>(got))) run.SkipWithError("write failed");
    ::fsync(out.Get());
  }
}
BENCHMARK(BM_PlainCopyOfRealCorpus)->Unit(benchmark::kMillisecond)->UseRealTime();

enum SaveCase { AsLoaded, Touched, InPlace };

// range(0): the SaveCase.
void BM_SaveOfRealCorpus(benchmark::State& run) {
  if (RealCorpusMissing(run)) return;
  const std::string folder = WorkFolder() + "/save-vs-copy";
  std::filesystem::create_directories(folder);
  const auto which = static_cast<SaveCase>(run.range(0));
  const bool touched = which == Touched;
  for (auto _ : run) {
    run.PauseTiming();
    std::filesystem::remove(folder + "/sutra.vyk");
    std::filesystem::remove(folder + "/other.vyk");
    std::filesystem::copy_file(VYK_SHARED_CORPUS, folder + "/sutra.vyk");
    std::filesystem::permissions(folder + "/sutra.vyk", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    if (which == InPlace) std::filesystem::create_hard_link(folder + "/sutra.vyk", folder + "/other.vyk");
    // On disk before the load, as a data file the user saves has long been:
    // its writeback would otherwise land in the save's own sync.
    ::sync();
    CorpusState state;
    test::MemoryLoaderHost lists;
    test::PrepareState(state, folder);
    if (!LoadSutraFile(state, lists)) run.SkipWithError("load failed");
    if (touched) {
      ::utimensat(AT_FDCWD, (folder + "/sutra.vyk").c_str(), nullptr, 0);
      // A touch within the clock's running tick would make the save read
      // the file through twice, the second time just before it puts the
      // new file in place; a backup tool's touch lies further back.
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    StoreEdit(state, 1, ReadRecordText(state, 1).value_or("x") + "edit");
    test::ScriptedSaverHost host;
    run.ResumeTiming();
    if (SaveSutraFile(state, host) != SaveOutcome::Saved) run.SkipWithError("save failed");
  }
  static constexpr const char* Labels[] = {"as loaded", "touched since the load", "in place, a second name"};
  run.SetLabel(Labels[which]);
}
BENCHMARK(BM_SaveOfRealCorpus)->DenseRange(AsLoaded, InPlace)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vyk::bench
