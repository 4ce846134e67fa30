#include "window/FrmPop.h"

#include <QAction>
#include <QMenu>

#include "platform/Latin1.h"
#include "window/FrmSutra.h"
#include "window/MenuItems.h"
#include "window/SectionTable.h"

namespace vyk {

namespace {

struct PopupMenuRow {
    QMenu* FrmPop::*menu;
    std::string_view name;
    std::string_view title;
};

constexpr PopupMenuRow PopupMenus[] = {
    {&FrmPop::mSort, "mSort", "Sort-File"},
    {&FrmPop::mView, "mView", "View"},
};

struct PopupItemRow {
    QMenu* FrmPop::*menu;
    QAction* FrmPop::*item;
    MenuItemDesign design;
};

constexpr PopupItemRow PopupItems[] = {
    {&FrmPop::mSort, &FrmPop::mFileAstadhyayi, {"mFileAstadhyayi", "&Astadhyayi", "", true, true}},
    {&FrmPop::mSort, &FrmPop::mFileSKaumudi, {"mFileSKaumudi", "&Siddhanta Kaumudi", "", true, false}},
    {&FrmPop::mSort, &FrmPop::mFileLKaumudi, {"mFileLKaumudi", "&Laghu Kaumudi", "", true, false}},
    {&FrmPop::mSort, &FrmPop::null1, {"null1", "-", "", false, false}},
    {&FrmPop::mSort, &FrmPop::mSortNumerical, {"mSortNumerical", "Sort &Numerically", "", true, true}},
    {&FrmPop::mSort, &FrmPop::mSortAlphabetical, {"mSortAlphabetical", "Sort A&lphabetically", "", true, false}},
};

// The View items in section order.
constexpr QAction* FrmPop::*ViewItems[] = {
    &FrmPop::mViewSutra,       &FrmPop::mViewSandhi,      &FrmPop::mViewVartika,     &FrmPop::mViewVritti,
    &FrmPop::mViewAnuVritti,   &FrmPop::mViewTranslation, &FrmPop::mViewExplanation,
};

// The order items in ListOrder order, the sort items in SortMode order.
constexpr QAction* FrmPop::*OrderItems[] = {&FrmPop::mFileAstadhyayi, &FrmPop::mFileSKaumudi, &FrmPop::mFileLKaumudi};
constexpr QAction* FrmPop::*SortItems[] = {&FrmPop::mSortNumerical, &FrmPop::mSortAlphabetical};

}  // namespace

FrmPop::FrmPop(FrmSutra& owner) : QWidget(nullptr), owner_(owner) {
    setObjectName("frmPop");
    createMenus();
    connectEvents();
}

FrmPop::~FrmPop() = default;

void FrmPop::createMenus() {
    for (const PopupMenuRow& row : PopupMenus) {
        QMenu* menu = new QMenu(Latin1(row.title), this);
        menu->setObjectName(Latin1(row.name));
        this->*row.menu = menu;
    }
    for (const PopupItemRow& row : PopupItems) this->*row.item = AddMenuItem(this->*row.menu, row.design);
    for (const SectionRow& section : SectionTable)
        this->*ViewItems[section.k - 1] =
            AddMenuItem(mView, {section.popupViewItem, section.popupViewCaption, "", true, true});
}

void FrmPop::connectEvents() {
    for (int order = 0; order < 3; ++order) {
        connect(this->*OrderItems[order], &QAction::triggered, this, [this, order] { owner_.SetListOrder(order); });
    }
    for (int mode = 0; mode < 2; ++mode) {
        connect(this->*SortItems[mode], &QAction::triggered, this, [this, mode] { owner_.SetSortMode(mode); });
    }
    for (int k = 1; k <= SectionCount; ++k) {
        QAction* item = ViewItem(k);
        connect(item, &QAction::triggered, this, [this, k, item] { owner_.ToggleSection(k, item->isChecked()); });
    }
}

QMenu* FrmPop::SubMenu(int popupSubMenu) const {
    if (popupSubMenu == SortFilePopup) return mSort;
    if (popupSubMenu == ViewPopup) return mView;
    return nullptr;
}

QAction* FrmPop::ViewItem(int k) const {
    if (!IsSectionNumber(k)) return nullptr;
    return this->*ViewItems[k - 1];
}

}  // namespace vyk
