// The View toggles of both menus and the Insert commands of the Tools menu.

#include <QAction>

#include "platform/RichTextPane.h"
#include "window/FrmPop.h"
#include "window/FrmSutra.h"
#include "window/SectionTable.h"
#include "window/ViewInsert.h"

namespace vyk {

namespace {

constexpr std::string_view LineEnd = "\r\n";

bool IsSection(int k) { return k >= 1 && k <= static_cast<int>(SectionTable.size()); }

}  // namespace

int FindHeadLine(std::string_view text, std::string_view head) {
    if (head.empty()) return 0;
    for (std::size_t at = text.find(head); at != std::string_view::npos; at = text.find(head, at + 1)) {
        const bool startsLine = at == 0 || text.substr(0, at).ends_with(LineEnd);
        const bool endsLine = text.substr(at + head.size()).starts_with(LineEnd);
        if (startsLine && endsLine) return static_cast<int>(at) + 1;
    }
    return 0;
}

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

    state_.gField[k] = std::string(LineEnd);
    RenderSections();

    // At the start of the first empty line of the new section. With the head
    // not on show the offset counts from the start of the text; a position
    // past the end puts the caret at the end.
    const int p = FindHeadLine(rtbE[0]->Text(), row.SectionHead);
    rtbE[0]->SetSelStart(p + row.caretOffset);
    rtbE[0]->SetFocus();
}

}  // namespace vyk
