#include "shell/FrmVyakor.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPalette>
#include <QScreen>

#include "window/FrmSutra.h"

namespace vyk {

FrmVyakor::FrmVyakor(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmVyakor");
    createControls();
}

void FrmVyakor::createControls() {
    setWindowIcon(QIcon(":/pictures/app.png"));
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(grey);
    setAutoFillBackground(true);
    // Most of the screen: the three columns want room.
    QSize size(800, 600);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.expandedTo(screen->availableGeometry().size() * 0.9);
    }
    resize(size);

    pbDummy = new QWidget(this);
    pbDummy->setObjectName("pbDummy");
    pbDummy->hide();
    lblFont = new QLabel(pbDummy);
    lblFont->setObjectName("lblFont");
}

void FrmVyakor::AdoptChild(FrmSutra* child) {
    child_ = child;
    setCentralWidget(child);
    setMenuBar(child->MenuBar());
}

void FrmVyakor::closeEvent(QCloseEvent* event) {
    if (child_ != nullptr && isVisible()) {
        bool cancel = false;
        child_->Form_QueryUnload(cancel);
        if (cancel) {
            event->ignore();
            return;
        }
        child_->Form_Unload();
    }
    event->accept();
    if (MDIForm_Unload) MDIForm_Unload();
}

}  // namespace vyk
