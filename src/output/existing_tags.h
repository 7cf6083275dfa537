#pragma once

// What a page already carries in its head: title, keywords meta tag, description meta tag and
// done marker, as the output box shows them. A quick line scan, independent of the analysis.

#include "engine/user_message.h"
#include "output/head_lines.h"

#include <optional>
#include <string>
#include <string_view>

namespace tagwright {

// The output box text for the lines of a page, in the order in which the tags occur.
std::string existingTagsText(const LineSource& source);

struct ExistingTags {
    std::optional<UserMessage> refusal; // no path, or no such file: nothing was read
    std::string text;                   // the output box text otherwise
};

// The tags of the page named by an input box text (trimmed first). Tags of a UTF-8 page are
// shown in Windows-1252 like everything else in the box.
ExistingTags existingTagsOfFile(std::string_view inputPath);

} // namespace tagwright
