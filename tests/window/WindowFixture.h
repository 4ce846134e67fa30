#pragma once
// A sutra window over a small corpus in a temporary folder, started the way
// the program's start-up does it, with scripted message boxes.

#include <gtest/gtest.h>

#include <QAction>
#include <QFontDatabase>
#include <QMenu>

#include <fcntl.h>
#include <sys/file.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "corpus/Collation.h"
#include "corpus/CorpusState.h"
#include "corpus/Loader.h"
#include "corpus/Saver.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/CheckedFiles.h"
#include "platform/Latin1.h"
#include "platform/ListControl.h"
#include "platform/RichTextPane.h"
#include "tests/QtTestSupport.h"
#include "tests/ScriptedDialogs.h"
#include "tests/corpus/CorpusBuilder.h"
#include "tests/corpus/TestSupport.h"
#include "window/FrmPop.h"
#include "window/FrmSutra.h"
#include "window/WindowState.h"

namespace vyk::test {

class SutraWindowHarness {
public:
    SutraWindowHarness() {
        EnsureApp();
        // Once per process: each addition would register the faces anew.
        static const bool fontsAdded = AddBuiltDisplayFonts();
        (void)fontsAdded;
        hooks.RunMain = [this] {
            ++runMainCalls;
            if (onRunMain) onRunMain();
        };
        hooks.ShowAbout = [this] { ++aboutCalls; };
        hooks.EndProgram = [this] { ++endProgramCalls; };
    }

    // Writes the texts as the data folder's sutra.vyk.
    void WriteCorpus(const std::vector<std::string>& texts) {
        std::string error;
        if (!WriteCorpusFile(dir.File("sutra.vyk"), texts, DefaultHeaderByte8, &error))
            ADD_FAILURE() << "cannot write the test corpus: " << error;
    }
    void WriteCorpusBytes(std::string_view bytes) { WriteBytes(dir.File("sutra.vyk"), bytes); }

    // Start-up: creates the window on first use, then loads the corpus and
    // lays the window out as Main does.
    bool Start(int widthPixels = 800, int heightPixels = 600) {
        PrepareState(corpus, dir.path());
        state.gRomanFontOk = QFontDatabase::families().contains(QStringLiteral("Times Kovra Roman"));
        if (!window) {
            window = std::make_unique<FrmSutra>(corpus, state, dialogs, hooks);
            window->resize(widthPixels, heightPixels);
        }
        window->picSutra->hide();
        state.gOrderName = {"Astadhyayi", "Siddhanta Kaumudi", "Laghu Kaumudi"};
        window->mnuFileAstadhyayi->setChecked(true);
        window->mnuFileLKaumudi->setChecked(false);
        window->mnuFileSKaumudi->setChecked(false);
        const bool loaded = LoadSutraFile(corpus, *window);
        corpus.gLoading = false;
        window->ArrangeControls();
        window->show();
        // The offscreen platform activates no window by itself; focus needs one.
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        window->picSutra->show();
        window->lstVykE[0]->SetFocus();
        return loaded;
    }

    bool Start(const std::vector<std::string>& texts, int widthPixels = 800, int heightPixels = 600) {
        WriteCorpus(texts);
        return Start(widthPixels, heightPixels);
    }

    FrmSutra& Window() { return *window; }
    FrmPop& Pop() { return window->Pop(); }

    // What the user sees of the sutra on display.
    std::string Ref() const { return window->lblRef->Caption(); }
    std::string Siddhanta() const { return window->lblkaumudi[0]->Caption(); }
    std::string Laghu() const { return window->lblkaumudi[1]->Caption(); }
    std::string PaneText() const { return window->rtbE[0]->Text(); }
    std::vector<std::string> Items(const ListControl* list) const {
        std::vector<std::string> items;
        for (int i = 0; i < list->ListCount(); ++i) items.push_back(list->List(i));
        return items;
    }

    // A change typed into the pane at its end; the pane reports it as a change.
    void TypeIntoPane(const std::string& text) {
        if (!window->mnuToolsEdit->isChecked()) window->mnuToolsEdit->trigger();
        QTextCursor cursor = window->rtbE[0]->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(Latin1(text));
    }

    // The section texts of the sutra on display, as its edit session holds them.
    const std::string& Field(int k) const { return window->Session().Sections().gField[static_cast<std::size_t>(k)]; }

    // The edit state of the pane.
    int CurSutra() const { return window->Session().CurSutra(); }
    bool TextChanged() const { return window->Session().TextChanged(); }
    // A key pressed that changed nothing (in view mode, say) marks a change all the same.
    void MarkChanged() { window->Session().MarkChanged(); }
    // A commit clears the mark, storing what the pane holds by then.
    void CommitPane() { window->Session().CommitEdit(); }

    // Runs `action` at the first chance the running save gives window events.
    void DuringSave(std::function<void()> action) {
        auto step = std::make_shared<std::function<void()>>();
        *step = [this, action, step] {
            if (corpus.gSaving) {
                action();
                *step = nullptr;
                return;
            }
            QMetaObject::invokeMethod(window.get(), [step] { if (*step) (*step)(); }, Qt::QueuedConnection);
        };
        QMetaObject::invokeMethod(window.get(), [step] { if (*step) (*step)(); }, Qt::QueuedConnection);
    }

    // A save that cannot create its temporary file.
    // Holds the data folder's save lock, as another copy of the program
    // does while it saves there: a save fails until it is let go.
    void BlockTheTemporaryFile() {
        folderLock = FileDescriptor(::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        ASSERT_EQ(::flock(folderLock.Get(), LOCK_EX | LOCK_NB), 0);
    }
    void UnblockTheTemporaryFile() { folderLock.Reset(); }

    TempDir dir;
    FileDescriptor folderLock;
    CorpusState corpus;
    WindowState state;
    ScriptedDialogService dialogs;
    SutraWindowHooks hooks;
    std::unique_ptr<FrmSutra> window;
    int runMainCalls = 0;
    int aboutCalls = 0;
    int endProgramCalls = 0;
    std::function<void()> onRunMain;
};

class WindowFixture : public ::testing::Test, public SutraWindowHarness {};

// Record texts for the window tests.
inline std::string Record(std::string label, std::string sutra, int32_t siddhanta = 0, int32_t laghu = 0) {
    RecordBuilder record;
    record.Label(std::move(label)).Sutra(std::move(sutra)).Numbers(siddhanta, laghu);
    return record.Text();
}

}  // namespace vyk::test
