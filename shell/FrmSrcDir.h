#pragma once

#include <QDialog>

#include <array>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vyk {

class DialogService;
struct CorpusState;
struct ShellState;

inline constexpr std::string_view DriveNotReadyText = "Drive not ready.";
inline constexpr std::string_view ApplicationErrorText = "Application error.";
inline constexpr std::string_view NoVyakorFileText = "No Vyakor File Found in ";

// The folder chooser: a drive list, a folder list and a path box. It accepts
// only a folder that holds the data file. Ok and Cancel only hide it, so the
// next showing finds the lists as they were left; its close box unloads it.
class FrmSrcDir : public QDialog {
    Q_OBJECT
public:
    FrmSrcDir(CorpusState& corpus, ShellState& shell, DialogService& dialogs, QWidget* parent = nullptr);

    std::array<QLabel*, 4> lbl{};
    QComboBox* coUrl = nullptr;
    QComboBox* srcDrive = nullptr;
    QListWidget* srcDir = nullptr;
    QLineEdit* tbsrcPath = nullptr;
    QPushButton* cbOk = nullptr;
    QPushButton* cbCancel = nullptr;

    // The drive list: volume roots. Drive() is the chosen one's root.
    std::string Drive() const;
    // Chooses the drive whose root is `root` (as a user's choice would).
    bool SetDrive(const std::string& root);

    // The folder list. Its entries are the open folder's ancestors from the
    // root, the open folder itself, then its subfolders; each entry is a full
    // path. Setting the path refills the list, highlights the open folder and
    // fires srcDir_Change; it fails (nothing changes) for a folder that
    // cannot be listed.
    std::string DirPath() const { return dirPath_; }
    bool SetDirPath(const std::string& path);
    int DirListCount() const;
    std::string DirList(int index) const;  // "" outside the list
    int DirListIndex() const;              // the highlighted entry
    void SetDirListIndex(int index);       // highlights it, as a click does

    // True once the close box unloaded the chooser.
    bool Unloaded() const { return unloaded_; }

    void srcDrive_Change();
    void srcDir_Change();
    void srcDir_Click();
    void srcDir_KeyPress(int keyAscii);
    void cbOk_Click();
    void cbCancel_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void connectEvents();
    void fillDrives();
    bool listFolder(const std::string& path);
    void showDriveOf(const std::string& path);

    CorpusState& corpus_;
    ShellState& shell_;
    DialogService& dialogs_;
    std::string dirPath_;
    bool unloaded_ = false;
};

}  // namespace vyk
