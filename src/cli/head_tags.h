#pragma once

// The keywords meta tags and done markers that a page's head carries, by the rule that the
// rewrite and the old-tag reading use.

#include <optional>
#include <string>

namespace tagwright::cli {

struct HeadTags
{
    int keywordsTags = 0;
    int doneMarkers = 0;
};

// Empty when the page cannot be read or a comment in its head never closes.
std::optional<HeadTags> headTagsOf(const std::string& path);

} // namespace tagwright::cli
