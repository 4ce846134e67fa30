#pragma once
// The order of the sorted lists. Plain C++: the list control keeps it, and
// the loader's hosts insert by it.

#include <string_view>

namespace vyk {

// ASCII letters folded to lower case, then unsigned byte order; a shorter
// text sorts before its extensions.
int CompareListText(std::string_view a, std::string_view b);

}  // namespace vyk
