#pragma once

// Where a keywords meta tag or a done marker stands on a lower-cased line. Positions count
// from 1; 0 means not found. The end is the ">" that closes the tag, 0 when the line has none.

#include <cstddef>
#include <string_view>

namespace tagwright {

struct TagSpan {
    std::size_t start = 0;
    std::size_t end = 0;
};

// A tag whose name value is "keywords" in double quotes, opened by "<meta " before it.
TagSpan findKeywordsMetaTag(std::string_view lowerLine);

// The same for the done marker, named "qova done" in double quotes.
TagSpan findDoneMetaTag(std::string_view lowerLine);

} // namespace tagwright
