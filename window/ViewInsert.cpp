// The View toggles of both menus and the Insert commands of the Tools menu.

#include <QAction>

#include "window/FrmPop.h"
#include "window/FrmSutra.h"
#include "window/SectionTable.h"

namespace vyk {

namespace {

bool IsSection(int k) { return k >= 1 && k <= static_cast<int>(SectionTable.size()); }

}  // namespace

// Both menus' items of a section carry one tick, whichever of them is clicked.
void FrmSutra::ToggleSection(int k, bool clickedItemTicked) {
    if (busy() || !IsSection(k)) return;
    const bool hide = clickedItemTicked;
    ViewItem(k)->setChecked(!hide);
    frmPop_->ViewItem(k)->setChecked(!hide);
    session_->SetSectionHidden(k, hide);
}

// Insert may show a hidden section that holds text, rather than empty it.
void FrmSutra::InsertSection(int k) {
    if (busy() || !IsSection(k)) return;
    session_->InsertSection(k);
    syncViewTicks(k);
}

void FrmSutra::syncViewTicks(int k) {
    const bool shown = !(session_->Sections().*SectionRowOf(k).hidden);
    ViewItem(k)->setChecked(shown);
    frmPop_->ViewItem(k)->setChecked(shown);
}

}  // namespace vyk
