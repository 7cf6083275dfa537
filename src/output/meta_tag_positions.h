#pragma once

// Where a named meta tag (a keywords meta tag, a description meta tag, a done marker) stands on
// a lower-cased line: the one rule by which every part of the program recognises such a tag.
// The quoted name must be the value of the name attribute of the "<meta " tag that holds it:
// no ">" between "<meta " and the name, the attribute written `name` after a blank, blanks
// allowed around "=", the value in double quotes. So `<meta itemprop="keywords">`, a
// `data-name="keywords"`, and a "keywords" in a title or a script after another meta tag on the
// same line are no keywords tags. Positions count from 1; 0 means not found. The end is the
// first ">" after the name, 0 when the line has none.

#include <cstddef>
#include <string_view>

namespace tagwright {

struct TagSpan
{
    std::size_t start = 0;
    std::size_t end = 0;
};

// The first meta tag on the line whose name attribute is `name` (lower case, without quotes).
TagSpan findNamedMetaTag(std::string_view lowerLine, std::string_view name);

// A tag named "keywords".
TagSpan findKeywordsMetaTag(std::string_view lowerLine);

// A done marker, named "qova done".
TagSpan findDoneMetaTag(std::string_view lowerLine);

} // namespace tagwright
