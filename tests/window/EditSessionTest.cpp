// Every road that shows, renders, commits or drops the pane's text, walked
// with a typed, a pasted and a reverted edit: what the pane shows, what the
// program holds for the record and the change mark after the road, and that
// removing the edit afterwards is what the next commit stores.

#include <QClipboard>
#include <QPushButton>
#include <QTest>

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

}  // namespace
}  // namespace vyk::test
