#include "cli/head_tags.h"

#include "output/live_markup.h"
#include "output/meta_tag_positions.h"
#include "support/line_reader.h"
#include "support/strings.h"

#include <string_view>

namespace tagwright::cli {

namespace {

// A minified head may hold several tags on one line.
int tagsOnLine(std::string_view lower, TagSpan (*find)(std::string_view))
{
    int count = 0;
    for (;;) {
        const TagSpan tag = find(lower);
        if (tag.start == 0)
            return count;
        ++count;
        if (tag.end == 0)
            return count;
        lower.remove_prefix(tag.end);
    }
}

} // namespace

std::optional<HeadTags> headTagsOf(const std::string& path)
{
    LineReader reader(path, LineEnds::OfPage);
    if (!reader.isOpen())
        return std::nullopt;
    // The live markup of each line up to "</head>", as the rewrite sees it: a tag in a comment,
    // a script or a style is no tag.
    LiveMarkup markup;
    HeadTags tags;
    std::string line;
    while (reader.readLine(line)) {
        const std::string lower = lowerCaseAccented(line);
        const std::string live = markup.liveBytes(lower);
        const std::size_t headEnd = lower.find("</head>");
        const std::string_view head = std::string_view(live).substr(0, headEnd);
        tags.keywordsTags += tagsOnLine(head, findKeywordsMetaTag);
        tags.doneMarkers += tagsOnLine(head, findDoneMetaTag);
        if (headEnd != std::string::npos)
            break;
    }
    if (reader.errorNumber() != 0)
        return std::nullopt;
    return tags;
}

} // namespace tagwright::cli
