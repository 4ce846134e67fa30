#pragma once

#include <QListWidget>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/InputCodes.h"
#include "platform/Twips.h"

namespace vyk {

// Where a sorted list puts `text`: after every item that does not sort after
// it in CompareListText order, found by binary search. Counts the
// comparisons made into *comparisons when given.
std::size_t SortedInsertPosition(const std::vector<std::string>& items, std::string_view text,
                                 std::size_t* comparisons = nullptr);

// A single-selection list box of one-byte-per-character texts. A sorted
// list inserts each item where the list stays in ascending order of
// CompareListText (binary search); an unsorted list appends.
class ListControl : public QListWidget {
    Q_OBJECT
public:
    explicit ListControl(bool sorted, QWidget* parent = nullptr);

    bool Sorted() const { return sorted_; }

    void Clear();                              // raises no Click
    void AddItem(const std::string& text);
    // Adds many items as AddItem would one by one, in one step when the list
    // can simply append them (unsorted, or a sorted list whose new items all
    // belong after its last item, in whatever order they come).
    void AddItems(std::vector<std::string> texts);
    int ListCount() const;
    std::string List(int index) const;         // "" outside 0..ListCount()-1
    int ListIndex() const;                     // -1 for none
    // Selects the item and raises Click exactly as a user's selection does.
    // Returns false (and changes nothing) for an index outside the list.
    bool SetListIndex(int index);

    bool Visible() const;                      // the list's own setting
    void SetVisible(bool visible);
    void SetFocus();                           // no effect while it cannot take the focus
    void SetFont(const std::string& face, double points);

    TwipsPlacement& Placement() { return placement_; }

    // Raised when the selection changes by the user or by SetListIndex, and
    // when the user clicks the item already selected.
    std::function<void()> Click;
    // Button bits (1 left, 2 right, 4 middle), Shift bits, point in twips
    // from the list's top-left corner.
    MouseDownHandler MouseDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void selectionChanged();

    bool sorted_;
    bool quiet_ = false;               // changes made by the list itself raise no Click
    std::vector<std::string> texts_;   // the items as bytes, in list order
    TwipsPlacement placement_;
};

}  // namespace vyk
