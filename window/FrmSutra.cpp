#include "window/FrmSutra.h"

#include <QAction>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/Latin1.h"
#include "platform/LineControl.h"
#include "platform/ListControl.h"
#include "platform/RichTextPane.h"
#include "window/FrmPop.h"
#include "window/MenuItems.h"
#include "window/SectionTable.h"

namespace vyk {

namespace {

// ---- Design values -------------------------------------------------------

const QColor LabelColour(128, 0, 0);
const QColor ListBackground(192, 192, 192);
const QColor BoxGrey(128, 128, 128);
const QColor BoxWhite(255, 255, 255);

// The design font of the labels is "MS Sans Serif" 9.75 points, which Linux
// does not have: the system's sans-serif face at the same size stands in.
constexpr double LabelPoints = 9.75;

// Height of the two frames above the lists and the pane; the lists start
// right below them.
constexpr double FrameHeight = 495;

// Picture resources of the window.
constexpr std::string_view TitlePicture = ":/pictures/title.png";
constexpr std::string_view PanelPicture = ":/pictures/panel.png";
constexpr std::string_view SidePictures[3] = {":/pictures/side_astadhyayi.png", ":/pictures/side_siddhanta.png",
                                              ":/pictures/side_laghu.png"};
constexpr std::string_view TerminatePicture = ":/pictures/terminate.png";
constexpr std::string_view TerminateDownPicture = ":/pictures/terminate_down.png";

QPixmap Picture(std::string_view path) { return QPixmap(Latin1(path)); }

// ---- Menus ---------------------------------------------------------------

struct MenuRow {
    QMenu* FrmSutra::*menu;
    std::string_view name;
    std::string_view title;
};

// The menu bar, in this order.
constexpr MenuRow Menus[] = {
    {&FrmSutra::mFle, "mFle", "&File"},
    {&FrmSutra::mView, "mView", "&View"},
    {&FrmSutra::mViewSort, "mViewSort", "S&ort"},
    {&FrmSutra::mnuSearch, "mnuSearch", "&Search"},
    {&FrmSutra::mnuHelp, "mnuHelp", "&Help"},
    {&FrmSutra::mnuTools, "mnuTools", "&Tools"},
};

// Where a menu takes the seven section items, as the section table names them.
enum class SectionItems { None, View, Insert };

struct MenuItemRow {
    QMenu* FrmSutra::*menu;
    QAction* FrmSutra::*item;  // nullptr for a separator
    MenuItemDesign design;
    SectionItems sections = SectionItems::None;
};

constexpr MenuItemRow MenuItemRows[] = {
    {&FrmSutra::mFle, &FrmSutra::mnuFileAstadhyayi, {"mnuFileAstadhyayi", "&Astadhyayi", "", true, true}},
    {&FrmSutra::mFle, &FrmSutra::mnuFileSKaumudi, {"mnuFileSKaumudi", "&Siddhanta Kaumudi", "", true, false}},
    {&FrmSutra::mFle, &FrmSutra::mnuFileLKaumudi, {"mnuFileLKaumudi", "&Laghu Kaumudi", "", true, false}},
    {&FrmSutra::mFle, nullptr, {"nullF1", "-", "", false, false}},
    {&FrmSutra::mFle, &FrmSutra::mExit, {"mExit", "&Exit", "Ctrl+X", false, false}},
    {&FrmSutra::mView, nullptr, {}, SectionItems::View},
    {&FrmSutra::mViewSort, &FrmSutra::mViewSortNumerical, {"mViewSortNumerical", "&Numerically", "", true, true}},
    {&FrmSutra::mViewSort, &FrmSutra::mViewSortAlphabetical, {"mViewSortAlphabetical", "&Alphabetically", "", true, false}},
    {&FrmSutra::mnuSearch, &FrmSutra::mnuSearchSutra, {"mnuSearchSutra", "&Sutra", "", false, false}},
    {&FrmSutra::mnuSearch, &FrmSutra::mnuSearchVartika, {"mnuSearchVartika", "&Vartika", "", false, false}},
    {&FrmSutra::mnuSearch, &FrmSutra::mnuSearchVritti, {"mnuSearchVritti", "V&ritti", "", false, false}},
    {&FrmSutra::mnuHelp, &FrmSutra::mHelpHow, {"mHelpHow", "&How to use", "", false, false}},
    {&FrmSutra::mnuHelp, nullptr, {"nullh1", "-", "", false, false}},
    {&FrmSutra::mnuHelp, &FrmSutra::mAbout, {"mAbout", "&About", "", false, false}},
    {&FrmSutra::mnuTools, &FrmSutra::mnuToolsUndo, {"mnuToolsUndo", "&Undo", "Ctrl+Z", false, false}},
    {&FrmSutra::mnuTools, nullptr, {"nullt1", "-", "", false, false}},
    {&FrmSutra::mnuTools, &FrmSutra::mnuToolsEdit, {"mnuToolsEdit", "&Edit", "", true, false}},
    {&FrmSutra::mnuTools, nullptr, {"null2", "-", "", false, false}},
    {&FrmSutra::mnuTools, nullptr, {}, SectionItems::Insert},
    {&FrmSutra::mnuTools, nullptr, {"nullt3", "-", "", false, false}},
    {&FrmSutra::mnuTools, &FrmSutra::mnuToolsSave, {"mnuToolsSave", "&Save", "", false, false}},
    {&FrmSutra::mnuTools, &FrmSutra::mnuToolsConvert, {"mnuToolsConvert", "DBF to &VYK", "", false, false}},
};

// Section order: the View items and the Insert items of frmSutra.
constexpr QAction* FrmSutra::*ViewItems[] = {
    &FrmSutra::mSutra,      &FrmSutra::mSandhi,      &FrmSutra::mVartika,     &FrmSutra::mVritti,
    &FrmSutra::mAnuvritti,  &FrmSutra::mTranslation, &FrmSutra::mExplanation,
};
constexpr QAction* FrmSutra::*InsertItems[] = {
    &FrmSutra::mnuInsertSutra,     &FrmSutra::mnuInsertSandhi,      &FrmSutra::mnuInsertVartika,
    &FrmSutra::mnuInsertVritti,    &FrmSutra::mnuInsertAnuVritti,   &FrmSutra::mnuInsertTranslation,
    &FrmSutra::mnuInsertExplanation,
};

// ListOrder order and SortMode order.
constexpr QAction* FrmSutra::*OrderItems[] = {&FrmSutra::mnuFileAstadhyayi, &FrmSutra::mnuFileSKaumudi,
                                               &FrmSutra::mnuFileLKaumudi};
constexpr QAction* FrmSutra::*SortItems[] = {&FrmSutra::mViewSortNumerical, &FrmSutra::mViewSortAlphabetical};

template <typename Control>
void Name(Control* control, std::string_view name) {
    control->setObjectName(Latin1(name));
}

void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QFont LabelFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    // The face that really draws, so that the pane's font table (which takes
    // this label's face) names an installed face.
    font.setFamily(QFontInfo(font).family());
    font.setPointSizeF(LabelPoints);
    return font;
}

}  // namespace

FrmSutra::FrmSutra(CorpusState& corpus, WindowState& state, DialogService& dialogs, SutraWindowHooks hooks,
                   QWidget* parent)
    : QWidget(parent), corpus_(corpus), state_(state), dialogs_(dialogs), hooks_(std::move(hooks)) {
    setObjectName("frmSutra");
    createControls();
    createMenus();
    EditControls editControls;
    editControls.pane = rtbE[0];
    editControls.lblRef = lblRef;
    editControls.lblkaumudi = lblkaumudi;
    for (int k = 1; k <= SectionCount; ++k) editControls.insertItems[static_cast<std::size_t>(k - 1)] = InsertItem(k);
    session_ = std::make_unique<EditSession>(corpus_, editControls);
    frmPop_ = new FrmPop(*this);
    connectEvents();
    Form_Load();
}

FrmSutra::~FrmSutra() {
    delete frmPop_;
    // Unless the frame window has taken it over.
    if (menuBar_ && menuBar_->parent() == nullptr) delete menuBar_.data();
}

QAction* FrmSutra::ViewItem(int k) const {
    if (!IsSectionNumber(k)) return nullptr;
    return this->*ViewItems[k - 1];
}

QAction* FrmSutra::InsertItem(int k) const {
    if (!IsSectionNumber(k)) return nullptr;
    return this->*InsertItems[k - 1];
}

void FrmSutra::createControls() {
    const QFont labelFont = LabelFont();

    // The title picture lies beneath the container and shows while it is hidden.
    imgMainPg = new Image(this);
    Name(imgMainPg, "imgMainPg");
    imgMainPg->SetPicture(Picture(TitlePicture));
    imgMainPg->hide();

    picSutra = new QWidget(this);
    Name(picSutra, "picSutra");
    // A picture box paints its own background, hiding the title picture.
    picSutra->setAutoFillBackground(true);
    picSutra->hide();

    frIndex = new Frame(picSutra);
    Name(frIndex, "frIndex");
    frIndex->Placement().SetHeight(FrameHeight);
    frDetail = new Frame(picSutra);
    Name(frDetail, "frDetail");
    frDetail->Placement().SetHeight(FrameHeight);

    // The four labels above the lists and the pane: one font and colour, 120
    // twips down in their frame.
    const auto makeLabel = [&labelFont](QWidget* frame, std::string_view name, std::string_view caption,
                                        double width, Qt::Alignment alignment) {
        Label* label = new Label(std::string(caption), frame);
        Name(label, name);
        label->setFont(labelFont);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, LabelColour);
        label->setPalette(palette);
        label->setAlignment(alignment | Qt::AlignVCenter);
        label->Placement().Set(0, 120, width, 255);
        return label;
    };
    lblIndex = makeLabel(frIndex, "lblIndex", "In&dex", 3300, Qt::AlignHCenter);
    lblRef = makeLabel(frDetail, "lblRef", "Vyakor", 2700, Qt::AlignLeft);
    lblkaumudi[0] = makeLabel(frDetail, "lblkaumudi_0", "Siddhanta Kaumudi", 2700, Qt::AlignHCenter);
    lblkaumudi[1] = makeLabel(frDetail, "lblkaumudi_1", "Laghu Kaumudi", 2700, Qt::AlignRight);

    // The picture panel.
    frPanel = new Frame(picSutra);
    Name(frPanel, "frPanel");
    for (int i = 0; i < 2; ++i) {
        imgPnl[i] = new Image(frPanel);
        imgPnl[i]->setObjectName(QStringLiteral("imgPnl_%1").arg(i));
    }
    imgPnl[0]->SetPicture(Picture(PanelPicture));
    for (int i = 0; i < 3; ++i) {
        imgDum[i] = new Image(picSutra);
        imgDum[i]->setObjectName(QStringLiteral("imgDum_%1").arg(i));
        imgDum[i]->SetPicture(Picture(SidePictures[i]));
        imgDum[i]->hide();
    }

    // The lists share one rectangle. lstVykE(0) is made first so that the
    // order's own list lies in front of it when the layout shows both.
    auto makeList = [this](bool sorted, const char* name, int index) {
        ListControl* list = new ListControl(sorted, picSutra);
        list->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index));
        SetBackground(list, ListBackground);
        list->hide();
        return list;
    };
    for (int i = 0; i < 3; ++i) lstVykE[i] = makeList(false, "lstVykE", i);
    lstVykEx[0] = makeList(false, "lstVykEx", 0);
    for (int i = 0; i < 3; ++i) lstVykEy[i] = makeList(true, "lstVykEy", i);
    for (int i = 0; i < 3; ++i) lstVykD[i] = makeList(false, "lstVykD", i);
    lstVykDx[0] = makeList(false, "lstVykDx", 0);
    lstVykE[0]->show();
    // The access key of the index caption goes to the list in view.
    lblIndex->setBuddy(lstVykE[0]);

    // The pane and its sunken box.
    rtbE[0] = new RichTextPane(picSutra);
    Name(rtbE[0], "rtbE_0");
    SetBackground(rtbE[0], ListBackground);
    rtbE[0]->hide();
    rtbD[0] = new RichTextPane(picSutra);
    Name(rtbD[0], "rtbD_0");
    rtbD[0]->hide();
    for (int i = 0; i < 2; ++i) {
        lnG[i] = new LineControl(BoxGrey, picSutra);
        lnG[i]->setObjectName(QStringLiteral("lnG_%1").arg(i));
        lnW[i] = new LineControl(BoxWhite, picSutra);
        lnW[i]->setObjectName(QStringLiteral("lnW_%1").arg(i));
    }

    // The save panel lies over the pane when it shows.
    frStore = new Frame(picSutra);
    Name(frStore, "frStore");
    frStore->Placement().Set(0, 0, 2715, 915);
    frStore->setAutoFillBackground(true);
    frStore->hide();
    cbTerm = new QPushButton(frStore);
    Name(cbTerm, "cbTerm");
    const QIcon terminateUp(Picture(TerminatePicture));
    const QIcon terminateDown(Picture(TerminateDownPicture));
    cbTerm->setIcon(terminateUp);
    cbTerm->setIconSize(QSize(32, 32));
    connect(cbTerm, &QPushButton::pressed, cbTerm, [this, terminateDown] { cbTerm->setIcon(terminateDown); });
    connect(cbTerm, &QPushButton::released, cbTerm, [this, terminateUp] { cbTerm->setIcon(terminateUp); });
    cbTerm->setGeometry(TwipsToPixels(120), TwipsToPixels(240), TwipsToPixels(615), TwipsToPixels(555));
    cbTerm->hide();
    cbOk = new QPushButton(QStringLiteral("&Save"), frStore);
    Name(cbOk, "cbOk");
    cbOk->setGeometry(TwipsToPixels(240), TwipsToPixels(300), TwipsToPixels(795), TwipsToPixels(375));
    cbOk->setDefault(true);
    cbCancel = new QPushButton(QStringLiteral("&Cancel"), frStore);
    Name(cbCancel, "cbCancel");
    cbCancel->setGeometry(TwipsToPixels(1560), TwipsToPixels(300), TwipsToPixels(795), TwipsToPixels(375));
    // The window's default and cancel buttons: Enter and Esc anywhere in the
    // window while the panel shows them.
    for (const auto& [button, keys] : {std::pair{cbOk, QList<QKeySequence>{Qt::Key_Return, Qt::Key_Enter}},
                                       std::pair{cbCancel, QList<QKeySequence>{Qt::Key_Escape}}}) {
        for (const QKeySequence& key : keys) {
            auto* shortcut = new QShortcut(key, button);
            shortcut->setContext(Qt::WindowShortcut);
            connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
        }
    }
    lblStatus = new Label("Saving... Please Wait...", frStore);
    Name(lblStatus, "lblStatus");
    lblStatus->Placement().Set(840, 420, 1755, 255);
    // The design width holds the text in the design face; the face Linux
    // draws it in is wider. The label then grows just enough to show it
    // whole, and the panel with it, keeping its margin to the right.
    const double statusText = PixelsToTwips(lblStatus->fontMetrics().horizontalAdvance(lblStatus->text()));
    if (statusText > lblStatus->Placement().Width()) {
        const TwipsPlacement& status = lblStatus->Placement();
        const double margin = frStore->Placement().Width() - (status.Left() + status.Width());
        lblStatus->Placement().SetWidth(statusText);
        frStore->Placement().SetWidth(status.Left() + statusText + margin);
    }
}

void FrmSutra::createMenus() {
    menuBar_ = new QMenuBar();
    menuBar_->setObjectName("menuBar");
    for (const MenuRow& row : Menus) {
        QMenu* menu = menuBar_->addMenu(Latin1(row.title));
        menu->setObjectName(Latin1(row.name));
        this->*row.menu = menu;
    }
    for (const MenuItemRow& row : MenuItemRows) {
        QMenu* menu = this->*row.menu;
        switch (row.sections) {
        case SectionItems::View:
            for (const SectionRow& section : SectionTable)
                this->*ViewItems[section.k - 1] =
                    AddMenuItem(menu, {section.viewItem, section.viewCaption, "", true, true});
            break;
        case SectionItems::Insert:
            for (const SectionRow& section : SectionTable)
                this->*InsertItems[section.k - 1] =
                    AddMenuItem(menu, {section.insertItem, section.insertCaption, "", false, false});
            break;
        case SectionItems::None:
            QAction* item = AddMenuItem(menu, row.design);
            if (row.item != nullptr) this->*row.item = item;
            break;
        }
    }
}

void FrmSutra::connectEvents() {
    for (int i = 0; i < 3; ++i) lstVykE[i]->Click = [this, i] { lstVykE_Click(i); };
    lstVykEx[0]->Click = [this] { lstVykEx_Click(0); };

    for (int order = 0; order < 3; ++order)
        connect(this->*OrderItems[order], &QAction::triggered, this, [this, order] { SetListOrder(order); });
    for (int mode = 0; mode < 2; ++mode)
        connect(this->*SortItems[mode], &QAction::triggered, this, [this, mode] { SetSortMode(mode); });
    for (int k = 1; k <= SectionCount; ++k) {
        QAction* item = ViewItem(k);
        connect(item, &QAction::triggered, this, [this, k, item] { ToggleSection(k, item->isChecked()); });
    }

    connect(mExit, &QAction::triggered, this, &FrmSutra::mExit_Click);
    connect(mAbout, &QAction::triggered, this, &FrmSutra::mAbout_Click);
    connect(mnuTools, &QMenu::aboutToShow, this, &FrmSutra::mnuTools_Click);
    connect(mnuToolsUndo, &QAction::triggered, this, &FrmSutra::mnuToolsUndo_Click);
    connectEditing();
}

void FrmSutra::Form_Load() {
    lstVykE[0]->hide();
    lstVykE[0]->Clear();
    lstVykEx[0]->Clear();

    setTabOrder(lstVykE[0], lstVykE[1]);
    setTabOrder(lstVykE[1], lstVykE[2]);
    lstVykE[1]->hide();
    lstVykE[2]->hide();
    lstVykEy[1]->hide();
    lstVykEy[2]->hide();

    if (state_.gRomanFontOk) {
        for (ListControl* list : {lstVykE[0], lstVykE[1], lstVykE[2], lstVykEx[0]})
            list->SetFont(std::string(RomanFace), state_.gRomanFontSize);
    }

    lstVykD[0]->hide();
    lstVykD[0]->Clear();
    lstVykDx[0]->Clear();
    lstVykD[1]->hide();
    lstVykD[2]->hide();

    session_->ClearPane();
    rtbD[0]->hide();

    for (int i = 0; i < 2; ++i) {
        lnG[i]->hide();
        lnW[i]->hide();
    }

    mnuToolsSave->setEnabled(false);
}

void FrmSutra::Form_Unload() { state_.gClosing = true; }

void FrmSutra::ShowSutra(int k) {
    session_->ShowSutra(k);
    if (!IsRecordNumber(k)) return;

    // The list in view takes the focus: the four are shown one at a time.
    for (ListControl* list : lstVykE) {
        if (list->Visible()) {
            list->SetFocus();
            break;
        }
    }
    if (lstVykEx[0]->Visible()) lstVykEx[0]->SetFocus();
}

void FrmSutra::CommitEdit() { session_->CommitEdit(); }

void FrmSutra::mnuTools_Click() {
    if (busy() || !IsRecordNumber(session_->CurSutra())) return;
    mnuToolsUndo->setEnabled(HasEdit(corpus_, session_->CurSutra()));
}

void FrmSutra::mnuToolsUndo_Click() {
    if (busy()) return;
    session_->Undo();
}

void FrmSutra::mAbout_Click() {
    if (busy()) return;
    if (hooks_.ShowAbout) hooks_.ShowAbout();
}

// Ends the program, asking first, as closing the window does, when changes
// are not saved yet: Yes saves and ends, No ends, Cancel stays.
void FrmSutra::mExit_Click() {
    if (busy()) return;
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (!cancel && !state_.gClosing) endProgram();
}

}  // namespace vyk
