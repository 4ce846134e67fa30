#include "shell/FrmAbout.h"

#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Latin1.h"
#include "shell/Fonts.h"
#include "shell/SystemInfo.h"
#include "shell/Version.h"

namespace vyk {

namespace {


QLabel* MakeLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

QFrame* MakeLine(QWidget* parent, const char* name, QColor color) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, color);
    line->setPalette(palette);
    return line;
}

// The maker's fixed lines.
constexpr std::string_view MakerIntro = "Designed and developed by";
constexpr std::string_view MakerName = "Talvorek";
constexpr std::string_view MakerAddress = "Sanskrit text studio\nReaders and tools for the grammar";
constexpr std::string_view ProductNote =
    "A reader for the sutras of the Astadhyayi,\nin its own order and in the orders of the\n"
    "Siddhanta Kaumudi and the Laghu Kaumudi.";
constexpr std::string_view Disclaimer = "This program is provided as is, without warranty of any kind.";

}  // namespace

FrmAbout::FrmAbout(const ShellPaths& paths, DialogService& dialogs, QWidget* parent)
    : QDialog(parent), paths_(paths), dialogs_(dialogs) {
    setObjectName("frmAbout");
    createControls();
    connectEvents();
}

void FrmAbout::createControls() {
    picIcon = MakeLabel(this, "picIcon");
    picIcon->setPixmap(QPixmap(":/pictures/app.png").scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picIcon->setFixedSize(56, 56);
    picIcon->setAlignment(Qt::AlignCenter);

    lblTitle = MakeLabel(this, "lblTitle");
    QFont titleFont(Latin1(RomanFace));
    titleFont.setPointSize(20);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    QPalette titlePalette = lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(125, 0, 0));
    lblTitle->setPalette(titlePalette);

    lblVersion = MakeLabel(this, "lblVersion");
    lblCopy = MakeLabel(this, "lblCopy");
    lblDescription = MakeLabel(this, "lblDescription");
    lblDesc = MakeLabel(this, "lblDesc");
    lblDesc->setWordWrap(true);
    lbl0 = MakeLabel(this, "lbl0");
    lbl1 = MakeLabel(this, "lbl1");
    QFont makerFont = lbl1->font();
    makerFont.setBold(true);
    lbl1->setFont(makerFont);
    lblDisclaimer = MakeLabel(this, "lblDisclaimer");
    lblDisclaimer->setWordWrap(true);
    QFont smallFont = lblDisclaimer->font();
    smallFont.setPointSizeF(smallFont.pointSizeF() * 0.85);
    lblDisclaimer->setFont(smallFont);

    Line1[0] = MakeLine(this, "Line1_0", QColor(128, 128, 128));
    Line1[1] = MakeLine(this, "Line1_1", QColor(255, 255, 255));

    cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton("&System Info...", this);
    cmdSysInfo->setObjectName("cmdSysInfo");

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addSpacing(8);
    text->addWidget(lblDesc);
    text->addSpacing(8);
    text->addWidget(lbl0);
    text->addWidget(lbl1);
    text->addWidget(lblDescription);
    text->addWidget(lblCopy);
    text->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(text, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1, Qt::AlignTop);
    bottom->addSpacing(12);
    bottom->addLayout(buttons);

    auto* whole = new QVBoxLayout(this);
    whole->addLayout(top);
    whole->addSpacing(6);
    whole->addWidget(Line1[0]);
    whole->addWidget(Line1[1]);
    whole->setSpacing(0);
    whole->addSpacing(8);
    whole->addLayout(bottom);
    whole->setContentsMargins(14, 14, 14, 14);
    text->setSpacing(2);
    buttons->setSpacing(6);
    setFixedWidth(470);
}

void FrmAbout::connectEvents() {
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
}

void FrmAbout::Form_Load() {
    ++formLoadCount_;
    setWindowTitle(Latin1(AboutCaption));
    lblVersion->setText(QString("Version %1.%2 Jan, 2000.").arg(VersionMajor).arg(VersionMinor));
    lblTitle->setText(Latin1(AboutTitleGlyphs));
    lblCopy->setText(Latin1(CopyrightNotice()));
    lblDisclaimer->setText(Latin1(Disclaimer));
    lblDescription->setText(Latin1(MakerAddress));
    lblDesc->setText(Latin1(ProductNote));
    lbl0->setText(Latin1(MakerIntro));
    lbl1->setText(Latin1(MakerName));
}

void FrmAbout::cmdOK_Click() { done(QDialog::Accepted); }

void FrmAbout::cmdSysInfo_Click() { ShowSystemInfo(paths_, dialogs_); }

}  // namespace vyk
