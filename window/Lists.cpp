// The sutra lists: their orders and sort, the choice of a sutra in them, and
// the loader's way into them.

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "corpus/CorpusState.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/ListControl.h"
#include "platform/Services.h"
#include "window/FrmPop.h"
#include "window/FrmSutra.h"

namespace vyk {

namespace {

constexpr std::string_view IndexCaptionSuffix = "  [In&dex]";

// The loader lets window messages run after every index entry; running them
// that often would cost more than reading the records, so they run at most
// this often, which keeps the window answering during a load.
constexpr std::chrono::milliseconds LoaderEventInterval{10};

// The label of a hidden-list entry: what follows its first byte 160, or the
// whole entry when it has none.
std::string_view HiddenEntryLabel(std::string_view entry) {
    const std::size_t mark = entry.find(ListLabelMark);
    return mark == std::string_view::npos ? entry : entry.substr(mark + 1);
}

}  // namespace

bool FrmSutra::busy() const { return corpus_.gLoading || corpus_.gSaving; }

// ---- Orders and sort -----------------------------------------------------

void FrmSutra::SetListOrder(int order) {
    if (busy()) return;
    if (order >= 0 && order <= 2) {
        QAction* const fileItems[3] = {mnuFileAstadhyayi, mnuFileSKaumudi, mnuFileLKaumudi};
        for (int i = 0; i < 3; ++i) fileItems[i]->setChecked(i == order);

        ListControl* shown = nullptr;
        if (order == 0) {
            shown = mViewSortNumerical->isChecked() ? lstVykE[0] : lstVykEx[0];
            shown->SetVisible(true);
            shown->SetFocus();
            lstVykE[1]->SetVisible(false);
            lstVykE[2]->SetVisible(false);
        } else {
            shown = lstVykE[static_cast<std::size_t>(order)];
            for (ListControl* list : {lstVykE[0], lstVykEx[0], lstVykE[1], lstVykE[2]}) {
                if (list != shown) list->SetVisible(false);
            }
            shown->SetVisible(true);
            shown->SetFocus();
        }
        lblIndex->setBuddy(shown);

        mViewSort->setEnabled(order == 0);
        imgPnl[1]->SetPicture(imgDum[static_cast<std::size_t>(order)]->Picture());

        FrmPop& pop = *frmPop_;
        QAction* const popupItems[3] = {pop.mFileAstadhyayi, pop.mFileSKaumudi, pop.mFileLKaumudi};
        for (int i = 0; i < 3; ++i) popupItems[i]->setChecked(i == order);
        pop.mSortNumerical->setEnabled(order == 0);
        pop.mSortAlphabetical->setEnabled(order == 0);
    }
    UpdateIndexCaption();
}

void FrmSutra::SetSortMode(int mode) {
    if (busy()) return;
    const bool alphabetical = mode == 1;
    mViewSortNumerical->setChecked(!alphabetical);
    mViewSortAlphabetical->setChecked(alphabetical);
    ListControl* shown = alphabetical ? lstVykEx[0] : lstVykE[0];
    ListControl* other = alphabetical ? lstVykE[0] : lstVykEx[0];
    shown->SetVisible(true);
    other->SetVisible(false);
    lblIndex->setBuddy(shown);
    frmPop_->mSortAlphabetical->setChecked(alphabetical);
    frmPop_->mSortNumerical->setChecked(!alphabetical);
}

void FrmSutra::UpdateIndexCaption() {
    flushAllPending();
    std::size_t order = 0;
    for (std::size_t i = 0; i < lstVykE.size(); ++i) {
        if (lstVykE[i]->Visible()) {
            order = i;
            break;
        }
    }
    lblIndex->SetCaption(state_.gOrderName[order] + std::string(IndexCaptionSuffix));
}

// ---- Choosing a sutra ----------------------------------------------------

void FrmSutra::lstVykE_Click(int index) {
    if (busy() && !loaderSelecting_) return;
    if (index == 0) {
        const int i = lstVykE[0]->ListIndex();
        // The loader says which record each row holds: a record without text
        // takes no row, and the rows after it still show their own records.
        if (i < 0 || i >= static_cast<int>(astadhyayiRecord_.size())) return;
        ShowSutra(astadhyayiRecord_[static_cast<std::size_t>(i)]);
        return;
    }
    if (index != 1 && index != 2) return;

    const auto order = static_cast<std::size_t>(index);
    const int i = lstVykE[order]->ListIndex();
    if (i < 0) return;
    ShowSutra(entryRecord(kaumudiRecord_[order - 1], i, lstVykEy[order]->List(i)));
}

void FrmSutra::lstVykEx_Click(int index) {
    if (busy() && !loaderSelecting_) return;
    if (index != 0) return;
    const int i = lstVykEx[0]->ListIndex();
    if (i < 0) return;
    ShowSutra(entryRecord(alphabeticalRecord_, i, lstVykEy[0]->List(i)));
}

// The record of row `row` of a Kaumudi or the alphabetical list, as the
// loader gave it; failing that, the one its label leads to.
int FrmSutra::entryRecord(const std::vector<int>& records, int row, std::string_view hiddenEntry) const {
    if (row < static_cast<int>(records.size()) && records[static_cast<std::size_t>(row)] > 0)
        return records[static_cast<std::size_t>(row)];
    return RecordOfLabel(HiddenEntryLabel(hiddenEntry));
}

// The record of the first Astadhyayi entry whose text after its leading
// blank begins with the label; record 1 when none does.
int FrmSutra::RecordOfLabel(std::string_view label) const {
    const int count = lstVykE[0]->ListCount();
    for (int row = 0; row < count; ++row) {
        const std::string item = lstVykE[0]->List(row);
        if (item.size() > label.size() && std::string_view(item).substr(1, label.size()) == label)
            return row < static_cast<int>(astadhyayiRecord_.size()) ? astadhyayiRecord_[static_cast<std::size_t>(row)]
                                                                    : row + 1;
    }
    return 1;
}

// ---- The loader's host ---------------------------------------------------

ListControl* FrmSutra::list(SutraList which) const {
    switch (which) {
    case SutraList::lstVykE0: return lstVykE[0];
    case SutraList::lstVykE1: return lstVykE[1];
    case SutraList::lstVykE2: return lstVykE[2];
    case SutraList::lstVykEy0: return lstVykEy[0];
    case SutraList::lstVykEy1: return lstVykEy[1];
    case SutraList::lstVykEy2: return lstVykEy[2];
    case SutraList::lstVykEx0: return lstVykEx[0];
    }
    return nullptr;
}

std::vector<int>* FrmSutra::rowRecords(SutraList which) {
    switch (which) {
    case SutraList::lstVykE0: return &astadhyayiRecord_;
    case SutraList::lstVykE1: return &kaumudiRecord_[0];
    case SutraList::lstVykE2: return &kaumudiRecord_[1];
    case SutraList::lstVykEx0: return &alphabeticalRecord_;
    default: return nullptr;  // the hidden lists are never clicked
    }
}

void FrmSutra::ListClear(SutraList which) {
    pendingItems_[static_cast<std::size_t>(which)].clear();
    list(which)->Clear();
    if (std::vector<int>* records = rowRecords(which)) records->clear();
}

void FrmSutra::ListAddItem(SutraList which, const std::string& text, int record) {
    if (corpus_.gLoading) {
        pendingItems_[static_cast<std::size_t>(which)].emplace_back(text, record);
        return;
    }
    list(which)->AddItem(text);
    // Only the hidden lists are sorted, so a visible list's rows follow the
    // order of its additions.
    if (std::vector<int>* records = rowRecords(which)) records->push_back(record);
}

void FrmSutra::flushPending(SutraList which) {
    auto& pending = pendingItems_[static_cast<std::size_t>(which)];
    if (pending.empty()) return;
    // Only the unsorted lists keep row records, so their rows follow the
    // order of the items handed over; a sorted list orders its own.
    std::vector<int>* records = rowRecords(which);
    std::vector<std::string> texts;
    texts.reserve(pending.size());
    for (auto& [text, record] : pending) {
        texts.push_back(std::move(text));
        if (records != nullptr) records->push_back(record);
    }
    list(which)->AddItems(std::move(texts));
    pending.clear();
}

void FrmSutra::flushAllPending() {
    for (std::size_t i = 0; i < pendingItems_.size(); ++i) flushPending(static_cast<SutraList>(i));
}

// Handing waiting items over changes nothing the loader can observe: the
// list reads the same either way.
int FrmSutra::ListCount(SutraList which) const {
    const_cast<FrmSutra*>(this)->flushPending(which);
    return list(which)->ListCount();
}

std::string FrmSutra::ListItem(SutraList which, int index) const {
    const_cast<FrmSutra*>(this)->flushPending(which);
    return list(which)->List(index);
}

void FrmSutra::ListSetIndex(SutraList which, int index) {
    flushAllPending();
    loaderSelecting_ = true;
    list(which)->SetListIndex(index);
    loaderSelecting_ = false;
}

// The saver's calls all run: each is its chance to see a press of Terminate.
void FrmSutra::DoEvents() {
    if (corpus_.gLoading) {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastEvents_ < LoaderEventInterval) return;
        lastEvents_ = now;
    }
    vyk::DoEvents();
}

void FrmSutra::SetHourglass(bool on) {
    if (on)
        vyk::SetHourglass();
    else
        SetDefaultPointer();
}

void FrmSutra::ShowUnknownFileFormat(const MessageText& message) {
    MsgRequest request(message);
    request.title = std::string(UnknownFileFormatTitle);
    request.buttons = MsgButtons::OK;
    request.icon = MsgIcon::None;
    dialogs_.MsgBox(request);
}

}  // namespace vyk
