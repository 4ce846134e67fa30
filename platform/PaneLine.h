#pragma once
// One line of the rich-text pane with the marks its characters carry.

#include <string>
#include <vector>

namespace vyk {

// A paragraph of the pane without its line end, one byte per character
// (Latin-1), and the mark of each character: the number the program gave it
// with RichTextPane::SetTextRTF, or 0. Marks stay with their characters as the
// user edits around them; nothing that comes in carries one.
struct PaneLine {
    std::string text;
    std::vector<int> marks;
};

}  // namespace vyk
