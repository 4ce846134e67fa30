// Every road that shows, renders, commits or drops the pane's text, walked
// with a typed, a pasted and a reverted edit: what the pane shows, what the
// program holds for the record and the change mark after the road, and that
// removing the edit afterwards is what the next commit stores.

#include <QClipboard>
#include <QPushButton>
#include <QTest>

#include <random>

#include "tests/window/WindowFixture.h"

namespace vyk::test {
namespace {

enum class EditKind { Typed, Pasted, Reverted };

class EditSessionTest : public WindowFixture {
public:
    void SetUp() override {
        ASSERT_TRUE(Start({Stored("ab"), Record("1.1.2", "other", 2, 2)}));
        onRunMain = [this] { Start(); };
        pane = window->rtbE[0];
        QApplication::setActiveWindow(window.get());
        pane->SetFocus();
        EnterEditMode();
    }

    // Record 1 as stored, with the Sutra given: a Vritti that reads like the
    // next head, and an Explanation with a leading blank and a lone LF, which
    // a commit must keep as they are.
    static RecordBuilder Record1(std::string sutra) {
        RecordBuilder record;
        record.Label("1.1.1").Sutra(std::move(sutra)).Section(3, "AnuVritti").Section(4, "anu");
        record.Section(6, " lead\nlf").Numbers(16, 32);
        return record;
    }
    static std::string Stored(std::string sutra) { return Record1(std::move(sutra)).Text(); }

    void EnterEditMode() {
        if (!window->mnuToolsEdit->isChecked()) window->mnuToolsEdit->trigger();
    }

    // "Sutra", CR LF, then "ab": the caret after the b.
    void Edit(EditKind kind) {
        pane->SetSelStart(9);
        switch (kind) {
        case EditKind::Typed:
            QTest::keyClick(pane, Qt::Key_Z);
            break;
        case EditKind::Pasted:
            QApplication::clipboard()->setText(QStringLiteral("z"));
            QTest::keyClick(pane, Qt::Key_V, Qt::ControlModifier);
            break;
        case EditKind::Reverted:
            QTest::keyClick(pane, Qt::Key_Z);
            QTest::keyClick(pane, Qt::Key_Backspace);
            break;
        }
    }

    bool PaneShowsTheEdit() const { return PaneText().starts_with("Sutra\r\nabz\r\n"); }

    void Save() {
        window->mnuToolsSave_Click();
        window->cbOk->click();
    }

    RichTextPane* pane = nullptr;
};

struct Road {
    const char* name;
    std::function<void(EditSessionTest&)> run;
    bool commits;                // the road stores what the pane holds
    bool showsRecord1 = true;    // the pane shows record 1 after it
    bool addsVartika = false;    // the road adds an empty Vartika to the fields
};

TEST_F(EditSessionTest, EveryRoadKeepsTheEditAndWhatIsRemovedAfterStaysRemoved) {
    const Road roads[] = {
        {"show another sutra", [](EditSessionTest& t) { t.Window().ShowSutra(2); }, true, false},
        {"show the same sutra", [](EditSessionTest& t) { t.Window().ShowSutra(1); }, true},
        {"View toggle in the menu",
         [](EditSessionTest& t) {
             t.Window().ViewItem(4)->trigger();
             t.Window().ViewItem(4)->trigger();
         },
         false},
        {"View toggle in the popup",
         [](EditSessionTest& t) {
             t.Pop().ViewItem(7)->trigger();
             t.Pop().ViewItem(7)->trigger();
         },
         false},
        {"Insert", [](EditSessionTest& t) { t.Window().InsertItem(3)->trigger(); }, false, true, true},
        {"save completed", [](EditSessionTest& t) { t.Save(); }, true},
        {"save failed",
         [](EditSessionTest& t) {
             t.BlockTheTemporaryFile();
             t.Save();
             t.UnblockTheTemporaryFile();
         },
         true},
        {"save refused",
         [](EditSessionTest& t) {
             t.corpus.gExcessRecords = 1;  // a corpus this program cannot write whole
             t.Save();
             t.corpus.gExcessRecords = 0;
         },
         true},
        {"save terminated",
         [](EditSessionTest& t) {
             t.DuringSave([&t] { t.Window().cbTerm->click(); });
             t.dialogs.Plan(MsgAnswer::Yes);
             t.Save();
         },
         true},
        {"close query answered Cancel",
         [](EditSessionTest& t) {
             t.dialogs.Plan(MsgAnswer::Cancel);
             bool cancel = false;
             t.Window().Form_QueryUnload(cancel);
         },
         false},
        {"Tools, Undo", [](EditSessionTest& t) { t.Window().mnuToolsUndo_Click(); }, true},
        {"leaving edit mode", [](EditSessionTest& t) { t.Window().mnuToolsEdit->trigger(); }, false},
    };
    for (const Road& road : roads) {
        for (const EditKind kind : {EditKind::Typed, EditKind::Pasted, EditKind::Reverted}) {
            const bool edited = kind != EditKind::Reverted;
            SCOPED_TRACE(std::string(road.name) + (kind == EditKind::Typed    ? ", typed"
                                                   : kind == EditKind::Pasted ? ", pasted"
                                                                              : ", reverted"));
            WriteCorpus({Stored("ab"), Record("1.1.2", "other", 2, 2)});
            Start();
            EnterEditMode();

            Edit(kind);
            road.run(*this);

            EXPECT_EQ(PaneShowsTheEdit(), edited && road.showsRecord1);
            EXPECT_EQ(ReadRecordText(corpus, 1), road.commits && edited ? Stored("abz") : Stored("ab"));
            EXPECT_EQ(TextChanged(), !road.commits);

            // The edit taken back out of the pane, and the next display commits.
            if (CurSutra() != 1) Window().ShowSutra(1);
            EnterEditMode();
            if (PaneShowsTheEdit()) {
                pane->SetSelStart(10);
                QTest::keyClick(pane, Qt::Key_Backspace);
            }
            Window().ShowSutra(2);
            RecordBuilder expected = Record1("ab");
            if (road.addsVartika) expected.Section(2, "\r\n");
            EXPECT_EQ(ReadRecordText(corpus, 1), expected.Text());
        }
    }
}

// Random edits of a record with shown and hidden sections, each script run
// three times: straight through; with a save that fails in the middle, whose
// commit stores the record on the way; and that way, then taken back out with
// the pane's undo. The first two store the same record, the one the edits
// made; the third stores nothing.
class EditScriptTest : public WindowFixture {
public:
    struct Section {
        int k;
        std::string head;
        std::string text;
    };
    struct Op {
        std::size_t section;
        std::size_t offset;
        int kind;  // 0 a letter, 1 BackSpace, 2 Enter, 3 a line that reads "Vritti", 4 a line deleted
    };

    static RecordBuilder Original() {
        RecordBuilder record;
        record.Label("1.1.1").Sutra("sutra one").Section(1, "pp text").Section(3, "vritti\r\nsecond");
        record.Section(4, "anu").Section(5, "tr").Numbers(16, 32);
        return record;
    }

    // Where a section's text starts in the pane: every shown section before
    // it is its head, CR LF, its text and CR LF.
    static int TextStart(const std::vector<Section>& shown, std::size_t index) {
        std::size_t at = 0;
        for (std::size_t i = 0; i < index; ++i) at += shown[i].head.size() + 2 + shown[i].text.size() + 2;
        return static_cast<int>(at + shown[index].head.size() + 2);
    }

    // Runs ops on the pane and on the model `shown`.
    void Run(const std::vector<Op>& ops, std::vector<Section>& shown) {
        RichTextPane* pane = window->rtbE[0];
        for (const Op& op : ops) {
            Section& section = shown[op.section % shown.size()];
            std::string& text = section.text;
            std::size_t offset = std::min(op.offset, text.size());
            if (offset > 0 && text[offset - 1] == '\r') --offset;  // never inside a CR LF
            pane->SetFocus();
            pane->SetSelStart(TextStart(shown, static_cast<std::size_t>(&section - shown.data())) + static_cast<int>(offset));
            if (op.kind == 0) {
                QTest::keyClick(pane, Qt::Key_Q);
                text.insert(offset, "q");
            } else if (op.kind == 1 && offset > 0) {
                QTest::keyClick(pane, Qt::Key_Backspace);
                const bool lineEnd = text[offset - 1] == '\n';
                text.erase(offset - (lineEnd ? 2 : 1), lineEnd ? 2 : 1);
            } else if (op.kind == 4) {
                // The whole line at the caret, with its line end, when one follows.
                const std::size_t lineStart = offset == 0 ? 0 : text.rfind('\n', offset - 1) + 1;
                const std::size_t lineEnd = text.find("\r\n", lineStart);
                if (lineEnd == std::string::npos) continue;
                pane->SetSelStart(TextStart(shown, static_cast<std::size_t>(&section - shown.data())) +
                                  static_cast<int>(lineStart));
                QTest::keyClick(pane, Qt::Key_Down, Qt::ShiftModifier);
                QTest::keyClick(pane, Qt::Key_Delete);
                text.erase(lineStart, lineEnd + 2 - lineStart);
            } else if (op.kind >= 2) {
                QTest::keyClick(pane, Qt::Key_Return);
                std::string typed = "\r\n";
                if (op.kind == 3) {
                    QTest::keyClicks(pane, "Vritti");
                    typed += "Vritti";
                }
                text.insert(offset, typed);
            }
        }
    }

    void FailingSave() {
        BlockTheTemporaryFile();
        window->mnuToolsSave_Click();
        window->cbOk->click();
        UnblockTheTemporaryFile();
        window->cbCancel->click();  // the panel offers the save again; not now
    }
};

TEST_F(EditScriptTest, ACommitOnTheWayNeverChangesWhatTheLastCommitStores) {
    std::mt19937 random(7);
    for (int script = 0; script < 30; ++script) {
        std::vector<Op> ops(6 + random() % 8);
        for (Op& op : ops) op = {random() % 3, random() % 14, static_cast<int>(random() % 5)};
        SCOPED_TRACE("script " + std::to_string(script));

        std::array<std::string, 3> stored;
        std::vector<Section> shown;
        for (int run = 0; run < 3; ++run) {
            WriteCorpus({Original().Text(), Record("1.1.2", "other")});
            Start();
            if (window->ViewItem(4)->isChecked()) window->ViewItem(4)->trigger();  // Vritti hidden
            if (window->ViewItem(5)->isChecked()) window->ViewItem(5)->trigger();  // AnuVritti hidden
            if (!window->mnuToolsEdit->isChecked()) window->mnuToolsEdit->trigger();
            window->rtbE[0]->SetFocus();
            shown = {{1, "Sutra", "sutra one"}, {2, "Pada-Patha", "pp text"}, {6, "Translation", "tr"}};
            ASSERT_EQ(PaneText(), "Sutra\r\nsutra one\r\nPada-Patha\r\npp text\r\nTranslation\r\ntr\r\n");

            const std::vector<Op> first(ops.begin(), ops.begin() + static_cast<std::ptrdiff_t>(ops.size() / 2));
            const std::vector<Op> second(ops.begin() + static_cast<std::ptrdiff_t>(ops.size() / 2), ops.end());
            Run(first, shown);
            if (run > 0) FailingSave();
            Run(second, shown);
            if (run == 2) {
                window->mnuToolsUndo->setEnabled(false);  // Ctrl+Z then reaches the pane
                for (int undo = 0; undo < 40 && window->rtbE[0]->document()->isUndoAvailable(); ++undo)
                    QTest::keyClick(window->rtbE[0], Qt::Key_Z, Qt::ControlModifier);
            }
            window->ShowSutra(2);
            stored[static_cast<std::size_t>(run)] = corpus.gEditedText[1];
        }

        RecordBuilder expected = Original();
        for (const Section& section : shown) expected.Section(section.k - 1, section.text);
        const bool changed = expected.Text() != Original().Text();
        EXPECT_EQ(stored[0], changed ? expected.Text() : "");
        EXPECT_EQ(stored[1], stored[0]);
        EXPECT_EQ(stored[2], "") << "taken back out, the record is the file's again";
    }
}

}  // namespace
}  // namespace vyk::test
