#pragma once

#include <QMenuBar>
#include <QPointer>
#include <QWidget>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "corpus/CorpusState.h"
#include "corpus/Loader.h"
#include "corpus/Saver.h"
#include "window/EditSession.h"
#include "window/WindowState.h"

class QAction;
class QMenu;
class QPushButton;

namespace vyk {

class DialogService;
class FrmPop;
class Frame;
class Image;
class Label;
class LineControl;
class ListControl;
class RichTextPane;
class TwipsPlacement;

// What the sutra window needs from the application around it.
struct SutraWindowHooks {
    std::function<void()> RunMain;      // the whole start-up again (reload after a save or a conversion)
    std::function<void()> ShowAbout;    // Help, About: the About box, modal
    std::function<void()> EndProgram;   // close every file and end the program at once
};

// The main child window: the sutra lists, the detail labels, the sutra pane,
// the picture panel, the title picture and the save panel, with the menu bar
// that the frame window shows.
class FrmSutra : public QWidget, public LoaderHost, public SaverHost {
    Q_OBJECT
public:
    FrmSutra(CorpusState& corpus, WindowState& state, DialogService& dialogs,
             SutraWindowHooks hooks, QWidget* parent = nullptr);
    ~FrmSutra() override;

    // The menu bar; the frame window installs it as its own.
    QMenuBar* MenuBar() const { return menuBar_.data(); }
    FrmPop& Pop() { return *frmPop_; }

    // The items of section k (1 to 7): its View item and its Insert item.
    QAction* ViewItem(int k) const;
    QAction* InsertItem(int k) const;

    // Set-up and unloading.
    void Form_Load();
    void Form_Unload();
    void Form_QueryUnload(bool& cancel);
    void Form_Resize();

    // Showing a sutra and committing edits. The pane's edit state lives in
    // the edit session; these handlers only add what is the window's own.
    void ShowSutra(int k);
    void CommitEdit() override;   // also the saver's first step
    EditSession& Session() { return *session_; }
    const EditSession& Session() const { return *session_; }

    // Lists, orders and sort.
    void SetListOrder(int order);
    void SetSortMode(int mode);
    void UpdateIndexCaption() override;
    void lstVykE_Click(int index);
    void lstVykEx_Click(int index);

    // Layout.
    void ArrangeControls();

    // View toggles and Insert commands; k is the section's row, 1 to 7.
    void ToggleSection(int k, bool clickedItemTicked);
    void InsertSection(int k);

    // Popup menus.
    void lstVykE_MouseDown(int index, int button, int shift, double x, double y);
    void lstVykEx_MouseDown(int index, int button, int shift, double x, double y);
    void rtbE_MouseDown(int index, int button, int shift, double x, double y);
    void ShowPopupMenu(const TwipsPlacement& control, double x, double y, int submenu);

    // Edit mode and the special-glyph keyboard.
    void rtbE_KeyDown(int index, int& keyCode, int shift);
    void rtbE_KeyPress(int index, int keyAscii);

    // Menu commands.
    void mAbout_Click();
    void mExit_Click();
    void mnuTools_Click();
    void mnuToolsUndo_Click();
    void mnuToolsEdit_Click();
    void mnuToolsSave_Click();
    void mnuToolsConvert_Click();

    // The save panel.
    void cbOk_Click();
    void cbCancel_Click();
    void cbTerm_Click();

    // LoaderHost: the loader fills the lists through these.
    void ListClear(SutraList list) override;
    void ListAddItem(SutraList list, const std::string& text, int record) override;
    int ListCount(SutraList list) const override;
    std::string ListItem(SutraList list, int index) const override;
    void ListSetIndex(SutraList list, int index) override;
    void DoEvents() override;
    void SetHourglass(bool on) override;
    void ShowUnknownFileFormat(const MessageText& message) override;

    // SaverHost (CommitEdit, DoEvents and SetHourglass serve both hosts).
    bool AskTerminate(const MessageText& message) override;
    void ReportSaveError(const MessageText& message) override;
    bool AskReplace(const MessageText& question) override;
    void SaveCompleted() override;
    void SaveTerminated() override;

    // Controls, named as the program's design names them (objectName too:
    // "lstVykE_0" for element 0 of an array).
    QWidget* picSutra = nullptr;
    Frame* frIndex = nullptr;
    Label* lblIndex = nullptr;
    Frame* frDetail = nullptr;
    std::array<Label*, 2> lblkaumudi{};
    Label* lblRef = nullptr;
    std::array<ListControl*, 3> lstVykE{};
    std::array<ListControl*, 3> lstVykEy{};
    std::array<ListControl*, 1> lstVykEx{};
    std::array<ListControl*, 3> lstVykD{};
    std::array<ListControl*, 1> lstVykDx{};
    Frame* frPanel = nullptr;
    std::array<Image*, 2> imgPnl{};
    Frame* frStore = nullptr;
    QPushButton* cbTerm = nullptr;
    QPushButton* cbOk = nullptr;
    QPushButton* cbCancel = nullptr;
    Label* lblStatus = nullptr;
    std::array<RichTextPane*, 1> rtbE{};
    std::array<RichTextPane*, 1> rtbD{};
    std::array<LineControl*, 2> lnG{};
    std::array<LineControl*, 2> lnW{};
    std::array<Image*, 3> imgDum{};
    Image* imgMainPg = nullptr;

    // Menus and items.
    QMenu* mFle = nullptr;
    QAction* mnuFileAstadhyayi = nullptr;
    QAction* mnuFileSKaumudi = nullptr;
    QAction* mnuFileLKaumudi = nullptr;
    QAction* mExit = nullptr;
    QMenu* mView = nullptr;
    QAction* mSutra = nullptr;
    QAction* mSandhi = nullptr;
    QAction* mVartika = nullptr;
    QAction* mVritti = nullptr;
    QAction* mAnuvritti = nullptr;
    QAction* mTranslation = nullptr;
    QAction* mExplanation = nullptr;
    QMenu* mViewSort = nullptr;
    QAction* mViewSortNumerical = nullptr;
    QAction* mViewSortAlphabetical = nullptr;
    QMenu* mnuSearch = nullptr;
    QAction* mnuSearchSutra = nullptr;
    QAction* mnuSearchVartika = nullptr;
    QAction* mnuSearchVritti = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mHelpHow = nullptr;
    QAction* mAbout = nullptr;
    QMenu* mnuTools = nullptr;
    QAction* mnuToolsUndo = nullptr;
    QAction* mnuToolsEdit = nullptr;
    QAction* mnuInsertSutra = nullptr;
    QAction* mnuInsertSandhi = nullptr;
    QAction* mnuInsertVartika = nullptr;
    QAction* mnuInsertVritti = nullptr;
    QAction* mnuInsertAnuVritti = nullptr;
    QAction* mnuInsertTranslation = nullptr;
    QAction* mnuInsertExplanation = nullptr;
    QAction* mnuToolsSave = nullptr;
    QAction* mnuToolsConvert = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void createMenus();
    void connectEvents();

    // True (and the command refused) while the loader or the saver runs.
    bool busy() const;

    // The list control behind a loader's list name.
    ListControl* list(SutraList which) const;
    // The record a Kaumudi or alphabetical entry's label leads to.
    int RecordOfLabel(std::string_view label) const;

    CorpusState& corpus_;
    WindowState& state_;
    DialogService& dialogs_;
    SutraWindowHooks hooks_;
    // The frame window takes the menu bar over and may delete it first.
    QPointer<QMenuBar> menuBar_;
    FrmPop* frmPop_ = nullptr;

    // Record number of each item of lstVykE(0), filled by the loader; and of
    // each item of the Kaumudi lists lstVykE(1), (2) and of lstVykEx(0), so
    // that a click shows the sutra of its entry even where an earlier label
    // begins with the entry's label (0 where the loader did not know it).
    std::vector<int> astadhyayiRecord_;
    std::array<std::vector<int>, 2> kaumudiRecord_;
    std::vector<int> alphabeticalRecord_;
    std::vector<int>* rowRecords(SutraList which);
    // Items the loader added that wait to go into their list control, so a
    // sorted list receives them in order (appended, not inserted one by one).
    // Reading a list, selecting in it or refreshing the caption hands them over.
    std::array<std::vector<std::pair<std::string, int>>, 7> pendingItems_;
    void flushPending(SutraList which);
    void flushAllPending();
    int entryRecord(const std::vector<int>& records, int row, std::string_view hiddenEntry) const;
    // Set while the loader selects the first entry: that click shows record 1
    // although the loading flag refuses the user's clicks.
    bool loaderSelecting_ = false;
    // When the loader last let window messages run.
    std::chrono::steady_clock::time_point lastEvents_{};

    // The pane's edit state: the record on screen as it was shown, its
    // section texts and hidden flags, and the change mark.
    std::unique_ptr<EditSession> session_;

    // --- Editing, popups, saving and the converter keep their members below. ---
    enum class SavePanelState { Hidden, Ready, Saving, Terminated };

    // Wires the editing, popup, save and converter commands (from connectEvents).
    void connectEditing();
    // A change of the user's in the pane: the next display of a sutra
    // commits it, and Save is offered.
    void markTextChanged();
    // Both View items of section k carry its shown state.
    void syncViewTicks(int k);
    void setSavePanel(SavePanelState state);
    // SaveSutraFile with the pane closed to typing while it runs.
    SaveOutcome saveCorpus();
    // Closes the data file and ends the program at once.
    void endProgram();

    // Opening a popup menu at a screen point and starting a program without
    // waiting for it; tests put stand-ins here so that no menu blocks them
    // and the converter's race with the time check is theirs to decide.
    std::function<void(QMenu* menu, int screenX, int screenY)> openPopup_;
    std::function<std::optional<std::string>(const std::string& program)> startProgram_;
    friend struct EditingTestAccess;
};

}  // namespace vyk
