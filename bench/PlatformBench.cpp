// Filling the sutra lists, loading a section document into the pane, and
// bringing up a message box.

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "corpus/Collation.h"
#include "corpus/Loader.h"
#include "corpus/SutraRecord.h"
#include "platform/Dialogs.h"
#include "platform/ListControl.h"
#include "platform/RichTextPane.h"
#include "tests/QtTestSupport.h"
#include "tests/corpus/CorpusBuilder.h"
#include "tests/platform/RtfBuilder.h"

namespace {

// A line of transliterated text in the Roman font's bytes.
std::string Line(std::mt19937& random, std::size_t length) {
    static const std::string letters = "abcdeghijklmnoprstuvy \xe0\xe1\xe2\xe3\xe7\xe8\xe9\xeb\xec\xef\xf0";
    std::string line;
    for (std::size_t i = 0; i < length; ++i) line += letters[random() % letters.size()];
    return line;
}

// The entries the loader makes of a generated corpus: SortEntry texts for the
// sorted hidden list, ListEntry texts for the unsorted one.
std::vector<std::string> Entries(int count, bool sortEntries) {
    vyk::SortWeightTable weights;
    vyk::InitSortWeights(weights);
    std::vector<std::string> entries;
    for (const std::string& text : vyk::test::GenerateCorpusTexts(count)) {
        const vyk::RecordHead head = vyk::SplitRecordHead(text);
        const std::string line = vyk::MakeListLine(head.sutra);
        entries.push_back(sortEntries ? vyk::MakeSortEntry(weights, head.label, line)
                                      : vyk::MakeListEntry(head.label, line));
    }
    return entries;
}

// One item at a time (range(1) 0), as a list fills outside a load, or all in
// one step (range(1) 1), as the loader hands them over.
void BM_FillSortedList(benchmark::State& state) {
    vyk::test::EnsureApp();
    const auto entries = Entries(static_cast<int>(state.range(0)), true);
    const bool inOneStep = state.range(1) == 1;
    for (auto _ : state) {
        vyk::ListControl list(true);
        if (inOneStep) {
            state.PauseTiming();
            std::vector<std::string> batch = entries;
            state.ResumeTiming();
            list.AddItems(std::move(batch));
        } else {
            for (const std::string& entry : entries) list.AddItem(entry);
        }
        benchmark::DoNotOptimize(list.ListCount());
    }
    state.SetLabel(inOneStep ? "AddItems" : "AddItem");
    if (inOneStep) return;
    // The same binary search the list runs, counted on the list's own order.
    std::vector<std::string> items;
    std::size_t comparisons = 0;
    for (const std::string& entry : entries) {
        const std::size_t at = vyk::SortedInsertPosition(items, entry, &comparisons);
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), entry);
    }
    const double n = static_cast<double>(entries.size());
    state.counters["comparisons"] = static_cast<double>(comparisons);
    state.counters["per_n_log2_n"] = static_cast<double>(comparisons) / (n * std::log2(n));
}
BENCHMARK(BM_FillSortedList)->ArgsProduct({{1000, 4500}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_FillUnsortedList(benchmark::State& state) {
    vyk::test::EnsureApp();
    const auto entries = Entries(static_cast<int>(state.range(0)), false);
    for (auto _ : state) {
        vyk::ListControl list(false);
        for (const std::string& entry : entries) list.AddItem(entry);
        benchmark::DoNotOptimize(list.ListCount());
    }
}
BENCHMARK(BM_FillUnsortedList)->Arg(1000)->Arg(4500)->Unit(benchmark::kMillisecond);

// Seven sections of long text: about 30 KB of RTF.
std::string LongSectionDocument() {
    std::mt19937 random(3);
    const char* heads[] = {"Sutra", "Pada-Patha", "Vartika", "Vritti", "AnuVritti", "Translation", "Explanation"};
    std::vector<vyk::test::Section> sections;
    for (const char* head : heads) {
        std::string text;
        while (text.size() < 2000) text += Line(random, 70) + "\r\n";
        sections.push_back({head, text});
    }
    return vyk::test::SectionsRtf(sections);
}

void BM_LoadSectionDocument(benchmark::State& state) {
    vyk::test::EnsureApp();
    const std::string rtf = LongSectionDocument();
    vyk::RichTextPane pane;
    pane.resize(700, 500);
    for (auto _ : state) {
        pane.SetTextRTF(rtf);
        benchmark::DoNotOptimize(pane.document()->blockCount());
    }
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_LoadSectionDocument)->Unit(benchmark::kMillisecond);

void BM_ReadPaneText(benchmark::State& state) {
    vyk::test::EnsureApp();
    vyk::RichTextPane pane;
    pane.SetTextRTF(LongSectionDocument());
    for (auto _ : state) benchmark::DoNotOptimize(pane.Text());
}
BENCHMARK(BM_ReadPaneText)->Unit(benchmark::kMicrosecond);

// The data folder question with a remembered folder of range(0) characters,
// from the call until the box has come up and been answered.
void BM_QuestionWithLongFolder(benchmark::State& state) {
    vyk::test::EnsureApp();
    vyk::QtDialogService dialogs;
    // The folder is marked as a path, as the program marks it, so its bytes
    // are read as UTF-8.
    vyk::MsgRequest question("2. Continue with the Previous Path?\r\n   " +
                             vyk::PathText("/" + std::string(static_cast<std::size_t>(state.range(0)), 'd')) +
                             "\r\n\r\n3. Click on 'NO' to Select a New Path.\r\n");
    question.buttons = vyk::MsgButtons::YesNoCancel;
    question.icon = vyk::MsgIcon::Question;
    int height = 0;
    QTimer answer;
    answer.setInterval(0);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        answer.stop();
        height = box->height();
        box->button(QMessageBox::Cancel)->click();
    });
    for (auto _ : state) {
        answer.start();
        benchmark::DoNotOptimize(dialogs.MsgBox(question));
    }
    state.counters["box_height"] = height;
}
BENCHMARK(BM_QuestionWithLongFolder)->Arg(100)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
