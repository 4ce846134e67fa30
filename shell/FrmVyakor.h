#pragma once

#include <QMainWindow>

#include <functional>

class QLabel;

namespace vyk {

class FrmSutra;

// The frame window: a light grey client area holding the main child window,
// whose menu bar it shows. Closing it asks the child's close query first.
class FrmVyakor : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmVyakor(QWidget* parent = nullptr);

    // Makes frmSutra the one child, filling the client area, and shows its
    // menu bar as the frame's own. The frame takes ownership.
    void AdoptChild(FrmSutra* child);

    // Closes all files and ends the program; runs when the frame unloads.
    std::function<void()> MDIForm_Unload;

    // Hidden probe for the display faces; never shown.
    QWidget* pbDummy = nullptr;
    QLabel* lblFont = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();

    FrmSutra* child_ = nullptr;
};

}  // namespace vyk
