// The whole start-up on the real corpus, up to the first sutra shown, and a
// reload of the windows that exist.

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

#include "bench/CorpusBench.h"
#include "platform/Dialogs.h"
#include "platform/ListControl.h"
#include "platform/Paths.h"
#include "shell/Application.h"
#include "shell/Main.h"
#include "tests/QtTestSupport.h"
#include "tests/ScriptedDialogs.h"
#include "window/FrmSutra.h"

namespace {

// The real corpus's folder is the program folder, so start-up asks nothing;
// settings and fonts go to a temporary folder, and the display faces are
// added beforehand from the build's data folder.
struct StartUp {
    StartUp() {
        vyk::test::EnsureApp();
        vyk::test::AddBuiltDisplayFonts();
        corpusDir = vyk::BytePath(QFileInfo(QString::fromUtf8(VYK_SHARED_CORPUS)).absolutePath());
        top = vyk::BytePath(temp.path());
    }
    vyk::ShellPaths Paths() const { return {corpusDir, top + "/config", top + "/fonts"}; }

    QTemporaryDir temp;
    std::string corpusDir;
    std::string top;
    vyk::ScriptedDialogService dialogs;
};

void BM_FirstStartUp(benchmark::State& state) {
    if (vyk::bench::RealCorpusMissing(state)) return;
    StartUp startUp;
    int records = 0;
    for (auto _ : state) {
        auto app = std::make_unique<vyk::Application>(startUp.dialogs, startUp.Paths());
        vyk::Main(*app);
        records = app->frmSutra().lstVykE[0]->ListCount();
        benchmark::DoNotOptimize(records);
        state.PauseTiming();
        app.reset();  // tearing the windows down is not part of the start-up
        state.ResumeTiming();
    }
    state.counters["records"] = records;
    if (!startUp.dialogs.asked.empty()) state.SkipWithError("start-up asked a question or showed a message");
}
BENCHMARK(BM_FirstStartUp)->Unit(benchmark::kMillisecond);

void BM_Reload(benchmark::State& state) {
    if (vyk::bench::RealCorpusMissing(state)) return;
    StartUp startUp;
    vyk::Application app(startUp.dialogs, startUp.Paths());
    vyk::Main(app);
    for (auto _ : state) {
        vyk::Main(app);
        benchmark::DoNotOptimize(app.frmSutra().Session().CurSutra());
    }
    state.counters["records"] = app.frmSutra().lstVykE[0]->ListCount();
    if (!startUp.dialogs.asked.empty()) state.SkipWithError("the reload asked a question or showed a message");
}
BENCHMARK(BM_Reload)->Unit(benchmark::kMillisecond);

}  // namespace
