#pragma once

// What a page already carries in its head: title, keywords meta tag, description meta tag and
// done marker, as the output box shows them. A quick line scan, independent of the analysis.

#include "output/head_lines.h"

#include <string>

namespace tagwright {

// The output box text for the lines of a page, in the order in which the tags occur.
std::string existingTagsText(const LineSource& source);

} // namespace tagwright
