#include "platform/ListControl.h"

#include <QMouseEvent>

#include <algorithm>
#include <iterator>

#include "platform/Latin1.h"
#include "platform/ListOrder.h"

namespace vyk {

std::size_t SortedInsertPosition(const std::vector<std::string>& items, std::string_view text,
                                 std::size_t* comparisons) {
    std::size_t low = 0;
    std::size_t high = items.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (comparisons != nullptr) ++*comparisons;
        if (CompareListText(text, items[middle]) < 0) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

ListControl::ListControl(bool sorted, QWidget* parent)
    : QListWidget(parent), sorted_(sorted), placement_(this) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Every row is one line of the same font: lets Qt skip measuring each of
    // the thousands of items.
    setUniformItemSizes(true);
    // The selection, not Qt's current item, is the list's index: a list that
    // takes the focus marks its first item as current without selecting it.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ListControl::selectionChanged);
}

void ListControl::Clear() {
    quiet_ = true;
    clear();
    texts_.clear();
    quiet_ = false;
}

void ListControl::AddItem(const std::string& text) {
    const std::size_t position = sorted_ ? SortedInsertPosition(texts_, text) : texts_.size();
    quiet_ = true;
    insertItem(static_cast<int>(position), Latin1(text));
    quiet_ = false;
    texts_.insert(texts_.begin() + static_cast<std::ptrdiff_t>(position), text);
}

void ListControl::AddItems(std::vector<std::string> texts) {
    if (sorted_) {
        // In the list's order, equal texts in the order they came: the order
        // that adding them one by one gives, since each goes after its equals.
        std::stable_sort(texts.begin(), texts.end(),
                         [](const std::string& a, const std::string& b) { return CompareListText(a, b) < 0; });
        // They append in one step unless some belong before the list's last item.
        if (!texts.empty() && !texts_.empty() && CompareListText(texts.front(), texts_.back()) < 0) {
            for (const std::string& text : texts) AddItem(text);
            return;
        }
    }
    QStringList labels;
    labels.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts) {
        labels.append(Latin1(text));
    }
    quiet_ = true;
    addItems(labels);
    quiet_ = false;
    texts_.insert(texts_.end(), std::make_move_iterator(texts.begin()), std::make_move_iterator(texts.end()));
}

int ListControl::ListCount() const { return static_cast<int>(texts_.size()); }

std::string ListControl::List(int index) const {
    if (index < 0 || index >= ListCount()) return {};
    return texts_[static_cast<std::size_t>(index)];
}

int ListControl::ListIndex() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

bool ListControl::SetListIndex(int index) {
    if (index < 0 || index >= ListCount()) return false;
    quiet_ = true;
    setCurrentRow(index);
    quiet_ = false;
    if (Click) Click();
    return true;
}

bool ListControl::Visible() const { return !isHidden(); }

void ListControl::SetVisible(bool visible) { setVisible(visible); }

void ListControl::SetFocus() {
    if (isEnabled() && isVisibleTo(window())) setFocus(Qt::OtherFocusReason);
}

void ListControl::SetFont(const std::string& face, double points) {
    QFont font = this->font();
    font.setFamilies(QStringList{Latin1(face)});
    if (points > 0) font.setPointSizeF(points);
    setFont(font);
}

void ListControl::selectionChanged() {
    if (!quiet_ && ListIndex() >= 0 && Click) Click();
}

QItemSelectionModel::SelectionFlags ListControl::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    // Ctrl+click would take the selection away; a list box keeps its item.
    QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
    if (flags & QItemSelectionModel::Deselect) flags = QItemSelectionModel::ClearAndSelect;
    return flags;
}

void ListControl::mousePressEvent(QMouseEvent* event) {
    RaiseMouseDown(MouseDown, *this, *event);
    // Only the left button selects; the others open the owner's popup menu
    // over the sutra already on display.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const int before = ListIndex();
    QListWidget::mousePressEvent(event);
    // A click on the item already selected is still a click.
    const QModelIndex hit = indexAt(event->position().toPoint());
    if (hit.isValid() && hit.row() == before && ListIndex() == before && Click) Click();
}

}  // namespace vyk
