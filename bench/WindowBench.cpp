// The sutra window's two costly moments: showing a sutra (read, split,
// render, load into the pane) and loading the whole corpus into its lists
// (bench_corpus's BM_ReadAndSplit is the bare read and split to set it
// against).

#include <benchmark/benchmark.h>

#include <QApplication>

#include <filesystem>
#include <memory>

#include "bench/CorpusBench.h"
#include "corpus/Collation.h"
#include "corpus/CorpusState.h"
#include "corpus/Loader.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "platform/ListControl.h"
#include "tests/QtTestSupport.h"
#include "tests/ScriptedDialogs.h"
#include "tests/corpus/CorpusBuilder.h"
#include "tests/corpus/TestSupport.h"
#include "window/FrmSutra.h"
#include "window/WindowState.h"

namespace vyk::bench {
namespace {

// A window over a data file, set up as start-up leaves it.
struct BenchWindow {
    explicit BenchWindow(const std::string& dataFile) {
        test::EnsureApp();
        corpus.gDataFile = dataFile;
        corpus.gDataDir = std::filesystem::path(dataFile).parent_path().string();
        state.gOrderName = {"Astadhyayi", "Siddhanta Kaumudi", "Laghu Kaumudi"};
        InitSortWeights(corpus.gSortWeight);
        window = std::make_unique<FrmSutra>(corpus, state, dialogs, SutraWindowHooks{});
        window->resize(1024, 700);
        window->show();
        window->picSutra->show();
    }

    bool Load() {
        const bool loaded = LoadSutraFile(corpus, *window);
        corpus.gLoading = false;
        return loaded;
    }

    CorpusState corpus;
    WindowState state;
    ScriptedDialogService dialogs;
    std::unique_ptr<FrmSutra> window;
};

// Running text of about `bytes` bytes, in lines of some sixty characters.
std::string RunningText(std::size_t bytes) {
    std::string text;
    while (text.size() < bytes) {
        text += "v\xE3" "ddhir\xE0" "daic ade\xED gu\xE9" "a\xE8 iko gu\xE9" "av\xE3" "ddh\xE1 na dh\xE0tulopa";
        text += text.size() % 3 == 0 ? " " : "\r\n";
    }
    text.resize(bytes);
    return text;
}

// Record 1 is a typical 1 KB record, record 2 a 30 KB one.
const std::string& ShowCorpus() {
    static const std::string path = [] {
        test::RecordBuilder typical;
        typical.Label("1.1.1").Sutra("v\xE3" "ddhir\xE0" "daic").Numbers(16, 32);
        for (int s = 1; s < 7; ++s) typical.Section(s, RunningText(150));
        test::RecordBuilder large;
        large.Label("1.1.2").Sutra("ade\xED gu\xE9" "a\xE8").Numbers(17, 25);
        for (int s = 1; s < 7; ++s) large.Section(s, RunningText(5000));
        const std::string file = WorkFolder() + "/show.vyk";
        if (!WriteCorpusFile(file, {typical.Text(), large.Text()}, DefaultHeaderByte8, nullptr)) std::abort();
        return file;
    }();
    return path;
}

void BM_ShowSutra(benchmark::State& run) {
    BenchWindow bench(ShowCorpus());
    if (!bench.Load()) {
        run.SkipWithError("cannot load the corpus");
        return;
    }
    const int k = static_cast<int>(run.range(0));
    for (auto _ : run) {
        bench.window->ShowSutra(k);
        benchmark::DoNotOptimize(bench.window->Session().Sections().gField[1].data());
    }
    run.SetLabel(k == 1 ? "1 KB record" : "30 KB record");
    run.counters["bytes"] = static_cast<double>(bench.corpus.gTextLen[k]);
}
BENCHMARK(BM_ShowSutra)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The whole load with the window's lists, record 1 shown at its end. As at
// start-up, the lists' container is hidden while the loader fills them and
// shown again afterwards (outside the timing).
void BM_LoadSutraFile(benchmark::State& run) {
    if (CorpusMissing(run, static_cast<int>(run.range(0)))) return;
    const std::string path = CorpusPath(static_cast<int>(run.range(0)));
    BenchWindow bench(path);
    for (auto _ : run) {
        bench.window->picSutra->hide();
        if (!bench.Load()) {
            run.SkipWithError("cannot load the corpus");
            return;
        }
        run.PauseTiming();
        bench.window->picSutra->show();
        vyk::DoEvents();
        run.ResumeTiming();
    }
    run.SetLabel(CorpusName(static_cast<int>(run.range(0))));
    run.counters["records"] = bench.window->lstVykE[0]->count();
}
BENCHMARK(BM_LoadSutraFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vyk::bench
