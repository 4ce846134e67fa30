// The View toggles of both menus and the Insert commands of the Tools menu.

#include <QAction>

#include "platform/RichTextPane.h"
#include "window/Commit.h"
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
    state_.*SectionRowOf(k).hidden = hide;

    RenderSections();
}

void FrmSutra::InsertSection(int k) {
    if (busy() || !IsSection(k)) return;
    const SectionRow& row = SectionRowOf(k);

    state_.gField[k] = "\r\n";
    RenderSections();

    // At the start of the first empty line of the new section. The head
    // counts only as a whole line, as the commit finds it, so a text line or
    // "AnuVritti" never catches the caret meant for "Vritti". With the head
    // not on show (p = 0) the offset counts from the start of the text; a
    // position past the end puts the caret at the end.
    const std::size_t at = FindHeadLineFrom(rtbE[0]->Text(), row.SectionHead, 0);
    const int p = at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
    rtbE[0]->SetSelStart(p + row.caretOffset);
    rtbE[0]->SetFocus();
}

}  // namespace vyk
