#pragma once

#include <QDialog>

#include <array>
#include <string_view>

class QFrame;
class QLabel;
class QPushButton;

namespace vyk {

class DialogService;
struct ShellPaths;

inline constexpr std::string_view AboutCaption = "About Vyakorsutravali";
// "Vyākorsūtrāvalī" in the glyph bytes of the Roman display face.
inline constexpr std::string_view AboutTitleGlyphs = "Vy\xE0kors\xE2tr\xE0val\xE1";

// The About box: title, version and maker lines, and the System Info button.
// OK only hides it, so the set-up runs once per process.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    FrmAbout(const ShellPaths& paths, DialogService& dialogs, QWidget* parent = nullptr);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void picIcon_Click() {}

    // How many times the set-up ran; a second showing must not run it again.
    int FormLoadCount() const { return formLoadCount_; }

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopy = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDesc = nullptr;
    QLabel* lbl0 = nullptr;
    QLabel* lbl1 = nullptr;
    std::array<QFrame*, 2> Line1{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

private:
    void createControls();
    void connectEvents();

    const ShellPaths& paths_;
    DialogService& dialogs_;
    int formLoadCount_ = 0;
};

}  // namespace vyk
