#pragma once

// The blanks of a page's line (space and tab): a line that the head's rewrite leaves with nothing
// but them goes with the tag it held, and the fingerprint of a page's text leaves them out at
// either end of a line and leaves out lines of nothing else. The two agree, so that a rewritten
// page reads as unchanged.

#include <algorithm>
#include <string_view>

namespace tagwright {

inline bool isPageBlank(char byte)
{
    return byte == ' ' || byte == '\t';
}

inline bool holdsOnlyPageBlanks(std::string_view text)
{
    return std::ranges::all_of(text, isPageBlank);
}

} // namespace tagwright
