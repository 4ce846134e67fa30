#pragma once
// Where the Insert commands put the caret.

#include <string_view>

namespace vyk {

// The 1-based position in `text` at which `head` stands as a whole line: at
// the start of the text or right after a CR LF, and followed by CR LF. 0 when
// there is none. A line of a section's text that merely ends with the head's
// words, or the end of a longer head ("AnuVritti" for "Vritti"), is no match.
int FindHeadLine(std::string_view text, std::string_view head);

}  // namespace vyk
